#include "reader/unicode.h"

#include <cstdint>
#include <cstring>

namespace quillon {

namespace {

constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsHighSurrogate(char32_t c) { return c >= kHighSurrogateFirst && c < kLowSurrogateFirst; }
bool IsLowSurrogate(char32_t c) { return c >= kLowSurrogateFirst && c <= kSurrogateLast; }
char32_t JoinSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
}

struct Sequence {
  char32_t code_point = kReplacementCharacter;
  std::size_t length = 1;  // bytes consumed (the maximal subpart when ill-formed)
  bool ok = false;
};

// Decodes the UTF-8 sequence at p[0..size) (size >= 1, p[0] >= 0x80). With
// allow_surrogates, encoded surrogates (ED A0..BF xx) are accepted as code
// points, as CESU-8 needs.
Sequence DecodeSequence(const std::uint8_t* p, std::size_t size, bool allow_surrogates) {
  const std::uint8_t lead = p[0];
  std::size_t need = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED && !allow_surrogates) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  Sequence s;
  for (std::size_t k = 1; k <= need; ++k) {
    const bool in_range = k < size && (k == 1 ? (p[k] >= low && p[k] <= high) : (p[k] >= 0x80 && p[k] <= 0xBF));
    if (!in_range) {
      s.length = k;
      return s;
    }
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  s.code_point = cp;
  s.length = need + 1;
  s.ok = true;
  return s;
}

// Copies the run of ASCII bytes starting at i; returns the first non-ASCII
// position.
std::size_t CopyAscii(const std::uint8_t* p, std::size_t i, std::size_t size, std::string& out) {
  const std::size_t start = i;
  while (i < size && p[i] < 0x80) ++i;
  out.append(reinterpret_cast<const char*>(p + start), i - start);
  return i;
}

void AppendFromUtf8Family(ByteView bytes, std::string& out, bool cesu) {
  const std::uint8_t* p = bytes.data();
  const std::size_t size = bytes.size();
  out.reserve(out.size() + size);
  std::size_t i = 0;
  while (i < size) {
    i = CopyAscii(p, i, size, out);
    if (i >= size) break;
    const Sequence s = DecodeSequence(p + i, size - i, cesu);
    if (!s.ok) {
      AppendUtf8(out, kReplacementCharacter);
      i += s.length;
      continue;
    }
    if (s.length == 3 && cesu && IsHighSurrogate(s.code_point) && i + 3 < size) {
      const Sequence next = DecodeSequence(p + i + 3, size - i - 3, true);
      if (next.ok && next.length == 3 && IsLowSurrogate(next.code_point)) {
        AppendUtf8(out, JoinSurrogates(s.code_point, next.code_point));
        i += 6;
        continue;
      }
    }
    // A surrogate that is not half of a pair (AppendUtf8 writes U+FFFD).
    AppendUtf8(out, s.code_point);
    i += s.length;
  }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if ((c >= kHighSurrogateFirst && c <= kSurrogateLast) || c > kMaxCodePoint) c = kReplacementCharacter;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendFromUtf8(ByteView bytes, std::string& out) { AppendFromUtf8Family(bytes, out, false); }

void AppendFromCesu8(ByteView bytes, std::string& out) { AppendFromUtf8Family(bytes, out, true); }

void AppendFromUtf16BE(ByteView bytes, std::string& out) {
  const std::size_t units = bytes.size() / 2;
  out.reserve(out.size() + units);
  const std::uint8_t* p = bytes.data();
  for (std::size_t u = 0; u < units; ++u) {
    const char32_t c = static_cast<char32_t>((p[2 * u] << 8) | p[2 * u + 1]);
    if (IsHighSurrogate(c) && u + 1 < units) {
      const char32_t next = static_cast<char32_t>((p[2 * u + 2] << 8) | p[2 * u + 3]);
      if (IsLowSurrogate(next)) {
        AppendUtf8(out, JoinSurrogates(c, next));
        ++u;
        continue;
      }
    }
    AppendUtf8(out, c);  // lone surrogates become U+FFFD
  }
  if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacementCharacter);
}

void Utf16BEParts::Append(ByteView part, std::string& out) {
  ByteView data = part;
  if (!waiting_.empty()) {
    joined_.assign(waiting_.begin(), waiting_.end());
    joined_.insert(joined_.end(), part.data(), part.data() + part.size());
    data = ByteView(joined_.data(), joined_.size());
  }
  std::size_t end = data.size() & ~std::size_t{1};  // whole code units
  if (end >= 2 && IsHighSurrogate(static_cast<char32_t>((data.data()[end - 2] << 8) | data.data()[end - 1]))) {
    end -= 2;  // its low half may start the next part
  }
  AppendFromUtf16BE(ByteView(data.data(), end), out);
  waiting_.assign(data.data() + end, data.data() + data.size());
}

void Utf16BEParts::Finish(std::string& out) {
  AppendFromUtf16BE(ByteView(waiting_.data(), waiting_.size()), out);
  waiting_.clear();
}

bool IsAscii(ByteView bytes) {
  const std::uint8_t* p = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, sizeof word);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; i < size; ++i) {
    if (p[i] & 0x80) return false;
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    const Sequence s = DecodeSequence(p + i, size - i, false);
    if (!s.ok) return false;
    i += s.length;
  }
  return true;
}

std::string_view CutToCharacters(std::string_view utf8, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // Every byte that is not a continuation byte starts a character.
    if ((static_cast<std::uint8_t>(utf8[i]) & 0xC0) != 0x80) {
      if (characters == count) return utf8.substr(0, i);
      ++characters;
    }
  }
  return utf8;
}

}  // namespace quillon
