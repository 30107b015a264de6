#include "reader/value_decode.h"

#include <gtest/gtest.h>

#include <optional>

#include "reader/packed_codes.h"
#include "reader/split_value.h"
#include "reader/value_bfile.h"
#include "support/hex.h"

namespace quillon {
namespace {

using test::FromHex;
using test::View;

constexpr DecodeMode kBrowse = DecodeMode::kBrowse;
constexpr DecodeMode kRepair = DecodeMode::kRepair;

struct DecodeCase {
  std::uint32_t type;                // Oracle type number
  const char* hex;                   // nullptr: NULL
  DecodeMode mode;
  const char* text;
  ValueKind kind = ValueKind::kText;
  std::uint32_t charset = 0;         // Oracle character set id of the column
};

DecodedValue Decode(const DecodeCase& c, DecodeContext& context, const char* name = "C") {
  const auto bytes = c.hex ? FromHex(c.hex) : std::vector<std::uint8_t>{};
  const ColumnDescriptor column{PackedCode(c.type), c.charset ? PackedCode(c.charset) : 0, name};
  return DecodeColumnValue(column, StoredValue{View(bytes), c.hex == nullptr, false}, c.mode, context);
}

TEST(DecodeColumnValue, EveryTypeInBothModes) {
  const DecodeCase cases[] = {
      // VARCHAR2 / NVARCHAR2, CHAR / NCHAR
      {1, "41 42 43", kBrowse, "ABC"},
      {1, nullptr, kBrowse, ""},
      {1, "", kRepair, ""},
      {1, "00 41 00 42", kRepair, "AB", ValueKind::kText, 2000},
      {96, "61 20 20", kBrowse, "a  "},
      {96, "00 41 00 42", kBrowse, "AB", ValueKind::kText, 2000},
      {96, nullptr, kRepair, ""},
      // NUMBER: a column's zero is "00"
      {2, "C1 02 33", kBrowse, "01.50"},
      {2, "80", kRepair, "00"},
      {2, nullptr, kBrowse, ""},
      // LONG, LONG RAW
      {8, "41", kBrowse, "Long"},
      {8, nullptr, kBrowse, "Long"},
      {8, nullptr, kRepair, "NULL,"},
      {8, "41 42", kRepair, "", ValueKind::kSpill},
      {24, "00 01", kBrowse, "Long Raw"},
      {24, nullptr, kBrowse, "Long Raw"},
      {24, nullptr, kRepair, "NULL,"},
      {24, "00 01", kRepair, "", ValueKind::kSpill},
      // DATE
      {12, "78 7C 01 05 10 05 06", kBrowse, "05-JAN-2024 03:04:05 PM"},
      {12, nullptr, kRepair, ""},
      // RAW
      {23, "00 AB", kBrowse, "00ab"},
      {23, "", kBrowse, ""},
      {23, nullptr, kBrowse, "NULL"},
      {23, nullptr, kRepair, "NULL"},
      // ROWID, UROWID
      {69, "00 01 32 E7 01 40 00 FD 00 01", kBrowse, "000000fd.0001.0005"},
      {69, nullptr, kBrowse, ""},
      {208, "01 00 01 32 E7 00 05 00 00 00 FD 00 01", kRepair, "000000fd.0001.0005"},
      {208, nullptr, kRepair, ""},
      // BINARY_FLOAT, BINARY_DOUBLE
      {100, "BF C0 00 00", kBrowse, "1.500000"},
      {100, "40 3F FF FF", kBrowse, "-1.500000"},
      {100, nullptr, kBrowse, ""},
      {101, "C0 93 4A 3D 70 A3 D7 0A", kRepair, "1234.560000"},
      {101, nullptr, kRepair, ""},
      // REF, object, VARRAY
      {111, "00 01", kBrowse, "OBJECT TYPE"},
      {111, "00 01", kRepair, "", ValueKind::kStructured},
      {111, nullptr, kRepair, ""},
      {121, "00 01", kBrowse, "OBJECT TYPE"},
      {121, "00 01", kRepair, "", ValueKind::kStructured},
      {123, "00 01", kBrowse, "ARRAY TYPE"},
      {123, "00 01", kRepair, "", ValueKind::kStructured},
      // CLOB, NCLOB, BLOB
      {112, "00 01", kBrowse, "CLOB"},
      {112, "00 01", kBrowse, "NCLOB", ValueKind::kText, 2000},
      {112, nullptr, kBrowse, " NULL"},
      {112, "00 01", kRepair, "", ValueKind::kSpill},
      {112, nullptr, kRepair, ""},
      {113, "00 01", kBrowse, "BLOB"},
      {113, nullptr, kBrowse, "NULL"},
      {113, "00 01", kRepair, "", ValueKind::kSpill},
      // BFILE: 16 header bytes, 16-bit lengths
      {114, "00000000000000000000000000000000 0003 444952 0005 612E747874", kBrowse, "DIR','a.txt"},
      {114, nullptr, kRepair, "NULL"},
      // nested table
      {122, "0A 0B", kBrowse, "0a0b"},
      {122, nullptr, kBrowse, ""},
      // TIMESTAMP, TIMESTAMP WITH TIME ZONE, TIMESTAMP WITH LOCAL TIME ZONE
      {180, "78 7C 01 05 10 05 06 1D CD 65 00", kBrowse, "05-JAN-2024 03:04:05.500000000 PM"},
      {180, "78 7C 01 05 10 05 06", kRepair, "05-JAN-2024 03:04:05 PM"},
      {180, nullptr, kBrowse, ""},
      {181, "78 72 01 02 17 03 34 35 14 F1 88 0D 3C", kBrowse, "02-JAN-2014 03:02:51.890565000 PM -07:00"},
      {181, nullptr, kRepair, ""},
      {231, "78 72 02 1B 12 03 21 0C A2 DD 00", kBrowse, "27-FEB-2014 05:02:32.212000000 PM"},
      {231, nullptr, kBrowse, ""},
      // INTERVAL YEAR TO MONTH, DAY TO SECOND
      {182, "80 00 00 01 42", kBrowse, "1-6"},
      {182, nullptr, kBrowse, ""},
      {183, "7F FF FF FF 3A 3C 3C 80 00 00 00", kRepair, "-1 2:0:0.000000000"},
      {183, nullptr, kRepair, ""},
      // no rule
      {58, "00 01", kBrowse, "UNSUPPORTED VALUE"},
      {9999, nullptr, kRepair, "UNSUPPORTED VALUE"},
  };
  DecodeContext context;
  // One result reused through the whole table, as a walk over rows reuses it:
  // nothing of one value may be left in the next.
  DecodedValue reused;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type << " bytes " << (c.hex ? c.hex : "NULL") << " mode "
                                      << (c.mode == kBrowse ? "browse" : "repair"));
    const DecodedValue v = Decode(c, context);
    const auto bytes = c.hex ? FromHex(c.hex) : std::vector<std::uint8_t>{};
    DecodeColumnValueInto({PackedCode(c.type), c.charset ? PackedCode(c.charset) : 0, "C"},
                          StoredValue{View(bytes), c.hex == nullptr, false}, c.mode, context, reused);
    EXPECT_EQ(reused.text, v.text);
    EXPECT_EQ(reused.kind, v.kind);
    EXPECT_EQ(reused.bytes, v.bytes);
    EXPECT_EQ(reused.is_null, v.is_null);
    EXPECT_EQ(reused.malformed, v.malformed);
    EXPECT_EQ(v.text, c.text);
    EXPECT_EQ(v.kind, c.kind);
    EXPECT_EQ(v.is_null, c.hex == nullptr);
    EXPECT_FALSE(v.malformed);
    if (c.kind != ValueKind::kText) {
      EXPECT_EQ(v.bytes, FromHex(c.hex));
    }
    // Only the bulky and structured types depend on the mode.
    const bool mode_dependent = c.type == 8 || c.type == 24 || c.type == 111 || c.type == 112 || c.type == 113 ||
                                c.type == 121 || c.type == 123;
    if (!mode_dependent) {
      DecodeCase other = c;
      other.mode = c.mode == kBrowse ? kRepair : kBrowse;
      EXPECT_EQ(Decode(other, context).text, c.text);
    }
  }
}

TEST(DecodeColumnValue, EveryKnownTypeHasARule) {
  DecodeContext context;
  const std::vector<std::uint8_t> bytes(16, 0x41);
  for (const auto& type : KnownValueTypes()) {
    for (const DecodeMode mode : {kBrowse, kRepair}) {
      const auto v = DecodeColumnValue({type.code, 0, "C"}, {View(bytes)}, mode, context);
      EXPECT_NE(v.text, "UNSUPPORTED VALUE") << type.name;
    }
  }
}

TEST(DecodeColumnValue, JoinedZeroKeepsItsNumberText) {
  DecodeContext context;
  const auto zero = FromHex("80");
  const ColumnDescriptor number{type_code::kNumber, 0, "N"};
  EXPECT_EQ(DecodeColumnValue(number, {View(zero), false, true}, kBrowse, context).text, "0.0000");
  EXPECT_EQ(DecodeColumnValue(number, {View(zero), false, false}, kBrowse, context).text, "00");

  SplitValue split;
  split.Hold(ByteView());
  const StoredValue joined = split.Finish(View(zero));
  EXPECT_TRUE(joined.joined);
  EXPECT_EQ(DecodeColumnValue(number, joined, kRepair, context).text, "0.0000");
}

TEST(DecodeColumnValue, RemembersTheNestedTableIdentifier) {
  DecodeContext context;
  const auto id = FromHex("0102030405060708090A0B0C0D0E0F10");
  DecodeColumnValue({type_code::kNestedTable, 0, "LINES"}, {View(id)}, kRepair, context);
  EXPECT_EQ(context.nested_table_id, "0102030405060708090a0b0c0d0e0f10");

  // A RAW column only when it is named NESTED_TABLE_ID.
  const auto other = FromHex("AA BB");
  DecodeColumnValue({type_code::kRaw, 0, "PAYLOAD"}, {View(other)}, kRepair, context);
  EXPECT_EQ(context.nested_table_id, "0102030405060708090a0b0c0d0e0f10");
  DecodeColumnValue({type_code::kRaw, 0, "NESTED_TABLE_ID"}, {View(other)}, kRepair, context);
  EXPECT_EQ(context.nested_table_id, "aabb");

  // A NULL identifier does not leave the previous row's one behind.
  const auto v = DecodeColumnValue({type_code::kRaw, 0, "NESTED_TABLE_ID"}, {ByteView(), true}, kRepair, context);
  EXPECT_EQ(v.text, "NULL");
  EXPECT_EQ(context.nested_table_id, "");
}

TEST(DecodeColumnValue, ReportsSizesOracleNeverWrites) {
  DecodeContext context;
  const struct {
    std::uint32_t type;
    const char* hex;
    bool malformed;
  } cases[] = {
      {12, "78 7C 01 05 01 01", true},       {12, "78 7C 01 05 01 01 01", false},
      {180, "78 7C 01 05 01 01 01 00", true}, {180, "78 7C 01 05 01 01 01 00 00 00 01", false},
      {2, "", true},                          {2, "C1 02", false},
      {69, "00 01 02", true},                 {182, "80 00 00 01", true},
      {1, "", false},                         {114, "00", true},
  };
  DecodedValue reused;  // the flag of one value must not stay on the next
  for (const auto& c : cases) {
    const auto bytes = FromHex(c.hex);
    const auto v = DecodeColumnValue({PackedCode(c.type), 0, "C"}, {View(bytes)}, kBrowse, context);
    EXPECT_EQ(v.malformed, c.malformed) << c.type << " " << c.hex;
    DecodeColumnValueInto({PackedCode(c.type), 0, "C"}, {View(bytes)}, kBrowse, context, reused);
    EXPECT_EQ(reused.malformed, c.malformed) << c.type << " " << c.hex;
  }
}

TEST(DecodeColumnValue, CharacterDataFollowsTheDatabaseCharacterSet) {
  const auto bytes = FromHex("80 E9");  // the euro sign and e-acute in Windows-1252
  const ColumnDescriptor column{type_code::kVarchar2, PackedCode(178), "C"};
  DecodeContext context;
  EXPECT_EQ(DecodeColumnValue(column, {View(bytes)}, kBrowse, context).text, "\u20AC\u00E9");
  context.SetDatabaseCharset(*FindCharset("WE8ISO8859P15"));
  EXPECT_EQ(DecodeColumnValue(column, {View(bytes)}, kBrowse, context).text, "\u0080\u00E9");  // a C1 control in ISO 8859
  context.SetDatabaseCharset(*FindCharset("AL32UTF8"));
  EXPECT_EQ(DecodeColumnValue(column, {View(bytes)}, kBrowse, context).text, "\uFFFD\uFFFD");

  // A national character set of UTF8 marks its own columns national.
  DecodeContext utf8_national(*FindCharset("WE8MSWIN1252"), *FindCharset("UTF8"));
  const auto cesu = FromHex("ED A0 BD ED B8 80");  // U+1F600 as CESU-8
  const ColumnDescriptor nchar{type_code::kChar, PackedCode(871), "N"};
  EXPECT_EQ(DecodeColumnValue(nchar, {View(cesu)}, kBrowse, utf8_national).text, "\U0001F600");

  // The same when the national set is configured after the context was made;
  // id 2000 stays national whatever is configured.
  DecodeContext configured(*FindCharset("WE8MSWIN1252"), DefaultNationalCharset());
  EXPECT_FALSE(configured.IsNational(PackedCode(871)));
  configured.SetNationalCharset(*FindCharset("UTF8"));
  EXPECT_TRUE(configured.IsNational(PackedCode(871)));
  EXPECT_TRUE(configured.IsNational(PackedCode(2000)));
  EXPECT_FALSE(configured.IsNational(PackedCode(178)));
  EXPECT_EQ(DecodeColumnValue(nchar, {View(cesu)}, kBrowse, configured).text, "\U0001F600");
}

// A BFILE locator's names, and whether both arrived whole: a locator cut
// inside a name, or before a name's length, gives what it holds and says
// it is not complete (the repair then writes no BFILENAME of half a name).
TEST(BfileNames, WholeOrCutLocators) {
  struct Case {
    const char* hex;
    const char* directory;
    const char* file;
    bool complete;
  };
  const Case cases[] = {
      {"00000000000000000000000000000000 0003 444952 0005 612E747874", "DIR", "a.txt", true},
      {"00000000000000000000000000000000 0003 444952 0005 612E74", "DIR", "a.t", false},
      {"00000000000000000000000000000000 0003 444952 00", "DIR", "", false},
      {"00000000000000000000000000000000 0003 4449", "DI", "", false},
      {"00000000000000000000000000000000", "", "", false},
      {"", "", "", false},
  };
  const CharsetDecoder charset(*FindCharset("WE8MSWIN1252"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    const auto bytes = FromHex(c.hex);
    const BfileNames names = ReadBfileNames(View(bytes), charset);
    EXPECT_EQ(names.directory, c.directory);
    EXPECT_EQ(names.file, c.file);
    EXPECT_EQ(names.complete, c.complete);
  }
}

TEST(BrowseCellText, CutsToFortyCharacters) {
  EXPECT_EQ(BrowseCellText(std::string(41, 'x')), std::string(40, 'x'));
  EXPECT_EQ(BrowseCellText("short"), "short");
  std::string greek;
  for (int i = 0; i < 45; ++i) greek += "\u03A3";  // two bytes each
  EXPECT_EQ(BrowseCellText(greek).size(), 80u);
  std::string mixed = std::string(39, 'a') + "\U0001F600" + "b";
  EXPECT_EQ(BrowseCellText(mixed), std::string(39, 'a') + "\U0001F600");
}

TEST(SplitValue, JoinsPiecesInOrder) {
  SplitValue split;
  EXPECT_FALSE(split.holding());
  const auto a = FromHex("41 42");
  const auto b = FromHex("43");
  const auto c = FromHex("44 45");
  split.Hold(View(a));
  split.Append(View(b));
  EXPECT_TRUE(split.holding());
  const StoredValue v = split.Finish(View(c));
  EXPECT_FALSE(split.holding());
  EXPECT_TRUE(v.joined);
  EXPECT_EQ(std::vector<std::uint8_t>(v.bytes.data(), v.bytes.data() + v.bytes.size()), FromHex("41 42 43 44 45"));

  // A new value replaces what was held.
  split.Hold(View(c));
  split.Hold(View(a));
  const StoredValue w = split.Finish(View(b));
  EXPECT_EQ(w.bytes.size(), 3u);

  // A continuation whose first part was lost is decoded alone.
  split.Release();
  const StoredValue alone = split.Finish(View(c));
  EXPECT_FALSE(alone.joined);
  EXPECT_EQ(alone.bytes.data(), c.data());
}

}  // namespace
}  // namespace quillon
