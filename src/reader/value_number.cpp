#include "reader/value_number.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "reader/format.h"
#include "reader/text_append.h"

namespace quillon {

namespace {

constexpr std::uint8_t kZeroExponent = format::number_value::kZero;
// Positive values: exponent bytes 0xC1.. are at least 1, 0x81..0xC0 below 1.
constexpr std::uint8_t kPositiveUnit = format::number_value::kPositiveUnit;
// Negative values: exponent bytes ..0x3E are at least 1 in magnitude,
// 0x3F..0x7F below 1.
constexpr std::uint8_t kNegativeUnit = format::number_value::kNegativeUnit;
constexpr std::uint8_t kNegativeTerminator = format::number_value::kNegativeTerminator;

// Writes the base-100 digits [first, last) as two-digit groups; positive
// digits are stored + 1, negative ones as 101 - digit.
char* WriteDigits(char* out, const std::uint8_t* first, const std::uint8_t* last, bool negative) {
  for (const std::uint8_t* p = first; p != last; ++p) {
    const int digit = negative ? 101 - *p : *p - 1;
    if (digit >= 0 && digit < 100) {
      std::memcpy(out, detail::kTwoDigits + 2 * digit, 2);
      out += 2;
    } else {
      out = WritePadded(out, digit, 2);  // a damaged digit byte, as "%02d" writes it
    }
  }
  return out;
}

char* WriteZeros(char* out, std::size_t count) {
  std::memset(out, '0', count);
  return out + count;
}

// Writes the number text of bytes (at least one byte) into out, which has
// room for MaxTextSize(bytes.size()) characters; returns the end.
char* WriteNumber(char* out, ByteView bytes) {
  const std::uint8_t* b = bytes.data();
  const std::size_t size = bytes.size();
  const std::uint8_t exponent = b[0];
  if (exponent == kZeroExponent) {
    std::memcpy(out, kNumberZeroText.data(), kNumberZeroText.size());
    return out + kNumberZeroText.size();
  }
  if (exponent > kZeroExponent) {
    if (exponent > kPositiveUnit) {
      const std::size_t integer_digits = 2u * (exponent - kPositiveUnit);
      char* start = out;
      char* end = WriteDigits(out, b + 1, b + size, false);
      const std::size_t written = static_cast<std::size_t>(end - start);
      if (written <= integer_digits) return WriteZeros(end, integer_digits - written);
      std::memmove(start + integer_digits + 1, start + integer_digits, written - integer_digits);
      start[integer_digits] = '.';
      return end + 1;
    }
    *out++ = '.';
    out = WriteZeros(out, 2u * (kPositiveUnit - exponent));
    return WriteDigits(out, b + 1, b + size, false);
  }
  // Negative: the terminator 102 ends every mantissa shorter than 20 digits.
  std::size_t last = size;
  if (size >= 2 && b[size - 1] == kNegativeTerminator) --last;
  *out++ = '-';
  if (exponent >= kNegativeUnit) {
    *out++ = '0';
    *out++ = '.';
    out = WriteZeros(out, 2u * (exponent - kNegativeUnit));
    return WriteDigits(out, b + 1, b + last, true);
  }
  const std::size_t integer_digits = 2u * (kNegativeUnit - exponent);
  char* start = out;
  char* end = WriteDigits(out, b + 1, b + last, true);
  const std::size_t written = static_cast<std::size_t>(end - start);
  if (written <= integer_digits) return WriteZeros(end, integer_digits - written);
  std::memmove(start + integer_digits + 1, start + integer_digits, written - integer_digits);
  start[integer_digits] = '.';
  return end + 1;
}

// An upper bound of the text size: a damaged digit takes at most four
// characters ("-154"), the zeros and padding at most 2 x 128, plus "-0.".
constexpr std::size_t MaxTextSize(std::size_t byte_count) { return 4 * byte_count + 2 * 128 + 8; }

}  // namespace

void AppendNumberToText(ByteView bytes, std::string& out) {
  if (bytes.empty()) return;
  constexpr std::size_t kStackBytes = 64;  // every valid NUMBER is at most 22 bytes
  if (bytes.size() <= kStackBytes) {
    char buffer[MaxTextSize(kStackBytes)];
    out.append(buffer, WriteNumber(buffer, bytes));
    return;
  }
  std::vector<char> buffer(MaxTextSize(bytes.size()));
  out.append(buffer.data(), WriteNumber(buffer.data(), bytes));
}

bool AppendNumberData(ByteView bytes, std::string& out) {
  if (bytes.empty()) return false;
  const std::uint8_t* b = bytes.data();
  const std::size_t size = bytes.size();
  const std::uint8_t exponent = b[0];
  if (exponent == kZeroExponent) {
    if (size != 1) return false;
    out.push_back('0');
    return true;
  }
  const bool negative = exponent < kZeroExponent;
  std::size_t last = size;
  if (negative && size >= 2 && b[size - 1] == kNegativeTerminator) --last;
  const std::size_t count = last - 1;
  if (count == 0 || count > format::number_value::kMaxDigits) return false;
  const long base100_point = negative ? long{kNegativeUnit} - exponent : long{exponent} - kPositiveUnit;
  constexpr long kPlainDigits = 40;
  // Integers of at most 40 digits (most stored numbers), written straight:
  // the first base-100 digit without its leading zero, the others as pairs,
  // then the zeros of the base-100 digits not stored.
  const bool leading_zero = b[1] == (negative ? 101 : 1);  // not as Oracle writes it: the general path
  if (base100_point >= static_cast<long>(count) && base100_point <= kPlainDigits / 2 && !leading_zero) {
    char buffer[48];
    char* p = buffer;
    if (negative) *p++ = '-';
    for (std::size_t i = 0; i < count; ++i) {
      const int digit = negative ? 101 - b[1 + i] : b[1 + i] - 1;
      if (digit < 0 || digit > 99) return false;
      if (i == 0 && digit < 10) {
        *p++ = static_cast<char>('0' + digit);
      } else {
        std::memcpy(p, detail::kTwoDigits + 2 * digit, 2);
        p += 2;
      }
    }
    p = WriteZeros(p, 2 * static_cast<std::size_t>(base100_point - static_cast<long>(count)));
    out.append(buffer, p);
    return true;
  }
  // The decimal digits, two per base-100 digit, and how many of them stand
  // before the point (negative or beyond them: zeros to add).
  char digits[2 * format::number_value::kMaxDigits];
  for (std::size_t i = 0; i < count; ++i) {
    const int digit = negative ? 101 - b[1 + i] : b[1 + i] - 1;
    if (digit < 0 || digit > 99) return false;
    std::memcpy(digits + 2 * i, detail::kTwoDigits + 2 * digit, 2);
  }
  long first = 0;
  long end = static_cast<long>(2 * count);
  while (first < end && digits[first] == '0') ++first;
  if (first == end) {  // a mantissa of zero digits: zero, though Oracle writes it as one byte
    out.push_back('0');
    return true;
  }
  while (digits[end - 1] == '0') --end;
  const char* significant = digits + first;
  const long length = end - first;
  const long point = 2 * base100_point - first;  // digits before the point
  char buffer[64];  // at most a sign, 40 digits, "0." or a point, and "E-" with 3 digits
  char* p = buffer;
  if (negative) *p++ = '-';
  if (point >= length && point <= kPlainDigits) {
    p = std::copy(significant, significant + length, p);
    p = WriteZeros(p, static_cast<std::size_t>(point - length));
  } else if (point > 0 && point < length) {
    p = std::copy(significant, significant + point, p);
    *p++ = '.';
    p = std::copy(significant + point, significant + length, p);
  } else if (point <= 0 && length - point <= kPlainDigits) {
    *p++ = '0';
    *p++ = '.';
    p = WriteZeros(p, static_cast<std::size_t>(-point));
    p = std::copy(significant, significant + length, p);
  } else {
    *p++ = significant[0];
    if (length > 1) {
      *p++ = '.';
      p = std::copy(significant + 1, significant + length, p);
    }
    *p++ = 'E';
    const long power = point - 1;
    *p++ = power < 0 ? '-' : '+';
    p = WritePadded(p, power < 0 ? -power : power, 1);
  }
  out.append(buffer, p);
  return true;
}

std::string NumberToText(ByteView bytes) {
  std::string out;
  AppendNumberToText(bytes, out);
  return out;
}

std::optional<std::int64_t> NumberTextToInteger(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  bool any_digit = false;
  std::uint64_t magnitude = 0;
  constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(INT64_MAX);
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    any_digit = true;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) any_digit = true;
  }
  if (!any_digit || i != text.size()) return std::nullopt;
  const auto value = static_cast<std::int64_t>(magnitude);
  return negative ? -value : value;
}

std::optional<std::int64_t> NumberToInteger(ByteView bytes) { return NumberTextToInteger(NumberToText(bytes)); }

std::string DictionaryNumberText(bool is_null, ByteView bytes) {
  if (is_null) return std::string(kNullNumberText);
  return NumberToText(bytes);
}

std::string DictionaryPrecisionText(bool is_null, ByteView bytes) {
  std::string text = DictionaryNumberText(is_null, bytes);
  if (text == kNumberZeroText) return "0";
  return text;
}

}  // namespace quillon
