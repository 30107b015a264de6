#include "reader/value_interval.h"

#include <cstdint>
#include <initializer_list>

#include "reader/format.h"
#include "reader/text_append.h"

namespace quillon {

namespace {

namespace iv = format::interval_value;

// A 32-bit field stored + 0x80000000.
long long WideField(std::uint32_t stored) {
  return static_cast<long long>(stored) - static_cast<long long>(iv::kWideBias);
}
// An 8-bit field stored + 60.
int NarrowField(std::uint8_t stored) { return stored - iv::kNarrowBias; }

long long Magnitude(long long v) { return v < 0 ? -v : v; }

// The sign every field of an interval shares: -1, 0 (all zero) or 1; 2 when
// the fields disagree.
int CommonSign(std::initializer_list<long long> fields) {
  int sign = 0;
  for (const long long v : fields) {
    const int s = v < 0 ? -1 : v > 0 ? 1 : 0;
    if (s == 0) continue;
    if (sign != 0 && s != sign) return 2;
    sign = s;
  }
  return sign;
}

}  // namespace

std::string IntervalYearMonthToText(ByteView bytes) {
  const auto years_stored = bytes.U32BE(iv::kYears);
  const auto months_stored = bytes.U8(iv::kMonths);
  if (!years_stored || !months_stored) return {};
  const long long years = WideField(*years_stored);
  const int months = NarrowField(*months_stored);
  std::string out;
  if (years < 0 || months < 0) out += '-';
  AppendPadded(out, Magnitude(years), 1);
  out += '-';
  AppendPadded(out, Magnitude(months), 1);
  return out;
}

std::string IntervalDaySecondToText(ByteView bytes) {
  if (!bytes.Has(0, iv::kDaySecondSize)) return {};
  const long long days = WideField(*bytes.U32BE(iv::kDays));
  const int hours = NarrowField(*bytes.U8(iv::kHours));
  const int minutes = NarrowField(*bytes.U8(iv::kMinutes));
  const int seconds = NarrowField(*bytes.U8(iv::kSeconds));
  const long long nanoseconds = WideField(*bytes.U32BE(iv::kNanoseconds));
  std::string out;
  if (days < 0 || hours < 0 || minutes < 0 || seconds < 0 || nanoseconds < 0) out += '-';
  AppendPadded(out, Magnitude(days), 1);
  out += ' ';
  AppendPadded(out, Magnitude(hours), 1);
  out += ':';
  AppendPadded(out, Magnitude(minutes), 1);
  out += ':';
  AppendPadded(out, Magnitude(seconds), 1);
  out += '.';
  AppendPadded(out, Magnitude(nanoseconds), 9);
  return out;
}

bool AppendIntervalYearMonthData(ByteView bytes, std::string& out) {
  const auto years_stored = bytes.U32BE(iv::kYears);
  const auto months_stored = bytes.U8(iv::kMonths);
  if (!years_stored || !months_stored) return false;
  const long long years = WideField(*years_stored);
  const int months = NarrowField(*months_stored);
  const int sign = CommonSign({years, months});
  if (sign == 2 || Magnitude(months) > 11) return false;
  if (sign < 0) out += '-';
  out += 'P';
  AppendPadded(out, Magnitude(years), 1);
  out += 'Y';
  AppendPadded(out, Magnitude(months), 1);
  out += 'M';
  return true;
}

bool AppendIntervalDaySecondData(ByteView bytes, std::string& out) {
  if (!bytes.Has(0, iv::kDaySecondSize)) return false;
  const long long days = WideField(*bytes.U32BE(iv::kDays));
  const long long hours = NarrowField(*bytes.U8(iv::kHours));
  const long long minutes = NarrowField(*bytes.U8(iv::kMinutes));
  const long long seconds = NarrowField(*bytes.U8(iv::kSeconds));
  const long long nanoseconds = WideField(*bytes.U32BE(iv::kNanoseconds));
  const int sign = CommonSign({days, hours, minutes, seconds, nanoseconds});
  if (sign == 2 || Magnitude(hours) > 23 || Magnitude(minutes) > 59 || Magnitude(seconds) > 59 ||
      Magnitude(nanoseconds) > 999999999) {
    return false;
  }
  if (sign < 0) out += '-';
  out += 'P';
  AppendPadded(out, Magnitude(days), 1);
  out += "DT";
  AppendPadded(out, Magnitude(hours), 1);
  out += 'H';
  AppendPadded(out, Magnitude(minutes), 1);
  out += 'M';
  AppendPadded(out, Magnitude(seconds), 1);
  if (nanoseconds != 0) {
    char digits[16];
    char* end = WritePadded(digits, Magnitude(nanoseconds), 9);
    while (end[-1] == '0') --end;
    out += '.';
    out.append(digits, end);
  }
  out += 'S';
  return true;
}

}  // namespace quillon
