#include "testdb/row_encoder.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "reader/bytes.h"
#include "reader/format.h"
#include "reader/packed_codes.h"
#include "reader/value_decode.h"
#include "testdb/lob_writer.h"
#include "testdb/values.h"

namespace quillon::testdb {

namespace {

constexpr std::uint8_t kPresent = 0x01;  // the null image of an object or XMLType value that is not NULL

Bytes Utf16Be(const std::string& utf8) {
  const CharsetInfo* utf16 = FindCharset(std::uint32_t{charset_id::kAl16Utf16});
  return EncodeText(utf8, *utf16).value_or(Bytes{});
}

Bytes TextBytes(const std::string& utf8, const CharsetInfo& charset) {
  auto b = EncodeText(utf8, charset);
  if (!b) throw std::invalid_argument("text not encodable in " + std::string(charset.name) + ": " + utf8);
  return *b;
}

std::string Hex(const Bytes& b) { return ToHex(ByteView(b.data(), b.size())); }

namespace vi = format::varray_image;

// A length in a pickled image: one byte up to kMaxShortLength, else
// kWideLength and four bytes, big-endian.
void AppendPickledLength(Bytes& out, std::size_t n) {
  if (n <= vi::kMaxShortLength) {
    out.push_back(static_cast<std::uint8_t>(n));
    return;
  }
  out.push_back(vi::kWideLength);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(n >> shift));
}

// A whole image: flags, version, its own length, then the body. The length
// counts itself, so the short form holds images of up to kMaxShortLength
// bytes.
Bytes PickledImage(std::uint8_t flags, const Bytes& body) {
  Bytes image{flags, vi::kVersionOne};
  const std::size_t short_total = image.size() + 1 + body.size();
  AppendPickledLength(image, short_total <= vi::kMaxShortLength ? short_total : short_total + 4);
  image.insert(image.end(), body.begin(), body.end());
  return image;
}

// A value inside a pickled image: NULL, or its length and bytes.
void AppendImageValue(Bytes& out, const ColumnBytes& bytes) {
  if (!bytes) {
    out.push_back(vi::kNullValue);
    return;
  }
  AppendPickledLength(out, bytes->size());
  out.insert(out.end(), bytes->begin(), bytes->end());
}

// The type a value without a declared one is written as: numbers, dates
// and texts.
ColumnType ValueType(const Value& v) {
  ColumnType t;
  t.type = v.kind == Value::Kind::kNumber ? SqlType::kNumber : v.kind == Value::Kind::kDateTime ? SqlType::kDate
                                                                                               : SqlType::kVarchar2;
  return t;
}

}  // namespace

const TypeDescription* RowEncoder::TypeNamed(const ColumnType& type) const {
  if (!types_) return nullptr;
  for (const TypeDescription& t : *types_) {
    if (t.owner == type.type_owner && t.name == type.type_name) return &t;
  }
  return nullptr;
}

// Oracle's pickled image of a collection (format::varray_image): the prefix
// segment, the collection's flags, the count, the elements. An element that
// is an object or a collection is an image of its own; an object's
// attributes are in order.
Bytes RowEncoder::CollectionImage(const Value& v, const TypeDescription* type) const {
  const TypeDescription* element = type ? TypeNamed(type->element) : nullptr;
  // A collection with an object element is one of objects, whose NULL
  // elements are atomically NULL.
  const bool objects = std::any_of(v.items.begin(), v.items.end(),
                                   [](const Value& e) { return e.kind == Value::Kind::kObject; });
  Bytes body{1, vi::kPrefix, vi::kCollectionFlags};
  AppendPickledLength(body, v.items.size());
  for (const Value& e : v.items) {
    if (e.is_null() && objects) {
      body.push_back(vi::kAtomicNull);
    } else if (e.kind == Value::Kind::kCollection) {
      AppendImageValue(body, CollectionImage(e, element));
    } else if (e.kind != Value::Kind::kObject) {
      AppendImageValue(body, EncodeValue(e, ValueType(e)));
    } else {
      Bytes attributes;
      AppendImageAttributes(attributes, e, element);
      AppendImageValue(body, PickledImage(vi::kObjectFlags, attributes));
    }
  }
  return PickledImage(vi::kPrintedFlags, body);
}

// An object's attributes inside an image, in order: an attribute that is an
// object itself is written in line, its attributes in turn with no length
// of their own, or kAtomicNull when it is NULL as a whole; a collection
// attribute is an image of its own.
void RowEncoder::AppendImageAttributes(Bytes& out, const Value& object, const TypeDescription* type) const {
  for (std::size_t a = 0; a < object.items.size(); ++a) {
    const Value& value = object.items[a];
    const AttributeDescription* declared = type && a < type->attributes.size() ? &type->attributes[a] : nullptr;
    const bool embedded = declared ? declared->type.type == SqlType::kObject : value.kind == Value::Kind::kObject;
    if (value.kind == Value::Kind::kCollection) {
      AppendImageValue(out, CollectionImage(value, declared ? TypeNamed(declared->type) : nullptr));
    } else if (!embedded) {
      AppendImageValue(out, EncodeValue(value, declared ? declared->type : ValueType(value)));
    } else if (value.is_null()) {
      out.push_back(vi::kAtomicNull);
    } else {
      AppendImageAttributes(out, value, declared ? TypeNamed(declared->type) : nullptr);
    }
  }
}

Bytes InlineLobLocator(const Bytes& data, std::uint64_t lob_id, bool character, bool ucs2) {
  LocatorDescription wanted;
  wanted.page_key = static_cast<std::uint32_t>(lob_id);
  wanted.id_high = static_cast<std::uint16_t>(lob_id >> 32);
  wanted.character = character;
  wanted.byte_length = ucs2 ? format::lob_locator::kByteLengthUcs2 : 1;
  // Some LOBs have been updated since they were inserted: the version of
  // an updated LOB is above 1 while its data stay in the row.
  wanted.version = 1 + (lob_id >> 40) % 3;
  return InRowLobLocator(wanted, data);
}

Bytes RowObjectId(std::uint32_t table, std::size_t row) {
  return NestedTableId(table ^ 0x5A5A0000u, 0xFFFFF, row);
}

RowEncoder::RowEncoder(const CharsetInfo& database, const CharsetInfo& national,
                       const std::vector<TypeDescription>* types)
    : database_(&database), national_(&national), types_(types) {
  const auto scheme = database.scheme;
  clob_in_utf16_ = scheme == CharsetScheme::kUtf8 || scheme == CharsetScheme::kCesu8 || scheme == CharsetScheme::kMultiByte;
}

std::vector<const RColumn*> RowEncoder::StoredColumns(const RTable& table) {
  std::vector<const RColumn*> out;
  for (const RColumn& c : table.columns) {
    if (c.stored()) out.push_back(&c);
  }
  std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->segment_column < b->segment_column; });
  return out;
}

std::vector<ColumnBytes> RowEncoder::Encode(const RTable& table, const RowValues& row, std::size_t row_index) const {
  std::vector<ColumnBytes> out;
  for (const RColumn* c : StoredColumns(table)) out.push_back(EncodeColumn(table, *c, row, row_index));
  return out;
}

ColumnBytes RowEncoder::EncodeColumn(const RTable& table, const RColumn& column, const RowValues& row,
                                     std::size_t row_index) const {
  const auto source = [&]() -> const Value& {
    static const Value kNull;
    const Value* v = SourceValue(column, row);
    return v != nullptr ? *v : kNull;
  };
  switch (column.source) {
    case ColumnSource::kValue:
    case ColumnSource::kAttribute: return EncodeValue(source(), column.logical);
    case ColumnSource::kObjectImage:
    case ColumnSource::kXmlImage:
      if (source().is_null()) return std::nullopt;
      return Bytes{kPresent};
    case ColumnSource::kNestedId:
      if (source().kind != Value::Kind::kCollection) return std::nullopt;
      return NestedTableId(table.object, column.internal_column, row_index);
    case ColumnSource::kXmlText: return EncodeValue(source(), Clob());
    case ColumnSource::kRowOid: return RowObjectId(table.object, row_index);
    case ColumnSource::kNone: return std::nullopt;
  }
  return std::nullopt;
}

ColumnBytes RowEncoder::EncodeValue(const Value& v, const ColumnType& type) const {
  if (v.is_null()) return std::nullopt;
  const auto padded = [](Bytes b, std::size_t size, const Bytes& blank) {
    while (b.size() + blank.size() <= size) b.insert(b.end(), blank.begin(), blank.end());
    return b;
  };
  switch (type.type) {
    case SqlType::kVarchar2:
    case SqlType::kLong: return TextBytes(v.text, *database_);
    case SqlType::kChar:
      if (type.char_semantics) {
        // Blank-padded to the declared number of characters, not bytes.
        std::size_t characters = 0;
        for (const char ch : v.text) characters += (static_cast<unsigned char>(ch) & 0xC0) != 0x80 ? 1 : 0;
        Bytes b = TextBytes(v.text, *database_);
        for (; characters < type.length; ++characters) b.push_back(0x20);
        return b;
      }
      return padded(TextBytes(v.text, *database_), type.length, {0x20});
    case SqlType::kNVarchar2: return TextBytes(v.text, *national_);
    case SqlType::kNChar: return padded(TextBytes(v.text, *national_), 2 * type.length, {0x00, 0x20});
    case SqlType::kNumber:
    case SqlType::kFloat: {
      auto b = EncodeNumber(v.text);
      if (!b) throw std::invalid_argument("not a number: " + v.text);
      return *b;
    }
    case SqlType::kDate: {
      DateTimeFields f = v.time;
      f.nanoseconds = 0;
      return EncodeDate(f);
    }
    case SqlType::kTimestamp:
    case SqlType::kTimestampLtz: return EncodeTimestamp(v.time);
    case SqlType::kTimestampTz:
      if (v.kind == Value::Kind::kTimestampTzRegion) {
        return EncodeTimestampTzRegion(v.time, static_cast<std::uint16_t>(v.a));
      }
      return EncodeTimestampTz(v.time, v.a);
    case SqlType::kIntervalYm: return EncodeIntervalYearMonth(v.a, v.b);
    case SqlType::kIntervalDs: return EncodeIntervalDaySecond(v.a, v.b, v.c, v.d, v.e);
    case SqlType::kRaw:
    case SqlType::kLongRaw:
    case SqlType::kRef: return v.bytes;
    case SqlType::kRowid:
      return EncodeRowid(static_cast<std::uint32_t>(v.a), static_cast<std::uint32_t>(v.b),
                         static_cast<std::uint32_t>(v.c), static_cast<std::uint16_t>(v.d));
    case SqlType::kUrowid:
      return EncodeUrowid(static_cast<std::uint32_t>(v.a), static_cast<std::uint16_t>(v.b),
                          static_cast<std::uint32_t>(v.c), static_cast<std::uint16_t>(v.d));
    case SqlType::kBinaryFloat: return EncodeBinaryFloat(static_cast<float>(v.real));
    case SqlType::kBinaryDouble: return EncodeBinaryDouble(v.real);
    case SqlType::kClob:
    case SqlType::kXmlType:
      return InlineLobLocator(clob_in_utf16_ ? Utf16Be(v.text) : TextBytes(v.text, *database_),
                              std::hash<std::string>{}(v.text), true, clob_in_utf16_);
    case SqlType::kNClob: return InlineLobLocator(Utf16Be(v.text), std::hash<std::string>{}(v.text), true, true);
    case SqlType::kBlob: {
      std::uint64_t id = 0x5B10B;
      for (const auto b : v.bytes) id = id * 131 + b;
      return InlineLobLocator(v.bytes, id, false, false);
    }
    case SqlType::kBfile: {
      auto b = EncodeBfile(v.text, v.text2, *database_);
      if (!b) throw std::invalid_argument("BFILE name too long: " + v.text2);
      return *b;
    }
    case SqlType::kVarray: {
      Bytes image = CollectionImage(v, TypeNamed(type));
      if (type.store_as_lob) {  // the image as the LOB's data, in the row
        std::uint64_t id = 0x7A44A;
        for (const auto b : image) id = id * 131 + b;
        return InlineLobLocator(image, id, false, false);
      }
      return image;
    }
    case SqlType::kObject:
    case SqlType::kNestedTable: return Bytes{kPresent};
  }
  return std::nullopt;
}

std::optional<std::string> RowEncoder::ValueText(const RColumn& column, const ColumnBytes& stored,
                                                 const RowValues& row) const {
  if (!stored) return std::nullopt;
  const Value* value = SourceValue(column, row);
  DecodeContext context(*database_, *national_);
  ColumnDescriptor d;
  d.type_code = PackedCode(column.type_number);
  d.charset_code = column.charset_id == 0 ? 0 : PackedCode(column.charset_id);
  d.name = column.name;
  const DecodedValue decoded =
      DecodeColumnValue(d, StoredValue{ByteView(stored->data(), stored->size()), false, false}, DecodeMode::kRepair, context);
  switch (decoded.kind) {
    case ValueKind::kText: return decoded.text;
    case ValueKind::kStructured: return Hex(*stored);
    case ValueKind::kSpill: break;
  }
  // LONG, LONG RAW and LOB values: their content.
  const bool binary = column.type_number == 24 || column.type_number == 113;
  if (!value) return binary ? Hex(*stored) : std::string();
  return binary ? Hex(value->bytes) : value->text;
}

}  // namespace quillon::testdb
