// Small, allocation-free integer formatting for value texts (the hot paths
// of value decoding avoid snprintf and iostreams).
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace quillon {

namespace detail {
inline constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
}  // namespace detail

// Writes v as printf "%0*d" with the given minimum width (the sign counts
// towards the width, as in printf) and returns the end of what was written.
// out needs room for 21 characters or width + 1, whichever is more.
inline char* WritePadded(char* out, long long v, int width) {
  if (width == 2 && v >= 0 && v < 100) {
    out[0] = detail::kTwoDigits[2 * v];
    out[1] = detail::kTwoDigits[2 * v + 1];
    return out + 2;
  }
  char digits[24];
  const bool negative = v < 0;
  const unsigned long long magnitude =
      negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
  const int count = static_cast<int>(result.ptr - digits);
  if (negative) *out++ = '-';
  for (int pad = width - count - (negative ? 1 : 0); pad > 0; --pad) *out++ = '0';
  for (int i = 0; i < count; ++i) *out++ = digits[i];
  return out;
}

// Appends v as printf "%0*d" (width 1 is plain "%d").
inline void AppendPadded(std::string& text, long long v, int width) {
  char buf[48];
  const int clamped = width < 0 ? 0 : (width > 24 ? 24 : width);
  text.append(buf, WritePadded(buf, v, clamped));
}

}  // namespace quillon
