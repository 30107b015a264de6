// The ODBC target against real drivers: SQLite's (no server) and
// PostgreSQL's Unicode driver on the throwaway server of scripts/services.
// The SQL here is neutral: these tests are about binding, streaming, counts
// and failures, not about the Oracle dialect.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <sstream>

#include "repair/odbc_target.h"
#include "repair/odbc_text.h"
#include "repair/odbc_drivers.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

using repair::LongValue;
using repair::OdbcTarget;
using repair::OdbcTargetOptions;
using repair::Value;

// A long value whose bytes are computed from their offset: any size without
// holding it in memory.
class PatternBytes final : public repair::LongBytes {
 public:
  PatternBytes(std::string pattern, std::uint64_t size) : pattern_(std::move(pattern)), size_(size) {}
  std::uint64_t size() const override { return size_; }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    std::size_t n = 0;
    for (; n < into.size() && offset + n < size_; ++n) {
      into[n] = static_cast<std::uint8_t>(pattern_[(offset + n) % pattern_.size()]);
    }
    return n;
  }
  std::string Whole() const {
    std::string out;
    for (std::uint64_t i = 0; i < size_; ++i) out += pattern_[i % pattern_.size()];
    return out;
  }

 private:
  std::string pattern_;
  std::uint64_t size_;
};

LongValue Long(LongValue::Form form, std::string pattern, std::uint64_t size) {
  return LongValue{form, std::make_shared<PatternBytes>(std::move(pattern), size)};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// The four lines of a failure, each with its own start.
void ExpectFourLines(const std::string& text, const std::string& password) {
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 4u) << text;
  EXPECT_EQ(lines[0].rfind("Message : ", 0), 0u) << text;
  EXPECT_EQ(lines[1].rfind("Code : ", 0), 0u) << text;
  EXPECT_EQ(lines[2].rfind("Source : ", 0), 0u) << text;
  EXPECT_EQ(lines[3].rfind("Description : ", 0), 0u) << text;
  EXPECT_EQ(text.back(), '\n');
  if (!password.empty()) {
    EXPECT_EQ(text.find(password), std::string::npos) << "the password is in: " << text;
  }
}

class OdbcTargetTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    driver_ = GetParam() == "SQLite" ? test::SqliteDriver(dir_.path() / "target.sqlite") : test::PostgresDriver();
    if (!driver_.skip.empty()) GTEST_SKIP() << driver_.skip;
  }
  OdbcTargetOptions Options(std::size_t batch_rows = 500) const {
    OdbcTargetOptions o;
    o.target = driver_.target;
    o.user = driver_.user;
    o.password = driver_.password;
    o.batch_rows = batch_rows;
    o.chunk_bytes = 64 << 10;
    return o;
  }
  std::unique_ptr<OdbcTarget> Connected(std::size_t batch_rows = 500) {
    auto t = std::make_unique<OdbcTarget>(Options(batch_rows));
    EXPECT_TRUE(t->Connect()) << t->DescribeError();
    return t;
  }
  void Run(OdbcTarget& t, const std::string& sql) { ASSERT_TRUE(t.Execute(repair::Statement::Sql(sql))) << t.DescribeError() << sql; }

  test::TempDir dir_;
  test::OdbcDriver driver_;
};

enum class ColumnKind : std::uint8_t { kText, kNumber, kBinary, kLongText, kLongBinary, kInteger, kReal };

struct TypeCase {
  const char* label;
  ColumnKind column;
  Value value;
  SQLSMALLINT read_as;
  std::optional<std::string> expected;                // nullopt: NULL
  std::optional<std::string> normalized = std::nullopt;  // what a numeric column gives back, when it differs
};

std::string U16(const std::u16string& s) { return test::BytesOf(s); }
std::string U8AsU16(const std::string& s) { return test::BytesOf(repair::Utf8ToUtf16(s)); }
std::string DoubleBytes(double d) {
  std::string out(8, '\0');
  std::memcpy(out.data(), &d, 8);
  return out;
}

// Every kind of value the row writer binds (one per parameter type of the
// row insertion table), bound three times in one table so that the
// parameter-array path runs too, and read back.
TEST_P(OdbcTargetTest, EveryParameterTypeIsBoundAndReadBack) {
  std::string all_bytes;
  for (int i = 0; i < 256; ++i) all_bytes += static_cast<char>(i);
  const std::vector<TypeCase> cases = {
      {"VARCHAR2 text", ColumnKind::kText, repair::TextValue{"Grüße, 'quoted' \"x\" ✓ 𝄞"}, SQL_C_WCHAR,
       U8AsU16("Grüße, 'quoted' \"x\" ✓ 𝄞")},
      {"CHAR with blanks", ColumnKind::kText, repair::TextValue{"ab  "}, SQL_C_WCHAR, U8AsU16("ab  ")},
      {"RAW as hex text", ColumnKind::kText, repair::TextValue{"0A1BFF"}, SQL_C_WCHAR, U8AsU16("0A1BFF")},
      {"INTERVAL text", ColumnKind::kText, repair::TextValue{"+000000002 03:04:05.123456789"}, SQL_C_WCHAR,
       U8AsU16("+000000002 03:04:05.123456789")},
      {"ROWID as text", ColumnKind::kText, repair::TextValue{"AAAR3sAAEAAAACXAAA"}, SQL_C_WCHAR,
       U8AsU16("AAAR3sAAEAAAACXAAA")},
      {"NCHAR wide text", ColumnKind::kText, repair::WideTextValue{u"Ωμέγα 𝄞 日本"}, SQL_C_WCHAR, U16(u"Ωμέγα 𝄞 日本")},
      {"empty text", ColumnKind::kText, repair::TextValue{""}, SQL_C_WCHAR, std::string()},
      {"NULL", ColumnKind::kText, repair::NullValue{}, SQL_C_WCHAR, std::nullopt},
      {"NUMBER", ColumnKind::kNumber, repair::NumberValue{"-12.5"}, SQL_C_CHAR, "-12.5"},
      {"NUMBER 38 digits", ColumnKind::kNumber, repair::NumberValue{"12345678901234567890.123456789012345678"}, SQL_C_CHAR,
       "12345678901234567890.123456789012345678"},
      {"NUMBER 1E-7", ColumnKind::kNumber, repair::NumberValue{"1E-7"}, SQL_C_CHAR, "1E-7", "0.0000001"},
      {"BINARY_DOUBLE text", ColumnKind::kNumber, repair::NumberValue{"6.02E+23"}, SQL_C_CHAR, "6.02E+23",
       "602000000000000000000000"},
      {"RAW bytes", ColumnKind::kBinary, repair::BinaryValue{std::vector<std::uint8_t>(all_bytes.begin(), all_bytes.end())},
       SQL_C_BINARY, all_bytes},
      {"integer", ColumnKind::kInteger, repair::IntegerValue{std::numeric_limits<std::int64_t>::min()}, SQL_C_CHAR,
       "-9223372036854775808"},
      {"real", ColumnKind::kReal, repair::RealValue{0.1}, SQL_C_DOUBLE, DoubleBytes(0.1)},
      {"LONG", ColumnKind::kLongText, Long(LongValue::Form::kText, "line\nzwei é\t", 100), SQL_C_WCHAR,
       U8AsU16(PatternBytes("line\nzwei é\t", 100).Whole())},
      {"CLOB", ColumnKind::kLongText, Long(LongValue::Form::kText, "aé€𝄞", 1000), SQL_C_WCHAR,
       U8AsU16(PatternBytes("aé€𝄞", 1000).Whole())},
      {"NCLOB", ColumnKind::kLongText, Long(LongValue::Form::kWideText, "日本語𝄞", 700), SQL_C_WCHAR,
       U8AsU16(PatternBytes("日本語𝄞", 700).Whole())},
      {"empty CLOB", ColumnKind::kLongText, Long(LongValue::Form::kText, "x", 0), SQL_C_WCHAR, std::string()},
      {"BLOB", ColumnKind::kLongBinary, Long(LongValue::Form::kBinary, all_bytes, 3000), SQL_C_BINARY,
       PatternBytes(all_bytes, 3000).Whole()},
      {"LONG RAW", ColumnKind::kLongBinary, Long(LongValue::Form::kBinary, std::string("\x00\xff", 2), 11), SQL_C_BINARY,
       PatternBytes(std::string("\x00\xff", 2), 11).Whole()},
  };
  auto t = Connected(/*batch_rows=*/2);
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string type = c.column == ColumnKind::kText        ? driver_.text_type
                             : c.column == ColumnKind::kNumber     ? driver_.number_type
                             : c.column == ColumnKind::kBinary     ? driver_.binary_type
                             : c.column == ColumnKind::kLongText   ? driver_.long_text_type
                             : c.column == ColumnKind::kLongBinary ? driver_.long_binary_type
                             : c.column == ColumnKind::kInteger    ? driver_.integer_type
                                                               : driver_.real_type;
    Run(*t, "DROP TABLE IF EXISTS quillon_types");
    Run(*t, "CREATE TABLE quillon_types (id INTEGER, v " + type + ")");
    ASSERT_TRUE(t->BeginRows()) << t->DescribeError();
    for (int id = 1; id <= 3; ++id) {
      const std::vector<Value> values = {repair::IntegerValue{id}, c.value};
      t->InsertRow("INSERT INTO quillon_types (id, v) VALUES (?, ?)", values);
    }
    const repair::RowOutcome outcome = t->EndRows();
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.inserted, 3u);
    EXPECT_EQ(outcome.failed, 0u) << (outcome.errors.empty() ? "" : outcome.errors.front());
    test::OdbcReader reader(driver_);
    ASSERT_TRUE(reader.ok());
    const auto got = reader.Column("SELECT v FROM quillon_types ORDER BY id", c.read_as);
    std::optional<std::string> expected = c.expected;
    if (driver_.numbers_normalized && c.normalized) expected = c.normalized;
    ASSERT_EQ(got.size(), 3u);
    for (const auto& g : got) {
      ASSERT_EQ(g.has_value(), expected.has_value());
      if (expected) {
        EXPECT_TRUE(*g == *expected) << "got " << g->size() << " bytes, expected " << expected->size();
      }
    }
  }
}

// 5 MB long values, wide characters (1 to 4 bytes each, so that chunks end
// inside characters) and bytes, arrive byte for byte.
TEST_P(OdbcTargetTest, FiveMegabyteLongValuesArriveByteExact) {
  constexpr std::uint64_t kSize = 5u << 20;
  auto t = Connected();
  Run(*t, "DROP TABLE IF EXISTS quillon_long");
  Run(*t, "CREATE TABLE quillon_long (id INTEGER, c " + driver_.long_text_type + ", b " + driver_.long_binary_type + ")");
  const auto text = std::make_shared<PatternBytes>("a€é𝄞日", kSize + 3);  // ends inside a character
  std::string binary_pattern;
  for (int i = 0; i < 251; ++i) binary_pattern += static_cast<char>((i * 7) & 0xFF);
  const auto bytes = std::make_shared<PatternBytes>(binary_pattern, kSize);
  ASSERT_TRUE(t->BeginRows());
  const std::vector<Value> row = {repair::IntegerValue{1}, LongValue{LongValue::Form::kWideText, text},
                                  LongValue{LongValue::Form::kBinary, bytes}};
  t->InsertRow("INSERT INTO quillon_long (id, c, b) VALUES (?, ?, ?)", row);
  const auto outcome = t->EndRows();
  ASSERT_EQ(outcome.inserted, 1u) << (outcome.errors.empty() ? "" : outcome.errors.front());
  test::OdbcReader reader(driver_);
  const auto c = reader.Column("SELECT c FROM quillon_long", SQL_C_WCHAR);
  const auto b = reader.Column("SELECT b FROM quillon_long", SQL_C_BINARY);
  ASSERT_EQ(c.size(), 1u);
  ASSERT_EQ(b.size(), 1u);
  const std::string expected_text = U8AsU16(text->Whole());
  ASSERT_TRUE(c[0].has_value());
  EXPECT_EQ(c[0]->size(), expected_text.size());
  EXPECT_TRUE(*c[0] == expected_text);
  ASSERT_TRUE(b[0].has_value());
  EXPECT_EQ(b[0]->size(), kSize);
  EXPECT_TRUE(*b[0] == bytes->Whole());
}

TEST_P(OdbcTargetTest, AFailingStatementIsDescribedInFourLines) {
  auto t = Connected();
  EXPECT_FALSE(t->Execute(repair::Statement::Sql("INSERT INTO quillon_no_such_table VALUES (1)")));
  const std::string text = t->DescribeError();
  ExpectFourLines(text, driver_.password);
  const auto lines = Lines(text);
  EXPECT_EQ(lines[0], "Message : SQLExecDirect returned SQL_ERROR");
  EXPECT_EQ(lines[1].rfind("Code : SQLSTATE " + driver_.missing_table_state + ", native error ", 0), 0u) << text;
  EXPECT_EQ(lines[2], "Source : " + t->driver_name());
  EXPECT_NE(t->driver_name(), "");
  EXPECT_NE(lines[3].find("quillon_no_such_table"), std::string::npos) << text;
  // The target still works after a failure.
  Run(*t, "DROP TABLE IF EXISTS quillon_after");
}

// One bad row (a duplicate key) in a batch: the other rows go in, the counts
// are exact, whether rows go in parameter arrays or one per execute.
TEST_P(OdbcTargetTest, ABatchWithOneBadRowInsertsTheOthers) {
  for (const std::size_t batch_rows : {std::size_t{4}, std::size_t{1}, std::size_t{500}}) {
    SCOPED_TRACE("batch_rows " + std::to_string(batch_rows));
    auto t = Connected(batch_rows);
    Run(*t, "DROP TABLE IF EXISTS quillon_batch");
    Run(*t, "CREATE TABLE quillon_batch (id INTEGER PRIMARY KEY, v " + driver_.text_type + ")");
    ASSERT_TRUE(t->BeginRows());
    for (const int id : {1, 2, 3, 4, 5, 3, 7, 8, 9, 10}) {
      const std::vector<Value> row = {repair::IntegerValue{id}, repair::TextValue{"row " + std::to_string(id)}};
      t->InsertRow("INSERT INTO quillon_batch (id, v) VALUES (?, ?)", row);
    }
    const auto outcome = t->EndRows();
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.inserted, 9u);
    EXPECT_EQ(outcome.failed, 1u);
    ASSERT_EQ(outcome.errors.size(), 1u);
    ExpectFourLines(outcome.errors.front(), driver_.password);
    test::OdbcReader reader(driver_);
    const auto ids = reader.Column("SELECT id FROM quillon_batch ORDER BY id", SQL_C_CHAR);
    std::vector<std::string> got;
    for (const auto& id : ids) got.push_back(id.value_or("NULL"));
    EXPECT_EQ(got, (std::vector<std::string>{"1", "2", "3", "4", "5", "7", "8", "9", "10"}));
    if (batch_rows > 1) {
      std::cout << "[ INFO     ] " << driver_.name << " parameter arrays: " << (t->UsesParameterArrays() ? "yes" : "no")
                << "\n";
    }
  }
}

// A password with the characters a connection string gives a meaning to: the
// driver manager still sees one DSN/DRIVER, one UID and one PWD (the
// PostgreSQL server's test role has such a password, so connecting proves
// the driver reads the value back whole), and the password is in no error
// text, also when a statement holding it as a quoted identifier fails.
TEST_P(OdbcTargetTest, HostilePasswordsStayOneValueAndOutOfErrorTexts) {
  if (driver_.name == "PostgreSQL") {
    ASSERT_NE(driver_.password.find_first_of(";}="), std::string::npos) << "the services script sets such a password";
    auto t = Connected();
    EXPECT_TRUE(t->Execute(repair::Statement::Sql("SELECT 1")));
    return;
  }
  for (const std::string password : {"a;b", "x}y", "k=v", "};PWD={z", "{b}}"}) {
    OdbcTargetOptions o = Options();
    o.password = password;
    OdbcTarget t(o);
    ASSERT_TRUE(t.Connect()) << t.DescribeError();
    repair::Statement s;
    s.text = "SELECT * FROM ";
    s.password_at = s.text.size();
    EXPECT_FALSE(t.Execute(s));
    EXPECT_EQ(t.DescribeError().find(password), std::string::npos) << t.DescribeError();
    EXPECT_NE(t.DescribeError().find("********"), std::string::npos) << t.DescribeError();
  }
}

TEST_P(OdbcTargetTest, AWrongPasswordTakesTheConnectionErrorPath) {
  if (driver_.name != "PostgreSQL") GTEST_SKIP() << "SQLite's driver has no passwords";
  OdbcTargetOptions o = Options();
  o.password = driver_.password + "-wrong";
  OdbcTarget t(o);
  EXPECT_FALSE(t.Connect());
  ExpectFourLines(t.DescribeError(), o.password);
  EXPECT_EQ(Lines(t.DescribeError())[0], "Message : SQLDriverConnect returned SQL_ERROR");
  EXPECT_FALSE(t.Execute(repair::Statement::Sql("SELECT 1")));
}

// The data source names of the private odbc.ini (scripts/services).
TEST_P(OdbcTargetTest, ADataSourceNameConnects) {
  if (driver_.name != "PostgreSQL" || test::Env("QUILLON_TEST_PG_DSN").empty()) GTEST_SKIP() << "no data source here";
  OdbcTargetOptions o = Options();
  o.target = test::Env("QUILLON_TEST_PG_DSN");
  OdbcTarget t(o);
  ASSERT_TRUE(t.Connect()) << t.DescribeError();
  EXPECT_TRUE(t.Execute(repair::Statement::Sql("SELECT 1"))) << t.DescribeError();
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcTargetTest, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto& p) { return p.param; });

TEST(OdbcTarget, AnUnknownDataSourceTakesTheConnectionErrorPath) {
  OdbcTargetOptions o;
  o.target = "quillon_no_such_data_source";
  o.password = "Secret;pw}1";
  OdbcTarget t(o);
  EXPECT_FALSE(t.Connect());
  const std::string text = t.DescribeError();
  ExpectFourLines(text, o.password);
  EXPECT_NE(Lines(text)[1].find("IM002"), std::string::npos) << text;
  EXPECT_EQ(Lines(text)[2], "Source : null");
}

TEST(OdbcTarget, AConnectionStringWithItsOwnPasswordIsRefused) {
  OdbcTargetOptions o;
  o.target = "DSN=x;PWD=visible";
  o.password = "other";
  OdbcTarget t(o);
  EXPECT_FALSE(t.Connect());
  ExpectFourLines(t.DescribeError(), "");
  EXPECT_NE(t.DescribeError().find("holds a password"), std::string::npos);
}

}  // namespace
}  // namespace quillon
