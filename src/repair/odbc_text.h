// UTF-8 to UTF-16 for wide-character parameters. Long values are converted
// chunk by chunk: a character cut by a chunk's end waits for the next chunk,
// so no chunk ends inside a character (nor between the two halves of a
// surrogate pair). Bytes that are not UTF-8 become U+FFFD.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillon::repair {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

class Utf8ChunkDecoder {
 public:
  // Appends the UTF-16 of the whole characters of pending bytes + bytes to
  // out; keeps an incomplete character's bytes for the next call. last:
  // no more bytes follow (an incomplete character becomes U+FFFD).
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  std::string pending_;
};

}  // namespace quillon::repair
