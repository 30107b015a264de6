#include "testdb/program.h"

#include <charconv>
#include <ostream>
#include <stdexcept>

#include "testdb/default_database.h"
#include "testdb/describe.h"
#include "testdb/dictionary_writer.h"
#include "testdb/layout.h"
#include "testdb/resolved_schema.h"
#include "testdb/sample_database.h"
#include "testdb/stress_database.h"

namespace quillon::testdb {

namespace {

struct Usage {
  std::string message;
};

constexpr const char* kSynopsis =
    "usage: quillon-testdb --release {8i,9i,10.1,10.2,11.1,11.2,11.2-alt} "
    "--block-size {2048,4096,8192,16384,32768} (--out DIR | --describe [--with-rows]) [--seed N] [--db NAME] "
    "[--assm-order {count-next,next-count,next-260,seed}]";

std::uint64_t ParseUnsigned(const std::string& text, const char* what) {
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) {
    throw Usage{std::string(what) + " must be a number: " + text};
  }
  return v;
}

ProgramOptions Parse(std::span<const std::string> args) {
  ProgramOptions o;
  bool have_release = false, have_size = false, have_out = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Usage{a + " needs a value"};
      return args[++i];
    };
    if (a == "--release") {
      o.release = value();
      if (!FindGeneratorRelease(o.release)) throw Usage{"unknown release " + o.release};
      have_release = true;
    } else if (a == "--block-size") {
      const std::uint64_t bs = ParseUnsigned(value(), "--block-size");
      if (bs != 2048 && bs != 4096 && bs != 8192 && bs != 16384 && bs != 32768) {
        throw Usage{"--block-size must be 2048, 4096, 8192, 16384 or 32768"};
      }
      o.block_size = static_cast<std::uint32_t>(bs);
      have_size = true;
    } else if (a == "--out") {
      o.out = value();
      have_out = true;
    } else if (a == "--seed") {
      o.seed = ParseUnsigned(value(), "--seed");
    } else if (a == "--db") {
      o.db = value();
    } else if (a == "--assm-order") {
      const std::string& v = value();
      if (v == "count-next") {
        o.assm_order = AssmHeaderOrder::kCountNextObject;
      } else if (v == "next-count") {
        o.assm_order = AssmHeaderOrder::kNextCountObject;
      } else if (v == "next-260") {
        o.assm_order = AssmHeaderOrder::kNextAt260;
      } else if (v == "seed") {
        o.assm_order_from_seed = true;
      } else {
        throw Usage{"--assm-order must be count-next, next-count, next-260 or seed"};
      }
    } else if (a == "--describe") {
      o.describe = true;
    } else if (a == "--with-rows") {
      o.with_rows = true;
    } else {
      throw Usage{"unknown argument " + a};
    }
  }
  if (!have_release) throw Usage{"--release is required"};
  if (!have_size) throw Usage{"--block-size is required"};
  if (!have_out && !o.describe) throw Usage{"--out is required"};
  if (o.with_rows && !o.describe) throw Usage{"--with-rows needs --describe"};
  return o;
}

std::string ModelRelease(const ProgramOptions& o) { return FindGeneratorRelease(o.release)->model_release; }

}  // namespace

const std::vector<DatabaseRecipe>& DatabaseRecipes() {
  static const std::vector<DatabaseRecipe> recipes{
      {"default", "heap and cluster segments in both space managements, rows of every placement, decoys",
       [](const ProgramOptions& o) { return DefaultDatabaseModel(ModelRelease(o), o.block_size, o.seed); }, nullptr},
      {"sample", "a small company database (HR and SALES) with every kind of object and rows of every type",
       nullptr, [](const ProgramOptions& o) { return SampleSchema(ModelRelease(o)); }},
      {"stress", "many users and a dictionary of more than 50,000 objects, for benchmarks", nullptr,
       [](const ProgramOptions& o) { return StressSchema(ModelRelease(o), o.seed); }},
  };
  return recipes;
}

int RunTestdbProgram(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      out << kSynopsis << "\n\nWrites a synthetic Oracle database (datafiles and decoy files) into DIR.\n"
          << "  --release     the Oracle release whose formats are written (11.2-alt: 11g Release 2 with\n"
          << "                the alternative dictionary object numbers)\n"
          << "  --block-size  the database block size in bytes\n"
          << "  --out         the folder to write (created when missing)\n"
          << "  --describe    print the catalogue of the database as JSON instead of writing it\n"
          << "  --with-rows   with --describe: list every table's rows\n"
          << "  --seed        seed of the generated content (default 1)\n"
          << "  --assm-order  the order of the words before the extent entries of ASSM segment headers:\n"
          << "                count-next (default), next-count, next-260, or seed (chosen by the seed)\n"
          << "  --db          which database to write:\n";
      for (const auto& r : DatabaseRecipes()) out << "                  " << r.name << ": " << r.summary << "\n";
      return kExitOk;
    }
  }
  ProgramOptions options;
  try {
    options = Parse(args);
  } catch (const Usage& u) {
    err << "quillon-testdb: " << u.message << "\n" << kSynopsis << "\n";
    return kExitUsage;
  }
  const DatabaseRecipe* recipe = nullptr;
  for (const auto& r : DatabaseRecipes()) {
    if (options.db == r.name) recipe = &r;
  }
  if (!recipe) {
    err << "quillon-testdb: unknown database " << options.db << "\n" << kSynopsis << "\n";
    return kExitUsage;
  }
  if (options.describe && !recipe->schema) {
    err << "quillon-testdb: database " << options.db << " has no schema to describe\n" << kSynopsis << "\n";
    return kExitUsage;
  }
  DatabaseModel model;
  try {
    if (recipe->schema) {
      const GeneratorRelease release = *FindGeneratorRelease(options.release);
      GeneratedDatabase g =
          BuildDatabase(recipe->schema(options), release, options.block_size, options.seed, !options.describe);
      if (options.describe) {
        out << DescribeJson(g, options.with_rows) << "\n";
        return kExitOk;
      }
      model = std::move(g.model);
    } else {
      model = recipe->build(options);
    }
  } catch (const std::exception& e) {
    err << "quillon-testdb: " << e.what() << "\n";
    return kExitFailure;
  }
  model.assm_header_order = options.assm_order;
  model.assm_order_from_seed = options.assm_order_from_seed;
  LayoutResult result;
  std::string error;
  if (!WriteDatabase(model, options.out, result, error)) {
    err << "quillon-testdb: " << error << "\n";
    return kExitFailure;
  }
  out << "wrote " << result.files.size() << " datafiles, " << result.segments.size() << " segments and "
      << result.decoys.size() << " decoy files to " << options.out << "\n";
  return kExitOk;
}

}  // namespace quillon::testdb
