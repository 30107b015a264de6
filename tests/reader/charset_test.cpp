#include "reader/charset.h"

#include <gtest/gtest.h>

#include "reader/unicode.h"
#include "support/hex.h"

namespace quillon {
namespace {

using test::FromHex;
using test::View;

TEST(Charsets, OracleIdsAndNames) {
  const struct {
    std::uint32_t id;
    const char* name;
  } ids[] = {{1, "US7ASCII"},         {31, "WE8ISO8859P1"},  {46, "WE8ISO8859P15"}, {170, "EE8MSWIN1250"},
             {171, "CL8MSWIN1251"},   {178, "WE8MSWIN1252"}, {832, "JA16SJIS"},     {846, "KO16MSWIN949"},
             {852, "ZHS16GBK"},       {871, "UTF8"},         {873, "AL32UTF8"},     {2000, "AL16UTF16"}};
  for (const auto& row : ids) {
    const CharsetInfo* by_id = FindCharset(row.id);
    ASSERT_NE(by_id, nullptr) << row.id;
    EXPECT_EQ(by_id->name, row.name);
    EXPECT_EQ(FindCharset(std::string_view(row.name)), by_id);
  }
  EXPECT_EQ(FindCharset(std::string_view("we8mswin1252")), FindCharset(178u));
  EXPECT_EQ(FindCharset(std::string_view("NOSUCHSET")), nullptr);
  EXPECT_EQ(FindCharset(9999u), nullptr);
  EXPECT_EQ(DefaultDatabaseCharset().name, "WE8MSWIN1252");
  EXPECT_EQ(DefaultNationalCharset().name, "AL16UTF16");
}

TEST(Charsets, EveryKnownSetConverts) {
  for (const auto& charset : KnownCharsets()) {
    const CharsetDecoder decoder(charset);
    EXPECT_TRUE(decoder.available()) << charset.name << " (" << charset.iconv_name << ")";
    // Whatever the bytes, the text is well-formed UTF-8.
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    EXPECT_TRUE(IsValidUtf8(decoder.ToUtf8(View(all)))) << charset.name;
  }
}

struct ConvertCase {
  const char* charset;
  const char* hex;
  const char* text;
};

TEST(CharsetDecoder, ConvertsFromTheStoredCharacterSet) {
  const ConvertCase cases[] = {
      {"WE8MSWIN1252", "80 45 E9", "\u20AC" "E\u00E9"},
      {"WE8MSWIN1252", "41 81 42", "A\uFFFD" "B"},  // 0x81 is unassigned in Windows-1252
      {"WE8ISO8859P1", "E9 FF", "\u00E9\u00FF"},
      {"WE8ISO8859P15", "A4 BD", "\u20AC\u0153"},
      {"EE8MSWIN1250", "8A 9A", "\u0160\u0161"},
      {"CL8MSWIN1251", "C0 FF", "\u0410\u044F"},
      {"US7ASCII", "41 80 FF 42", "A\uFFFD\uFFFD" "B"},
      {"ZHS16GBK", "C1 E9 BB EE BE CD D2 B5 C8 CB D4 B1", "\u7075\u6D3B\u5C31\u4E1A\u4EBA\u5458"},
      {"ZHS16GBK", "41 FF 42 C1", "A\uFFFD" "B\uFFFD"},  // an invalid byte, a lead byte cut off at the end
      {"JA16SJIS", "82 A0 93 FA 96 7B", "\u3042\u65E5\u672C"},
      {"JA16SJIS", "87 40", "\u2460"},  // a Windows (NEC) extension
      {"KO16MSWIN949", "B0 A1 C7 D1", "\uAC00\uD55C"},
      {"AL32UTF8", "CE A3 CE B1 CF 82", "\u03A3\u03B1\u03C2"},
      {"AL32UTF8", "ED A0 BD ED B8 80", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // surrogates are ill-formed
      {"AL32UTF8", "F0 9F 98 80", "\U0001F600"},
      {"UTF8", "ED A0 BD ED B8 80", "\U0001F600"},  // CESU-8 pair
      {"UTF8", "ED A0 BD 41", "\uFFFD" "A"},        // a lone high surrogate
      {"UTF8", "ED B8 80", "\uFFFD"},               // a lone low surrogate
      {"UTF8", "E2 82 AC", "\u20AC"},
      {"AL16UTF16", "00 41 20 AC", "A\u20AC"},
      {"AL16UTF16", "D8 3D DE 00", "\U0001F600"},
      {"AL16UTF16", "DE 00 D8 3D", "\uFFFD\uFFFD"},
      {"AL16UTF16", "00 41 00", "A\uFFFD"},  // an odd trailing byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.charset << ": " << c.hex);
    const CharsetDecoder decoder(*FindCharset(std::string_view(c.charset)));
    const auto bytes = FromHex(c.hex);
    EXPECT_EQ(decoder.ToUtf8(View(bytes)), c.text);
  }
}

TEST(CharsetDecoder, KeepsEmbeddedZeroBytes) {
  // Nothing after a zero byte is lost.
  const auto bytes = FromHex("41 00 E9");
  for (const char* name : {"WE8MSWIN1252", "ZHS16GBK", "AL32UTF8"}) {
    const CharsetDecoder decoder(*FindCharset(std::string_view(name)));
    const std::string text = decoder.ToUtf8(View(bytes));
    EXPECT_EQ(text.substr(0, 2), std::string("A\0", 2)) << name;
    EXPECT_GT(text.size(), 2u) << name;
  }
  const CharsetDecoder national(DefaultNationalCharset());
  EXPECT_EQ(national.ToUtf8(View(FromHex("00 41 00 00 00 42"))), std::string("A\0B", 3));
}

TEST(Unicode, MaximalSubpartsBecomeOneReplacementEach) {
  std::string out;
  AppendFromUtf8(View(FromHex("61 F1 80 80 E1 80 C2 62 80 63 80 BF 64")), out);
  EXPECT_EQ(out, "a\uFFFD\uFFFD\uFFFD" "b\uFFFD" "c\uFFFD\uFFFD" "d");
  out.clear();
  AppendFromUtf8(View(FromHex("C0 AF E0 80 BF F4 90 80 80")), out);  // overlong and out of range
  EXPECT_TRUE(IsValidUtf8(out));
  EXPECT_EQ(out.find_first_not_of("\xEF\xBF\xBD"), std::string::npos);
}

TEST(Unicode, ValidityAndCharacterCuts) {
  EXPECT_TRUE(IsValidUtf8("plain \u00E9\U0001F600"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_EQ(CutToCharacters("\u00E9\u00E9\u00E9", 2), "\u00E9\u00E9");
  EXPECT_EQ(CutToCharacters("ab", 5), "ab");
  EXPECT_EQ(CutToCharacters("ab", 0), "");
  EXPECT_TRUE(IsAscii(View(FromHex("41 42 43 44 45 46 47 48 49"))));
  EXPECT_FALSE(IsAscii(View(FromHex("41 42 43 44 45 46 47 48 C9"))));
}

// A LOB's UTF-16 text converted page by page gives what the whole text
// gives, wherever the pages split a surrogate pair or a code unit.
TEST(Unicode, Utf16InPartsEqualsTheWholeWhereverItIsSplit) {
  const std::vector<std::string> texts = {
      "0041D83DDE00004200",      // A, a pair, B, then an odd byte
      "D83DD83DDE00DC00",        // a lone high surrogate, a pair, a lone low one
      "00E920AC0027D800",        // ends with a high surrogate
      "",
  };
  for (const std::string& hex : texts) {
    const std::vector<std::uint8_t> bytes = FromHex(hex);
    std::string whole;
    AppendFromUtf16BE(ByteView(bytes.data(), bytes.size()), whole);
    for (std::size_t a = 0; a <= bytes.size(); ++a) {
      for (std::size_t b = a; b <= bytes.size(); ++b) {
        Utf16BEParts parts;
        std::string text;
        parts.Append(ByteView(bytes.data(), a), text);
        parts.Append(ByteView(bytes.data() + a, b - a), text);
        parts.Append(ByteView(bytes.data() + b, bytes.size() - b), text);
        parts.Finish(text);
        EXPECT_EQ(text, whole) << hex << " split at " << a << " and " << b;
      }
    }
  }
}

TEST(IconvFromUtf8, EncodesOrRefuses) {
  EXPECT_EQ(IconvFromUtf8("\u20AC", "CP1252"), std::string("\x80"));
  EXPECT_EQ(IconvFromUtf8("\u7075", "GBK"), std::string("\xC1\xE9"));
  EXPECT_EQ(IconvFromUtf8("\u7075", "CP1252"), std::nullopt);
  EXPECT_EQ(IconvFromUtf8("x", "NO-SUCH-ENCODING"), std::nullopt);
}

}  // namespace
}  // namespace quillon
