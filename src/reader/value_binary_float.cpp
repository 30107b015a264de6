#include "reader/value_binary_float.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "reader/format.h"

namespace quillon {

namespace {

namespace bf = format::binary_float_value;

// The first size bytes as a big-endian integer (missing bytes read as zero).
std::uint64_t ReadBigEndian(ByteView bytes, std::size_t size) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < size; ++i) v = (v << 8) | bytes.U8(i).value_or(0);
  return v;
}

// Stored positive values have the sign bit set (clear it); negative ones are
// stored with every bit inverted.
template <typename Bits>
Bits Unflip(Bits stored) {
  constexpr Bits kSign = Bits{1} << (sizeof(Bits) * 8 - 1);
  return (stored & kSign) ? static_cast<Bits>(stored & ~kSign) : static_cast<Bits>(~stored);
}

std::string FloatText(double v) {
  char buffer[512];  // "%lf" of the largest double has 316 characters
  const int n = std::snprintf(buffer, sizeof buffer, "%lf", v);
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// The shortest text that reads back to v (float or double).
template <typename Real>
std::string ShortestText(Real v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

}  // namespace

double BinaryFloatValue(ByteView bytes) {
  const auto bits = Unflip(static_cast<std::uint32_t>(ReadBigEndian(bytes, bf::kFloatSize)));
  return std::bit_cast<float>(bits);
}

double BinaryDoubleValue(ByteView bytes) {
  return std::bit_cast<double>(Unflip(ReadBigEndian(bytes, bf::kDoubleSize)));
}

std::string BinaryFloatToText(ByteView bytes) {
  if (bytes.size() < bf::kFloatSize) return {};
  return FloatText(BinaryFloatValue(bytes));
}

std::string BinaryDoubleToText(ByteView bytes) {
  if (bytes.size() < bf::kDoubleSize) return {};
  return FloatText(BinaryDoubleValue(bytes));
}

std::string BinaryFloatData(ByteView bytes) {
  if (bytes.size() < bf::kFloatSize) return {};
  // The value as a float: the shortest text of a float is shorter than that
  // of the same value as a double (3.1f is "3.1", not "3.0999999046325684").
  return ShortestText(static_cast<float>(BinaryFloatValue(bytes)));
}

std::string BinaryDoubleData(ByteView bytes) {
  if (bytes.size() < bf::kDoubleSize) return {};
  return ShortestText(BinaryDoubleValue(bytes));
}

}  // namespace quillon
