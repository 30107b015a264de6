// Tables in automatic space management segments whose 0x23 headers keep the
// words before their extent entries in each candidate order: one extent,
// many extents in the header, extent map blocks; a header whose extent count
// is zero or garbage. Every row reads back exactly.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/row_collect.h"
#include "support/table_db.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;

namespace tc = type_code;

// The log lines the reader writes.
struct LogLines final : NotificationSink {
  void AppendLog(std::string_view text, LogMode /*mode*/) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

struct Shape {
  const char* what;
  std::uint32_t extent_blocks;
  std::uint32_t min_extents;
  std::optional<std::uint32_t> per_map;
  std::optional<std::uint32_t> damaged_count;  // the header's count word becomes this
};

TEST(AssmHeaders, TablesReadBackUnderEveryOrder) {
  const Shape shapes[] = {
      {"one extent", 64, 1, std::nullopt, std::nullopt},
      {"many extents in the header", 8, 60, std::nullopt, std::nullopt},
      {"extent map blocks", 8, 30, 7u, std::nullopt},
      {"count zero", 8, 12, std::nullopt, 0u},
      {"count garbage", 8, 30, 7u, 0xDEADBEEFu},
  };
  std::uint32_t seed = 20;
  for (const auto order : testdb::kAssmHeaderOrders) {
    for (const Shape& shape : shapes) {
      SCOPED_TRACE(std::string(shape.what) + ", order " + std::to_string(static_cast<int>(order)));
      auto model = testdb::NewDatabaseModel("ASSM", "11.2", 2048, ++seed);
      model.assm_header_order = order;
      testdb::SegmentModel s;
      s.name = "T";
      s.object_number = 77000;
      s.space = SpaceManagement::kAssm;
      s.extent_blocks = shape.extent_blocks;
      s.min_extents = shape.min_extents;
      s.max_extents_per_map = shape.per_map;
      std::vector<std::vector<ColumnBytes>> expected;
      for (std::uint32_t i = 0; i < 150; ++i) {
        const std::string text = "row " + std::to_string(i) + std::string(i % 40, 'x');
        std::vector<ColumnBytes> row{testdb::EncodeNumber(i), Bytes(text.begin(), text.end())};
        expected.push_back(row);
        s.rows.emplace_back(std::move(row));
      }
      model.segments.push_back(std::move(s));
      if (shape.damaged_count) {
        model.damage.push_back(
            testdb::Damage::ExtentCount(77000, testdb::BlockRole::kSegmentHeader, 0, *shape.damaged_count));
      }
      LogLines log;
      test::TableDb db(model, "assm-order", &log);
      const auto& layout = db.Segment(77000);
      if (shape.per_map) {
        EXPECT_FALSE(layout.extent_map_dbas.empty());
      }
      db.engine().catalogue.tables.Append(db.TableOn(770, 77000));
      db.Describe(770, "SCOTT", "T", {{"ID", tc::kNumber}, {"NAME"}});

      BlockSource source(db.engine().datafiles);
      const SegmentWalk walk = WalkSegment(source, db.engine().datafiles, layout.header_dba);
      EXPECT_TRUE(walk.problem.empty()) << walk.problem;
      EXPECT_EQ(walk.object_number, 77000u);
      EXPECT_EQ(walk.extents.size(), layout.extents.size());
      EXPECT_EQ(walk.blocks, layout.blocks);
      EXPECT_EQ(walk.count_disagrees, shape.damaged_count.has_value());

      // Reading the table twice logs a count that disagrees with the entries
      // once.
      TableRowReader reader(db.engine(), source, 770);
      const auto rows = test::ReadAll(reader);
      TableRowReader again(db.engine(), source, 770);
      EXPECT_EQ(test::ReadAll(again).size(), rows.size());
      const auto noted = std::count_if(log.lines.begin(), log.lines.end(), [](const std::string& line) {
        return line.find("disagrees with its extent list") != std::string::npos;
      });
      EXPECT_EQ(noted, shape.damaged_count ? 1 : 0);
      ASSERT_EQ(rows.size(), expected.size());
      for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].values.size(), 2u);
        EXPECT_EQ(rows[i].values[0], expected[i][0]) << i;
        EXPECT_EQ(rows[i].values[1], expected[i][1]) << i;
      }
    }
  }
}

}  // namespace
}  // namespace quillon
