// XMLType values stored object-relationally: a schema-based XMLType column
// keeps no XML text, only its element values as ordinary column values in
// the order of the registered schema. BuildXmlValue rebuilds the document
// from those values and gives the expression a row insert puts in its
// VALUES list:
//   (xmltype('document').createschemabasedxml('schema URL'))
//
// Element texts are escaped ("&", "<", ">") and the document's single
// quotes doubled in the literal. A document longer than a SQL literal may
// be (4,000 bytes, ORA-01704) is not written as a literal: the expression
// then holds the insert's placeholder and the document is to be bound to
// it as a CLOB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reader/bytes.h"
#include "reader/catalogue.h"
#include "reader/charset.h"
#include "repair/insert_rows.h"

namespace quillon::repair {

// The longest document written as a literal.
inline constexpr std::size_t kMaxXmlLiteralBytes = 4000;
inline constexpr std::string_view kUnsupportedXmlValue = "UNSUPPORTED VALUE";

// An element of the schema as the value builder walks it: a leaf has the
// packed type code of its stored column (VARCHAR2, CHAR, NUMBER, DATE,
// TIMESTAMP ...); a complex element (an object type, packed 0x1602C2) has
// children, which follow one another in the row.
struct XmlValueElement {
  std::string name;
  std::uint32_t type_code = 0;
  std::vector<XmlValueElement> children;
  bool complex() const;
};

struct XmlValueSchema {
  std::string url;
  // The schema's target namespace: the root element declares it as the
  // default namespace, so that the root and its children (the schema is
  // registered with elementFormDefault="qualified") are the schema's.
  std::string target_namespace;
  std::vector<XmlValueElement> main_elements;  // exactly one makes a document
};

struct XmlValueText {
  // The expression for the VALUES list; empty when no document can be
  // made (not exactly one main element, a row that ends too soon).
  std::string expression;
  // When set, the expression holds the placeholder and this document is to
  // be bound to it as a CLOB.
  std::optional<std::string> bound_document;
};

// The elements of the registered schema with this URL, as the value
// builder walks them: its global elements are the main elements; an element
// stored as an object type is complex, and its children are the schema's
// local elements in repository order (the repository rows read do not tie
// an element to its parent type). std::nullopt when no schema has the URL.
std::optional<XmlValueSchema> XmlValueSchemaFor(const Catalogue& c, std::string_view url);

// The value text of one leaf: character data (decoded from the database
// character set), a NUMBER's decimal ("0" for zero), a DATE as xs:date
// ("2024-01-05"), a TIMESTAMP as xs:dateTime ("2024-01-05T10:20:30.5").
// NULL (std::nullopt) gives "". Any other type gives kUnsupportedXmlValue.
// The text is not yet escaped.
std::string DecodeXmlLeaf(std::uint32_t type_code, std::optional<ByteView> value, const CharsetDecoder& charset);

// Reads the values of the schema's elements from row at position (each a
// length byte, 0xFF for NULL, 0xFE followed by a two-byte length, most
// significant byte first) and moves position past them. placeholder is
// what the insert binds a long document to ("?" for ODBC, ":1" ...).
XmlValueText BuildXmlValue(const XmlValueSchema& schema, ByteView row, std::size_t& position,
                           const CharsetDecoder& charset, std::string_view placeholder);

// The row insert's item for a value stored object-relationally: values
// are the stored values of its leaf elements in schema order (the hidden
// attribute columns of the XMLType column). A document over
// kMaxXmlLiteralBytes is bound as a CLOB to the item's placeholder.
// std::nullopt when no document can be made.
std::optional<ValueItem> XmlValueItem(const XmlValueSchema& schema, std::span<const StoredValue> values,
                                      const CharsetDecoder& charset);

// The leaf attribute columns of an XMLType column stored
// object-relationally, as INTCOL#s in stored order: the ATTRCOL$ names
// under the column's name (an XMLType table's row column: under
// "XMLDATA"), without object images and without the positional descriptor
// (SYS_XDBPD$).
std::vector<std::uint32_t> XmlLeafColumns(const Catalogue& c, std::uint32_t table_object_number,
                                          std::string_view column_name);

// The XML value builder of the row inserts into an Oracle target: finds the
// column's registered schema (OPQTYPE$ schema URL), reads its leaf values
// from the row and makes the item. The catalogue and the decoder must
// outlive the builder.
XmlValueBuilder MakeXmlValueBuilder(const Catalogue& c, const CharsetDecoder& charset);

}  // namespace quillon::repair
