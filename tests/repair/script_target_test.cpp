// The script target's literals read back by the tests' own reader of
// Oracle's literal forms: text of every kind (quotes, control characters,
// long texts in pieces), national text through UNISTR, RAW bytes, numbers
// to the last digit, the binary floats' special values; rows with long
// values as PL/SQL blocks (variables, or an empty LOB filled with
// DBMS_LOB.WRITEAPPEND) read back byte for byte; no line over SQL*Plus's
// limit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <streambuf>

#include "repair/script_target.h"
#include "support/script_literals.h"
#include "support/oracle_grammar.h"

namespace quillon {
namespace {

using test::ScriptValue;
using K = ScriptValue::Kind;

class MemoryBytes final : public repair::LongBytes {
 public:
  explicit MemoryBytes(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t size() const override { return bytes_.size(); }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = std::min<std::size_t>(into.size(), bytes_.size() - offset);
    std::memcpy(into.data(), bytes_.data() + offset, n);
    return n;
  }

 private:
  std::string bytes_;
};

repair::LongValue Long(repair::LongValue::Form form, std::string bytes) {
  repair::LongValue v;
  v.form = form;
  v.bytes = std::make_shared<MemoryBytes>(std::move(bytes));
  return v;
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    out += digits[static_cast<unsigned char>(c) >> 4];
    out += digits[static_cast<unsigned char>(c) & 0xF];
  }
  return out;
}

std::string Utf8Sample(std::size_t n) {
  std::string out;
  const char* parts[] = {"a", "'", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", " ", "\n", "\\", "/", "#", "&"};
  for (std::size_t i = 0; out.size() < n; ++i) out += parts[(i * 7 + i / 3) % 11];
  return out;
}

void ExpectLinesWithinLimit(const std::string& script) {
  std::istringstream in(script);
  std::string line;
  while (std::getline(in, line)) EXPECT_LE(line.size(), repair::kMaxScriptLine) << line.substr(0, 80);
}

TEST(ScriptLiterals, EveryValueFormReadsBackExactly) {
  struct Case {
    const char* name;
    repair::Value value;
    ScriptValue expected;
  };
  std::string all_bytes;
  for (int i = 0; i < 256; ++i) all_bytes += static_cast<char>(i);
  const std::vector<Case> cases = {
      {"null", repair::NullValue{}, {K::kNull, ""}},
      {"quotes", repair::TextValue{"it's ''quoted''"}, {K::kText, "it's ''quoted''"}},
      {"control characters", repair::TextValue{"a\nb\r\tc\x01"}, {K::kText, "a\nb\r\tc\x01"}},
      {"a line that would be a command", repair::TextValue{"x\n/\n#y"}, {K::kText, "x\n/\n#y"}},
      {"long text in pieces", repair::TextValue{Utf8Sample(3900)}, {K::kText, Utf8Sample(3900)}},
      {"national text", repair::WideTextValue{u"\u00E9'\\\U0001F600\n"}, {K::kText, "\xC3\xA9'\\\xF0\x9F\x98\x80\n"}},
      {"long national text", repair::WideTextValue{std::u16string(1999, u'\u20AC') + u"'"},
       {K::kText, [] {
          std::string s;
          for (int i = 0; i < 1999; ++i) s += "\xE2\x82\xAC";
          return s + "'";
        }()}},
      {"raw bytes", repair::BinaryValue{std::vector<std::uint8_t>(all_bytes.begin(), all_bytes.end())},
       {K::kBinary, Hex(all_bytes)}},
      {"long raw bytes", repair::BinaryValue{std::vector<std::uint8_t>(2000, 0xAB)},
       {K::kBinary, std::string(4000, 'A').replace(1, 1, "B")}},
      {"number with every digit", repair::NumberValue{"-12345678901234567890123456789012345678"},
       {K::kNumber, "-12345678901234567890123456789012345678"}},
      {"small number", repair::NumberValue{"0.0000001"}, {K::kNumber, "0.0000001"}},
      {"exponent", repair::NumberValue{"1E+125"}, {K::kNumber, "1E+125"}},
      {"binary double text", repair::NumberValue{"1e-07"}, {K::kNumber, "1e-07"}},
      {"not a numeral", repair::NumberValue{"1;DROP"}, {K::kText, "1;DROP"}},
      {"integer", repair::IntegerValue{-9007199254740993}, {K::kNumber, "-9007199254740993"}},
      {"real NaN", repair::RealValue{std::nan("")}, {K::kSpecial, "BINARY_DOUBLE_NAN"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto literal = repair::ScriptLiteral(c.value);
    ASSERT_TRUE(literal);
    test::ScriptReader reader(*literal);
    const auto back = reader.Expression();
    ASSERT_TRUE(back) << *literal;
    EXPECT_TRUE(reader.AtEnd()) << *literal;
    ScriptValue expected = c.expected;
    if (std::string(c.name) == "long raw bytes") {
      expected.text.clear();
      for (int i = 0; i < 2000; ++i) expected.text += "AB";
    }
    EXPECT_EQ(back->kind, expected.kind);
    EXPECT_EQ(back->text, expected.text);
  }
  EXPECT_FALSE(repair::ScriptLiteral(Long(repair::LongValue::Form::kText, "x")));
}

// Texts are checked eight bytes at a time: a quote or a control character
// is found at every place in a word, and the bytes next to the ranges
// (space, '~', UTF-8 bytes) are left as they are.
TEST(ScriptLiterals, AQuoteOrControlCharacterAnywhereInTheTextIsEscaped) {
  for (const char special : {'\'', '\x01', '\x1F', '\x7F', '\n', '\0'}) {
    for (std::size_t at = 0; at < 19; ++at) {
      std::string text(19, 'a');
      text[at] = special;
      SCOPED_TRACE(testing::Message() << "byte " << static_cast<int>(special) << " at " << at);
      const auto literal = repair::ScriptLiteral(repair::TextValue{text});
      ASSERT_TRUE(literal);
      for (const char c : *literal) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << *literal;
      test::ScriptReader reader(*literal);
      const auto back = reader.Expression();
      ASSERT_TRUE(back) << *literal;
      EXPECT_TRUE(reader.AtEnd()) << *literal;
      EXPECT_EQ(back->text, text);
    }
  }
  for (const char plain : {' ', '~', '\x80', '\xFF', '&'}) {
    const std::string text = std::string(11, 'b') + plain + std::string(5, 'c');
    EXPECT_EQ(repair::ScriptLiteral(repair::TextValue{text}), "'" + text + "'");
  }
}

TEST(ScriptLiterals, PlaceholdersOutsideQuotedNamesAndLiteralsOnly) {
  EXPECT_EQ(repair::PlaceholderOffsets(R"(insert into "A?"."T" ("C?") values (?, '?', TO_DATE(?, 'x?')))"),
            (std::vector<std::size_t>{36, 52}));
}

TEST(ScriptTargetRows, RowsReadBackWithLongValuesAndACommitPerTable) {
  std::ostringstream out;
  repair::ScriptTarget target(out, "test");
  ASSERT_TRUE(target.Connect());
  const std::string head = R"(insert into "O"."T" PARTITION ("P") ("ID","C","B","L","N") values )";
  const std::string sql = head + "(?, ?, ?, ?, ?)";
  const std::string big_text = Utf8Sample(70000);
  std::string big_binary;
  for (int i = 0; i < 40000; ++i) big_binary += static_cast<char>(i * 31);
  const std::string small_text = Utf8Sample(5000);
  const std::string wide_big = Utf8Sample(20000);
  ASSERT_TRUE(target.BeginRows());
  {
    const std::vector<repair::Value> row = {repair::NumberValue{"1"}, repair::TextValue{"plain"},
                                            repair::BinaryValue{{1, 2}}, repair::NullValue{}, repair::NullValue{}};
    target.InsertRow(sql, row);
  }
  {
    const std::vector<repair::Value> row = {
        repair::NumberValue{"2"}, Long(repair::LongValue::Form::kText, big_text),
        Long(repair::LongValue::Form::kBinary, big_binary), Long(repair::LongValue::Form::kText, small_text),
        Long(repair::LongValue::Form::kWideText, wide_big)};
    target.InsertRow(sql, row);
  }
  {
    const std::vector<repair::Value> row = {repair::NumberValue{"3"}, repair::NullValue{},
                                            Long(repair::LongValue::Form::kBinary, std::string("\0\1\2", 3)),
                                            repair::NullValue{}, Long(repair::LongValue::Form::kWideText, "\xC3\xA9")};
    target.InsertRow(sql, row);
  }
  const repair::RowOutcome outcome = target.EndRows();
  target.Disconnect();
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.inserted, 3u);
  EXPECT_EQ(outcome.failed, 0u);
  const std::string script = out.str();
  ExpectLinesWithinLimit(script);
  EXPECT_EQ(test::CheckScript(script), std::vector<std::string>{});
  const auto units = test::ScriptUnits(script);
  std::vector<test::ScriptInsert> rows;
  std::size_t commits = 0;
  for (const std::string& unit : units) {
    if (unit == "COMMIT") ++commits;
    if (unit.starts_with("insert") || unit.starts_with("DECLARE")) {
      const auto row = test::ReadRowUnit(unit);
      ASSERT_TRUE(row) << unit.substr(0, 300);
      rows.push_back(*row);
    }
  }
  EXPECT_EQ(commits, 1u);
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& r : rows) {
    EXPECT_EQ(r.owner, "O");
    EXPECT_EQ(r.table, "T");
    EXPECT_EQ(r.partition, "P");
    EXPECT_EQ(r.columns, (std::vector<std::string>{"ID", "C", "B", "L", "N"}));
  }
  EXPECT_EQ(rows[0].values[1].text, "plain");
  EXPECT_EQ(rows[0].values[2].text, "0102");
  EXPECT_EQ(rows[1].values[0].text, "2");
  EXPECT_EQ(rows[1].values[1].text, big_text);
  EXPECT_EQ(rows[1].values[2].text, Hex(big_binary));
  EXPECT_EQ(rows[1].values[3].text, small_text);
  EXPECT_EQ(rows[1].values[4].text, wide_big);
  EXPECT_EQ(rows[2].values[2].text, "000102");
  EXPECT_EQ(rows[2].values[4].text, "\xC3\xA9");
  EXPECT_NE(script.find("RETURNING \"C\", \"B\", \"N\" INTO l2, l3, l5;"), std::string::npos);
  EXPECT_NE(script.find("EMPTY_CLOB()"), std::string::npos);
  EXPECT_NE(script.find("EMPTY_BLOB()"), std::string::npos);
}

// One-line rows are gathered before they reach the stream; rows written
// another way (a text too long for one line, a long value's block) and the
// COMMIT still come in the order the rows came.
TEST(ScriptTargetRows, GatheredRowsKeepTheirOrderAmongRowsWrittenOtherwise) {
  std::ostringstream out;
  repair::ScriptTarget target(out, "test");
  ASSERT_TRUE(target.Connect());
  const std::string sql = R"(insert into "O"."T" ("ID","C") values (?, ?))";
  ASSERT_TRUE(target.BeginRows());
  const std::vector<repair::Value> texts[] = {
      {repair::NumberValue{"1"}, repair::TextValue{"a"}},
      {repair::NumberValue{"2"}, repair::TextValue{Utf8Sample(4000)}},  // split over lines
      {repair::NumberValue{"3"}, repair::TextValue{"b"}},
      {repair::NumberValue{"4"}, Long(repair::LongValue::Form::kText, "c")},  // a block
      {repair::NumberValue{"5"}, repair::NullValue{}},
  };
  for (const auto& row : texts) target.InsertRow(sql, row);
  const repair::RowOutcome outcome = target.EndRows();
  target.Disconnect();
  EXPECT_EQ(outcome.inserted, 5u);
  const std::string script = out.str();
  ExpectLinesWithinLimit(script);
  std::vector<std::string> ids;
  bool committed_last = false;
  for (const std::string& unit : test::ScriptUnits(script)) {
    if (unit.starts_with("insert") || unit.starts_with("DECLARE")) {
      const auto row = test::ReadRowUnit(unit);
      ASSERT_TRUE(row) << unit.substr(0, 300);
      ids.push_back(row->values[0].text);
      committed_last = false;
    }
    if (unit == "COMMIT") committed_last = true;
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_TRUE(committed_last);
}

TEST(ScriptTargetRows, AStatementTheScriptCannotHoldIsAFailureNotASuccess) {
  std::ostringstream out;
  repair::ScriptTarget target(out, "test");
  repair::Statement bad = repair::Statement::Sql("/");
  EXPECT_FALSE(target.Execute(bad));
  EXPECT_FALSE(target.DescribeError().empty());
  ASSERT_TRUE(target.BeginRows());
  const std::vector<repair::Value> two = {repair::NullValue{}, repair::NullValue{}};
  target.InsertRow(R"(insert into "O"."T" ("A") values (?))", two);
  const auto outcome = target.EndRows();
  EXPECT_EQ(outcome.inserted, 0u);
  EXPECT_EQ(outcome.failed, 1u);
  ASSERT_EQ(outcome.errors.size(), 1u);
}

// A file that takes so many bytes, then refuses (a full disk), behind a
// buffer as a file stream has.
class FullDiskBuffer final : public std::streambuf {
 public:
  explicit FullDiskBuffer(std::size_t room) : room_(room) { setp(buffer_, buffer_ + sizeof buffer_); }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const auto n = static_cast<std::size_t>(pptr() - pbase());
    if (n > room_) return false;
    room_ -= n;
    setp(buffer_, buffer_ + sizeof buffer_);
    return true;
  }
  char buffer_[4096];
  std::size_t room_;
};

TEST(ScriptTargetRows, RowsAFullDiskRefusedAreFailedNotWritten) {
  const struct Case {
    const char* name;
    std::size_t room;
    std::uint64_t rows;
  } cases[] = {{"the disk fills during the rows", 60000, 2000}, {"the disk is full from the start", 0, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FullDiskBuffer buffer(c.room);
    std::ostream out(&buffer);
    repair::ScriptTarget target(out, "test");
    ASSERT_TRUE(target.BeginRows());
    const std::vector<repair::Value> row = {repair::NumberValue{"12345"}, repair::TextValue{std::string(40, 'x')}};
    for (std::uint64_t i = 0; i < c.rows; ++i) target.InsertRow(R"(insert into "O"."T" ("A","B") values (?, ?))", row);
    const repair::RowOutcome outcome = target.EndRows();
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.inserted, 0u);
    EXPECT_EQ(outcome.failed, c.rows);
    ASSERT_FALSE(outcome.errors.empty());
    EXPECT_EQ(outcome.errors.back(), repair::kScriptWriteError);
    EXPECT_FALSE(target.Execute(repair::Statement::Sql("CREATE TABLE X (A NUMBER)")));
  }
}

}  // namespace
}  // namespace quillon
