// Where the ODBC password comes from: a file, the environment, a prompt,
// never the command line.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli.h"
#include "cli/target_password.h"
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
