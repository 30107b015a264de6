// Oracle character sets and the conversion of stored text to the engine's
// text (UTF-8).
//
// Character data is converted from the source database's character set,
// never from a code page of the machine we run on. Unicode forms are decoded
// by our own code (unicode.h); single-byte character sets through a 256-entry
// table built once with the C library's iconv; multi-byte ones through
// iconv itself. Bytes that are invalid in the character set become U+FFFD:
// a value is never dropped and never raises an error.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "reader/bytes.h"

namespace quillon {

enum class CharsetScheme : std::uint8_t {
  kAscii,       // US7ASCII: bytes above 0x7F are invalid
  kLatin1,      // ISO 8859-1: every byte is its own code point
  kSingleByte,  // other single-byte sets: a table built with iconv
  kMultiByte,   // ASCII-compatible multi-byte sets: iconv
  kUtf8,        // AL32UTF8
  kCesu8,       // UTF8 (surrogate pairs for supplementary characters)
  kUtf16BE,     // AL16UTF16
};

struct CharsetInfo {
  std::uint16_t id;             // Oracle's character set id (NLS_CHARSET_ID, COL$.CHARSETID)
  std::string_view name;        // Oracle's name
  std::string_view iconv_name;  // glibc iconv's name, for the table and iconv schemes
  CharsetScheme scheme;
};

// Oracle's ids of the character sets named in the table below.
namespace charset_id {
inline constexpr std::uint16_t kUs7Ascii = 1;
inline constexpr std::uint16_t kWe8Iso8859P1 = 31;
inline constexpr std::uint16_t kWe8MsWin1252 = 178;
inline constexpr std::uint16_t kUtf8 = 871;
inline constexpr std::uint16_t kAl32Utf8 = 873;
inline constexpr std::uint16_t kAl16Utf16 = 2000;
}  // namespace charset_id

// Every character set the engine converts.
std::span<const CharsetInfo> KnownCharsets();
const CharsetInfo* FindCharset(std::uint32_t id);
// By Oracle name, case-insensitive.
const CharsetInfo* FindCharset(std::string_view name);
// WE8MSWIN1252, the database character set assumed until the dictionary says
// otherwise; AL16UTF16, the national one.
const CharsetInfo& DefaultDatabaseCharset();
const CharsetInfo& DefaultNationalCharset();

// Converts stored text of one character set to UTF-8. Holds an iconv handle
// for multi-byte character sets: one decoder per thread.
class CharsetDecoder {
 public:
  explicit CharsetDecoder(const CharsetInfo& charset);
  ~CharsetDecoder();
  CharsetDecoder(CharsetDecoder&&) noexcept;
  CharsetDecoder& operator=(CharsetDecoder&&) noexcept;
  CharsetDecoder(const CharsetDecoder&) = delete;
  CharsetDecoder& operator=(const CharsetDecoder&) = delete;

  const CharsetInfo& charset() const { return *charset_; }
  // False when the C library lacks the conversion: non-ASCII bytes then
  // become U+FFFD.
  bool available() const { return available_; }

  std::string ToUtf8(ByteView bytes) const;
  void AppendUtf8(ByteView bytes, std::string& out) const;

 private:
  struct Iconv;
  void AppendMultiByte(ByteView bytes, std::string& out) const;

  const CharsetInfo* charset_;
  bool available_ = true;
  std::unique_ptr<std::array<char32_t, 256>> table_;  // single-byte sets
  std::unique_ptr<Iconv> iconv_;                      // multi-byte sets
};

// UTF-8 text converted into a character set through iconv, for the test
// database generator and tools. std::nullopt when a character has no
// encoding in the target set or the C library lacks the conversion.
std::optional<std::string> IconvFromUtf8(std::string_view utf8, std::string_view iconv_name);

}  // namespace quillon
