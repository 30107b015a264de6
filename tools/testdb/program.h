// The quillon-testdb program as a function, so that tests can run it and
// later recipes can be added to its table:
//
//   quillon-testdb --release {8i,9i,10.1,10.2,11.1,11.2,11.2-alt}
//                  --block-size {2048,4096,8192,16384,32768} --out DIR
//                  [--seed N] [--db NAME] [--assm-order ORDER]
//   quillon-testdb --db NAME --release R --block-size B --describe [--with-rows]
//
// "11.2-alt" is 11g Release 2 with the alternative dictionary numbering.
// --describe prints the catalogue the database holds, as JSON in the shape
// of `quillon catalogue --json` (docs/catalogue-json.md), instead of writing
// it; only databases described by a schema (sample, stress) can.
//
// Exit codes: 0 written, 2 usage error, 1 any other failure (one line on
// the error stream).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "testdb/model.h"
#include "testdb/schema_model.h"

namespace quillon::testdb {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct ProgramOptions {
  std::string release;  // as given: "11.2-alt" included
  std::uint32_t block_size = 0;
  std::string out;
  std::uint64_t seed = 1;
  std::string db = "default";
  bool describe = false;
  bool with_rows = false;
  AssmHeaderOrder assm_order = AssmHeaderOrder::kCountNextObject;  // of 0x23 segment headers
  bool assm_order_from_seed = false;
};

// A kind of database the program can write (--db NAME): either a model of
// segments (build) or a schema the dictionary writer turns into one.
struct DatabaseRecipe {
  const char* name;
  const char* summary;
  std::function<DatabaseModel(const ProgramOptions&)> build;
  std::function<Schema(const ProgramOptions&)> schema;
};
const std::vector<DatabaseRecipe>& DatabaseRecipes();

int RunTestdbProgram(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace quillon::testdb
