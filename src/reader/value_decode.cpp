#include "reader/value_decode.h"

#include <cmath>

#include "reader/packed_codes.h"
#include "reader/unicode.h"
#include "reader/value_bfile.h"
#include "reader/value_binary_float.h"
#include "reader/value_datetime.h"
#include "reader/value_interval.h"
#include "reader/value_number.h"
#include "reader/value_rowid.h"

namespace quillon {

namespace {

namespace tc = type_code;

constexpr std::uint16_t kAnySize = 0xFFFF;

constexpr ValueTypeInfo kValueTypes[] = {
    {1, tc::kVarchar2, "VARCHAR2", 0, kAnySize},
    {2, tc::kNumber, "NUMBER", 1, 22},
    {8, tc::kLong, "LONG", 0, kAnySize},
    {12, tc::kDate, "DATE", 7, 7},
    {23, tc::kRaw, "RAW", 0, kAnySize},
    {24, tc::kLongRaw, "LONG RAW", 0, kAnySize},
    {69, tc::kRowid, "ROWID", 10, 10},
    {96, tc::kChar, "CHAR", 0, kAnySize},
    {100, tc::kBinaryFloat, "BINARY_FLOAT", 4, 4},
    {101, tc::kBinaryDouble, "BINARY_DOUBLE", 8, 8},
    {111, tc::kRef, "REF", 0, kAnySize},
    {112, tc::kClob, "CLOB", 0, kAnySize},
    {113, tc::kBlob, "BLOB", 0, kAnySize},
    {114, tc::kBfile, "BFILE", 18, kAnySize},
    {121, tc::kObject, "OBJECT", 0, kAnySize},
    {122, tc::kNestedTable, "NESTED TABLE", 0, kAnySize},
    {123, tc::kVarray, "VARRAY", 0, kAnySize},
    {180, tc::kTimestamp, "TIMESTAMP", 7, 11, true},
    {181, tc::kTimestampTz, "TIMESTAMP WITH TIME ZONE", 13, 13},
    {182, tc::kIntervalYm, "INTERVAL YEAR TO MONTH", 5, 5},
    {183, tc::kIntervalDs, "INTERVAL DAY TO SECOND", 11, 11},
    {208, tc::kUrowid, "UROWID", 13, kAnySize},
    {231, tc::kTimestampLtz, "TIMESTAMP WITH LOCAL TIME ZONE", 7, 11, true},
};

constexpr std::string_view kNestedTableIdColumn = "NESTED_TABLE_ID";

bool SizeAllowed(const ValueTypeInfo& type, std::size_t size) {
  if (type.two_sizes) return size == type.min_size || size == type.max_size;
  return size >= type.min_size && (type.max_size == kAnySize || size <= type.max_size);
}

// Hands the stored bytes on instead of a text (repair mode's bulky and
// structured values); NULL stays a NULL without bytes.
void Carry(DecodedValue& out, ValueKind kind, const StoredValue& value) {
  if (value.is_null) return;
  out.kind = kind;
  out.bytes.assign(value.bytes.data(), value.bytes.data() + value.bytes.size());
}

void AppendCharacterText(const ColumnDescriptor& column, ByteView bytes, const DecodeContext& context,
                         std::string& out) {
  const CharsetDecoder& decoder = context.IsNational(column.charset_code) ? context.national() : context.database();
  decoder.AppendUtf8(bytes, out);
}

// RAW and nested-table identifiers; remembers the identifier for the INSERT
// builder of the nested table's rows.
void IdentifierText(const StoredValue& value, bool remember, DecodeContext& context, std::string& out) {
  if (!value.is_null) out = ToHex(value.bytes);
  if (remember) context.nested_table_id = out;
}

}  // namespace

DecodeContext::DecodeContext() : DecodeContext(DefaultDatabaseCharset(), DefaultNationalCharset()) {}

DecodeContext::DecodeContext(const CharsetInfo& database, const CharsetInfo& national)
    : database_(database), national_(national), national_code_(PackedCode(national.id)) {}

void DecodeContext::SetNationalCharset(const CharsetInfo& charset) {
  national_ = CharsetDecoder(charset);
  national_code_ = PackedCode(charset.id);
}

bool DecodeContext::IsNational(std::uint32_t charset_code) const {
  return charset_code == kNationalCharsetCode || charset_code == national_code_;
}

DecodedValue DecodeColumnValue(const ColumnDescriptor& column, const StoredValue& value, DecodeMode mode,
                               DecodeContext& context) {
  DecodedValue out;
  DecodeColumnValueInto(column, value, mode, context, out);
  return out;
}

void DecodeColumnValueInto(const ColumnDescriptor& column, const StoredValue& value, DecodeMode mode,
                           DecodeContext& context, DecodedValue& out) {
  out.kind = ValueKind::kText;
  out.text.clear();
  out.bytes.clear();
  out.is_null = value.is_null;
  out.malformed = false;
  out.form = TextForm::kString;
  const bool browse = mode == DecodeMode::kBrowse;
  const bool data = mode == DecodeMode::kData;
  const bool null = value.is_null;
  const ByteView bytes = null ? ByteView() : value.bytes;

  switch (column.type_code) {
    case tc::kVarchar2:
    case tc::kChar:
      if (!null) AppendCharacterText(column, bytes, context, out.text);
      break;
    case tc::kNumber:
      if (!null && data && AppendNumberData(bytes, out.text)) {
        out.form = TextForm::kNumber;
      } else if (!null) {
        AppendNumberToText(bytes, out.text);
        if (!value.joined && out.text == kNumberZeroText) out.text = value_text::kColumnZero;
      }
      break;
    case tc::kLong:
    case tc::kLongRaw:
      if (browse) {
        out.text = column.type_code == tc::kLong ? value_text::kLong : value_text::kLongRaw;
      } else if (null) {
        out.text = value_text::kLongNull;
      } else {
        Carry(out, ValueKind::kSpill, value);
      }
      break;
    case tc::kDate:
    case tc::kTimestamp:
    case tc::kTimestampLtz:
      if (!null && !(data && AppendDateTimeData(bytes, out.text))) AppendDateTimeToText(bytes, out.text);
      break;
    case tc::kTimestampTz:
      if (!null && !(data && AppendTimestampTzData(bytes, out.text))) out.text = TimestampTzToText(bytes);
      break;
    case tc::kRaw: {
      const bool remember = column.name == kNestedTableIdColumn;
      IdentifierText(value, remember, context, out.text);
      if (null) out.text = value_text::kNull;
      break;
    }
    case tc::kNestedTable:
      IdentifierText(value, true, context, out.text);
      break;
    case tc::kRowid:
      if (!null) out.text = RowidToText(bytes);
      break;
    case tc::kUrowid:
      if (!null) out.text = UrowidToText(bytes);
      break;
    case tc::kBinaryFloat:
    case tc::kBinaryDouble: {
      if (null) break;
      const bool single = column.type_code == tc::kBinaryFloat;
      if (!data) {
        out.text = single ? BinaryFloatToText(bytes) : BinaryDoubleToText(bytes);
        break;
      }
      out.text = single ? BinaryFloatData(bytes) : BinaryDoubleData(bytes);
      if (!out.text.empty()) {
        const double v = single ? BinaryFloatValue(bytes) : BinaryDoubleValue(bytes);
        out.form = std::isfinite(v) ? TextForm::kNumber : TextForm::kNonFinite;
      }
      break;
    }
    case tc::kIntervalYm:
      if (!null && !(data && AppendIntervalYearMonthData(bytes, out.text))) out.text = IntervalYearMonthToText(bytes);
      break;
    case tc::kIntervalDs:
      if (!null && !(data && AppendIntervalDaySecondData(bytes, out.text))) out.text = IntervalDaySecondToText(bytes);
      break;
    case tc::kBfile:
      if (null) {
        out.text = value_text::kNull;
      } else {
        out.text = BfileToText(bytes, context.database());
      }
      break;
    case tc::kClob:
      if (browse) {
        out.text = null ? value_text::kLobNull
                        : context.IsNational(column.charset_code) ? value_text::kNclob : value_text::kClob;
      } else {
        Carry(out, ValueKind::kSpill, value);
      }
      break;
    case tc::kBlob:
      if (browse) {
        out.text = null ? value_text::kNull : value_text::kBlob;
      } else {
        Carry(out, ValueKind::kSpill, value);
      }
      break;
    case tc::kRef:
    case tc::kObject:
      // Object attributes are decoded one by one from their AttributeType
      // records by the INSERT builder, which gets the bytes here.
      if (browse) {
        out.text = value_text::kObjectType;
      } else {
        Carry(out, ValueKind::kStructured, value);
      }
      break;
    case tc::kVarray:
      if (browse) {
        out.text = value_text::kArrayType;
      } else {
        Carry(out, ValueKind::kStructured, value);
      }
      break;
    default:
      out.text = value_text::kUnsupported;
      return;
  }
  if (!null) {
    const ValueTypeInfo* type = FindValueType(column.type_code);
    out.malformed = type != nullptr && !SizeAllowed(*type, bytes.size());
  }
}

std::string BrowseCellText(std::string_view text) {
  return std::string(CutToCharacters(text, kBrowseCellCharacters));
}

std::span<const ValueTypeInfo> KnownValueTypes() { return kValueTypes; }

const ValueTypeInfo* FindValueType(std::uint32_t code) {
  for (const auto& t : kValueTypes) {
    if (t.code == code) return &t;
  }
  return nullptr;
}

}  // namespace quillon
