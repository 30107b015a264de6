// Value items of the rows' INSERTs: every type's item and bound value, with
// the forms that keep every digit, BC dates, fractions, national text, NaN
// and infinities; the statement head with quoted owner and partitions; the
// spill folder's privacy and its values' independence.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "reader/packed_codes.h"
#include "repair/insert_rows.h"
#include "repair/spill_folder.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

namespace tc = type_code;
using repair::ValueItem;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<std::uint8_t> out;
  for (const int b : list) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

// A BINARY_DOUBLE as Oracle stores it: big-endian, the sign bit flipped for
// positive values, every bit flipped for negative ones.
std::vector<std::uint8_t> StoredDouble(double d) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &d, 8);
  bits = (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
  std::vector<std::uint8_t> out;
  for (int i = 7; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(bits >> (i * 8)));
  return out;
}

std::vector<std::uint8_t> StoredFloat(float f) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &f, 4);
  bits = (bits >> 31) ? ~bits : bits | (std::uint32_t{1} << 31);
  std::vector<std::uint8_t> out;
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(bits >> (i * 8)));
  return out;
}

struct ItemCase {
  const char* name;
  std::uint32_t type;
  std::vector<std::uint8_t> bytes;
  bool null;
  std::string sql;
  std::optional<repair::Value> value;  // the one bound value, or none
  bool national = false;
};

TEST(InsertValueItems, EveryTypeGivesItsItemAndBoundValue) {
  const std::string date_sql = "TO_DATE(?, 'DD-MON-SYYYY HH:MI:SS AM', 'NLS_DATE_LANGUAGE=AMERICAN')";
  const std::string ts_sql = "TO_TIMESTAMP(?, 'SYYYY-MM-DD HH24:MI:SS.FF9')";
  const std::vector<ItemCase> cases = {
      {"null of any type", tc::kNumber, {}, true, "NULL", std::nullopt},
      {"null date", tc::kDate, {}, true, "NULL", std::nullopt},
      {"varchar2", tc::kVarchar2, Bytes({'a', '\'', 'b'}), false, "?", repair::TextValue{"a'b"}},
      {"nvarchar2 as wide text", tc::kVarchar2, Bytes({0x00, 0xE9, 0xD8, 0x3D, 0xDE, 0x00}), false, "?",
       repair::WideTextValue{u"\u00E9\U0001F600"}, true},
      {"raw as bytes", tc::kRaw, Bytes({0x00, 0xFF, 0x10}), false, "?", repair::BinaryValue{Bytes({0x00, 0xFF, 0x10})}},
      {"number 123.45", tc::kNumber, Bytes({0xC2, 0x02, 0x18, 0x2E}), false, "?", repair::NumberValue{"123.45"}},
      {"number 1E-7 keeps its digit", tc::kNumber, Bytes({0xBD, 0x0B}), false, "?", repair::NumberValue{"0.0000001"}},
      {"number of 38 digits", tc::kNumber,
       Bytes({0xD3, 0x0D, 0x23, 0x39, 0x4F, 0x5B, 0x0D, 0x23, 0x39, 0x4F, 0x5B, 0x0D, 0x23, 0x39, 0x4F, 0x5B, 0x0D,
              0x23, 0x39, 0x4F}),
       false, "?", repair::NumberValue{"12345678901234567890123456789012345678"}},
      {"negative number", tc::kNumber, Bytes({0x3E, 0x59, 0x33, 0x66}), false, "?", repair::NumberValue{"-12.5"}},
      {"binary double 1E-7 every digit", tc::kBinaryDouble, StoredDouble(1e-7), false, "?",
       repair::NumberValue{"1e-07"}},
      {"binary double NaN", tc::kBinaryDouble, StoredDouble(std::nan("")), false, "BINARY_DOUBLE_NAN", std::nullopt},
      {"binary double infinity", tc::kBinaryDouble, StoredDouble(INFINITY), false, "BINARY_DOUBLE_INFINITY",
       std::nullopt},
      {"binary double minus infinity", tc::kBinaryDouble, StoredDouble(-INFINITY), false, "-BINARY_DOUBLE_INFINITY",
       std::nullopt},
      {"binary float NaN", tc::kBinaryFloat, StoredFloat(std::nanf("")), false, "BINARY_FLOAT_NAN", std::nullopt},
      {"binary float infinity", tc::kBinaryFloat, StoredFloat(INFINITY), false, "BINARY_FLOAT_INFINITY", std::nullopt},
      {"date afternoon", tc::kDate, Bytes({120, 109, 3, 5, 15, 8, 10}), false, date_sql,
       repair::TextValue{"05-MAR-2009 02:07:09 PM"}},
      {"date midnight", tc::kDate, Bytes({120, 100, 1, 1, 1, 1, 1}), false, date_sql,
       repair::TextValue{"01-JAN-2000 12:00:00 AM"}},
      {"date BC", tc::kDate, Bytes({53, 88, 1, 1, 1, 1, 1}), false, date_sql,
       repair::TextValue{"01-JAN--4712 12:00:00 AM"}},
      {"timestamp nine fraction digits", tc::kTimestamp, Bytes({120, 109, 3, 5, 15, 8, 10, 0x07, 0x5B, 0xCD, 0x15}),
       false, ts_sql, repair::TextValue{"2009-03-05 14:07:09.123456789"}},
      {"timestamp without fraction", tc::kTimestamp, Bytes({120, 109, 3, 5, 15, 8, 10}), false, ts_sql,
       repair::TextValue{"2009-03-05 14:07:09.000000000"}},
      {"timestamp with time zone", tc::kTimestampTz,
       Bytes({120, 109, 3, 5, 15, 8, 10, 0, 0, 0, 1, 21, 90}), false,
       "TO_TIMESTAMP_TZ(?, 'SYYYY-MM-DD HH24:MI:SS.FF9 TZH:TZM')", repair::TextValue{"2009-03-05 15:37:09.000000001 +01:30"}},
      {"timestamp with local time zone", tc::kTimestampLtz, Bytes({120, 109, 3, 5, 15, 8, 10}), false,
       "FROM_TZ(TO_TIMESTAMP(?, 'SYYYY-MM-DD HH24:MI:SS.FF9'), DBTIMEZONE)",
       repair::TextValue{"2009-03-05 14:07:09.000000000"}},
  };
  for (const ItemCase& c : cases) {
    SCOPED_TRACE(c.name);
    ColumnInfo column;
    column.type_code = c.type;
    if (c.national) {
      column.charset_form = 2;
      column.charset_id = kNationalCharsetCode;
    }
    StoredValue value;
    value.bytes = ByteView(c.bytes.data(), c.bytes.size());
    value.is_null = c.null;
    DecodeContext context;
    const ValueItem item = repair::ScalarValueItem(column, value, context);
    EXPECT_EQ(item.sql, c.sql);
    EXPECT_FALSE(item.lost);
    if (c.value) {
      ASSERT_EQ(item.values.size(), 1u);
      EXPECT_EQ(item.values[0], *c.value);
    } else {
      EXPECT_TRUE(item.values.empty());
    }
  }
}

TEST(InsertValueItems, RowidsAndIntervalsAreBoundAsTextAndUnknownBytesAreCountedLost) {
  DecodeContext context;
  for (const std::uint32_t type : {tc::kRowid, tc::kUrowid, tc::kIntervalDs}) {
    const auto bytes = type == tc::kIntervalDs ? Bytes({0x80, 0, 0, 1, 60 + 2, 60 + 3, 60 + 4, 0x80, 0, 0, 0})
                                               : Bytes({0, 0, 0x12, 0x34, 0, 4, 0, 0, 0, 9});
    ColumnInfo column;
    column.type_code = type;
    StoredValue value;
    value.bytes = ByteView(bytes.data(), bytes.size());
    const ValueItem item = repair::ScalarValueItem(column, value, context);
    EXPECT_EQ(item.sql, "?");
    ASSERT_EQ(item.values.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<repair::TextValue>(item.values[0])) << type;
  }
  // A DATE of three bytes and a month 13 are not dates: NULL, counted.
  for (const auto& bytes : {Bytes({120, 109, 3}), Bytes({120, 109, 13, 1, 1, 1, 1})}) {
    ColumnInfo column;
    column.type_code = tc::kDate;
    StoredValue value;
    value.bytes = ByteView(bytes.data(), bytes.size());
    const ValueItem item = repair::ScalarValueItem(column, value, context);
    EXPECT_EQ(item.sql, "NULL");
    EXPECT_TRUE(item.lost);
  }
}

TEST(InsertHead, OwnerTableAndPartitionAreQuotedAndHostileNamesRefused) {
  EXPECT_EQ(repair::InsertHead("Hr", "EMP", nullptr), "insert into \"Hr\".\"EMP\"");
  TableSegment partition;
  partition.level = TableSegment::Level::kPartition;
  partition.name = "P_2009";
  EXPECT_EQ(repair::InsertHead("SALES", "ORDERS", &partition),
            "insert into \"SALES\".\"ORDERS\" PARTITION (\"P_2009\")");
  partition.level = TableSegment::Level::kSubpartition;
  partition.name = "SP1";
  EXPECT_EQ(repair::InsertHead("SALES", "ORDERS", &partition),
            "insert into \"SALES\".\"ORDERS\" SUBPARTITION (\"SP1\")");
  TableSegment own;
  EXPECT_EQ(repair::InsertHead("SALES", "ORDERS", &own), "insert into \"SALES\".\"ORDERS\"");
  EXPECT_FALSE(repair::InsertHead("A\"B", "T", nullptr));
  EXPECT_FALSE(repair::InsertHead("A", "T\nX", nullptr));
  partition.name = "P\"); DROP";
  EXPECT_FALSE(repair::InsertHead("A", "T", &partition));
}

std::string ReadAll(const repair::LongBytes& bytes) {
  std::string out(bytes.size(), '\0');
  std::vector<std::uint8_t> buffer(3);  // small pieces: offsets matter
  std::uint64_t at = 0;
  while (at < bytes.size()) {
    const std::size_t n = bytes.Read(at, buffer);
    if (n == 0) break;
    std::memcpy(out.data() + at, buffer.data(), n);
    at += n;
  }
  out.resize(at);
  return out;
}

TEST(SpillFolder, PrivateFolderEachValueItsOwnBytesRemovedAtTheEnd) {
  test::TempDir cache;
  std::string error;
  std::string folder;
  {
    auto spill = repair::SpillFolder::Create(&error, cache.path().string());
    ASSERT_TRUE(spill) << error;
    folder = spill->folder();
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(spill->file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(std::filesystem::path(folder).parent_path(), cache.path());

    const std::string first = "a long first value";
    const std::string second = "2nd";
    spill->BeginValue();
    ASSERT_TRUE(spill->Append({reinterpret_cast<const std::uint8_t*>(first.data()), 7}));
    ASSERT_TRUE(spill->Append({reinterpret_cast<const std::uint8_t*>(first.data()) + 7, first.size() - 7}));
    auto a = spill->FinishValue();
    spill->BeginValue();
    ASSERT_TRUE(spill->Append({reinterpret_cast<const std::uint8_t*>(second.data()), second.size()}));
    auto b = spill->FinishValue();
    spill->BeginValue();
    auto empty = spill->FinishValue();
    // A shorter later value never shows an earlier one's bytes, and both
    // stay readable until the table's rows end (queued rows).
    EXPECT_EQ(ReadAll(*a), first);
    EXPECT_EQ(ReadAll(*b), second);
    EXPECT_EQ(empty->size(), 0u);
    spill->Reset();
    EXPECT_EQ(std::filesystem::file_size(spill->file()), 0u);
    std::vector<std::uint8_t> buffer(4);
    EXPECT_EQ(a->Read(0, buffer), 0u);  // gone with the reset, not another value's bytes
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(SpillFolder, UserCacheFolderFollowsXdgThenHome) {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const std::string saved = xdg ? xdg : "";
  ::setenv("XDG_CACHE_HOME", "/tmp/quillon-xdg", 1);
  EXPECT_EQ(repair::UserCacheFolder(), "/tmp/quillon-xdg");
  ::unsetenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(repair::UserCacheFolder(), std::string(home) + "/.cache");
  }
  if (xdg) ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace quillon
