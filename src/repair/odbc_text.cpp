#include "repair/odbc_text.h"

#include "reader/unicode.h"

namespace quillon::repair {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The length of the sequence a lead byte starts (0: not a lead byte).
std::size_t SequenceLength(std::uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

void Append(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// Decodes from text at i; returns how many bytes were used, 0 when the
// sequence is complete-looking but runs past the end (needs more bytes).
std::size_t DecodeOne(std::string_view text, std::size_t i, std::u16string& out) {
  const auto lead = static_cast<std::uint8_t>(text[i]);
  const std::size_t length = SequenceLength(lead);
  if (length == 0) {
    out += kReplacement;
    return 1;
  }
  if (length == 1) {
    out += static_cast<char16_t>(lead);
    return 1;
  }
  char32_t c = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= text.size()) return 0;
    const auto b = static_cast<std::uint8_t>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      out += kReplacement;
      return k;
    }
    c = (c << 6) | (b & 0x3F);
  }
  const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    out += kReplacement;
  } else {
    Append(c, out);
  }
  return length;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t used = DecodeOne(text, i, out);
    if (used == 0) {
      out += kReplacement;  // a cut sequence at the end
      break;
    }
    i += used;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, c);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

void Utf8ChunkDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  pending_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string_view text = pending_;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t used = DecodeOne(text, i, out);
    if (used == 0) break;
    i += used;
  }
  if (last && i < text.size()) {
    out += kReplacement;
    i = text.size();
  }
  pending_.erase(0, i);
}

}  // namespace quillon::repair
