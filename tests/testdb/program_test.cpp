// The quillon-testdb program's arguments and exit codes.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/generated_db.h"
#include "testdb/program.h"

namespace quillon {
namespace {

TEST(TestdbProgram, ArgumentsAndExitCodes) {
  const std::string out = test::FreshFolder("program");
  // A file where the folder should go: the database cannot be written.
  const std::string blocked = out + "/file";
  { std::ofstream(blocked) << "x"; }
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* err;  // part of the error stream, "" for none
  };
  const std::vector<Case> cases = {
      {{"--help"}, testdb::kExitOk, ""},
      {{}, testdb::kExitUsage, "--release is required"},
      {{"--release", "12.1", "--block-size", "8192", "--out", out}, testdb::kExitUsage, "unknown release"},
      {{"--release", "10.2", "--block-size", "1000", "--out", out}, testdb::kExitUsage, "--block-size"},
      {{"--release", "10.2", "--block-size", "8192"}, testdb::kExitUsage, "--out is required"},
      {{"--release", "10.2", "--block-size", "8192", "--out", out, "--seed", "x"}, testdb::kExitUsage, "number"},
      {{"--release", "10.2", "--block-size", "8192", "--out", out, "--bogus"}, testdb::kExitUsage, "unknown argument"},
      {{"--release", "10.2", "--block-size", "8192", "--out", out, "--db", "nope"}, testdb::kExitUsage, "unknown database"},
      {{"--release", "10.2", "--block-size", "8192", "--out", blocked + "/db"}, testdb::kExitFailure, "cannot create"},
      {{"--release", "10.2", "--block-size", "8192", "--out", out, "--assm-order", "264"}, testdb::kExitUsage,
       "--assm-order must be"},
      {{"--release", "11.2", "--block-size", "2048", "--out", out + "/next", "--assm-order", "next-260"}, testdb::kExitOk,
       ""},
      {{"--release", "9i", "--block-size", "4096", "--out", out + "/db", "--seed", "3"}, testdb::kExitOk, ""},
  };
  for (const auto& c : cases) {
    std::ostringstream o, e;
    const int code = testdb::RunTestdbProgram(c.args, o, e);
    const std::string err = e.str();
    SCOPED_TRACE(err);
    EXPECT_EQ(code, c.code);
    if (std::string(c.err).empty()) {
      EXPECT_EQ(err, "");
    } else {
      EXPECT_NE(err.find(c.err), std::string::npos);
      // One line of message (usage errors add the synopsis).
      EXPECT_LE(std::count(err.begin(), err.end(), '\n'), 2);
    }
  }
  EXPECT_TRUE(std::filesystem::exists(out + "/db/SYSTEM01.DBF"));
  EXPECT_FALSE(std::filesystem::exists(out + "/db/SYSAUX01.DBF"));  // 9i has none
}

}  // namespace
}  // namespace quillon
