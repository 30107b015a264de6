// UTF-8 to UTF-16 in chunks: every cut of the input gives the same UTF-16
// as the whole, and bad bytes become U+FFFD.
#include <gtest/gtest.h>

#include "repair/odbc_text.h"

namespace quillon::repair {
namespace {

TEST(OdbcText, ChunksGiveTheSameWideTextAsTheWholeAtEveryCut) {
  const std::vector<std::string> inputs = {"aé€𝄞日本", "𝄞𝄞𝄞", std::string("ok\xff\xc3", 4), std::string("\xe2\x82", 2),
                                           std::string("\xed\xa0\x80x", 4)};
  for (const std::string& input : inputs) {
    const std::u16string whole = Utf8ToUtf16(input);
    for (std::size_t chunk = 1; chunk <= input.size(); ++chunk) {
      Utf8ChunkDecoder decoder;
      std::u16string out;
      for (std::size_t at = 0; at < input.size(); at += chunk) {
        const std::size_t n = std::min(chunk, input.size() - at);
        const std::size_t before = out.size();
        decoder.Decode(std::span(reinterpret_cast<const std::uint8_t*>(input.data()) + at, n), at + n == input.size(),
                       out);
        // No chunk ends between the halves of a surrogate pair.
        if (out.size() > before) {
          EXPECT_FALSE(out.back() >= 0xD800 && out.back() <= 0xDBFF);
        }
      }
      EXPECT_EQ(out, whole) << "chunk " << chunk;
    }
  }
}

TEST(OdbcText, KnownForms) {
  EXPECT_EQ(Utf8ToUtf16("a𝄞"), (std::u16string{u'a', 0xD834, 0xDD1E}));
  EXPECT_EQ(Utf8ToUtf16(std::string("\xc0\xaf", 2)), (std::u16string{0xFFFD, 0xFFFD}));  // overlong
  EXPECT_EQ(Utf8ToUtf16(std::string("\xe2\x82", 2)), std::u16string{0xFFFD});
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Grüße 𝄞")), "Grüße 𝄞");
}

}  // namespace
}  // namespace quillon::repair
