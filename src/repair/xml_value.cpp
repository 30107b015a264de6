#include "repair/xml_value.h"

#include <cstdio>

#include "reader/format.h"
#include "reader/packed_codes.h"
#include "reader/value_datetime.h"
#include "reader/value_number.h"
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

}  // namespace quillon::repair
