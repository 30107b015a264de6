// The script's file, written by a thread of its own: every byte reaches the
// file in order whatever the sizes of the writes and of the buffers, also
// past the window after which its pages leave the page cache; a full disk
// makes the stream bad and the rows of the table count as failed, both at
// once and after the disk filled; a file that cannot be made says why.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "repair/script_file.h"
#include "repair/target_choice.h"
#include "support/test_paths.h"
#include "support/text_helpers.h"

namespace quillon {
namespace {

TEST(ScriptFile, EveryByteArrivesInOrder) {
  const struct Case {
    std::size_t buffer_bytes;
    std::size_t buffers;
  } cases[] = {{1, 2}, {7, 2}, {64, 3}, {4096, 4}, {std::size_t{256} << 10, 4}};
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.buffer_bytes) + " bytes x " + std::to_string(c.buffers));
    const auto path = dir.path() / "out.sql";
    std::string expected;
    {
      repair::ScriptFileBuffer file(c.buffer_bytes, c.buffers);
      ASSERT_TRUE(file.Open(path.string()));
      std::ostream out(&file);
      // Writes of one byte, of less than a buffer, of several buffers, and
      // flushes between them.
      const std::size_t longest = std::min<std::size_t>(3 * c.buffer_bytes + 11, 9000);
      for (std::size_t i = 0; i < 300; ++i) {
        const std::string piece(i * 37 % longest, static_cast<char>('a' + i % 26));
        out << piece << static_cast<char>('0' + i % 10);
        expected += piece;
        expected += static_cast<char>('0' + i % 10);
        if (i % 50 == 0) {
          out.flush();
          ASSERT_TRUE(out.good());
          EXPECT_EQ(test::ReadFileText(path), expected);  // a flush puts everything in the file
        }
      }
      ASSERT_TRUE(out.good());
      ASSERT_TRUE(file.Close());
    }
    EXPECT_EQ(test::ReadFileText(path), expected);
  }
}

// Past some megabytes the file's pages are written out and dropped from the
// page cache behind the writing: the file still holds every byte in order.
TEST(ScriptFile, AFileLargerThanTheCacheWindowArrivesWhole) {
  test::TempDir dir;
  const auto path = dir.path() / "large.sql";
  std::string expected;
  {
    repair::ScriptFileBuffer file;
    ASSERT_TRUE(file.Open(path.string()));
    std::ostream out(&file);
    for (int i = 0; expected.size() < (std::size_t{24} << 20); ++i) {
      std::string piece = "insert " + std::to_string(i) + " ";
      piece.append(static_cast<std::size_t>(i % 5000), static_cast<char>('a' + i % 26));
      piece += '\n';
      out << piece;
      expected += piece;
      if (i % 100000 == 0) out.flush();
    }
    ASSERT_TRUE(out.flush());
    ASSERT_TRUE(file.Close());
  }
  const std::string text = test::ReadFileText(path);
  ASSERT_EQ(text.size(), expected.size());
  EXPECT_TRUE(text == expected);
}

TEST(ScriptFile, AFullDiskOrAFolderThatIsMissingIsReported) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  {
    SCOPED_TRACE("the stream");
    repair::ScriptFileBuffer file(4096, 2);
    ASSERT_TRUE(file.Open("/dev/full"));
    std::ostream out(&file);
    // Far more than the buffers hold: the writes after the failure are
    // refused at once rather than waiting for a buffer that never frees.
    for (int i = 0; i < 10000 && out.good(); ++i) out << std::string(1000, 'x');
    out.flush();
    EXPECT_FALSE(out.good());
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.error().empty());
  }
  {
    SCOPED_TRACE("the script target's rows");
    for (const std::uint64_t rows : {std::uint64_t{3}, std::uint64_t{100000}}) {
      repair::TargetChoice choice;
      choice.kind = repair::TargetKind::kScriptFile;
      choice.file_path = "/dev/full";
      auto target = repair::MakeTarget(choice);
      ASSERT_NE(target, nullptr);
      // The header waits in the buffer: nothing has failed yet.
      ASSERT_TRUE(target->Connect());
      ASSERT_TRUE(target->BeginRows());
      const std::vector<repair::Value> row = {repair::NumberValue{"12345"}, repair::TextValue{std::string(40, 'x')}};
      for (std::uint64_t i = 0; i < rows; ++i) target->InsertRow(R"(insert into "O"."T" ("A","B") values (?, ?))", row);
      const repair::RowOutcome outcome = target->EndRows();
      EXPECT_FALSE(outcome.ok);
      EXPECT_EQ(outcome.inserted, 0u);
      EXPECT_EQ(outcome.failed, rows);
      target->Disconnect();
    }
  }
  {
    SCOPED_TRACE("a missing folder");
    test::TempDir dir;
    repair::TargetChoice choice;
    choice.kind = repair::TargetKind::kScriptFile;
    choice.file_path = (dir.path() / "missing" / "out.sql").string();
    auto target = repair::MakeTarget(choice);
    ASSERT_NE(target, nullptr);
    EXPECT_FALSE(target->Connect());
    EXPECT_NE(target->DescribeError().find("No such file or directory"), std::string::npos) << target->DescribeError();
  }
}

}  // namespace
}  // namespace quillon
