// Zero-padded decimal text of a small integer, as "%0*d" writes it, without
// a formatting call: every date and time of every repaired row passes here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon::repair {

// value in decimal, zero-padded to width characters (the sign counted),
// written at p; returns the end. Writes at most 32 characters.
inline char* WriteZeroPadded(char* p, int value, int width) {
  if (width == 2 && value >= 0 && value < 100) {  // months, days, hours, minutes, seconds
    p[0] = static_cast<char>('0' + value / 10);
    p[1] = static_cast<char>('0' + value % 10);
    return p + 2;
  }
  char digits[16];
  std::size_t n = 0;
  const bool negative = value < 0;
  std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  char* const start = p;
  if (negative) *p++ = '-';
  for (int pad = width - static_cast<int>(n) - (negative ? 1 : 0); pad > 0 && p - start < 20; --pad) *p++ = '0';
  while (n > 0) *p++ = digits[--n];
  return p;
}

inline void AppendZeroPadded(std::string& out, int value, int width) {
  char text[48];
  out.append(text, WriteZeroPadded(text, value, width));
}

}  // namespace quillon::repair
