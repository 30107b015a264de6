#include "reader/value_interval.h"

#include <cstdint>

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

}  // namespace quillon
