// UTF-8, CESU-8 and UTF-16 decoding into the engine's text (UTF-8
// std::string). Ill-formed input never fails: each ill-formed sequence becomes
// one U+FFFD REPLACEMENT CHARACTER (one per maximal ill-formed subpart, as
// the Unicode standard recommends), and decoding goes on after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "reader/bytes.h"

namespace quillon {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends one code point as UTF-8 (surrogates and values above U+10FFFF are
// written as U+FFFD).
void AppendUtf8(std::string& out, char32_t code_point);

// UTF-8 (AL32UTF8): well-formed sequences are copied, encoded surrogates are
// ill-formed.
void AppendFromUtf8(ByteView bytes, std::string& out);
// CESU-8 (Oracle's UTF8): a supplementary character is stored as two 3-byte
// encoded surrogates, which are joined here; a lone surrogate is ill-formed.
// Four-byte UTF-8 sequences are accepted as well.
void AppendFromCesu8(ByteView bytes, std::string& out);
// UTF-16 big-endian (AL16UTF16): surrogate pairs are joined; a lone surrogate
// or a trailing odd byte is ill-formed.
void AppendFromUtf16BE(ByteView bytes, std::string& out);

// UTF-16 big-endian text arriving in parts of any length (the pages of a
// LOB), converted as it comes: an odd byte or a high surrogate that ends a
// part waits for the next. The result equals AppendFromUtf16BE of the
// parts joined.
class Utf16BEParts {
 public:
  void Append(ByteView part, std::string& out);
  // The last part has come: what still waits is converted (ill-formed).
  void Finish(std::string& out);

 private:
  std::vector<std::uint8_t> waiting_;  // at most three bytes
  std::vector<std::uint8_t> joined_;   // waiting_ and the next part
};

// True when every byte of bytes is below 0x80.
bool IsAscii(ByteView bytes);
// True when text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The first count characters (code points) of a UTF-8 text; the whole text
// when it has no more. Never cuts inside a character.
std::string_view CutToCharacters(std::string_view utf8, std::size_t count);

}  // namespace quillon
