#include "browse/record_columns.h"

#include <algorithm>
#include <array>
#include <set>

#include "reader/packed_codes.h"
#include "reader/value_number.h"

namespace quillon {

namespace {

namespace tc = type_code;

constexpr std::uint16_t kNullAllowed = 0x0080;  // NULL$ stored as the number 0
constexpr std::string_view kNoValueText = "0.0000";

bool HiddenOrSystem(std::uint64_t property) {
  return property == kHiddenColumnProperty || property == kSystemGeneratedColumnProperty;
}

// What goes in the length and scale fields of a type.
enum class Sizes : std::uint8_t {
  kNone,
  kLength,           // the length; national: the length halved
  kScaleAsLength,    // TIMESTAMP: its fractional precision (SCALE) as the length
  kPrecision,        // INTERVAL YEAR TO MONTH
  kPrecisionScale,   // INTERVAL DAY TO SECOND
};

struct TypeRule {
  std::uint32_t code;
  std::string_view text;
  std::string_view national_text;  // empty: the same text
  Sizes sizes;
};

constexpr std::array kTypeRules = {
    TypeRule{tc::kVarchar2, "VARCHAR2", "NVARCHAR2", Sizes::kLength},
    TypeRule{tc::kLong, "LONG", "", Sizes::kNone},
    TypeRule{tc::kDate, "DATE", "", Sizes::kNone},
    TypeRule{tc::kRaw, "RAW", "", Sizes::kLength},
    TypeRule{tc::kLongRaw, "LONG RAW", "", Sizes::kNone},
    TypeRule{tc::kRowid, "ROWID", "", Sizes::kNone},
    TypeRule{tc::kChar, "CHAR", "NCHAR", Sizes::kLength},
    TypeRule{tc::kBinaryFloat, "BINARY_FLOAT", "", Sizes::kNone},
    TypeRule{tc::kBinaryDouble, "BINARY_DOUBLE", "", Sizes::kNone},
    TypeRule{tc::kClob, "CLOB", "NCLOB", Sizes::kNone},
    TypeRule{tc::kBlob, "BLOB", "", Sizes::kNone},
    TypeRule{tc::kBfile, "BFILE", "", Sizes::kNone},
    TypeRule{tc::kTimestamp, "TIMESTAMP", "", Sizes::kScaleAsLength},
    TypeRule{tc::kTimestampTz, "TIMESTAMP WITH TIME ZONE", "", Sizes::kNone},
    TypeRule{tc::kIntervalYm, "INTERVAL YEAR TO MONTH", "", Sizes::kPrecision},
    TypeRule{tc::kIntervalDs, "INTERVAL DAY TO SECOND", "", Sizes::kPrecisionScale},
    TypeRule{tc::kUrowid, " UROWID ", "", Sizes::kNone},
    TypeRule{tc::kTimestampLtz, "TIMESTAMP WITH LOCAL TIME ZONE", "", Sizes::kNone},
};

// A dictionary number text as the record view shows it: a plain integer
// ("0100" is 100); the NULL text "FF" and the zero text "0.0000" give no text.
std::string Shown(std::string_view number_text) {
  if (number_text == kNullNumberText || number_text == kNoValueText) return {};
  return PlainIntegerText(number_text);
}

RecordTypeText NumberType(const ColumnInfo& c) {
  const bool has_precision = c.precision_text != kNullNumberText;
  const bool has_scale = c.scale_text != kNullNumberText;
  if (has_precision && has_scale) return {"NUMBER", Shown(c.precision_text), Shown(c.scale_text)};
  if (has_precision) return {"FLOAT", Shown(c.precision_text), {}};
  return {"NUMBER", {}, {}};
}

}  // namespace

RecordTypeText RecordTypeOf(const ColumnInfo& c) {
  if (c.type_code == tc::kNumber) return NumberType(c);
  const bool national = c.charset_id == kNationalCharsetCode;
  for (const TypeRule& rule : kTypeRules) {
    if (rule.code != c.type_code) continue;
    RecordTypeText out;
    out.type = std::string(national && !rule.national_text.empty() ? rule.national_text : rule.text);
    switch (rule.sizes) {
      case Sizes::kNone: break;
      case Sizes::kLength:
        if (national && !rule.national_text.empty()) {
          out.length = std::to_string(NumberTextToInteger(c.length_text).value_or(0) / 2);
        } else {
          out.length = Shown(c.length_text);
        }
        break;
      case Sizes::kScaleAsLength: out.length = Shown(c.scale_text); break;
      case Sizes::kPrecision: out.length = Shown(c.precision_text); break;
      case Sizes::kPrecisionScale:
        out.length = Shown(c.precision_text);
        out.scale = Shown(c.scale_text);
        break;
    }
    return out;
  }
  return {std::string(kUnsupportedTypeText), {}, {}};
}

RecordColumns BuildRecordColumns(const Catalogue& catalogue, std::uint32_t table_object_number) {
  RecordColumns out;
  std::vector<const ColumnInfo*> records;
  for (const auto& c : catalogue.columns.All<0>(table_object_number)) records.push_back(&c);

  // 1. Hidden and system-generated columns are left out.
  for (const ColumnInfo* c : records) {
    if (!HiddenOrSystem(c->property)) out.list.push_back({c->name, c->column_number, c->segment_column});
  }
  // 2. Duplicates of a column number: the first takes the later one's second
  // number and the later one goes.
  auto& list = out.list;
  for (std::size_t i = 0; i < list.size(); ++i) {
    for (std::size_t j = i + 1; j < list.size();) {
      if (list[j].column_number == list[i].column_number) {
        list[i].second_number = list[j].second_number;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(j));
      } else {
        ++j;
      }
    }
  }
  // 3. Entries without a stored position go.
  std::erase_if(list, [](const RecordListColumn& c) { return c.column_number == 0 && c.second_number == 0; });
  std::erase_if(list, [](const RecordListColumn& c) { return c.second_number == 0; });
  // 4. By column number; equal numbers keep their order.
  std::stable_sort(list.begin(), list.end(),
                   [](const RecordListColumn& a, const RecordListColumn& b) { return a.column_number < b.column_number; });
  std::set<std::uint32_t> seconds;
  for (const auto& c : list) out.alternate_numbering = !seconds.insert(c.second_number).second || out.alternate_numbering;

  // 6. The column descriptions: every column record in catalogue order.
  for (const ColumnInfo* c : records) {
    if (c->column_number == 0 && c->segment_column == 0) continue;
    const RecordTypeText type = RecordTypeOf(*c);
    ColInsert d;
    d.column_name = c->name;
    d.sql_type = type.type;
    d.length_text = type.length;
    d.scale_text = type.scale;
    d.nullability = c->null_bytes == kNullAllowed ? "NULL" : "NOT NULL";
    d.default_text = c->default_text;
    d.type_code = c->type_code;
    d.column_number = c->column_number;
    d.second_number = c->segment_column;
    out.descriptions.push_back(std::move(d));
  }
  return out;
}

std::vector<std::string> PlaceCells(const RecordColumns& columns, std::span<const DataView> cells) {
  std::vector<std::string> texts(columns.list.size());
  std::vector<bool> filled(columns.list.size(), false);
  for (const DataView& cell : cells) {
    const std::uint64_t bytes = cell.property_low | (static_cast<std::uint64_t>(cell.property_high) << 32);
    const bool system = bytes == kSystemGeneratedColumnPropertyBytes;
    if (system || (!columns.alternate_numbering && bytes == kHiddenColumnPropertyBytes)) continue;
    for (std::size_t i = 0; i < columns.list.size(); ++i) {
      const RecordListColumn& c = columns.list[i];
      const bool match = columns.alternate_numbering ? c.column_number == cell.column_number
                                                     : c.second_number == cell.segment_column;
      if (!match || filled[i]) continue;
      texts[i] = cell.value_text;
      filled[i] = true;
      break;
    }
  }
  return texts;
}

}  // namespace quillon
