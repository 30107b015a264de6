#include "repair/xml_value.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "reader/format.h"
#include "reader/packed_codes.h"
#include "reader/value_datetime.h"
#include "reader/value_number.h"
#include "rows/table_layout.h"
#include "repair/object_shape.h"
#include "repair/quoting.h"
#include "repair/xml_text.h"

namespace quillon::repair {

namespace {

// The packed type code of an element stored as an object type.
constexpr std::uint32_t kXmlObjectElement = 0x1602C2;
constexpr std::uint8_t kNullLength = 0xFF;

struct Reader {
  ByteView row;
  std::size_t& position;
  bool failed = false;

  // The next value: std::nullopt for NULL; failed set when the row ends.
  std::optional<ByteView> Next() {
    const std::optional<std::uint8_t> first = row.U8(position);
    if (!first) {
      failed = true;
      return std::nullopt;
    }
    ++position;
    std::size_t length = *first;
    if (length == kNullLength) return std::nullopt;
    if (length == format::row::kLongLength) {
      const std::optional<std::uint16_t> wide = row.U16BE(position);
      if (!wide) {
        failed = true;
        return std::nullopt;
      }
      length = *wide;
      position += 2;
    }
    if (!row.Has(position, length)) {
      failed = true;
      position = row.size();
      return std::nullopt;
    }
    const ByteView value(row.data() + position, length);
    position += length;
    return value;
  }
};

// A document held in memory, bound as a CLOB.
class DocumentBytes final : public LongBytes {
 public:
  explicit DocumentBytes(std::string text) : text_(std::move(text)) {}
  std::uint64_t size() const override { return text_.size(); }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    if (offset >= text_.size()) return 0;
    const std::size_t n = std::min<std::size_t>(into.size(), text_.size() - static_cast<std::size_t>(offset));
    std::copy_n(text_.data() + offset, n, into.data());
    return n;
  }

 private:
  std::string text_;
};

void AppendStoredValue(const StoredValue& v, std::vector<std::uint8_t>& out) {
  if (v.is_null) {
    out.push_back(format::row::kNullLength);
    return;
  }
  if (v.bytes.size() <= format::row::kMaxShortLength) {
    out.push_back(static_cast<std::uint8_t>(v.bytes.size()));
  } else {
    const std::size_t n = std::min<std::size_t>(v.bytes.size(), 0xFFFF);
    out.push_back(format::row::kLongLength);
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(n & 0xFF));
    out.insert(out.end(), v.bytes.data(), v.bytes.data() + n);
    return;
  }
  out.insert(out.end(), v.bytes.data(), v.bytes.data() + v.bytes.size());
}

bool NamesAreXml(const XmlValueElement& e) {
  if (!IsXmlName(e.name)) return false;
  for (const XmlValueElement& child : e.children) {
    if (!NamesAreXml(child)) return false;
  }
  return true;
}

void Write(const XmlValueElement& e, Reader& reader, const CharsetDecoder& charset, std::string& doc) {
  if (e.complex()) {
    doc += "<" + e.name + ">\n";
    for (const XmlValueElement& child : e.children) Write(child, reader, charset, doc);
    doc += "</" + e.name + ">\n";
    return;
  }
  const std::optional<ByteView> value = reader.Next();
  doc += "<" + e.name + ">" + EscapeXmlText(DecodeXmlLeaf(e.type_code, value, charset)) + "</" + e.name + ">\n";
}

}  // namespace

std::optional<XmlValueSchema> XmlValueSchemaFor(const Catalogue& c, std::string_view url) {
  const XmlSchemaRecord* schema = nullptr;
  for (const XmlSchemaRecord& s : c.xml_schemas) {
    if (s.url == url) {
      schema = &s;
      break;
    }
  }
  if (schema == nullptr) return std::nullopt;
  const auto code_of = [](const std::string& sql_type) -> std::uint32_t {
    if (sql_type == "NUMBER") return type_code::kNumber;
    if (sql_type == "VARCHAR2" || sql_type == "XDB$ENUM_T") return type_code::kVarchar2;
    if (sql_type == "CHAR") return type_code::kChar;
    if (sql_type == "DATE") return type_code::kDate;
    if (sql_type == "TIMESTAMP") return type_code::kTimestamp;
    if (sql_type == "RAW" || sql_type == "CLOB" || sql_type == "BLOB") return 0;
    return kXmlObjectElement;  // an object type
  };
  XmlValueSchema out;
  out.url = schema->url;
  out.target_namespace = schema->target_namespace;
  std::vector<XmlValueElement> locals;
  for (const XmlElementRecord& e : c.xml_elements.All<0>(schema->object_id)) {
    if (e.is_attribute || e.name.empty()) continue;
    XmlValueElement element{e.name, code_of(e.sql_type), {}};
    (e.global ? out.main_elements : locals).push_back(std::move(element));
  }
  // Local elements that are complex themselves have no children of their
  // own here: they are written as empty leaves of an unsupported type.
  for (XmlValueElement& e : locals) {
    if (e.complex()) e.type_code = 0;
  }
  for (XmlValueElement& main : out.main_elements) {
    if (main.complex()) main.children = locals;
  }
  return out;
}

bool XmlValueElement::complex() const { return type_code == kXmlObjectElement; }

std::string DecodeXmlLeaf(std::uint32_t code, std::optional<ByteView> value, const CharsetDecoder& charset) {
  if (code != type_code::kVarchar2 && code != type_code::kChar && code != type_code::kNumber &&
      code != type_code::kDate && code != type_code::kTimestamp) {
    return std::string(kUnsupportedXmlValue);
  }
  if (!value) return {};
  std::string out;
  if (code == type_code::kVarchar2 || code == type_code::kChar) {
    charset.AppendUtf8(*value, out);
    return out;
  }
  if (code == type_code::kNumber) {
    if (!AppendNumberData(*value, out)) return std::string(kUnsupportedXmlValue);
    return out;
  }
  const std::optional<DateTimeFields> f = ReadDateTime(*value);
  if (!f || !IsValidDateTime(*f) || f->year < 1) return std::string(kUnsupportedXmlValue);
  if (code == type_code::kDate) {
    char text[40];  // room for any three ints: GCC checks the worst case
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", f->year, f->month, f->day);
    return text;
  }
  if (!AppendDateTimeData(*value, out)) return std::string(kUnsupportedXmlValue);
  return out;
}

XmlValueText BuildXmlValue(const XmlValueSchema& schema, ByteView row, std::size_t& position,
                           const CharsetDecoder& charset, std::string_view placeholder) {
  XmlValueText result;
  if (schema.main_elements.size() != 1) return result;
  const XmlValueElement& root = schema.main_elements.front();
  // A name from a damaged repository that is no XML name would make the
  // document (and its schema's validation) fail: no value instead.
  if (!NamesAreXml(root)) return result;
  Reader reader{row, position};
  std::string doc = "<" + root.name;
  if (!schema.target_namespace.empty()) doc += " xmlns=\"" + EscapeXmlAttribute(schema.target_namespace) + "\"";
  doc += ">\n";
  if (root.complex()) {
    for (const XmlValueElement& child : root.children) Write(child, reader, charset, doc);
  } else {
    const std::optional<ByteView> value = reader.Next();
    doc += EscapeXmlText(DecodeXmlLeaf(root.type_code, value, charset)) + "\n";
  }
  doc += "</" + root.name + ">\n";
  if (reader.failed) return result;
  const Quoted url = QuoteLiteral(schema.url);
  if (!url) return result;
  if (doc.size() > kMaxXmlLiteralBytes) {
    result.expression = "(xmltype(" + std::string(placeholder) + ").createschemabasedxml(" + url.text() + "))";
    result.bound_document = std::move(doc);
    return result;
  }
  // The literal holds the document's line ends as CHR(10): a literal holds
  // no line break.
  std::string literal;
  std::size_t start = 0;
  while (start < doc.size()) {
    const std::size_t end = doc.find('\n', start);
    const std::string_view line = std::string_view(doc).substr(start, end - start);
    const Quoted q = QuoteLiteral(line);
    if (!q) return result;
    if (!literal.empty()) literal += " || ";
    literal += q.text() + " || CHR(10)";
    start = end + 1;
  }
  result.expression = "(xmltype(" + literal + ").createschemabasedxml(" + url.text() + "))";
  return result;
}

std::optional<ValueItem> XmlValueItem(const XmlValueSchema& schema, std::span<const StoredValue> values,
                                      const CharsetDecoder& charset) {
  std::vector<std::uint8_t> image;
  for (const StoredValue& v : values) AppendStoredValue(v, image);
  std::size_t position = 0;
  XmlValueText text = BuildXmlValue(schema, ByteView(image.data(), image.size()), position, charset, "?");
  // Values left over: the schema and the stored columns disagree.
  if (text.expression.empty() || position != image.size()) return std::nullopt;
  ValueItem item;
  item.sql = std::move(text.expression);
  if (text.bound_document) {
    item.values.push_back(LongValue{LongValue::Form::kText, std::make_shared<DocumentBytes>(std::move(*text.bound_document))});
  }
  return item;
}

std::vector<std::uint32_t> XmlLeafColumns(const Catalogue& c, std::uint32_t table_object_number,
                                          std::string_view column_name) {
  std::vector<std::uint32_t> out;
  const std::string_view root = column_name == "SYS_NC_ROWINFO$" ? std::string_view("XMLDATA") : column_name;
  std::map<std::uint32_t, const ColumnInfo*> columns;
  for (const ColumnInfo& col : c.columns.All<0>(table_object_number)) columns.emplace(col.internal_column, &col);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> found;  // segment column, INTCOL#
  for (const AttributeColumnRecord& a : c.attribute_columns.All<0>(table_object_number)) {
    const std::vector<std::string> parts = AttributeNameParts(a.name);
    if (parts.size() < 2 || parts.front() != root) continue;
    if (std::find(parts.begin(), parts.end(), "SYS_XDBPD$") != parts.end()) continue;
    const auto col = columns.find(a.internal_column);
    if (col == columns.end() || col->second->segment_column == 0) continue;
    if (col->second->type_code == type_code::kObject) continue;  // an element's object image, not a leaf
    found.emplace_back(col->second->segment_column, a.internal_column);
  }
  std::sort(found.begin(), found.end());
  for (const auto& [segment, internal] : found) out.push_back(internal);
  return out;
}

XmlValueBuilder MakeXmlValueBuilder(const Catalogue& c, const CharsetDecoder& charset) {
  struct TableXml {
    TableLayout layout;
    std::map<std::uint32_t, std::size_t> by_internal;  // INTCOL# -> layout index
    // Per XMLType column (INTCOL#): the layout indexes of its leaf columns,
    // found once; std::nullopt when one of them is not in the layout.
    std::map<std::uint32_t, std::optional<std::vector<std::size_t>>> leaves;
  };
  struct State {
    std::map<std::uint32_t, std::unique_ptr<TableXml>> tables;
    std::map<std::string, std::optional<XmlValueSchema>> schemas;
  };
  auto state = std::make_shared<State>();
  return [&c, &charset, state](const TableRow& row, const ColumnInfo& column,
                               const StoredValue&) -> std::optional<ValueItem> {
    const OpaqueTypeRecord* opaque = nullptr;
    for (const OpaqueTypeRecord& o : c.opaque_types.All<0>(column.object_number)) {
      if (o.internal_column == column.internal_column) opaque = &o;
    }
    if (!opaque || opaque->schema_url.empty()) return std::nullopt;
    auto schema = state->schemas.find(opaque->schema_url);
    if (schema == state->schemas.end()) {
      schema = state->schemas.emplace(opaque->schema_url, XmlValueSchemaFor(c, opaque->schema_url)).first;
    }
    if (!schema->second) return std::nullopt;
    auto& table = state->tables[column.object_number];
    if (!table) {
      table = std::make_unique<TableXml>(TableXml{TableLayout::Of(c, column.object_number), {}, {}});
      for (std::size_t i = 0; i < table->layout.columns().size(); ++i) {
        table->by_internal.emplace(table->layout.columns()[i]->internal_column, i);
      }
    }
    auto leaves = table->leaves.find(column.internal_column);
    if (leaves == table->leaves.end()) {
      std::optional<std::vector<std::size_t>> found(std::in_place);
      for (const std::uint32_t internal : XmlLeafColumns(c, column.object_number, column.name)) {
        const auto at = table->by_internal.find(internal);
        if (at == table->by_internal.end()) {
          found.reset();
          break;
        }
        found->push_back(at->second);
      }
      leaves = table->leaves.emplace(column.internal_column, std::move(found)).first;
    }
    if (!leaves->second || leaves->second->empty()) return std::nullopt;
    std::vector<StoredValue> values;
    values.reserve(leaves->second->size());
    for (const std::size_t at : *leaves->second) {
      if (at >= row.values.size()) return std::nullopt;
      values.push_back(row.values[at]);
    }
    return XmlValueItem(*schema->second, values, charset);
  };
}

}  // namespace quillon::repair
