// Dictionary rebuild throughput: generates a database whose dictionary holds
// many tables (each with its columns, primary key and index, some views and
// stored code), then times ReadDictionary and compares it with a plain
// sequential read of the SYSTEM datafile. Prints the figures, the ratio and
// the peak resident memory.
//
//   bench_dictionary [--tables N] [--columns N] [--release R] [--keep DIR]
//   bench_dictionary --stress [--release R] [--keep DIR]
//                                    (the generator's stress database: many users,
//                                     more than 50,000 objects of every kind)
//   bench_dictionary --from DIR      (reads a database written with --keep; the
//                                     peak memory is then the reader's alone)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "testdb/dictionary_writer.h"
#include "testdb/layout.h"
#include "testdb/mini_dictionary.h"
#include "testdb/resolved_schema.h"
#include "testdb/stress_database.h"

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Reads a file front to back in 1 MB pieces; returns the bytes read.
std::uint64_t ReadSequentially(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  std::uint64_t total = 0;
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    total += static_cast<std::uint64_t>(in.gcount());
  }
  return total;
}

// Times each reading phase (a progress start to its finish).
class PhaseSink : public NotificationSink {
 public:
  void Progress(ProgressStep step, std::uint64_t value) override {
    if (step == ProgressStep::kStart) {
      start_ = Clock::now();
      steps_ = value;
    } else if (step == ProgressStep::kFinish && steps_ != kNone) {
      phases.emplace_back(steps_, Seconds(start_));
      steps_ = kNone;
    }
  }
  std::vector<std::pair<std::uint64_t, double>> phases;

 private:
  static constexpr std::uint64_t kNone = ~0ull;
  Clock::time_point start_;
  std::uint64_t steps_ = kNone;
};

}  // namespace

int main(int argc, char** argv) {
  std::uint32_t tables = 20000;
  std::uint32_t columns = 8;
  std::string release = "11.2";
  std::string keep;
  std::string from;
  bool stress = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--stress") == 0) stress = true;
  }
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--tables") == 0) tables = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--columns") == 0) columns = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--release") == 0) release = argv[i + 1];
    if (std::strcmp(argv[i], "--keep") == 0) keep = argv[i + 1];
    if (std::strcmp(argv[i], "--from") == 0) from = argv[i + 1];
  }
  const std::string folder = !from.empty() ? from
                             : keep.empty() ? (std::filesystem::temp_directory_path() / "quillon-bench-dictionary").string()
                                            : keep;

  auto start = Clock::now();
  if (from.empty()) {
    testdb::DatabaseModel model;
    if (stress) {
      const auto generator_release = testdb::FindGeneratorRelease(release);
      if (!generator_release) {
        std::fprintf(stderr, "bench_dictionary: unknown release %s\n", release.c_str());
        return 1;
      }
      model = testdb::BuildDatabase(testdb::StressSchema(generator_release->model_release, 1), *generator_release,
                                    8192, 1)
                  .model;
    } else {
      model = testdb::NewDatabaseModel("BENCH", release, 8192, 11);
      model.decoys = {false, false, false, false};
      testdb::SampleDictionary(release, tables, columns).AddSegments(model);
    }
    testdb::LayoutResult layout;
    std::string error;
    if (!testdb::WriteDatabase(model, folder, layout, error)) {
      std::fprintf(stderr, "bench_dictionary: %s\n", error.c_str());
      return 1;
    }
  }
  const double generate = Seconds(start);
  const std::string system = folder + "/SYSTEM01.DBF";
  const long rss_before = PeakRssKb();

  start = Clock::now();
  const std::uint64_t bytes = ReadSequentially(system);
  const double sequential = Seconds(start);

  PhaseSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  start = Clock::now();
  IdentifyRelease(engine, system);
  const DictionaryResult result = ReadDictionary(engine);
  const double rebuild = Seconds(start);
  const Catalogue& c = engine.catalogue;

  if (stress) {
    std::printf("release %s, the stress database (generated in %.2f s)\n", release.c_str(), generate);
  } else if (from.empty()) {
    std::printf("release %s, %u tables x %u columns (generated in %.2f s)\n", release.c_str(), tables, columns,
                generate);
  } else {
    std::printf("database in %s\n", from.c_str());
  }
  std::printf("SYSTEM datafile        %10.1f MB\n", static_cast<double>(bytes) / (1 << 20));
  std::printf("catalogue              %10zu objects, %zu columns, %zu constraints, %zu indexes\n", c.objects.size(),
              c.columns.size(), c.constraints.size(), c.indexes.size());
  std::printf("blocks read            %10llu\n", static_cast<unsigned long long>(result.blocks_read));
  std::printf("sequential read        %10.3f s\n", sequential);
  std::printf("dictionary rebuild     %10.3f s  (%.1f x the sequential read)\n", rebuild,
              sequential > 0 ? rebuild / sequential : 0.0);
  std::printf("objects per second     %10.0f\n", rebuild > 0 ? static_cast<double>(c.objects.size()) / rebuild : 0.0);
  std::printf("phases (blocks: seconds)");
  for (const auto& [steps, seconds] : sink.phases) {
    if (seconds >= 0.01) std::printf(" %llu: %.2f", static_cast<unsigned long long>(steps), seconds);
  }
  std::printf("\n");
  std::printf("peak resident memory   %10.1f MB (%.1f MB before the rebuild)\n", PeakRssKb() / 1024.0,
              rss_before / 1024.0);
  if (keep.empty() && from.empty()) std::filesystem::remove_all(folder);
  return 0;
}
