// BINARY_FLOAT and BINARY_DOUBLE values as text ("%lf": six decimals, so
// 1.5 is "1.500000").
//
// The data texts (CSV and JSON exports) are the shortest decimal texts that
// read back to the same float or double (std::to_chars): "3.25", "-0.5",
// "1e-300", "6.02214076e+23", "-0"; "NaN", "Infinity" and "-Infinity" for
// the values no decimal text has.
#pragma once

#include <string>

#include "reader/bytes.h"

namespace quillon {

// The IEEE value of the stored bytes (4 for BINARY_FLOAT, 8 for
// BINARY_DOUBLE): big-endian, sign bit flipped for positive values and every
// bit inverted for negative ones.
double BinaryFloatValue(ByteView bytes);
double BinaryDoubleValue(ByteView bytes);

// Fewer bytes than the type needs give an empty text.
std::string BinaryFloatToText(ByteView bytes);
std::string BinaryDoubleToText(ByteView bytes);

// The data texts; fewer bytes than the type needs give an empty text.
std::string BinaryFloatData(ByteView bytes);
std::string BinaryDoubleData(ByteView bytes);

}  // namespace quillon
