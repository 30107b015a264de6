#include "rows/row_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace quillon {
namespace {

std::string Field(const std::string& text, bool is_null = false) {
  std::string out;
  AppendCsvField(out, ValueText{text, is_null, false});
  return out;
}

// The quoting test looks at eight bytes at a time: a character that needs
// quotes must be found at every position of a word and of the tail, and the
// bytes next to the four (or with the high bit set) must not be taken for them.
TEST(AppendCsvField, QuotesExactlyWhenAFieldHoldsASeparatorQuoteOrLineBreak) {
  for (std::size_t length = 1; length <= 20; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const char special : {',', '"', '\r', '\n'}) {
        std::string text(length, 'x');
        text[at] = special;
        std::string expected = "\"" + text + "\"";
        if (special == '"') expected.insert(at + 1, "\"");
        EXPECT_EQ(Field(text), expected) << "length " << length << " at " << at << " char " << int{special};
      }
      for (const unsigned char near : {0x2Bu, 0x2Du, 0x21u, 0x23u, 0x0Cu, 0x0Eu, 0x09u, 0x0Bu, 0xACu, 0xA2u,
                                       0x8Du, 0x8Au, 0x00u, 0xFFu}) {
        std::string text(length, 'x');
        text[at] = static_cast<char>(near);
        EXPECT_EQ(Field(text), text) << "length " << length << " at " << at << " byte " << int{near};
      }
    }
  }
  EXPECT_EQ(Field("", true), "");    // NULL: an empty field
  EXPECT_EQ(Field(""), "\"\"");     // an empty text: the quoted empty field
  EXPECT_EQ(Field("caf\xC3\xA9"), "caf\xC3\xA9");
}

TEST(RowWriter, CsvLinesEndInCrLfAndJsonLinesMapNamesToValues) {
  const std::string names[] = {"ID", "NOTE"};
  const ValueText row[] = {{"01", false, false}, {"a,\"b\"", false, false}};
  const ValueText nulls[] = {{"", true, false}, {"", false, false}};
  const struct {
    RowFormat format;
    const char* expected;
  } cases[] = {
      {RowFormat::kCsv, "ID,NOTE\r\n01,\"a,\"\"b\"\"\"\r\n,\"\"\r\n"},
      {RowFormat::kJson, "{\"ID\":\"01\",\"NOTE\":\"a,\\\"b\\\"\"}\n{\"ID\":null,\"NOTE\":\"\"}\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    auto writer = MakeRowWriter(c.format, out);
    writer->Begin(names);
    writer->Row(row);
    writer->Row(nulls);
    writer->Flush();
    EXPECT_EQ(out.str(), c.expected);
    EXPECT_EQ(writer->bytes_written(), out.str().size());
  }
}

// CSV writes every text as it is; JSON writes numbers bare, strings quoted,
// and NaN or infinities (which JSON has no numbers for) as null, counted.
TEST(RowWriter, JsonWritesNumbersAsNumbersAndNonFiniteFloatsAsCountedNulls) {
  const std::string names[] = {"N", "F", "D", "T"};
  const ValueText row[] = {{"-0.5", false, false, TextForm::kNumber},
                           {"NaN", false, false, TextForm::kNonFinite},
                           {"2003-01-01T00:00:00", false, false, TextForm::kString},
                           {"1.5E+125", false, false, TextForm::kString}};
  const ValueText more[] = {{"1.5E+125", false, false, TextForm::kNumber},
                            {"-Infinity", false, false, TextForm::kNonFinite},
                            {"", true, false, TextForm::kNumber},
                            {"x", false, false, TextForm::kString}};
  const struct {
    RowFormat format;
    const char* expected;
    std::uint64_t nulls;
    ValueForms forms;
  } cases[] = {
      {RowFormat::kCsv, "N,F,D,T\r\n-0.5,NaN,2003-01-01T00:00:00,1.5E+125\r\n1.5E+125,-Infinity,,x\r\n", 0,
       ValueForms::kData},
      {RowFormat::kJson,
       "{\"N\":-0.5,\"F\":null,\"D\":\"2003-01-01T00:00:00\",\"T\":\"1.5E+125\"}\n"
       "{\"N\":1.5E+125,\"F\":null,\"D\":null,\"T\":\"x\"}\n",
       2, ValueForms::kData},
      {RowFormat::kTable, nullptr, 0, ValueForms::kDisplay},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    auto writer = MakeRowWriter(c.format, out);
    EXPECT_EQ(writer->forms(), c.forms);
    writer->Begin(names);
    writer->Row(row);
    writer->Row(more);
    writer->Flush();
    if (c.expected) {
      EXPECT_EQ(out.str(), c.expected);
    }
    EXPECT_EQ(writer->non_finite_nulls(), c.nulls);
  }
}

}  // namespace
}  // namespace quillon
