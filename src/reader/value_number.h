// Oracle NUMBER values as text.
//
// A NUMBER is an exponent byte followed by base-100 digits. Its text keeps the
// system's own form: every base-100 digit is written with two decimal digits,
// so 5 is "05", 100 is "0100", 1.5 is "01.50", 0.5 is ".50", -5 is "-05",
// -0.5 is "-0.50" and zero is "0.0000". The dictionary builders, the value
// decoder and the XML reader all use this text.
//
// The data text (for CSV and JSON exports) is the canonical decimal form of
// the same value, exact to the last stored digit: 100, 24000, 0.2, 0, -5,
// -0.5. No leading zeros other than the one before the point of a value below
// one, no trailing zeros after the point, no point without digits after it.
// A value whose plain form would need more than 40 digits (not counting that
// one leading zero) is written in exponent form: one digit, the others after
// a point, "E", the exponent's sign and digits: 1.5E+125, 1E-128,
// -9.99E+125. Every data text is a JSON number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "reader/bytes.h"

namespace quillon {

// The text of zero (a NUMBER stored as the single byte 0x80).
inline constexpr std::string_view kNumberZeroText = "0.0000";
// The catalogue's text for a NULL number column.
inline constexpr std::string_view kNullNumberText = "FF";

// The number text of stored NUMBER bytes. Never fails: damaged bytes give a
// well-defined text; an empty buffer gives an empty text. A negative value
// drops its last byte only when it is the terminator 102 (a full 20-byte
// negative mantissa has none).
std::string NumberToText(ByteView bytes);
// The same text appended to out (no allocation when out has room).
void AppendNumberToText(ByteView bytes, std::string& out);

// Appends the data text of stored NUMBER bytes and returns true; appends
// nothing and returns false when the bytes are not a NUMBER Oracle writes (no
// digits after the exponent byte, a digit byte outside 0-99, more than 20
// digits). The digits are taken from the bytes, never through a double.
bool AppendNumberData(ByteView bytes, std::string& out);

// The integer part of a number text as the catalogue reads it: an optional
// "-", the digits before the point ("01.50" is 1, ".50" and "0.0000" are 0).
// std::nullopt when the text is not a number text (the NULL text "FF", an
// empty text) or does not fit in 64 bits.
std::optional<std::int64_t> NumberTextToInteger(std::string_view text);

// NumberTextToInteger(NumberToText(bytes)).
std::optional<std::int64_t> NumberToInteger(ByteView bytes);

// Dictionary numbers as the catalogue keeps them: "FF" for NULL, else the
// number text. The precision form also writes zero as "0" (PRECISION#, SCALE).
std::string DictionaryNumberText(bool is_null, ByteView bytes);
std::string DictionaryPrecisionText(bool is_null, ByteView bytes);

}  // namespace quillon
