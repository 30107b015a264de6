#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "repair/storage_ddl.h"
#include "repair/security_catalogue.h"
#include "support/generated_db.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

TEST(StorageDdl, TablespacesTakeTheirFirstDatafileIntoTheTargetFolder) {
  test::SecurityCatalogue db;
  db.Tablespace("USERS");
  db.Tablespace("DATA");
  db.Datafile("USERS01.DBF", "USERS");
  db.Datafile("DATA01.DBF", "data");  // matched without regard to case
  db.Datafile("DATA02.DBF", "DATA");
  RecorderSink sink;
  CreateTablespaces(db.source(), StorageTarget{"D:\\oracle\\oradata\\NEWDB"}, sink);
  const std::vector<std::string> expected = {
      "CREATE TABLESPACE \"USERS\" DATAFILE 'D:\\oracle\\oradata\\NEWDB\\USERS01.DBF' SIZE 5M LOGGING EXTENT "
      "MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO",
      "ALTER DATABASE DATAFILE 'D:\\oracle\\oradata\\NEWDB\\USERS01.DBF' AUTOEXTEND ON",
      "CREATE TABLESPACE \"DATA\" DATAFILE 'D:\\oracle\\oradata\\NEWDB\\DATA01.DBF' SIZE 5M LOGGING EXTENT "
      "MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO",
      "ALTER DATABASE DATAFILE 'D:\\oracle\\oradata\\NEWDB\\DATA01.DBF' AUTOEXTEND ON",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  ASSERT_EQ(sink.statements.size(), 4u);
  EXPECT_TRUE(sink.statements[0].note.built_in);   // USERS: every new database has it
  EXPECT_FALSE(sink.statements[2].note.built_in);
  EXPECT_EQ(sink.statements[0].note.phase, "Repairing Tablespace ");
}

TEST(StorageDdl, TargetPathsKeepTheTargetsSeparator) {
  struct Case {
    const char* folder;
    const char* path;
  };
  const Case cases[] = {
      {"D:\\oracle\\oradata\\NEWDB", "D:\\oracle\\oradata\\NEWDB\\F.DBF"},
      {"D:\\oracle\\oradata\\NEWDB\\", "D:\\oracle\\oradata\\NEWDB\\F.DBF"},
      {"/u01/oradata/NEWDB", "/u01/oradata/NEWDB/F.DBF"},
      {"/u01/oradata/NEWDB/", "/u01/oradata/NEWDB/F.DBF"},
      {"", "F.DBF"},
  };
  for (const Case& c : cases) EXPECT_EQ(TargetDatafilePath(StorageTarget{c.folder}, "F.DBF"), c.path) << c.folder;
}

TEST(StorageDdl, TablespaceWithoutDatafileIsLeftOutWithAReason) {
  test::SecurityCatalogue db;
  db.Tablespace("TEMP", true);
  db.Tablespace("LOST");
  db.Tablespace("KEPT");
  db.Datafile("KEPT01.DBF", "KEPT");
  RecorderSink sink;
  CreateTablespaces(db.source(), StorageTarget{"/t"}, sink);
  ASSERT_EQ(sink.statements.size(), 2u);
  EXPECT_EQ(sink.statements[0].note.object, "Tablespace KEPT");
  ASSERT_EQ(sink.skipped.size(), 2u);
  EXPECT_EQ(sink.skipped[0].note.object, "Tablespace TEMP");
  EXPECT_NE(sink.skipped[0].reason.find("temporary"), std::string::npos);
  EXPECT_EQ(sink.skipped[1].note.object, "Tablespace LOST");
  EXPECT_NE(sink.skipped[1].reason.find("no datafile"), std::string::npos);
  EXPECT_FALSE(TablespaceWillExist(db.source(), "LOST"));
  EXPECT_TRUE(TablespaceWillExist(db.source(), "KEPT"));
  EXPECT_TRUE(TablespaceWillExist(db.source(), "SYSTEM"));
}

TEST(StorageDdl, DatafilesAreAddedWithoutReuse) {
  test::SecurityCatalogue db;
  db.Tablespace("DATA");
  db.Datafile("DATA01.DBF", "DATA");
  db.Datafile("DATA02.DBF", "DATA");
  RecorderSink sink;
  AddDatafiles(db.source(), StorageTarget{"/u01/oradata/NEW"}, sink);
  const std::vector<std::string> expected = {
      "ALTER TABLESPACE \"DATA\" ADD DATAFILE '/u01/oradata/NEW/DATA01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED",
      "ALTER TABLESPACE \"DATA\" ADD DATAFILE '/u01/oradata/NEW/DATA02.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  for (const std::string& text : sink.Texts()) EXPECT_EQ(text.find("REUSE"), std::string::npos);
}

TEST(StorageDdl, TargetFolderMayNotBeOrLieInsideTheSourceFolder) {
  const std::string root = test::FreshFolder("target-folder-check");
  const std::string source = root + "/oradata/OLD";
  std::filesystem::create_directories(source + "/sub");
  std::filesystem::create_directories(root + "/oradata/NEW");
  std::filesystem::create_symlink(source, root + "/link-to-old");
  struct Case {
    std::string target;
    bool refused;
  };
  const Case cases[] = {
      {source, true},
      {source + "/", true},
      {source + "/sub", true},
      {source + "/sub/../sub/deeper", true},
      {root + "/oradata/NEW/../OLD", true},
      {root + "/link-to-old", true},
      {root + "/oradata/NEW", false},
      {root + "/oradata/OLDER", false},  // a sibling whose name starts the same
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckTargetFolder(source, c.target).has_value(), c.refused) << c.target;
  // Windows paths compare without regard to case or separator.
  EXPECT_TRUE(CheckTargetFolder("D:\\oradata\\OLD", "d:/ORADATA/old/x").has_value());
  EXPECT_FALSE(CheckTargetFolder("D:\\oradata\\OLD", "D:\\oradata\\NEW").has_value());
}

}  // namespace
}  // namespace quillon::repair
