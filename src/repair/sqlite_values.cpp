#include "repair/sqlite_values.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "reader/packed_codes.h"
#include "reader/text_append.h"
#include "reader/value_binary_float.h"
#include "reader/value_datetime.h"

namespace quillon::repair {

namespace {

namespace tc = type_code;

bool IsDigits(std::string_view s) {
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void HexToBytes(std::string_view hex, std::vector<std::uint8_t>& out) {
  out.clear();
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    const int hi = HexDigit(hex[i]);
    const int lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) break;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
}

// The ISO 8601 text of f in place of what out held (its buffer kept: most
// values of a column are dates); a timestamp's fraction with all nine digits.
void AssignIso(const DateTimeFields& f, bool with_fraction, std::string& out) {
  out.clear();
  AppendIsoDateTime(out, f, with_fraction ? IsoFraction::kNine : IsoFraction::kNone);
}

bool IsBinary(std::uint32_t code) { return code == tc::kRaw || code == tc::kLongRaw || code == tc::kBlob; }

// The text of v made a TextValue, keeping the text it held already (and its
// memory: rows of a table reuse their values' buffers).
std::string& TextSlot(Value& v) {
  if (auto* t = std::get_if<TextValue>(&v)) return t->text;
  v = TextValue{};
  return std::get<TextValue>(v).text;
}

void SetText(Value& v, std::string_view text) { TextSlot(v).assign(text); }

// CanonicalNumber's text written into out; false (out untouched) when text
// is not a number text.
bool CanonicalNumberInto(std::string_view text, std::string& out) {
  std::string_view rest = text;
  const bool negative = !rest.empty() && rest.front() == '-';
  if (negative) rest.remove_prefix(1);
  const auto point = rest.find('.');
  std::string_view whole = rest.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view{} : rest.substr(point + 1);
  if (rest.empty() || !IsDigits(whole) || !IsDigits(fraction)) return false;
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  out.clear();
  if (negative && !(whole.empty() && fraction.empty())) out += '-';
  out += whole.empty() ? std::string_view("0") : whole;
  if (!fraction.empty()) {
    out += '.';
    out += fraction;
  }
  return true;
}

// The value of a canonical integer text when it fits 64 bits.
std::optional<std::int64_t> IntegerOf(std::string_view digits) {
  const bool negative = !digits.empty() && digits.front() == '-';
  const std::string_view magnitude = negative ? digits.substr(1) : digits;
  if (magnitude.empty() || magnitude.size() > 19 || !IsDigits(magnitude)) return std::nullopt;
  std::uint64_t v = 0;
  for (const char c : magnitude) v = v * 10 + static_cast<std::uint64_t>(c - '0');
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  if (v > limit) return std::nullopt;
  return negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
}

}  // namespace

std::string_view SqliteColumnType(std::uint32_t type_code, std::optional<std::int64_t> precision,
                                  std::optional<std::int64_t> scale) {
  if (type_code == tc::kNumber) {
    if (scale && *scale == 0 && precision && *precision >= 1 && *precision <= 18) return "INTEGER";
    return "TEXT";
  }
  if (type_code == tc::kBinaryFloat || type_code == tc::kBinaryDouble) return "REAL";
  if (IsBinary(type_code)) return "BLOB";
  return "TEXT";
}

std::string CanonicalNumber(std::string_view text) {
  std::string out;
  if (!CanonicalNumberInto(text, out)) out.assign(text);
  return out;
}

bool IsoDateTimeInto(std::uint32_t type_code, ByteView bytes, std::string& out) {
  const auto fields = ReadDateTime(bytes);
  if (!fields) return false;
  const bool with_fraction = bytes.size() >= 11;
  if (type_code != tc::kTimestampTz) {
    AssignIso(*fields, with_fraction, out);
    return true;
  }
  // Stored in UTC with the offset in bytes 11 and 12 (hour + 20, minute +
  // 60); a region id (high bit) is kept in UTC.
  const auto zone_hour = bytes.U8(11);
  const auto zone_minute = bytes.U8(12);
  const int hours = zone_hour ? *zone_hour - 20 : 0;
  const int minutes = zone_minute ? *zone_minute - 60 : 0;
  if (!zone_hour || !zone_minute || (*zone_hour & 0x80) != 0 || !IsValidDateTime(*fields) || hours < -15 ||
      hours > 15 || minutes < -59 || minutes > 59) {
    AssignIso(*fields, with_fraction, out);
    out += "+00:00";
    return true;
  }
  const int offset = hours * 60 + minutes;
  AssignIso(AddMinutes(*fields, offset), with_fraction, out);
  out += offset < 0 ? '-' : '+';
  AppendPadded(out, std::abs(offset) / 60, 2);
  out += ':';
  AppendPadded(out, std::abs(offset) % 60, 2);
  return true;
}

std::optional<std::string> IsoDateTime(std::uint32_t type_code, ByteView bytes) {
  std::string out;
  if (!IsoDateTimeInto(type_code, bytes, out)) return std::nullopt;
  return out;
}

void SqliteValue(std::uint32_t code, std::string_view declared_type, const StoredValue& stored,
                 const ValueText& t, Value& v) {
  if (t.is_null) {
    v = NullValue{};
    return;
  }
  switch (code) {
    case tc::kNumber: {
      // The canonical text, made in the value's own buffer.
      std::string& digits = TextSlot(v);
      const bool canonical = CanonicalNumberInto(t.text, digits);
      if (!canonical) digits.assign(t.text);
      if (declared_type != "INTEGER") break;
      if (canonical) {
        if (const auto n = IntegerOf(digits)) v = IntegerValue{*n};
        break;
      }
      char* end = nullptr;
      errno = 0;
      const long long n = std::strtoll(digits.c_str(), &end, 10);
      if (errno == 0 && end != nullptr && *end == '\0' && !digits.empty()) v = IntegerValue{n};
      break;
    }
    case tc::kBinaryFloat:
    case tc::kBinaryDouble: {
      const std::size_t size = code == tc::kBinaryFloat ? 4 : 8;
      if (stored.bytes.size() != size) {
        SetText(v, t.text);
        break;
      }
      const double d = code == tc::kBinaryFloat ? BinaryFloatValue(stored.bytes) : BinaryDoubleValue(stored.bytes);
      if (std::isnan(d)) {
        SetText(v, "NaN");
      } else {
        v = RealValue{d};
      }
      break;
    }
    case tc::kDate:
    case tc::kTimestamp:
    case tc::kTimestampTz:
    case tc::kTimestampLtz: {
      std::string& text = TextSlot(v);
      if (!IsoDateTimeInto(code, stored.bytes, text)) text.assign(t.text);
      break;
    }
    case tc::kRaw:
    case tc::kLongRaw:
    case tc::kBlob: {
      BinaryValue bytes;
      HexToBytes(t.text, bytes.bytes);
      v = std::move(bytes);
      break;
    }
    default:
      SetText(v, t.text);
      break;
  }
}

namespace {

// The columns whose texts SqliteRowValues moves into their values.
bool MovesText(std::uint32_t code, const ValueText& text) {
  return (code == tc::kClob || code == tc::kLong) && !text.is_null;
}

}  // namespace

void ReturnMovedTexts(const TableLayout& layout, std::span<const std::size_t> columns, std::span<ValueText> texts,
                      std::vector<Value>& values) {
  for (std::size_t i = 0; i < columns.size() && i < values.size(); ++i) {
    auto* moved = std::get_if<TextValue>(&values[i]);
    if (moved && MovesText(layout.columns()[columns[i]]->type_code, texts[i])) std::swap(moved->text, texts[i].text);
  }
}

void SqliteRowValues(const TableRow& row, const TableLayout& layout, std::span<const std::size_t> columns,
                     std::span<const std::string_view> declared_types, std::span<ValueText> texts,
                     std::vector<Value>& out) {
  out.resize(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::size_t c = columns[i];
    const std::uint32_t code = layout.columns()[c]->type_code;
    if (MovesText(code, texts[i])) {
      // A CLOB's or LONG's text, however long, is moved into its value,
      // not copied.
      std::swap(TextSlot(out[i]), texts[i].text);
      continue;
    }
    SqliteValue(code, declared_types[i], row.values[c], texts[i], out[i]);
  }
  // An XMLType column stored as a CLOB keeps only a null image in the row:
  // it takes the document of the hidden CLOB that follows it.
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnInfo& xml = *layout.columns()[columns[i]];
    if (xml.type_code != tc::kXmlType || texts[i].is_null) continue;
    for (std::size_t j = 0; j < columns.size(); ++j) {
      const ColumnInfo& text = *layout.columns()[columns[j]];
      if (text.internal_column != xml.internal_column + 1 || text.type_code != tc::kClob) continue;
      if (texts[j].is_null) {
        out[i] = NullValue{};
      } else {
        SetText(out[i], std::get<TextValue>(out[j]).text);  // the CLOB's text was moved there
      }
    }
  }
}

}  // namespace quillon::repair
