// The rows of the sample database read back: for every release and
// numbering, each application table's rows as `quillon rows --all` reads
// them (every value in full, LOB and LONG contents included) are the rows
// the generator says it wrote (quillon-testdb --describe --with-rows).
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rows/table_export.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "support/generated_schema_db.h"
#include "testdb/describe.h"

namespace quillon {
namespace {

// A row as one comparable text: its columns sorted by name.
std::string RowText(CatalogueJsonRow row) {
  std::sort(row.begin(), row.end());
  std::string out;
  for (const auto& [name, value] : row) {
    out += name + "=" + (value ? "'" + *value + "'" : std::string("NULL")) + " ";
  }
  return out;
}

class RowTexts final : public RowWriter {
 public:
  void Begin(std::span<const std::string> column_names) override {
    names_.assign(column_names.begin(), column_names.end());
  }
  void Row(std::span<const ValueText> values) override {
    CatalogueJsonRow row;
    for (std::size_t i = 0; i < values.size() && i < names_.size(); ++i) {
      row.emplace_back(names_[i], values[i].is_null ? std::nullopt : std::optional<std::string>(values[i].text));
    }
    rows.push_back(RowText(std::move(row)));
  }
  void Flush() override {}
  std::uint64_t bytes_written() const override { return 0; }

  std::vector<std::string> rows;

 private:
  std::vector<std::string> names_;
};

TEST(SampleRows, EveryTableGivesTheRowsTheGeneratorWrote) {
  for (const char* release : {"8i", "9i", "10.1", "10.2", "11.1", "11.2", "11.2-alt"}) {
    SCOPED_TRACE(release);
    const auto& db = test::SampleDb(release, 8192);
    NullSink sink;
    StopFlag stop;
    COracleRecoveryTools engine{sink, stop};
    IdentifyRelease(engine, db.system_path());
    ReadDictionary(engine);
    BlockSource source(engine.datafiles);
    std::size_t tables_with_rows = 0;
    for (const auto& [table, described] : testdb::DescribeRows(db.db)) {
      const ObjectRecord* object = engine.catalogue.Object(table);
      SCOPED_TRACE(object ? object->owner + "." + object->name : "#" + std::to_string(table));
      std::vector<std::string> expected;
      for (const CatalogueJsonRow& row : described) expected.push_back(RowText(row));
      RowTexts read;
      ExportOptions options;
      options.large = LargeValues::kContent;
      const ExportResult r = ExportTableRows(engine, source, table, read, options);
      EXPECT_TRUE(r.table_found);
      EXPECT_EQ(r.partial_rows, 0u);
      EXPECT_EQ(r.damaged_blocks + r.unreadable_blocks + r.incomplete_values, 0u);
      // Block order need not be insertion order: the rows are compared as sets.
      std::sort(expected.begin(), expected.end());
      std::sort(read.rows.begin(), read.rows.end());
      EXPECT_EQ(read.rows, expected);
      if (!expected.empty()) ++tables_with_rows;
    }
    EXPECT_GT(tables_with_rows, 5u);
  }
}

}  // namespace
}  // namespace quillon
