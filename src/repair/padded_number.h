// Zero-padded decimal text of a small integer, as "%0*d" writes it, without
// a formatting call: every date and time of every repaired row passes here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon::repair {

// value in decimal, zero-padded to width characters (the sign counted).
inline void AppendZeroPadded(std::string& out, int value, int width) {
  char digits[16];
  std::size_t n = 0;
  const bool negative = value < 0;
  std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  char text[48];
  std::size_t length = 0;
  if (negative) text[length++] = '-';
  for (int pad = width - static_cast<int>(n) - (negative ? 1 : 0); pad > 0 && length < 32; --pad) text[length++] = '0';
  while (n > 0) text[length++] = digits[--n];
  out.append(text, length);
}

}  // namespace quillon::repair
