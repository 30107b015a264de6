// A damaged dictionary can hold any number in any field of a column. The
// CREATE TABLE built from it must still be one Oracle takes (or be left out
// with a reason): a statement Oracle refuses costs the table and all its
// rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "reader/catalogue_views.h"
#include "reader/packed_codes.h"
#include "repair/statement_sink.h"
#include "repair/table_ddl.h"
#include "support/generated_schema_db.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

TEST(TableDdlDamage, AnyNumberInAColumnsFieldsStillGivesATableOracleTakes) {
  test::OpenedDb opened(test::SampleDb("11.2", 8192));
  COracleRecoveryTools& engine = opened.engine;
  const CatalogueViews views(engine.catalogue);
  std::vector<TableDefinition> tables;
  for (const ObjectRecord& o : engine.catalogue.ObjectsOfKind(ObjectKind::kTable)) {
    if (o.owner != "HR" && o.owner != "SALES") continue;
    TableDefinition t = views.Table(o);
    if (!t.columns.empty()) tables.push_back(std::move(t));
  }
  ASSERT_GT(tables.size(), 10u);

  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const std::optional<std::int64_t> numbers[] = {std::nullopt, kMin, -100000, -85, -84, -1, 0, 1, 2, 9, 10,
                                                 38, 39, 126, 127, 128, 1999, 2000, 2001, 4000, 4001, 32767,
                                                 32768, 1LL << 40, kMax};
  const std::uint32_t types[] = {type_code::kVarchar2,    type_code::kNumber,       type_code::kLong,
                                 type_code::kDate,        type_code::kRaw,          type_code::kLongRaw,
                                 type_code::kRowid,       type_code::kChar,         type_code::kBinaryFloat,
                                 type_code::kBinaryDouble, type_code::kClob,        type_code::kBlob,
                                 type_code::kBfile,       type_code::kTimestamp,    type_code::kTimestampTz,
                                 type_code::kIntervalYm,  type_code::kIntervalDs,   type_code::kUrowid,
                                 type_code::kTimestampLtz};
  std::mt19937_64 random(20261210);
  const auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  std::size_t built = 0;
  for (int run = 0; run < 4000; ++run) {
    TableDefinition t = tables[pick(tables.size())];
    std::string changes;
    for (std::size_t k = 0, n = 1 + pick(3); k < n; ++k) {
      ColumnDefinition& c = t.columns[pick(t.columns.size())];
      const std::optional<std::int64_t> v = numbers[pick(std::size(numbers))];
      const std::string shown = v ? std::to_string(*v) : "NULL";
      switch (pick(7)) {
        case 0: c.length = v; changes += c.name + ".length=" + shown + " "; break;
        case 1: c.precision = v; changes += c.name + ".precision=" + shown + " "; break;
        case 2: c.scale = v; changes += c.name + ".scale=" + shown + " "; break;
        case 3:
          c.char_length = v;
          c.char_semantics = true;
          changes += c.name + ".char_length=" + shown + " ";
          break;
        case 4:
          c.charset_form = static_cast<std::uint16_t>(1 + pick(3));
          c.charset_id = pick(2) == 0 ? PackedCode(871) : PackedCode(2000);
          changes += c.name + ".charset_form=" + std::to_string(c.charset_form) + " ";
          break;
        case 5:
          c.type_code = types[pick(std::size(types))];
          changes += c.name + ".type#=" + std::to_string(c.type_code) + " ";
          break;
        default:
          if (t.iot) {
            t.iot->overflow_threshold = static_cast<std::uint32_t>(v.value_or(0));
            changes += "pctthreshold=" + shown + " ";
          }
          break;
      }
    }
    RecorderSink statements;
    CreateTableStatement(t, statements);
    for (const Statement& s : statements.statements) {
      ++built;
      const std::string why = test::OracleGrammar::Check(s.text);
      ASSERT_EQ(why, "") << t.object.owner << "." << t.object.name << " with " << changes << "\n" << s.text;
    }
  }
  EXPECT_GT(built, 3000u);
}

}  // namespace
}  // namespace quillon::repair
