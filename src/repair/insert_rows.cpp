#include "repair/insert_rows.h"
#include "repair/collection_values.h"
#include "repair/object_shape.h"
#include "repair/odbc_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "reader/format.h"
#include "reader/lob_reader.h"
#include "reader/packed_codes.h"
#include "reader/unicode.h"
#include "reader/value_bfile.h"
#include "reader/value_binary_float.h"
#include "reader/value_datetime.h"
#include "repair/quoting.h"
#include "rows/value_texts.h"

namespace quillon::repair {

namespace {

namespace tc = type_code;

// A VARRAY stored as a LOB is read whole into memory to take its elements
// apart; one larger than this is written as NULL and noted.
constexpr std::size_t kMaxLobVarrayBytes = std::size_t{64} << 20;

constexpr const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool IsNational(const ColumnInfo& column, const DecodeContext& context) {
  return column.charset_form == 2 || context.IsNational(column.charset_id);
}

std::string Two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string Four(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d", v);
  return b;
}

std::string SignedYear(int year) { return (year < 0 ? "-" : "") + Four(std::abs(year)); }

std::string TimestampText(const DateTimeFields& f) {
  char fraction[16];
  std::snprintf(fraction, sizeof fraction, "%09u", static_cast<unsigned>(f.nanoseconds % 1000000000u));
  return SignedYear(f.year) + "-" + Two(f.month) + "-" + Two(f.day) + " " + Two(f.hour) + ":" + Two(f.minute) + ":" +
         Two(f.second) + "." + fraction;
}

// A DATE's item: its text read back whatever the session's language.
const std::string& ToDateItem() {
  static const std::string item = "TO_DATE(?, " + std::string(kDateMask) + ", 'NLS_DATE_LANGUAGE=AMERICAN')";
  return item;
}

ValueItem Bound(Value v) {
  ValueItem item;
  item.sql = "?";
  item.values.push_back(std::move(v));
  return item;
}

ValueItem Literal(std::string sql) {
  ValueItem item;
  item.sql = std::move(sql);
  return item;
}

ValueItem Lost() {
  ValueItem item;
  item.sql = "NULL";
  item.lost = true;
  return item;
}

ValueItem BinaryFloatItem(const ColumnInfo& column, const StoredValue& value, DecodeContext& context) {
  const bool single = column.type_code == tc::kBinaryFloat;
  if (value.bytes.size() != (single ? 4u : 8u)) return Lost();
  const double d = single ? BinaryFloatValue(value.bytes) : BinaryDoubleValue(value.bytes);
  const std::string kind = single ? "BINARY_FLOAT" : "BINARY_DOUBLE";
  if (std::isnan(d)) return Literal(kind + "_NAN");
  if (std::isinf(d)) return Literal((d < 0 ? "-" : "") + kind + "_INFINITY");
  DecodedValue decoded = DecodeColumnValue(DescriptorOf(column), value, DecodeMode::kData, context);
  return Bound(NumberValue{std::move(decoded.text)});
}

}  // namespace

std::optional<std::string> OracleDateText(ByteView bytes) {
  std::string out;
  if (!AssignOracleDateText(bytes, out)) return std::nullopt;
  return out;
}

bool AssignOracleDateText(ByteView bytes, std::string& out) {
  const auto f = ReadDateTime(bytes);
  if (!f || !IsValidDateTime(*f)) return false;
  const int hour12 = f->hour % 12 == 0 ? 12 : f->hour % 12;
  // Written field by field into one buffer, without a formatting call:
  // every date of every row passes here.
  const auto two = [](char* at, int v) {
    at[0] = static_cast<char>('0' + v / 10);
    at[1] = static_cast<char>('0' + v % 10);
  };
  char tail[12] = {' ', '0', '0', ':', '0', '0', ':', '0', '0', ' ', 'A', 'M'};
  two(tail + 1, hour12);
  two(tail + 4, f->minute);
  two(tail + 7, f->second);
  if (f->hour >= 12) tail[10] = 'P';
  char text[24] = {'0', '0', '-', 0, 0, 0, '-'};
  two(text, f->day);
  std::memcpy(text + 3, kMonths[f->month - 1], 3);
  std::size_t n = 7;
  if (f->year < 0) text[n++] = '-';
  const int year = std::abs(f->year);  // at most 4712 BC and 9999 AD: valid dates only
  two(text + n, year / 100);
  two(text + n + 2, year % 100);
  n += 4;
  std::memcpy(text + n, tail, sizeof tail);
  out.assign(text, n + sizeof tail);
  return true;
}

std::optional<std::string> OracleTimestampText(std::uint32_t type_code, ByteView bytes) {
  const auto f = ReadDateTime(bytes);
  if (!f || !IsValidDateTime(*f)) return std::nullopt;
  if (type_code != tc::kTimestampTz) return TimestampText(*f);
  // Stored in UTC with the offset in bytes 11 and 12 (hour + 20, minute +
  // 60); a value stored with a region is kept as its UTC instant.
  const auto zone_hour = bytes.U8(11);
  const auto zone_minute = bytes.U8(12);
  int offset = 0;
  if (zone_hour && zone_minute && (*zone_hour & 0x80) == 0) {
    const int hours = *zone_hour - 20;
    const int minutes = *zone_minute - 60;
    if (hours >= -15 && hours <= 15 && minutes >= -59 && minutes <= 59) offset = hours * 60 + minutes;
  }
  std::string out = TimestampText(AddMinutes(*f, offset));
  out += offset < 0 ? " -" : " +";
  out += Two(std::abs(offset) / 60) + ":" + Two(std::abs(offset) % 60);
  return out;
}

ValueItem ScalarValueItem(const ColumnInfo& column, const StoredValue& value, DecodeContext& context) {
  if (value.is_null) return Literal("NULL");
  switch (column.type_code) {
    case tc::kVarchar2:
    case tc::kChar: {
      DecodedValue d = DecodeColumnValue(DescriptorOf(column), value, DecodeMode::kRepair, context);
      if (IsNational(column, context)) return Bound(WideTextValue{Utf8ToUtf16(d.text)});
      return Bound(TextValue{std::move(d.text)});
    }
    case tc::kRaw:
      return Bound(BinaryValue{std::vector<std::uint8_t>(value.bytes.data(), value.bytes.data() + value.bytes.size())});
    case tc::kNumber: {
      DecodedValue d = DecodeColumnValue(DescriptorOf(column), value, DecodeMode::kData, context);
      if (d.form != TextForm::kNumber) return Lost();
      return Bound(NumberValue{std::move(d.text)});
    }
    case tc::kBinaryFloat:
    case tc::kBinaryDouble:
      return BinaryFloatItem(column, value, context);
    case tc::kRowid:
    case tc::kUrowid:
    case tc::kIntervalYm:
    case tc::kIntervalDs: {
      DecodedValue d = DecodeColumnValue(DescriptorOf(column), value, DecodeMode::kRepair, context);
      return Bound(TextValue{std::move(d.text)});
    }
    case tc::kDate: {
      auto text = OracleDateText(value.bytes);
      if (!text) return Lost();
      ValueItem item = Bound(TextValue{std::move(*text)});
      item.sql = ToDateItem();
      return item;
    }
    case tc::kTimestamp:
    case tc::kTimestampTz:
    case tc::kTimestampLtz: {
      auto text = OracleTimestampText(column.type_code, value.bytes);
      if (!text) return Lost();
      ValueItem item = Bound(TextValue{std::move(*text)});
      if (column.type_code == tc::kTimestampTz) {
        item.sql = "TO_TIMESTAMP_TZ(?, " + std::string(kTimestampTzMask) + ")";
      } else if (column.type_code == tc::kTimestampLtz) {
        // Stored in the database's time zone: read as a time there.
        item.sql = "FROM_TZ(TO_TIMESTAMP(?, " + std::string(kTimestampMask) + "), DBTIMEZONE)";
      } else {
        item.sql = "TO_TIMESTAMP(?, " + std::string(kTimestampMask) + ")";
      }
      return item;
    }
    default:
      return Lost();
  }
}

std::optional<std::size_t> XmlTextColumn(const TableLayout& layout, std::uint32_t xml_internal_column) {
  for (std::size_t i = 0; i < layout.columns().size(); ++i) {
    const ColumnInfo& c = *layout.columns()[i];
    if (c.internal_column == xml_internal_column + 1 && c.type_code == tc::kClob && c.segment_column != 0) return i;
  }
  return std::nullopt;
}

namespace {

// A big-endian length of `size` bytes (2 or 4) at `at`.
std::optional<std::uint32_t> LongerLength(ByteView image, std::size_t at, std::size_t size) {
  if (size == 4) return image.U32BE(at);
  const auto two = image.U16BE(at);
  if (!two) return std::nullopt;
  return *two;
}

// A length at `at`, moving past it: one byte, or kWideLength and a longer
// length of long_size bytes.
std::optional<std::size_t> PickledLength(ByteView image, std::size_t& at, std::size_t long_size) {
  const auto first = image.U8(at);
  if (!first) return std::nullopt;
  ++at;
  if (*first != format::varray_image::kWideLength) return *first;
  const auto wide = LongerLength(image, at, long_size);
  if (!wide) return std::nullopt;
  at += long_size;
  return *wide;
}

// The values from `at` on, count of them (a count read from the image:
// each value takes at least a byte, so a damaged one ends at the image's
// end); std::nullopt unless they end where the image ends. With in_line
// (count entries), the values are an object's attributes, in_line[i] > 0
// marking an object attribute written in line with that many values of its
// own after it (its attributes, theirs in turn): kAtomicNull makes it and
// them NULL; otherwise it is given as present (no bytes, not NULL) and its
// values follow. Only kAtomicNull starts a NULL object: kNullValue there is
// its first attribute's NULL.
std::optional<std::vector<StoredValue>> ImageValues(ByteView image, std::size_t at, std::size_t count,
                                                    std::size_t long_size, std::span<const std::size_t> in_line = {}) {
  namespace vi = format::varray_image;
  std::vector<StoredValue> out;
  for (std::size_t k = 0; k < count; ++k) {
    const auto first = image.U8(at);
    if (!first) return std::nullopt;
    if (k < in_line.size() && in_line[k] > 0) {
      if (*first == vi::kAtomicNull) {
        ++at;
        const std::size_t nulls = std::min(in_line[k], count - k - 1);
        out.insert(out.end(), nulls + 1, StoredValue{{}, true, false});
        k += nulls;
      } else {
        out.push_back(StoredValue{{}, false, false});
      }
      continue;
    }
    if (*first == vi::kNullValue || *first == vi::kAtomicNull) {
      ++at;
      out.push_back(StoredValue{{}, true, false});
      continue;
    }
    const auto length = PickledLength(image, at, long_size);
    if (!length || !image.Has(at, *length)) return std::nullopt;
    out.push_back(StoredValue{ByteView(image.data() + at, *length), false, false});
    at += *length;
  }
  // Bytes after the last value: the count and the image disagree.
  if (at != image.size()) return std::nullopt;
  return out;
}

// The values of a pickled image: a collection's elements (attributes
// unset) or an object's attributes (that many). Each size a longer length
// may have is tried, for the header's lengths and for the values'.
std::optional<std::vector<StoredValue>> PickledValues(ByteView image, std::optional<std::size_t> attributes,
                                                      std::span<const std::size_t> in_line = {}) {
  namespace vi = format::varray_image;
  const auto flags = image.U8(vi::kFlags);
  const auto version = image.U8(vi::kVersion);
  if (!flags || !version || (*flags & vi::kImageFlag) == 0 || *version != vi::kVersionOne) return std::nullopt;
  const bool collection = (*flags & vi::kCollectionFlag) != 0;
  if (collection == attributes.has_value()) return std::nullopt;
  for (const std::size_t header_size : vi::kLongerLengthSizes) {
    std::size_t at = vi::kLength;
    const auto total = PickledLength(image, at, header_size);
    if (!total || *total != image.size()) continue;
    if ((*flags & vi::kNoPrefixFlag) == 0) {
      const auto prefix = PickledLength(image, at, header_size);
      if (!prefix || !image.Has(at, *prefix)) continue;
      at += *prefix;
    }
    std::size_t count = attributes.value_or(0);
    if (collection) {
      ++at;  // the collection's flags
      const auto elements = PickledLength(image, at, header_size);
      if (!elements) continue;
      count = *elements;
    }
    for (const std::size_t value_size : vi::kLongerLengthSizes) {
      if (auto values = ImageValues(image, at, count, value_size, in_line)) return values;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<StoredValue>> VarrayElements(ByteView image) {
  if (auto elements = PickledValues(image, std::nullopt)) return elements;
  // The earlier layout: a presence byte, the count, the elements.
  const auto presence = image.U8(0);
  const auto count = image.U8(1);
  if (!presence || !count || *presence != format::varray_image::kPresence) return std::nullopt;
  return ImageValues(image, 2, *count, 2);
}

std::optional<std::vector<StoredValue>> ObjectImageAttributes(ByteView image, std::span<const std::size_t> in_line) {
  return PickledValues(image, in_line.size(), in_line);
}

std::vector<std::size_t> InsertColumns(const TableDefinition& table, const TableLayout& layout) {
  std::map<std::uint32_t, std::size_t> by_internal;
  for (std::size_t i = 0; i < layout.columns().size(); ++i) by_internal.emplace(layout.columns()[i]->internal_column, i);
  std::vector<std::size_t> out;
  for (const ColumnDefinition* c : table.DeclaredColumns()) {
    if (c->is_virtual || c->hidden || c->system_generated || c->segment_column == 0) continue;
    const auto found = by_internal.find(c->internal_column);
    if (found != by_internal.end()) out.push_back(found->second);
  }
  return out;
}

std::optional<std::string> InsertHead(std::string_view owner, std::string_view table, const TableSegment* segment) {
  const Quoted o = QuoteIdent(owner);
  const Quoted t = QuoteIdent(table);
  if (!o || !t) return std::nullopt;
  std::string head = "insert into " + o.text() + "." + t.text();
  if (segment && !segment->name.empty() &&
      (segment->level == TableSegment::Level::kPartition || segment->level == TableSegment::Level::kSubpartition ||
       segment->level == TableSegment::Level::kIndexPartition)) {
    const Quoted p = QuoteIdent(segment->name);
    if (!p) return std::nullopt;
    head += segment->level == TableSegment::Level::kSubpartition ? " SUBPARTITION (" : " PARTITION (";
    head += p.text() + ")";
  }
  return head;
}

namespace {

// Turns UTF-16BE arriving in pieces into UTF-8 pieces, never splitting a
// surrogate pair or a code unit between pieces.
class Utf16Stream {
 public:
  explicit Utf16Stream(SpillFolder& spill) : spill_(spill) {}
  bool Put(ByteView bytes) {
    pending_.insert(pending_.end(), bytes.data(), bytes.data() + bytes.size());
    std::size_t whole = pending_.size() & ~std::size_t{1};
    // A high surrogate at the end waits for its partner.
    if (whole >= 2 && (pending_[whole - 2] & 0xFC) == 0xD8) whole -= 2;
    return Flush(whole);
  }
  bool End() { return Flush(pending_.size()); }

 private:
  bool Flush(std::size_t n) {
    if (n == 0) return true;
    out_.clear();
    AppendFromUtf16BE(ByteView(pending_.data(), n), out_);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
    return spill_.Append({reinterpret_cast<const std::uint8_t*>(out_.data()), out_.size()});
  }
  SpillFolder& spill_;
  std::vector<std::uint8_t> pending_;
  std::string out_;
};

bool AppendText(SpillFolder& spill, const std::string& text) {
  return spill.Append({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

class RowInserter final : public RowConsumer {
 public:
  RowInserter(COracleRecoveryTools& engine, const TableDefinition& table, const TableLayout& layout,
              std::vector<std::size_t> columns, Target& target, SpillFolder& spill, const InsertOptions& options,
              InsertResult& result)
      : engine_(engine),
        table_(table),
        layout_(layout),
        columns_(std::move(columns)),
        target_(target),
        spill_(spill),
        options_(options),
        result_(result) {
    std::map<std::uint32_t, std::size_t> layout_by_internal;
    for (std::size_t i = 0; i < layout_.columns().size(); ++i) {
      layout_by_internal.emplace(layout_.columns()[i]->internal_column, i);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const ColumnInfo& info = *layout_.columns()[columns_[i]];
      if (info.type_code == tc::kObject) {
        if (const ColumnDefinition* d = table_.ColumnByInternalNumber(info.internal_column)) {
          ObjectShape shape = ObjectShapeOf(engine_.catalogue, table_, *d, layout_by_internal);
          // Its VARRAY, nested-table, LOB and BFILE attributes are made as
          // such columns are.
          for (const std::size_t index : CallerAttributes(shape)) {
            const ColumnInfo& attribute = *layout_.columns()[index];
            if (attribute.type_code != tc::kVarray && attribute.type_code != tc::kNestedTable) continue;
            collections_.emplace(attribute.internal_column,
                                 std::make_unique<CollectionColumn>(engine_, table_, attribute.internal_column));
          }
          objects_.emplace(info.internal_column, std::move(shape));
        }
      }
      if (info.type_code == tc::kVarray || info.type_code == tc::kNestedTable) {
        collections_.emplace(info.internal_column,
                             std::make_unique<CollectionColumn>(engine_, table_, info.internal_column));
      }
      if (info.type_code == tc::kXmlType) {
        if (const auto clob = XmlTextColumn(layout_, info.internal_column)) xml_texts_.emplace(info.internal_column, *clob);
      }
      const Quoted q = QuoteIdent(layout_.columns()[columns_[i]]->name);
      if (!q) {
        refused_ = "column name: " + q.reason();
        return;
      }
      column_list_ += (i == 0 ? "" : ",") + q.text();
    }
  }

  // An XMLType table: each row is insert into "O"."T" values (item), the
  // item XMLTYPE(document) from the hidden CLOB that stores the document,
  // or the XML value builder's from the row's XMLType column.
  void XmlTable(std::optional<std::size_t> row_column, std::optional<std::size_t> text_column) {
    xml_column_ = row_column;
    xml_text_column_ = text_column;
  }

  // Reads the storage tables of the nested-table columns (before the
  // table's own rows).
  void ReadNestedTables(BlockSource& source) {
    // The LOB and BFILE attributes of elements are made as such columns
    // are: a LOB's bytes wait in the spill folder until the parent's row
    // goes in.
    const StorageAttributeItem by_caller = [this](const TableRow& row, const ColumnInfo& column,
                                                  const StoredValue& value) {
      bool spill_failed = false;
      return ColumnLikeItem(row, column, value, false, spill_failed);
    };
    for (auto& [internal, collection] : collections_) collection->ReadStorage(engine_, source, by_caller);
  }
  // A table none of whose columns can be written: every row is counted as
  // failed, not silently dropped.
  void NoColumns() { refused_ = "none of its columns can be written"; }

  bool Row(const TableRow& row) override {
    if (xml_column_ || xml_text_column_) return XmlRow(row);
    if (!refused_.empty()) {
      Fail("the row cannot be written: " + refused_);
      return !engine_.StopRequested();
    }
    // Rows of one segment share their head and column list, made once per
    // segment and kept at the start of sql_ from row to row.
    if (!head_made_ || row.segment != head_segment_) {
      head_ = InsertHead(table_.object.owner, table_.object.name, row.segment);
      head_segment_ = row.segment;
      head_made_ = true;
      sql_holds_items_ = false;
      if (head_) {
        sql_.assign(*head_);
        sql_ += " (";
        sql_ += column_list_;
        sql_ += ") values (";
        prefix_size_ = sql_.size();
      }
    }
    if (!head_) {
      Fail("the partition's name cannot be quoted");
      return !engine_.StopRequested();
    }
    if (row.partial()) ++result_.partial_rows;
    used_ = 0;
    // While every value is a common scalar, only its item is noted: a row
    // whose items are those of the text in sql_ reuses that text.
    bool common = true;
    items_.clear();
    for (std::size_t k = 0; k < columns_.size(); ++k) {
      const ColumnInfo& column = *layout_.columns()[columns_[k]];
      const StoredValue& value = row.values[columns_[k]];
      if (const std::optional<CommonItem> common_item = CommonScalar(column, value)) {
        if (common) {
          items_.push_back(*common_item);
        } else {
          sql_.append(", ", 2);
          AppendCommonItem(*common_item);
        }
        continue;
      }
      if (common) {  // from here on the text is written as the items come
        common = false;
        sql_holds_items_ = false;
        WriteCommonItems();
      }
      if (k > 0) sql_.append(", ", 2);
      ValueItem item;
      if (!Item(row, column, value, item)) return !engine_.StopRequested();
      if (item.lost) ++result_.lost_values;
      sql_ += item.sql;
      for (Value& v : item.values) NextSlot() = std::move(v);
    }
    if (!common) {
      sql_ += ')';
    } else if (!sql_holds_items_ || items_ != sql_items_) {
      WriteCommonItems();
      sql_ += ')';
      sql_items_ = items_;
      sql_holds_items_ = true;
    }
    target_.InsertRow(sql_, std::span<const Value>(values_.data(), used_));
    return !engine_.StopRequested();
  }

 private:
  // The next of the row's value slots: slots are kept from row to row, so
  // their texts keep their storage.
  Value& NextSlot() {
    if (used_ == values_.size()) values_.emplace_back();
    return values_[used_++];
  }
  template <class T>
  T& NextSlotOf() {
    Value& v = NextSlot();
    if (!std::holds_alternative<T>(v)) v = T{};
    return std::get<T>(v);
  }

  // The item a common scalar takes in the INSERT's text.
  enum class CommonItem : std::uint8_t { kNull, kBound, kDate };

  // NULL and the scalars nearly every row is made of (character, NUMBER,
  // DATE) put straight into the row's value slots, as ScalarValueItem
  // writes them, and their item returned; std::nullopt: the value takes the
  // general way.
  std::optional<CommonItem> CommonScalar(const ColumnInfo& column, const StoredValue& value) {
    if (value.is_null) return CommonItem::kNull;
    switch (column.type_code) {
      case tc::kVarchar2:
      case tc::kChar:
        if (IsNational(column, engine_.values)) return std::nullopt;
        DecodeColumnValueInto(DescriptorOf(column), value, DecodeMode::kRepair, engine_.values, decoded_);
        std::swap(NextSlotOf<TextValue>().text, decoded_.text);
        return CommonItem::kBound;
      case tc::kNumber:
        DecodeColumnValueInto(DescriptorOf(column), value, DecodeMode::kData, engine_.values, decoded_);
        if (decoded_.form != TextForm::kNumber) return std::nullopt;
        std::swap(NextSlotOf<NumberValue>().text, decoded_.text);
        return CommonItem::kBound;
      case tc::kDate:
        if (!AssignOracleDateText(value.bytes, NextSlotOf<TextValue>().text)) {
          --used_;
          return std::nullopt;
        }
        return CommonItem::kDate;
      default:
        return std::nullopt;
    }
  }

  void AppendCommonItem(CommonItem item) {
    switch (item) {
      case CommonItem::kNull: sql_.append("NULL", 4); break;
      case CommonItem::kBound: sql_ += '?'; break;
      case CommonItem::kDate: sql_ += ToDateItem(); break;
    }
  }

  // The head and the items noted so far, as the text of the row.
  void WriteCommonItems() {
    sql_.resize(prefix_size_);
    for (std::size_t k = 0; k < items_.size(); ++k) {
      if (k > 0) sql_.append(", ", 2);
      AppendCommonItem(items_[k]);
    }
  }

  void Fail(const std::string& why) {
    ++result_.failed_rows;
    Note(why);
  }

  // A row's trouble (a failure, or another value than the one read), for
  // the error file, with the statement and never the row's values.
  void Note(const std::string& why) {
    if (result_.errors.size() < kMaxRowErrors) {
      result_.errors.push_back(why + "\n" + "insert into " + PrintableName(table_.object.owner) + "." +
                               PrintableName(table_.object.name));
    }
  }

  bool XmlRow(const TableRow& row) {
    std::optional<ValueItem> item;
    if (xml_text_column_) {
      const ColumnInfo& text = *layout_.columns()[*xml_text_column_];
      const StoredValue& value = row.values[*xml_text_column_];
      ValueItem document;
      if (!value.is_null) {
        if (!LobItem(row, text, value, document)) return !engine_.StopRequested();
        if (!document.values.empty()) {
          document.sql = "XMLTYPE(" + document.sql + ")";
          item = std::move(document);
        }
      }
    } else if (xml_column_ && options_.xml_values) {
      const StoredValue& value = row.values[*xml_column_];
      if (!value.is_null) item = options_.xml_values(row, *layout_.columns()[*xml_column_], value);
    }
    const auto head = InsertHead(table_.object.owner, table_.object.name, row.segment);
    if (!item || !head) {
      Fail(head ? "the row's XML document cannot be read" : "the partition's name cannot be quoted");
      return !engine_.StopRequested();
    }
    if (row.partial()) ++result_.partial_rows;
    sql_holds_items_ = false;
    sql_ = *head + " values (" + item->sql + ")";
    target_.InsertRow(sql_, item->values);
    return !engine_.StopRequested();
  }

  // The item of one value; false when the row cannot be written at all.
  bool Item(const TableRow& row, const ColumnInfo& column, const StoredValue& value, ValueItem& item) {
    if (value.is_null) {
      item.sql = "NULL";
      return true;
    }
    switch (column.type_code) {
      case tc::kLong:
      case tc::kLongRaw:
        return LongItem(column, value, item);
      case tc::kClob:
      case tc::kBlob:
        return LobItem(row, column, value, item);
      case tc::kXmlType:
        return XmlItem(row, column, value, item);
      case tc::kObject:
        return ObjectItem(row, column, item);
      case tc::kNestedTable:
      case tc::kVarray:
        item = CollectionItem(row, column, value);
        return true;
      case tc::kBfile:
        item = BfileItem(column, value);
        return true;
      case tc::kRef:
        // A REF holds the object identifier of a row of an object table;
        // the rows re-made in the target get identifiers of their own.
        Note("a REF of column " + PrintableName(column.name) +
             " cannot point to its object in the target: written as NULL");
        item = Lost();
        return true;
      default:
        item = ScalarValueItem(column, value, engine_.values);
        return true;
    }
  }

  // An XMLType column stored as a CLOB (the hidden column after it holds
  // the document): XMLTYPE(document), the document bound as a CLOB. Any
  // other storage goes to the XML value builder.
  bool XmlItem(const TableRow& row, const ColumnInfo& column, const StoredValue& value, ValueItem& item) {
    const auto text = xml_texts_.find(column.internal_column);
    if (text != xml_texts_.end()) {
      const StoredValue& document = row.values[text->second];
      if (document.is_null) {
        item = Lost();
        Note("an XMLType value of column " + PrintableName(column.name) + " has no stored document: written as NULL");
        return true;
      }
      if (!LobItem(row, *layout_.columns()[text->second], document, item)) return false;
      if (item.values.empty()) {  // an empty text is no XML document
        item = Lost();
        Note("an XMLType value of column " + PrintableName(column.name) + " has an empty document: written as NULL");
        return true;
      }
      item.sql = "XMLTYPE(" + item.sql + ")";
      return true;
    }
    std::optional<ValueItem> xml = options_.xml_values ? options_.xml_values(row, column, value) : std::nullopt;
    item = xml ? std::move(*xml) : Lost();
    return true;
  }

  // TYPE(element, ...), or NULL, counted and noted, when the collection
  // cannot be made whole.
  ValueItem CollectionItem(const TableRow& row, const ColumnInfo& column, const StoredValue& value) {
    const auto collection = collections_.find(column.internal_column);
    if (collection == collections_.end()) return Lost();
    const std::string what = std::string(column.type_code == tc::kVarray ? "a VARRAY" : "a nested table") +
                             " of column " + PrintableName(column.name);
    std::string note;
    ValueItem item;
    if (collection->second->stored_as_lob() && !value.is_null) {
      // The row holds a LOB locator; the LOB's bytes are the image.
      std::vector<std::uint8_t> image;
      bool too_large = false;
      const auto locator = ParseLobLocator(value.bytes);
      LobReadResult read;
      if (locator) {
        read = ReadLobPages(row, column, *locator, [&image, &too_large](ByteView part) {
          if (too_large || image.size() + part.size() > kMaxLobVarrayBytes) {
            too_large = true;
            return;
          }
          image.insert(image.end(), part.data(), part.data() + part.size());
        });
      }
      if (!locator || !read.complete || too_large) {
        Note(what + (too_large ? " is larger than a VARRAY read here" : " stored as a LOB is incomplete") +
             ": written as NULL");
        return Lost();
      }
      item = collection->second->Item(StoredValue{ByteView(image.data(), image.size()), false, false}, engine_.values,
                                      what, &note);
    } else {
      item = collection->second->Item(value, engine_.values, what, &note);
    }
    if (item.lost) Note(note);
    return item;
  }

  // Reads the pages of a LOB (or its data in the row) into sink.
  LobReadResult ReadLobPages(const TableRow& row, const ColumnInfo& column, const LobLocator& locator,
                             const ByteSink& sink) {
    LobReadResult read;
    if (locator.in_row) {
      sink(locator.data);
      return read;
    }
    const auto segment =
        row.segment ? FindLobSegment(engine_, column.object_number, column.internal_column, *row.segment)
                    : std::nullopt;
    if (!segment && locator.chunk_dbas.empty()) {
      read.complete = false;
      return read;
    }
    if (!lobs_) lobs_ = std::make_unique<LobReader>(engine_);
    return lobs_->Read(segment.value_or(LobSegmentRef{}), locator, sink);
  }

  // BFILENAME(directory, file), both bound as texts: the locator names the
  // file, whose bytes live outside the database. A damaged locator (a name
  // cut short, no directory) is written as NULL and noted.
  ValueItem BfileItem(const ColumnInfo& column, const StoredValue& value) {
    BfileNames names = ReadBfileNames(value.bytes, engine_.values.database());
    if (!names.complete || names.directory.empty() || names.file.empty()) {
      Note("a BFILE of column " + PrintableName(column.name) + " is damaged: written as NULL");
      return Lost();
    }
    ValueItem item;
    item.sql = "BFILENAME(?, ?)";
    item.values.emplace_back(TextValue{std::move(names.directory)});
    item.values.emplace_back(TextValue{std::move(names.file)});
    return item;
  }

  // An attribute made as a column of its type is (a collection, a BFILE, a
  // LOB); lost when it cannot be made. spill_failed is set when a LOB's
  // bytes could not be spilled, which fails the row with fail_row set.
  ValueItem ColumnLikeItem(const TableRow& row, const ColumnInfo& column, const StoredValue& value, bool fail_row,
                           bool& spill_failed) {
    ValueItem made;
    if (value.is_null) {
      made.sql = "NULL";
    } else if (column.type_code == tc::kVarray || column.type_code == tc::kNestedTable) {
      made = CollectionItem(row, column, value);
    } else if (column.type_code == tc::kBfile) {
      made = BfileItem(column, value);
    } else if (!LobItem(row, column, value, made, fail_row)) {
      spill_failed = true;
      made = Lost();
    }
    return made;
  }

  // TYPE(attribute items): scalar attributes bound like columns, embedded
  // objects through their own constructors (NULL when atomically NULL),
  // collection, LOB and BFILE attributes as such columns are. False when the
  // row cannot be written at all (a LOB attribute's spill failed).
  bool ObjectItem(const TableRow& row, const ColumnInfo& column, ValueItem& item) {
    const auto shape = objects_.find(column.internal_column);
    if (shape == objects_.end()) {
      item = Lost();
      return true;
    }
    const std::string what = "an object of column " + PrintableName(column.name);
    if (shape->second.constructor.empty()) {
      Note(what + " cannot be written (" + shape->second.why + "): written as NULL");
      item = Lost();
      return true;
    }
    bool row_failed = false;
    const auto by_caller = [this, &row, &row_failed](std::size_t index) {
      return ColumnLikeItem(row, *layout_.columns()[index], row.values[index], true, row_failed);
    };
    item = ValueItem{};
    if (!AppendObjectItem(shape->second, layout_, row.values, engine_.values, item, by_caller)) {
      if (row_failed) return false;
      Note(what + " has an attribute that cannot be read: written as NULL");
      item = Lost();
    }
    return true;
  }

  // A LONG or LONG RAW value the target cannot take: the row is not
  // written, and counted both as failed and as too long.
  bool TooLong(std::uint64_t size) {
    ++result_.long_values_too_long;
    Fail("a LONG or LONG RAW value of " + std::to_string(size) + " bytes (over " +
         std::to_string(options_.max_long_bytes) + ") cannot be written into a script");
    return false;
  }

  bool LongItem(const ColumnInfo& column, const StoredValue& value, ValueItem& item) {
    if (options_.max_long_bytes > 0 && value.bytes.size() > options_.max_long_bytes) return TooLong(value.bytes.size());
    spill_.BeginValue();
    LongValue v;
    bool ok = true;
    if (column.type_code == tc::kLongRaw) {
      v.form = LongValue::Form::kBinary;
      ok = spill_.Append({value.bytes.data(), value.bytes.size()});
    } else {
      v.form = LongValue::Form::kText;
      text_.clear();
      engine_.values.database().AppendUtf8(value.bytes, text_);
      ok = AppendText(spill_, text_);
    }
    v.bytes = spill_.FinishValue();
    if (!ok) {
      Fail("the spill file cannot be written");
      return false;
    }
    // Text can grow on its way to UTF-8: the limit holds for what the
    // target is given, not only for the stored bytes.
    if (options_.max_long_bytes > 0 && v.bytes->size() > options_.max_long_bytes) return TooLong(v.bytes->size());
    if (v.bytes->size() == 0) {  // Oracle stores an empty LONG as NULL
      item.sql = "NULL";
      return true;
    }
    item.sql = "?";
    item.values.push_back(std::move(v));
    return true;
  }

  // A LOB value as a long value read from the spill folder (EMPTY_CLOB() /
  // EMPTY_BLOB() when empty); false when the spill file cannot be written,
  // which fails the row, or with fail_row unset only says so.
  bool LobItem(const TableRow& row, const ColumnInfo& column, const StoredValue& value, ValueItem& item,
               bool fail_row = true) {
    const bool binary = column.type_code == tc::kBlob;
    spill_.BeginValue();
    LobReadResult read;
    bool ok = true;
    bool wide = false;
    const auto locator = ParseLobLocator(value.bytes);
    if (!locator) {
      read.complete = false;
    } else {
      wide = !binary && LobInUtf16(column, engine_.values, locator->byte_length);
      Utf16Stream utf16(spill_);
      std::string piece;
      const ByteSink sink = [&](ByteView part) {
        if (!ok) return;
        if (binary) {
          ok = spill_.Append({part.data(), part.size()});
        } else if (wide) {
          ok = utf16.Put(part);
        } else {
          piece.clear();
          engine_.values.database().AppendUtf8(part, piece);
          ok = AppendText(spill_, piece);
        }
      };
      read = ReadLobPages(row, column, *locator, sink);
      if (wide && ok) ok = utf16.End();
    }
    LongValue v;
    // Text is handed over as UTF-8 (decoded from UTF-16 when Oracle kept it
    // so); the wide form marks national columns, which targets bind as
    // wide characters.
    const bool national = column.charset_form == 2 || engine_.values.IsNational(column.charset_id);
    v.form = binary ? LongValue::Form::kBinary : (national ? LongValue::Form::kWideText : LongValue::Form::kText);
    v.bytes = spill_.FinishValue();
    if (!ok) {
      if (fail_row) {
        Fail("the spill file cannot be written");
      } else {
        Note("the spill file cannot be written");
      }
      return false;
    }
    if (!read.complete) {
      // Written with what was found, and said so: never silently short.
      ++result_.incomplete_lobs;
      Note("the LOB value of column " + PrintableName(column.name) + " is incomplete (" +
           std::to_string(v.bytes->size()) + " bytes found): some of its pages are missing from the datafiles");
    }
    if (v.bytes->size() == 0) {
      item.sql = binary ? "EMPTY_BLOB()" : "EMPTY_CLOB()";
      return true;
    }
    item.sql = "?";
    item.values.push_back(std::move(v));
    return true;
  }

  COracleRecoveryTools& engine_;
  const TableDefinition& table_;
  const TableLayout& layout_;
  std::vector<std::size_t> columns_;
  Target& target_;
  SpillFolder& spill_;
  const InsertOptions& options_;
  InsertResult& result_;
  std::string column_list_;
  std::string refused_;
  std::string sql_;
  std::optional<std::string> head_;     // the INSERT's head for head_segment_
  const TableSegment* head_segment_ = nullptr;
  bool head_made_ = false;
  std::size_t prefix_size_ = 0;         // of sql_: the head and column list
  std::vector<CommonItem> items_;       // the row's items while its values are common scalars
  std::vector<CommonItem> sql_items_;   // the items whose text sql_ holds, when sql_holds_items_
  bool sql_holds_items_ = false;
  std::string text_;
  std::vector<Value> values_;  // the row's value slots; the first used_ are this row's
  std::size_t used_ = 0;
  DecodedValue decoded_;
  std::unique_ptr<LobReader> lobs_;
  std::map<std::uint32_t, ObjectShape> objects_;  // by the object column's INTCOL#
  std::map<std::uint32_t, std::unique_ptr<CollectionColumn>> collections_;  // by the collection column's INTCOL#
  std::map<std::uint32_t, std::size_t> xml_texts_;        // XMLType INTCOL# -> layout index of its CLOB
  std::optional<std::size_t> xml_column_;
  std::optional<std::size_t> xml_text_column_;
};

}  // namespace

InsertResult InsertTableRows(COracleRecoveryTools& engine, BlockSource& source, const TableDefinition& table,
                             Target& target, SpillFolder& spill, const InsertOptions& options) {
  InsertResult result;
  TableRowReader reader(engine, source, table.object.object_number);
  std::vector<std::size_t> columns = InsertColumns(table, reader.layout());
  result.fields = columns.size();
  std::optional<std::size_t> xml_column;
  std::optional<std::size_t> xml_text;
  if (columns.empty()) {
    // An XMLType table stores its rows in a hidden XMLType column, its
    // documents (when stored as CLOBs) in the hidden CLOB after it.
    const auto& all = reader.layout().columns();
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (all[i]->type_code == tc::kXmlType) xml_column = i;
    }
    for (const ColumnDefinition& c : table.columns) {
      if (c.type_code == tc::kXmlType && !xml_text) xml_text = XmlTextColumn(reader.layout(), c.internal_column);
    }
    if (xml_column || xml_text) result.fields = 1;
  }
  if (options.progress) {
    const std::uint64_t total = reader.blocks().BlockCount();
    reader.OnBlock([&reader, &options, total] { options.progress(reader.stats().blocks_read, total); });
  }
  spill.Reset();
  if (!target.BeginRows()) {
    result.errors.push_back(target.DescribeError() + "\nBEGIN ROWS");
    return result;
  }
  RowInserter inserter(engine, table, reader.layout(), std::move(columns), target, spill, options, result);
  if (xml_column || xml_text) {
    inserter.XmlTable(xml_column, xml_text);
  } else if (result.fields == 0) {
    inserter.NoColumns();
  }
  inserter.ReadNestedTables(source);
  reader.Read(TableRowReader::Begin(), 0, inserter);
  RowOutcome outcome = target.EndRows();
  spill.Reset();
  result.rows = outcome.inserted;
  result.failed_rows += outcome.failed;
  for (std::string& e : outcome.errors) {
    if (result.errors.size() < kMaxRowErrors) result.errors.push_back(std::move(e));
  }
  result.stopped = reader.stopped() || engine.StopRequested();
  return result;
}

}  // namespace quillon::repair
