#include "reader/catalogue_columns.h"

#include <array>

#include "reader/packed_codes.h"
#include "reader/value_number.h"

namespace quillon {

namespace {

bool IsNull(std::string_view text) { return text == kNullNumberText; }

std::string HalfOf(std::string_view length_text) {
  const auto value = NumberTextToInteger(length_text);
  return std::to_string(value.value_or(0) / 2);
}

// Types whose text does not depend on length, precision or scale.
struct FixedTypeText {
  std::uint32_t code;
  std::string_view text;
};
constexpr std::array kFixedTypeTexts = {
    FixedTypeText{type_code::kLong, "LONG"},
    FixedTypeText{type_code::kDate, "DATE"},
    FixedTypeText{type_code::kLongRaw, "LONG RAW"},
    FixedTypeText{type_code::kXmlType, "XMLTYPE"},
    FixedTypeText{type_code::kRowid, "ROWID"},
    FixedTypeText{type_code::kBinaryFloat, "BINARY_FLOAT"},
    FixedTypeText{type_code::kBinaryDouble, "BINARY_DOUBLE"},
    FixedTypeText{type_code::kUrowid, " UROWID "},
    FixedTypeText{type_code::kRef, "OBJECT TYPE"},
    FixedTypeText{type_code::kObject, "OBJECT TYPE"},
    FixedTypeText{type_code::kBlob, "BLOB"},
    FixedTypeText{type_code::kBfile, "BFILE"},
    FixedTypeText{type_code::kNestedTable, "TABLE TYPE"},
    FixedTypeText{type_code::kVarray, "ARRAY TYPE"},
    FixedTypeText{type_code::kTimestampTz, "TIMESTAMP WITH TIME ZONE"},
    FixedTypeText{type_code::kTimestampLtz, "TIMESTAMP WITH LOCAL TIME ZONE"},
};

}  // namespace

std::string PlainIntegerText(std::string_view number_text) {
  if (IsNull(number_text)) return std::string(number_text);
  const auto value = NumberTextToInteger(number_text);
  if (!value) return std::string(number_text);
  return std::to_string(*value);
}

std::string SqlTypeText(std::uint32_t type_code, std::uint32_t charset_id, std::string_view length_text,
                        std::string_view precision_text, std::string_view scale_text) {
  const bool national = charset_id == kNationalCharsetCode;
  const std::string length = PlainIntegerText(length_text);
  const std::string precision = PlainIntegerText(precision_text);
  const std::string scale = PlainIntegerText(scale_text);
  switch (type_code) {
    case type_code::kVarchar2:
      return national ? "NVARCHAR2(" + HalfOf(length_text) + ")" : "VARCHAR2(" + length + ")";
    case type_code::kChar:
      return national ? "NCHAR(" + HalfOf(length_text) + ")" : "CHAR(" + length + ")";
    case type_code::kNumber:
      if (IsNull(precision_text)) return "NUMBER";
      if (IsNull(scale_text)) return "FLOAT(" + precision + ")";
      return "NUMBER(" + precision + ", " + scale + ")";
    case type_code::kRaw:
      return "RAW(" + length + ")";
    case type_code::kClob:
      return national ? "NCLOB" : "CLOB";
    case type_code::kTimestamp:
      return "TIMESTAMP(" + scale + ")";
    case type_code::kIntervalYm:
      return "INTERVAL YEAR(" + precision + ") TO MONTH";
    case type_code::kIntervalDs:
      return " INTERVAL DAY(" + precision + ") TO SECOND(" + scale + ")";
    default:
      break;
  }
  for (const auto& fixed : kFixedTypeTexts) {
    if (fixed.code == type_code) return std::string(fixed.text);
  }
  return std::string(kUnsupportedTypeText);
}

std::string DefaultExpressionText(std::string text) {
  if (text.size() > 1) {
    const auto at = text.find_last_of('\n');
    if (at != std::string::npos && at > 0) text[at] = ' ';
  }
  return text;
}

}  // namespace quillon
