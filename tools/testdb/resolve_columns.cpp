// The columns of a table as COL$ holds them: the dictionary values of every
// type, the hidden columns Oracle adds (attributes of object columns, the
// CLOB of an XMLType column, the columns of an XMLType table), and the
// segment column numbers that say where each stored column lies in a row.
#include <algorithm>
#include <cstdio>
#include <functional>

#include "reader/charset.h"
#include "testdb/column_property.h"
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

using namespace column_property;

bool IsLong(const RColumn& c) { return c.type_number == 8 || c.type_number == 24; }

std::string HiddenName(std::uint32_t internal_column) {
  char name[16];
  std::snprintf(name, sizeof name, "SYS_NC%05u$", internal_column);
  return name;
}

// The most bytes one character takes in a database character set, as
// Oracle counts it for columns declared in characters.
std::uint32_t MaxCharacterBytes(std::uint32_t charset) {
  const CharsetInfo* info = FindCharset(charset);
  if (info == nullptr) return 1;
  switch (info->scheme) {
    case CharsetScheme::kUtf8: return 4;
    case CharsetScheme::kCesu8: return 3;
    case CharsetScheme::kMultiByte: return charset == 854 ? 4 : charset == 830 ? 3 : 2;  // GB18030, JA16EUC
    default: return 1;
  }
}

}  // namespace

RColumn Resolver::ScalarColumn(const std::string& name, const ColumnType& type) const {
  RColumn c;
  c.name = name;
  c.logical = type;
  const auto character = [&](std::uint32_t number, std::uint32_t length, bool national) {
    c.type_number = number;
    c.length = national ? 2 * length : length;
    c.charset_id = national ? charset_id::kAl16Utf16 : DatabaseCharsetId();
    c.charset_form = national ? 2 : 1;
    if (length != 0) c.spare3 = length;
    // Declared in characters (9i on): LENGTH holds the bytes the characters
    // may take, up to the type's limit, SPARE3 the characters.
    if (type.char_semantics && !national && release_.code > 8) {
      const std::uint32_t limit = number == 96 ? 2000 : 4000;
      c.length = std::min(length * MaxCharacterBytes(DatabaseCharsetId()), limit);
      c.property |= kCharSemantics;
    }
  };
  switch (type.type) {
    case SqlType::kVarchar2: character(1, type.length, false); break;
    case SqlType::kNVarchar2: character(1, type.length, true); break;
    case SqlType::kChar: character(96, type.length, false); break;
    case SqlType::kNChar: character(96, type.length, true); break;
    case SqlType::kNumber:
      c.type_number = 2;
      c.length = 22;
      c.precision = type.precision;
      c.scale = type.scale;
      break;
    case SqlType::kFloat:
      c.type_number = 2;
      c.length = 22;
      c.precision = type.precision;
      break;
    case SqlType::kLong: character(8, 0, false); break;
    case SqlType::kDate: c.type_number = 12, c.length = 7; break;
    case SqlType::kRaw: c.type_number = 23, c.length = type.length; break;
    case SqlType::kLongRaw: c.type_number = 24, c.length = 0; break;
    case SqlType::kRowid: c.type_number = 69, c.length = 10; break;
    case SqlType::kUrowid: c.type_number = 208, c.length = 4000; break;
    case SqlType::kBinaryFloat: c.type_number = 100, c.length = 4; break;
    case SqlType::kBinaryDouble: c.type_number = 101, c.length = 8; break;
    case SqlType::kClob: character(112, 0, false), c.length = 4000; break;
    case SqlType::kNClob: character(112, 0, true), c.length = 4000; break;
    case SqlType::kBlob: c.type_number = 113, c.length = 4000; break;
    case SqlType::kBfile: c.type_number = 114, c.length = 530; break;
    case SqlType::kTimestamp:
      c.type_number = 180, c.length = 11, c.scale = type.scale, c.spare1 = static_cast<std::uint32_t>(*type.scale);
      break;
    case SqlType::kTimestampTz:
      c.type_number = 181, c.length = 13, c.scale = type.scale, c.spare1 = static_cast<std::uint32_t>(*type.scale);
      break;
    case SqlType::kTimestampLtz:
      c.type_number = 231, c.length = 11, c.scale = type.scale, c.spare1 = static_cast<std::uint32_t>(*type.scale);
      break;
    case SqlType::kIntervalYm:
      c.type_number = 182, c.length = 5, c.precision = type.precision, c.scale = 0;
      break;
    case SqlType::kIntervalDs:
      c.type_number = 183, c.length = 11, c.precision = type.precision, c.scale = type.scale;
      break;
    case SqlType::kObject: c.type_number = 121, c.length = 1; break;
    case SqlType::kRef: c.type_number = 111, c.length = 42; break;
    case SqlType::kNestedTable: c.type_number = 122, c.length = 16; break;
    case SqlType::kVarray: c.type_number = 123, c.length = 2000; break;
    case SqlType::kXmlType: c.type_number = 58, c.length = 2000; break;
  }
  return c;
}

std::vector<RColumn> Resolver::Columns(const TableDescription& wanted, std::uint32_t table_object, RTable& table) {
  std::vector<RColumn> out;
  std::uint32_t column_number = 1;
  std::uint32_t internal = 1;
  const auto add = [&](RColumn c, bool visible) {
    c.column_number = visible ? column_number++ : 0;
    c.internal_column = internal++;
    out.push_back(std::move(c));
    return out.back().internal_column;
  };
  if (wanted.xmltype_table) {
    // An XMLType table: the row's object identifier, the XMLType row itself
    // (a virtual column) and the hidden CLOB that stores the document.
    RColumn oid = ScalarColumn("SYS_NC_OID$", Raw(16));
    oid.property = kOidColumn | kHidden | kSystemGenerated;
    oid.source = ColumnSource::kRowOid;
    oid.nullable = false;
    add(std::move(oid), false);
    RColumn row = ScalarColumn("SYS_NC_ROWINFO$", XmlType());
    row.property = kRowInfo | kVirtualBit;
    row.source = ColumnSource::kNone;
    row.source_column = 0;
    const std::uint32_t row_intcol = add(std::move(row), true);
    RColumn data = ScalarColumn("XMLDATA", Clob());
    data.property = kHidden | kSystemGenerated | kStoredInLob;
    data.source = ColumnSource::kXmlText;
    data.source_column = 0;
    const std::uint32_t data_intcol = add(std::move(data), false);
    r_.column_types.push_back({table_object, 1, row_intcol, BuiltinType(SqlType::kXmlType).toid, 0x4000, 1});
    ROpaqueType o{table_object, row_intcol, 0x0400 | 0x0004, data_intcol, {}, 0, wanted.xml_schema_url};
    r_.opaque_types.push_back(std::move(o));
    table.property |= 0x01 | 0x800;
    return out;
  }
  for (std::size_t ci = 0; ci < wanted.columns.size(); ++ci) {
    const ColumnDescription& cs = wanted.columns[ci];
    const int source = static_cast<int>(ci);
    if (!cs.virtual_expression.empty()) {
      if (!AtLeast(DictVersion::k111)) continue;  // virtual columns came with 11g
      RColumn c = ScalarColumn(cs.name, cs.type);
      c.property = kVirtualColumn | kVirtualBit;
      c.default_text = cs.virtual_expression;
      c.source = ColumnSource::kNone;
      c.source_column = source;
      c.nullable = cs.nullable;
      add(std::move(c), true);
      continue;
    }
    RColumn c = ScalarColumn(cs.name, cs.type);
    c.nullable = cs.nullable;
    c.default_text = cs.default_text;
    c.source_column = source;
    switch (cs.type.type) {
      case SqlType::kObject: {
        const RType& type = ResolvedType(cs.type.type_owner, cs.type.type_name);
        c.source = ColumnSource::kObjectImage;
        const std::uint32_t column = column_number;
        const std::uint32_t adt = add(std::move(c), true);
        // The attributes, depth first: an attribute that is an object
        // itself is a hidden column holding its null image, followed by
        // its own attributes.
        const std::function<void(const RType&, const std::string&, std::vector<int>)> attributes_of =
            [&](const RType& of, const std::string& prefix, std::vector<int> path) {
              const auto& attributes = of.wanted->attributes;
              for (std::size_t a = 0; a < attributes.size(); ++a) {
                std::vector<int> at = path;
                at.push_back(static_cast<int>(a));
                RColumn attr = ScalarColumn(HiddenName(internal), attributes[a].type);
                attr.property = kAdtAttribute | kHidden;
                attr.source = attributes[a].type.type == SqlType::kObject        ? ColumnSource::kObjectImage
                              : attributes[a].type.type == SqlType::kNestedTable ? ColumnSource::kNestedId
                                                                                  : ColumnSource::kAttribute;
                attr.source_column = source;
                attr.attribute_path = at;
                attr.qualified_name = prefix + ".\"" + attributes[a].name + "\"";
                const std::string qualified = attr.qualified_name;
                const std::uint32_t intcol = add(std::move(attr), false);
                r_.attribute_columns.push_back({table_object, intcol, qualified});
                if (attributes[a].type.type == SqlType::kObject) {
                  const RType& embedded = ResolvedType(attributes[a].type.type_owner, attributes[a].type.type_name);
                  const std::size_t before = out.size();
                  attributes_of(embedded, qualified, at);
                  r_.column_types.push_back({table_object, column, intcol, embedded.toid, 0x02,
                                             static_cast<std::uint32_t>(out.size() - before + 1)});
                } else if (attributes[a].type.type == SqlType::kClob || attributes[a].type.type == SqlType::kNClob ||
                           attributes[a].type.type == SqlType::kBlob) {
                  table.property |= 0x800 | 0x40000;  // a LOB attribute: a LOB column of its own
                } else if (attributes[a].type.type == SqlType::kVarray ||
                           attributes[a].type.type == SqlType::kNestedTable) {
                  // A collection attribute: a hidden column holding the
                  // VARRAY's image, or the nested table's identifier in its
                  // storage table.
                  const bool varray = attributes[a].type.type == SqlType::kVarray;
                  const RType& collection = ResolvedType(attributes[a].type.type_owner, attributes[a].type.type_name);
                  r_.column_types.push_back({table_object, column, intcol, collection.toid, varray ? 0x08u : 0x04u, 1});
                  table.property |= varray ? 0x10 : 0x04;
                }
              }
            };
        const std::size_t before = out.size();
        attributes_of(type, "\"" + cs.name + "\"", {});
        r_.column_types.push_back(
            {table_object, column, adt, type.toid, 0x02, static_cast<std::uint32_t>(out.size() - before + 1)});
        table.property |= 0x02;
        break;
      }
      case SqlType::kRef:
      case SqlType::kVarray:
      case SqlType::kNestedTable: {
        const RType& type = ResolvedType(cs.type.type_owner, cs.type.type_name);
        const std::uint64_t flags = cs.type.type == SqlType::kRef ? 0x10 : cs.type.type == SqlType::kVarray ? 0x08 : 0x04;
        if (cs.type.type == SqlType::kNestedTable) c.source = ColumnSource::kNestedId;
        const std::uint32_t column = column_number;
        const std::uint32_t intcol = add(std::move(c), true);
        r_.column_types.push_back({table_object, column, intcol, type.toid, flags, 1});
        table.property |= cs.type.type == SqlType::kRef ? 0x08 : cs.type.type == SqlType::kVarray ? 0x10 : 0x04;
        break;
      }
      case SqlType::kXmlType: {
        c.source = ColumnSource::kXmlImage;
        const std::uint32_t column = column_number;
        const std::uint32_t intcol = add(std::move(c), true);
        RColumn clob = ScalarColumn(HiddenName(internal), Clob());
        clob.property = kHidden | kSystemGenerated | kStoredInLob;
        clob.source = ColumnSource::kXmlText;
        clob.source_column = source;
        const std::uint32_t lob_intcol = add(std::move(clob), false);
        r_.column_types.push_back({table_object, column, intcol, BuiltinType(SqlType::kXmlType).toid, 0x4000, 1});
        r_.opaque_types.push_back({table_object, intcol, 0x0004, lob_intcol, {}, 0, wanted.xml_schema_url});
        table.property |= 0x800;
        break;
      }
      case SqlType::kClob:
      case SqlType::kNClob:
      case SqlType::kBlob:
        table.property |= 0x800 | 0x40000;
        add(std::move(c), true);
        break;
      case SqlType::kBfile:
        table.property |= 0x8000;
        add(std::move(c), true);
        break;
      default:
        add(std::move(c), true);
        break;
    }
  }
  return out;
}

void Resolver::AssignSegmentColumns(RTable& table, const TableDescription& wanted) {
  std::uint32_t next = 1;
  std::vector<RColumn*> key_columns;
  // A clustered table's key columns live in the cluster's key row: they
  // come first, in key order.
  for (const auto& name : wanted.cluster_columns) {
    for (RColumn& c : table.columns) {
      if (c.name == name) key_columns.push_back(&c);
    }
  }
  for (RColumn* c : key_columns) c->segment_column = next++;
  const auto is_key = [&](const RColumn& c) {
    return std::find(key_columns.begin(), key_columns.end(), &c) != key_columns.end();
  };
  // Oracle stores LONG and LONG RAW columns after all the others.
  for (int pass = 0; pass < 2; ++pass) {
    for (RColumn& c : table.columns) {
      if (c.source == ColumnSource::kNone || is_key(c) || IsLong(c) != (pass == 1)) continue;
      c.segment_column = next++;
    }
  }
}

}  // namespace quillon::testdb
