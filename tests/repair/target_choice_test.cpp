// The target choice: the folder rule that keeps every output out of the
// corrupted database's folder, where the error and side files go, the
// dialect of each kind, the one factory, and the password wipe.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "repair/target_choice.h"

namespace quillon::repair {
namespace {

namespace fs = std::filesystem;

TEST(TargetChoice, LiesInside) {
  const fs::path base = fs::temp_directory_path() / "quillon-target-choice";
  fs::create_directories(base / "oradata" / "ORCL" / "sub");
  fs::create_directories(base / "oradata" / "ORCL2");
  const std::string source = (base / "oradata" / "ORCL").string();
  struct Case {
    std::string path;
    bool inside;
  };
  const Case cases[] = {
      {source, true},
      {source + "/", true},
      {source + "/sub", true},
      {source + "/sub/out.sqlite", true},
      {source + "/not-yet/out.sqlite", true},
      {source + "/../ORCL/sub", true},
      {(base / "oradata" / "ORCL2").string(), false},  // a sibling sharing the name as a prefix
      {(base / "oradata").string(), false},
      {(base / "oradata" / "ORCL.sqlite").string(), false},
      {source + "/..", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(LiesInside(c.path, source), c.inside) << c.path;
  EXPECT_FALSE(LiesInside(source, ""));
  // A link into the source folder is inside it.
  std::error_code ec;
  fs::remove(base / "link", ec);
  fs::create_directory_symlink(base / "oradata" / "ORCL", base / "link", ec);
  if (!ec) {
    EXPECT_TRUE(LiesInside((base / "link" / "x.sqlite").string(), source));
  }
  fs::remove_all(base, ec);
}

// The error file goes beside the output: into the folder of a file, or of
// the file a link names; never into /dev for a device or a pipe, whose
// folder is no place for it, but into the current folder.
TEST(TargetChoice, TheFolderBesideAnOutput) {
  const fs::path base = fs::temp_directory_path() / ("quillon-beside-" + std::to_string(::getpid()));
  fs::create_directories(base / "out");
  fs::create_directories(base / "real");
  { std::ofstream(base / "real" / "script.sql") << "x"; }
  std::error_code ec;
  fs::create_symlink(base / "real" / "script.sql", base / "out" / "link.sql", ec);
  ASSERT_FALSE(ec) << ec.message();
  fs::create_symlink("/dev/null", base / "out" / "device.sql", ec);
  ASSERT_FALSE(ec) << ec.message();
  ASSERT_EQ(::mkfifo((base / "out" / "pipe.sql").c_str(), 0600), 0);
  const std::string here = fs::current_path().string();
  struct Case {
    fs::path file;
    std::string folder;
  };
  const Case cases[] = {
      {base / "out" / "new.sql", (base / "out").string()},
      {base / "real" / "script.sql", (base / "real").string()},
      {base / "out" / "link.sql", (base / "real").string()},
      {base / "out" / "device.sql", here},
      {base / "out" / "pipe.sql", here},
      {"/dev/null", here},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderBeside(c.file.string()), c.folder) << c.file;
  TargetChoice script;
  script.kind = TargetKind::kScriptFile;
  script.file_path = "/dev/null";
  EXPECT_EQ(ErrorsFilePath(script), (fs::path(here) / "RepairErrors.log").string());
  fs::remove_all(base, ec);
}

TEST(TargetChoice, FilesKindsAndFactory) {
  TargetChoice sqlite;
  sqlite.kind = TargetKind::kSqliteFile;
  sqlite.file_path = "/data/out/ORCL.sqlite";
  sqlite.target_folder = "/data/out";
  TargetChoice script;
  script.kind = TargetKind::kScriptFile;
  script.file_path = "/data/out/ORCL.sql";
  TargetChoice oracle;
  oracle.kind = TargetKind::kOracleDataSource;
  oracle.data_source = "ORCL";
  oracle.password = "pw";
  oracle.target_folder = "/data/oradata/NEW";

  EXPECT_EQ(ErrorsFilePath(sqlite), "/data/out/RepairErrors.log");
  EXPECT_EQ(ErrorsFilePath(script), "/data/out/RepairErrors.log");  // beside the file
  EXPECT_EQ(ErrorsFilePath(oracle), "/data/oradata/NEW/RepairErrors.log");
  EXPECT_EQ(SideFilePath(sqlite), "/data/out/ORCL.oracle.sql");
  EXPECT_EQ(SideFilePath(script), "");  // the script holds every statement itself
  EXPECT_EQ(SideFilePath(oracle), "");

  EXPECT_EQ(DialectOf(TargetKind::kSqliteFile), TargetDialect::kSqlite);
  EXPECT_EQ(DialectOf(TargetKind::kScriptFile), TargetDialect::kOracle);
  EXPECT_EQ(DialectOf(TargetKind::kOracleDataSource), TargetDialect::kOracle);

  EXPECT_NE(MakeTarget(sqlite), nullptr);
  sqlite.file_path.clear();
  EXPECT_EQ(MakeTarget(sqlite), nullptr);
  EXPECT_EQ(oracle.user, "SYSTEM");
}

TEST(TargetChoice, WipePassword) {
  std::string password = "a secret long enough to live on the heap, not in the string itself";
  WipePassword(password);
  EXPECT_TRUE(password.empty());
  std::string empty;
  WipePassword(empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace quillon::repair
