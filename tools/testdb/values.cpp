#include "testdb/values.h"

#include <bit>
#include <cstdlib>
#include <string>

#include "reader/bytes.h"
#include "reader/format.h"
#include "reader/unicode.h"

namespace quillon::testdb {

namespace {

namespace nv = format::number_value;
namespace dt = format::datetime_value;
namespace iv = format::interval_value;

void PutBigEndian(Bytes& out, std::uint64_t v, int size) {
  for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A decimal text split into its significant digits and the position of the
// decimal point relative to them: value = 0.digits x 10^point.
struct Decimal {
  bool negative = false;
  std::string digits;
  long point = 0;
};

std::optional<Decimal> ParseDecimal(std::string_view text) {
  Decimal d;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) d.negative = text[i++] == '-';
  std::string all;  // every mantissa digit, in order
  long integer_digits = 0;
  bool seen_point = false, any_digit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      all.push_back(c);
      any_digit = true;
      if (!seen_point) ++integer_digits;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return std::nullopt;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative_exponent = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > 100000) return std::nullopt;
    }
    if (negative_exponent) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;
  const std::size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return d;  // zero: no digits
  const std::size_t last = all.find_last_not_of('0');
  d.digits = all.substr(first, last - first + 1);
  d.point = integer_digits - static_cast<long>(first) + exponent;
  return d;
}

// Visits the code points of well-formed UTF-8.
template <typename Visit>
void ForEachCodePoint(std::string_view utf8, Visit visit) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (int k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3F);
    visit(cp);
    i += static_cast<std::size_t>(length);
  }
}

void PutUtf16Unit(Bytes& out, char32_t unit) { PutBigEndian(out, unit, 2); }

void PutCesu8Unit(Bytes& out, char32_t unit) {
  std::string s;
  if (unit >= 0xD800 && unit <= 0xDFFF) {
    // AppendUtf8 refuses surrogates; CESU-8 writes them like any BMP code point.
    s.push_back(static_cast<char>(0xE0 | (unit >> 12)));
    s.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
  } else {
    AppendUtf8(s, unit);
  }
  out.insert(out.end(), s.begin(), s.end());
}

// Calls put for the UTF-16 code units of a code point.
template <typename Put>
void PutUtf16(char32_t cp, Put put) {
  if (cp < 0x10000) {
    put(cp);
    return;
  }
  cp -= 0x10000;
  put(0xD800 + (cp >> 10));
  put(0xDC00 + (cp & 0x3FF));
}

void PutDateTime(Bytes& out, const DateTimeFields& f) {
  out.push_back(static_cast<std::uint8_t>(f.year / 100 + dt::kCenturyBias));
  out.push_back(static_cast<std::uint8_t>(f.year % 100 + dt::kYearBias));
  out.push_back(static_cast<std::uint8_t>(f.month));
  out.push_back(static_cast<std::uint8_t>(f.day));
  out.push_back(static_cast<std::uint8_t>(f.hour + dt::kTimeBias));
  out.push_back(static_cast<std::uint8_t>(f.minute + dt::kTimeBias));
  out.push_back(static_cast<std::uint8_t>(f.second + dt::kTimeBias));
}

std::uint32_t Wide(std::int32_t v) { return static_cast<std::uint32_t>(static_cast<std::int64_t>(v) + iv::kWideBias); }
std::uint8_t Narrow(int v) { return static_cast<std::uint8_t>(v + iv::kNarrowBias); }

}  // namespace

std::optional<Bytes> EncodeNumber(std::string_view text) {
  const auto d = ParseDecimal(text);
  if (!d) return std::nullopt;
  if (d->digits.empty()) return Bytes{nv::kZero};
  // Align the point on a base-100 digit boundary.
  std::string digits = d->digits;
  long point = d->point;
  if (point % 2 != 0) {
    digits.insert(digits.begin(), '0');
    ++point;
  }
  if (digits.size() % 2 != 0) digits.push_back('0');
  std::vector<int> pairs;
  for (std::size_t i = 0; i < digits.size(); i += 2) pairs.push_back((digits[i] - '0') * 10 + (digits[i + 1] - '0'));
  long exponent = point / 2;  // value = 0.pairs x 100^exponent
  if (pairs.size() > nv::kMaxDigits) {
    const bool round_up = pairs[nv::kMaxDigits] >= 50;
    pairs.resize(nv::kMaxDigits);
    for (std::size_t i = pairs.size(); round_up && i-- > 0;) {
      if (++pairs[i] < 100) break;
      pairs[i] = 0;
      if (i == 0) {
        pairs.insert(pairs.begin(), 1);
        pairs.pop_back();
        ++exponent;
      }
    }
  }
  while (!pairs.empty() && pairs.back() == 0) pairs.pop_back();
  const long exponent_byte = nv::kPositiveUnit + exponent;
  if (exponent_byte <= nv::kZero || exponent_byte > 0xFF) return std::nullopt;
  Bytes out;
  if (!d->negative) {
    out.push_back(static_cast<std::uint8_t>(exponent_byte));
    for (const int p : pairs) out.push_back(static_cast<std::uint8_t>(p + 1));
    return out;
  }
  out.push_back(static_cast<std::uint8_t>(nv::kNegativeUnit - exponent));
  for (const int p : pairs) out.push_back(static_cast<std::uint8_t>(101 - p));
  if (pairs.size() < nv::kMaxDigits) out.push_back(nv::kNegativeTerminator);
  return out;
}

Bytes EncodeNumber(std::int64_t value) { return *EncodeNumber(std::to_string(value)); }

Bytes EncodeDate(const DateTimeFields& fields) {
  Bytes out;
  PutDateTime(out, fields);
  return out;
}

Bytes EncodeTimestamp(const DateTimeFields& fields) {
  Bytes out = EncodeDate(fields);
  if (fields.nanoseconds != 0) PutBigEndian(out, fields.nanoseconds, 4);
  return out;
}

Bytes EncodeTimestampTz(const DateTimeFields& local, int offset_minutes) {
  Bytes out;
  const DateTimeFields utc = AddMinutes(local, -offset_minutes);
  PutDateTime(out, utc);
  PutBigEndian(out, utc.nanoseconds, 4);
  out.push_back(static_cast<std::uint8_t>(offset_minutes / 60 + dt::kZoneHourBias));
  out.push_back(static_cast<std::uint8_t>(offset_minutes % 60 + dt::kZoneMinuteBias));
  return out;
}

Bytes EncodeTimestampTzRegion(const DateTimeFields& utc, std::uint16_t region_id) {
  Bytes out;
  PutDateTime(out, utc);
  PutBigEndian(out, utc.nanoseconds, 4);
  out.push_back(static_cast<std::uint8_t>(dt::kZoneRegionFlag | ((region_id >> 6) & 0x7F)));
  out.push_back(static_cast<std::uint8_t>((region_id & 0x3F) << 2));
  return out;
}

Bytes EncodeIntervalYearMonth(std::int32_t years, int months) {
  Bytes out;
  PutBigEndian(out, Wide(years), 4);
  out.push_back(Narrow(months));
  return out;
}

Bytes EncodeIntervalDaySecond(std::int32_t days, int hours, int minutes, int seconds, std::int32_t nanoseconds) {
  Bytes out;
  PutBigEndian(out, Wide(days), 4);
  out.push_back(Narrow(hours));
  out.push_back(Narrow(minutes));
  out.push_back(Narrow(seconds));
  PutBigEndian(out, Wide(nanoseconds), 4);
  return out;
}

Bytes EncodeBinaryFloat(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  constexpr std::uint32_t kSign = 0x80000000u;
  Bytes out;
  PutBigEndian(out, (bits & kSign) ? ~bits : (bits | kSign), 4);
  return out;
}

Bytes EncodeBinaryDouble(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  constexpr std::uint64_t kSign = 0x8000000000000000ull;
  Bytes out;
  PutBigEndian(out, (bits & kSign) ? ~bits : (bits | kSign), 8);
  return out;
}

std::optional<Bytes> EncodeText(std::string_view utf8, const CharsetInfo& charset) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  Bytes out;
  switch (charset.scheme) {
    case CharsetScheme::kUtf8:
      return Bytes(utf8.begin(), utf8.end());
    case CharsetScheme::kCesu8:
      ForEachCodePoint(utf8, [&](char32_t cp) { PutUtf16(cp, [&](char32_t unit) { PutCesu8Unit(out, unit); }); });
      return out;
    case CharsetScheme::kUtf16BE:
      ForEachCodePoint(utf8, [&](char32_t cp) { PutUtf16(cp, [&](char32_t unit) { PutUtf16Unit(out, unit); }); });
      return out;
    default: {
      const auto encoded = IconvFromUtf8(utf8, charset.iconv_name);
      if (!encoded) return std::nullopt;
      return Bytes(encoded->begin(), encoded->end());
    }
  }
}

Bytes EncodeRaw(std::string_view hex) {
  Bytes out;
  auto value = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(value(hex[i]) * 16 + value(hex[i + 1])));
  }
  return out;
}

Bytes EncodeRowid(std::uint32_t data_object, std::uint32_t relative_file, std::uint32_t block, std::uint16_t row) {
  Bytes out;
  PutBigEndian(out, data_object, 4);
  PutBigEndian(out, (relative_file << format::rowid_value::kBlockBits) | (block & format::kDbaBlockMask), 4);
  PutBigEndian(out, row, 2);
  return out;
}

Bytes EncodeUrowid(std::uint32_t data_object, std::uint16_t relative_file, std::uint32_t block, std::uint16_t row) {
  Bytes out{format::urowid_value::kPhysical};
  PutBigEndian(out, data_object, 4);
  PutBigEndian(out, relative_file, 2);
  PutBigEndian(out, block, 4);
  PutBigEndian(out, row, 2);
  return out;
}

std::optional<Bytes> EncodeBfile(std::string_view directory, std::string_view file, const CharsetInfo& charset) {
  const auto dir_bytes = EncodeText(directory, charset);
  const auto file_bytes = EncodeText(file, charset);
  if (!dir_bytes || !file_bytes || dir_bytes->size() > 0xFF || file_bytes->size() > 0xFF) return std::nullopt;
  Bytes out(format::bfile_value::kHeaderSize, 0);
  PutBigEndian(out, dir_bytes->size(), format::bfile_value::kLengthSize);
  out.insert(out.end(), dir_bytes->begin(), dir_bytes->end());
  PutBigEndian(out, file_bytes->size(), format::bfile_value::kLengthSize);
  out.insert(out.end(), file_bytes->begin(), file_bytes->end());
  return out;
}

}  // namespace quillon::testdb
