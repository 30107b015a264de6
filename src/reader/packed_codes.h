// Packed dictionary codes.
//
// Small Oracle NUMBER values that the catalogue keeps as codes (type numbers,
// character set ids, namespaces, object types) are not converted to integers:
// their stored NUMBER bytes, at most four, are packed little-endian into a
// 32-bit value, first byte lowest. Type 1 (stored C1 02) is 0x02C1, type 113
// (C2 02 0E) is 0x0E02C2, character set 2000 (C2 15) is 0x15C2. Every dispatch
// on a column type compares these packed codes.
#pragma once

#include <cstdint>

#include "reader/bytes.h"

namespace quillon {

// The first four stored NUMBER bytes packed little-endian (missing bytes are
// zero). Longer values keep only their first four bytes.
constexpr std::uint32_t PackNumberBytes(ByteView bytes) {
  std::uint32_t code = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    code |= static_cast<std::uint32_t>(bytes.data()[i]) << (8 * i);
  }
  return code;
}

// The packed code Oracle's NUMBER encoding gives a non-negative integer:
// exponent byte 0xC0 + number of base-100 digits, then the digits + 1 with
// trailing zero digits left out. Zero is the single byte 0x80. Integers whose
// encoding needs more than four bytes keep their first four.
constexpr std::uint32_t PackedCode(std::uint32_t value) {
  if (value == 0) return 0x80;
  std::uint8_t digits[5] = {};
  int count = 0;
  for (std::uint32_t v = value; v != 0; v /= 100) digits[count++] = static_cast<std::uint8_t>(v % 100);
  // digits[] is least significant first; drop trailing (least significant) zeros.
  int low = 0;
  while (digits[low] == 0) ++low;
  std::uint32_t code = 0xC0u + static_cast<std::uint32_t>(count);
  int shift = 8;
  for (int i = count - 1; i >= low && shift < 32; --i, shift += 8) {
    code |= static_cast<std::uint32_t>(digits[i] + 1) << shift;
  }
  return code;
}

// The packed code of every column type the value decoder knows (type number
// in the comment).
namespace type_code {
inline constexpr std::uint32_t kVarchar2 = PackedCode(1);           // VARCHAR2, NVARCHAR2
inline constexpr std::uint32_t kNumber = PackedCode(2);             // NUMBER, FLOAT
inline constexpr std::uint32_t kLong = PackedCode(8);
inline constexpr std::uint32_t kDate = PackedCode(12);
inline constexpr std::uint32_t kRaw = PackedCode(23);
inline constexpr std::uint32_t kLongRaw = PackedCode(24);
inline constexpr std::uint32_t kXmlType = PackedCode(58);           // decoded elsewhere
inline constexpr std::uint32_t kRowid = PackedCode(69);
inline constexpr std::uint32_t kChar = PackedCode(96);              // CHAR, NCHAR
inline constexpr std::uint32_t kBinaryFloat = PackedCode(100);
inline constexpr std::uint32_t kBinaryDouble = PackedCode(101);
inline constexpr std::uint32_t kRef = PackedCode(111);
inline constexpr std::uint32_t kClob = PackedCode(112);             // CLOB, NCLOB
inline constexpr std::uint32_t kBlob = PackedCode(113);
inline constexpr std::uint32_t kBfile = PackedCode(114);
inline constexpr std::uint32_t kObject = PackedCode(121);
inline constexpr std::uint32_t kNestedTable = PackedCode(122);
inline constexpr std::uint32_t kVarray = PackedCode(123);
inline constexpr std::uint32_t kTimestamp = PackedCode(180);
inline constexpr std::uint32_t kTimestampTz = PackedCode(181);
inline constexpr std::uint32_t kIntervalYm = PackedCode(182);
inline constexpr std::uint32_t kIntervalDs = PackedCode(183);
inline constexpr std::uint32_t kUrowid = PackedCode(208);
inline constexpr std::uint32_t kTimestampLtz = PackedCode(231);
}  // namespace type_code

// Character set id 2000 (AL16UTF16): national character data.
inline constexpr std::uint32_t kNationalCharsetCode = PackedCode(2000);

static_assert(type_code::kVarchar2 == 0x02C1);
static_assert(type_code::kBlob == 0x0E02C2);
static_assert(type_code::kUrowid == 0x0903C2);
static_assert(type_code::kTimestampLtz == 0x2003C2);
static_assert(kNationalCharsetCode == 0x15C2);

}  // namespace quillon
