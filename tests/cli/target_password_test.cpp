// Where the ODBC password comes from: a file, the environment, a prompt,
// never the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cli/cli.h"
#include "cli/target_password.h"
#include "support/generated_schema_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"

namespace quillon::cli {
namespace {

TEST(TargetPassword, SourcesInTheirOrder) {
  test::TempDir dir;
  const auto file = dir.path() / "pw";
  {
    std::ofstream out(file, std::ios::binary);
    out << "from;file}\r\nsecond line\n";
  }
  int prompts = 0;
  const auto prompt = [&prompts]() -> std::optional<std::string> {
    ++prompts;
    return std::string("typed");
  };
  EXPECT_EQ(TargetPassword(file.string(), "from env", prompt), "from;file}");
  EXPECT_EQ(TargetPassword(std::nullopt, "from env", prompt), "from env");
  EXPECT_EQ(prompts, 0);
  EXPECT_EQ(TargetPassword(std::nullopt, nullptr, prompt), "typed");
  EXPECT_EQ(prompts, 1);
}

TEST(TargetPassword, NoPasswordIsAFailureThatSaysWhere) {
  test::TempDir dir;
  const auto empty = dir.path() / "empty";
  { std::ofstream out(empty); }
  const auto no_terminal = []() -> std::optional<std::string> { return std::nullopt; };
  const auto expect_failure = [](const auto& call, const std::string& words) {
    try {
      call();
      ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
      EXPECT_NE(f.message.find(words), std::string::npos) << f.message;
    }
  };
  expect_failure([&] { TargetPassword(std::nullopt, nullptr, no_terminal); }, "QUILLON_TARGET_PASSWORD");
  expect_failure([&] { TargetPassword(empty.string(), nullptr, no_terminal); }, "holds no password");
  expect_failure([&] { TargetPassword((dir.path() / "missing").string(), nullptr, no_terminal); }, "cannot read");
  expect_failure([&] { TargetPassword(std::nullopt, "", no_terminal); }, "is empty");
}

TEST(TargetPassword, RepairRefusesMixedTargetsAndStrayPasswordOptions) {
  const test::CliOutput both = test::RunCli({"repair", "/nonexistent", "--sqlite", "x.sqlite", "--odbc", "ORCL"});
  EXPECT_EQ(both.code, kExitUsage) << both.err;
  const test::CliOutput stray = test::RunCli({"repair", "/nonexistent", "--password-file", "pw"});
  EXPECT_EQ(stray.code, kExitUsage) << stray.err;
}

}  // namespace
}  // namespace quillon::cli

namespace quillon::cli {
namespace {

// A data source no driver manager knows: the four-line text and the retry
// line on stderr, exit 1, the password nowhere in the output.
TEST(TargetPassword, RepairIntoAnUnknownDataSourceTakesTheConnectionErrorPath) {
  const auto& db = test::SampleDb("11.2", 8192);
  const std::string password = "Sec;ret}=pw";
  setenv(kPasswordVariable, password.c_str(), 1);
  const test::CliOutput run =
      test::RunCli({"repair", db.folder, "--odbc", "quillon_no_such_data_source", "--tables", "HR.EMPLOYEES"});
  unsetenv(kPasswordVariable);
  EXPECT_EQ(run.code, kExitFailure);
  EXPECT_NE(run.err.find("Message : SQLDriverConnect returned SQL_ERROR\nCode : SQLSTATE IM002"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Please Retry an Establishing Oracle Connection."), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(password), std::string::npos);
  EXPECT_EQ(run.out.find(password), std::string::npos);
}

}  // namespace
}  // namespace quillon::cli
