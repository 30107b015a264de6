#include "repair/table_ddl.h"

#include <algorithm>
#include <string>
#include <vector>

#include "reader/packed_codes.h"
#include "repair/quoting.h"

namespace quillon::repair {

namespace {

constexpr std::uint64_t kPropertyObjectTable = 0x01;
constexpr std::uint64_t kPropertyPartitioned = 0x20;
constexpr std::uint64_t kPropertyIndexOrganized = 0x40;
constexpr std::uint64_t kPropertyXmlTypeTable = 0x20000000;  // with 0x00200000: XMLType storage
constexpr std::uint64_t kPropertyXmlTypeColumn = 0x00200000;

std::string Num(std::int64_t v) { return std::to_string(v); }

bool InRange(const std::optional<std::int64_t>& v, std::int64_t low, std::int64_t high) {
  return v && *v >= low && *v <= high;
}

// Drops trailing commas the piece-wise building leaves.
void TrimCommas(std::string& s) {
  while (!s.empty() && s.back() == ',') s.pop_back();
}

bool IsNationalColumn(const ColumnDefinition& c) { return c.national || c.charset_form == 2; }

// Bytes per character of a national column: AL16UTF16 (2000) two, UTF8 three.
std::int64_t NationalWidth(const ColumnDefinition& c) { return c.charset_id == PackedCode(871) ? 3 : 2; }

// A column length for a character type, from 1 to the type's limit in
// bytes (4000 for VARCHAR2 and NVARCHAR2, 2000 for CHAR and NCHAR): a
// length beyond it is damage, which would make Oracle refuse the table and
// lose its rows, while the limit holds every value the column could hold.
std::string CharLength(const ColumnDefinition& c, bool national, std::int64_t max_bytes) {
  std::int64_t len = std::min(c.length.value_or(1), max_bytes);
  if (national) len /= NationalWidth(c);
  return Num(std::max<std::int64_t>(len, 1));
}

// The length of a CHAR or VARCHAR2 column as its declaration said it:
// "n CHAR" for a column declared in characters, else the bytes as a plain
// number. A plain number is read by the target in its session's length
// semantics, which is BYTE unless its administrator changed it; it is also
// the only form an Oracle 8i target accepts, which knows no semantics. A
// character length without a usable SPARE3 (or beyond the type's limit:
// 4000 for VARCHAR2, 2000 for CHAR) falls back to the bytes, which hold
// every value the column held.
std::string DeclaredLength(const ColumnDefinition& c, std::int64_t max_characters) {
  if (c.char_semantics && InRange(c.char_length, 1, max_characters)) return Num(*c.char_length) + " CHAR";
  return CharLength(c, false, max_characters);
}

bool AppendUserType(SqlBuilder& sql, const ColumnDefinition& c, bool ref, std::string* why) {
  if (!c.user_type || c.user_type->name.empty()) {
    *why = "the user type of column " + PrintableName(c.name) + " is unknown";
    return false;
  }
  // Qualified by its owner: the statements run as SYSTEM, where an
  // unqualified type name would be looked up in the wrong schema.
  sql.Raw(ref ? " REF " : " ");
  if (!c.user_type->owner.empty()) sql.Ident(c.user_type->owner).Raw(".");
  sql.Ident(c.user_type->name);
  return true;
}

struct Statements {
  SqlBuilder sql;
  std::string why;
};

}  // namespace

TableShape TableShapeOf(std::uint64_t property) {
  TableShape s;
  s.partitioned = (property & kPropertyPartitioned) != 0;
  s.index_organized = (property & kPropertyIndexOrganized) != 0;
  s.xml_type = (property & kPropertyObjectTable) != 0 && (property & kPropertyXmlTypeTable) != 0 &&
               (property & kPropertyXmlTypeColumn) != 0;
  return s;
}

bool IsXmlTypeTable(const TableDefinition& table) {
  return TableShapeOf(table.property).xml_type || table.xml_type_table;
}

bool AppendColumnType(SqlBuilder& sql, const ColumnDefinition& c, std::string* why) {
  std::string text;
  switch (c.type_code) {
    case type_code::kVarchar2:
      text = IsNationalColumn(c) ? " NVARCHAR2(" + CharLength(c, true, 4000) + ")" : " VARCHAR2(" + DeclaredLength(c, 4000) + ")";
      break;
    case type_code::kChar:
      text = IsNationalColumn(c) ? " NCHAR(" + CharLength(c, true, 2000) + ")" : " CHAR(" + DeclaredLength(c, 2000) + ")";
      break;
    case type_code::kNumber:
      // NUMBER takes precision 1 to 38 and scale -84 to 127, FLOAT binary
      // precision 1 to 126; a value outside (damage) gives the plain NUMBER,
      // which holds any number.
      if (InRange(c.precision, 1, 38) && InRange(c.scale, -84, 127)) {
        text = " NUMBER (" + Num(*c.precision) + "," + Num(*c.scale) + ")";
      } else if (InRange(c.precision, 1, 126) && !c.scale) {
        text = " FLOAT (" + Num(*c.precision) + ")";
      } else {
        text = " NUMBER ";
      }
      break;
    case type_code::kLong: text = " LONG "; break;
    case type_code::kDate: text = " DATE "; break;
    // RAW takes at most 2000 bytes in a table (before 12c's extended sizes).
    case type_code::kRaw: text = " RAW(" + Num(std::clamp<std::int64_t>(c.length.value_or(2000), 1, 2000)) + ")"; break;
    case type_code::kLongRaw: text = " LONG RAW "; break;
    case type_code::kRowid: text = " ROWID "; break;
    case type_code::kBinaryFloat: text = " BINARY_FLOAT "; break;
    case type_code::kBinaryDouble: text = " BINARY_DOUBLE "; break;
    case type_code::kClob: text = IsNationalColumn(c) ? " NCLOB " : " CLOB "; break;
    case type_code::kBlob: text = " BLOB "; break;
    case type_code::kBfile: text = " BFILE "; break;
    case type_code::kUrowid: text = " UROWID "; break;
    case type_code::kXmlType:
      if (c.user_type && !c.user_type->name.empty() && c.user_type->name != "XMLTYPE") {
        return AppendUserType(sql, c, false, why);
      }
      text = " XMLType";
      break;
    case type_code::kTimestamp:
    case type_code::kTimestampTz:
    case type_code::kTimestampLtz: {
      // The fractional precision (0 to 9) is kept for all three kinds.
      text = " TIMESTAMP";
      if (InRange(c.scale, 0, 9)) text += "(" + Num(*c.scale) + ")";
      if (c.type_code == type_code::kTimestampTz) text += " WITH TIME ZONE";
      if (c.type_code == type_code::kTimestampLtz) text += " WITH LOCAL TIME ZONE";
      text += " ";
      break;
    }
    case type_code::kIntervalYm:
      text = " INTERVAL YEAR";
      if (InRange(c.precision, 0, 9)) text += "(" + Num(*c.precision) + ")";
      text += " TO MONTH ";
      break;
    case type_code::kIntervalDs:
      text = " INTERVAL DAY";
      if (InRange(c.precision, 0, 9)) text += "(" + Num(*c.precision) + ")";
      text += " TO SECOND";
      if (InRange(c.scale, 0, 9)) text += "(" + Num(*c.scale) + ")";
      text += " ";
      break;
    case type_code::kRef: return AppendUserType(sql, c, true, why);
    case type_code::kObject:
    case type_code::kNestedTable:
    case type_code::kVarray: return AppendUserType(sql, c, false, why);
    default:
      *why = "column " + PrintableName(c.name) + " has the unknown type " + PrintableName(c.sql_type);
      return false;
  }
  sql.Raw(text);
  return true;
}

void AppendKeyColumn(SqlBuilder& sql, const TableDefinition& table, std::uint32_t internal_column,
                     std::string_view name) {
  const ColumnDefinition* c = table.ColumnByInternalNumber(internal_column);
  if (c == nullptr || !c->attribute_name) {
    sql.Ident(name);
    return;
  }
  // An attribute of an object column: its qualified name, each part quoted
  // (the dictionary keeps it as "COLUMN"."ATTRIBUTE" or COLUMN.ATTRIBUTE).
  std::string text = *c->attribute_name;
  std::vector<std::string> parts;
  std::string part;
  bool in_quotes = false;
  for (char ch : text) {
    if (ch == '"') {
      in_quotes = !in_quotes;
    } else if (ch == '.' && !in_quotes) {
      parts.push_back(part);
      part.clear();
    } else {
      part += ch;
    }
  }
  parts.push_back(part);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) sql.Raw(".");
    sql.Ident(parts[i]);
  }
}

bool KeysAreInline(const TableDefinition& table) {
  const TableShape shape = TableShapeOf(table.property);
  return !shape.xml_type && (shape.partitioned || shape.index_organized);
}

namespace {

void AppendInlineKeys(SqlBuilder& sql, const TableDefinition& table) {
  for (const ConstraintDefinition& k : table.constraints) {
    if (k.kind != ConstraintKind::kPrimaryKey && k.kind != ConstraintKind::kUnique) continue;
    if (k.columns.empty()) continue;
    sql.Raw(" CONSTRAINT ").Ident(k.name).Raw(k.kind == ConstraintKind::kPrimaryKey ? " PRIMARY KEY(" : " UNIQUE(");
    for (std::size_t i = 0; i < k.columns.size(); ++i) {
      if (i > 0) sql.Raw(",");
      sql.Raw(" ");
      AppendKeyColumn(sql, table, k.columns[i].internal_column, k.columns[i].name);
    }
    sql.Raw("),");
  }
}

// The foreign key a reference-partitioned table is partitioned by: the
// first one with a known parent key.
const ConstraintDefinition* PartitioningForeignKey(const TableDefinition& table) {
  for (const ConstraintDefinition& k : table.constraints) {
    if (k.kind == ConstraintKind::kForeignKey && k.references && !k.references->columns.empty() &&
        !k.columns.empty()) {
      return &k;
    }
  }
  return nullptr;
}

void AppendForeignKeyInline(SqlBuilder& sql, const TableDefinition& table, const ConstraintDefinition& fk) {
  sql.Raw("CONSTRAINT ").Ident(fk.name).Raw("  FOREIGN KEY(");
  for (std::size_t i = 0; i < fk.columns.size(); ++i) {
    if (i > 0) sql.Raw(",");
    AppendKeyColumn(sql, table, fk.columns[i].internal_column, fk.columns[i].name);
  }
  sql.Raw(") REFERENCES ").Ident(fk.references->table.owner).Raw(".").Ident(fk.references->table.name).Raw("(");
  for (std::size_t i = 0; i < fk.references->columns.size(); ++i) {
    if (i > 0) sql.Raw(",");
    sql.Ident(fk.references->columns[i].name);
  }
  sql.Raw("),");
}

void AppendKeyList(SqlBuilder& sql, const TableDefinition& table, const std::vector<PartitionKeyColumn>& keys) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i > 0) sql.Raw(",");
    AppendKeyColumn(sql, table, keys[i].internal_column, keys[i].name);
  }
}

const char* MethodWord(PartitioningMethod m) {
  switch (m) {
    case PartitioningMethod::kRange: return "RANGE";
    case PartitioningMethod::kHash: return "HASH";
    case PartitioningMethod::kList: return "LIST";
    default: return nullptr;
  }
}

// VALUES LESS THAN (...) of a range, VALUES (...) of a list partition;
// nothing for hash and system partitions. A bound the dictionary lost is
// written as the catch-all (MAXVALUE, DEFAULT), so that the rows still
// have a partition to go to.
void AppendBound(SqlBuilder& sql, PartitioningMethod method, const PartitionDefinition& p) {
  if (method != PartitioningMethod::kRange && method != PartitioningMethod::kList) return;
  std::string value;
  if (p.bound == BoundKind::kMaxValue) {
    value = "MAXVALUE";
  } else if (p.bound == BoundKind::kDefault) {
    value = "DEFAULT";
  } else if (p.high_value && !p.high_value->empty()) {
    value = *p.high_value;
  } else {
    value = method == PartitioningMethod::kRange ? "MAXVALUE" : "DEFAULT";
  }
  sql.Raw(method == PartitioningMethod::kRange ? "VALUES LESS THAN (" : "VALUES (").Raw(value).Raw(")");
}

void AppendTablespace(SqlBuilder& sql, std::string_view prefix, const std::string& tablespace) {
  if (tablespace.empty()) return;
  sql.Raw(prefix).Ident(tablespace);
}

// Whether the organisation clause of an IOT says OVERFLOW.
bool TableTakesOverflow(const TableDefinition& table) {
  return TableShapeOf(table.property).index_organized && table.iot && !table.iot->overflow_tablespace.empty();
}

bool AppendPartitioning(SqlBuilder& sql, const TableDefinition& table, std::string* why) {
  if (!table.partitioning) {
    *why = "its partitioning record was not found";
    return false;
  }
  const PartitioningDefinition& p = *table.partitioning;
  switch (p.method) {
    case PartitioningMethod::kRange: sql.Raw("PARTITION BY RANGE ("); break;
    case PartitioningMethod::kHash: sql.Raw("PARTITION BY HASH ("); break;
    case PartitioningMethod::kList: sql.Raw("PARTITION BY LIST ("); break;
    case PartitioningMethod::kSystem: sql.Raw("PARTITION BY SYSTEM"); break;
    case PartitioningMethod::kReference: {
      const ConstraintDefinition* fk = PartitioningForeignKey(table);
      if (fk == nullptr) {
        *why = "the foreign key it is partitioned by was not found";
        return false;
      }
      // The partitions follow the parent's; none need be named.
      sql.Raw("PARTITION BY REFERENCE (").Ident(fk->name).Raw(")");
      return true;
    }
    default:
      *why = "its partitioning method " + std::to_string(p.method_number) + " is unknown";
      return false;
  }
  if (p.method != PartitioningMethod::kSystem) {
    if (p.key_columns.empty()) {
      *why = "its partitioning key columns were not found";
      return false;
    }
    AppendKeyList(sql, table, p.key_columns);
    sql.Raw(")");
  }
  if (p.interval && !p.interval->empty() && p.method == PartitioningMethod::kRange) {
    sql.Raw("\r\ninterval(").Raw(*p.interval).Raw(")");
  }
  const char* sub_word = p.subpartitioning ? MethodWord(*p.subpartitioning) : nullptr;
  if (p.subpartitioning && sub_word == nullptr) {
    *why = "its subpartitioning method " + std::to_string(p.subpartitioning_number) + " is unknown";
    return false;
  }
  if (sub_word != nullptr) {
    if (p.subpartition_key_columns.empty()) {
      *why = "its subpartitioning key columns were not found";
      return false;
    }
    sql.Raw("\r\nSUBPARTITION BY ").Raw(sub_word).Raw(" (");
    AppendKeyList(sql, table, p.subpartition_key_columns);
    sql.Raw(")");
  }
  if (table.partitions.empty()) {
    if (p.method == PartitioningMethod::kHash || p.method == PartitioningMethod::kSystem) {
      sql.Raw(" PARTITIONS ").Raw(std::to_string(std::max<std::uint32_t>(p.partition_count, 1)));
      return true;
    }
    *why = "none of its partitions was found";
    return false;
  }
  const bool table_overflow = TableTakesOverflow(table);
  sql.Raw("\r\n(");
  for (std::size_t i = 0; i < table.partitions.size(); ++i) {
    const PartitionDefinition& part = table.partitions[i];
    if (i > 0) sql.Raw(",");
    sql.Raw(" PARTITION ").Ident(part.name).Raw(" ");
    AppendBound(sql, p.method, part);
    AppendTablespace(sql, " Tablespace ", part.tablespace);
    // Each partition of an IOT keeps its overflow segment's tablespace;
    // Oracle takes a partition's OVERFLOW only when the table has one.
    if (table_overflow && !part.overflow_tablespace.empty()) {
      sql.Raw(" OVERFLOW TABLESPACE ").Ident(part.overflow_tablespace);
    }
    if (sub_word != nullptr && !part.subpartitions.empty()) {
      sql.Raw("\r\n(");
      for (std::size_t j = 0; j < part.subpartitions.size(); ++j) {
        const PartitionDefinition& sub = part.subpartitions[j];
        if (j > 0) sql.Raw(",");
        sql.Raw("SUBPARTITION ").Ident(sub.name).Raw(" ");
        AppendBound(sql, *p.subpartitioning, sub);
        AppendTablespace(sql, " Tablespace ", sub.tablespace);
      }
      sql.Raw("\r\n)");
    }
  }
  sql.Raw("\r\n)");
  return true;
}

// "NESTED TABLE "C" STORE AS "T"" for a nested-table column ("C"."A" for an
// attribute of an object column); a storage
// table with nested-table columns of its own names their storage tables in
// parentheses, "STORE AS "T" (NESTED TABLE "COLUMN_VALUE" STORE AS "T2")".
void AppendNestedStorage(SqlBuilder& sql, const NestedTableDefinition& n) {
  sql.Raw("NESTED TABLE ");
  if (n.attribute_path.empty()) {
    sql.Ident(n.column_name);
  } else {  // an attribute of an object column: "PERSON"."PHONES"
    for (std::size_t i = 0; i < n.attribute_path.size(); ++i) {
      if (i > 0) sql.Raw(".");
      sql.Ident(n.attribute_path[i]);
    }
  }
  sql.Raw(" STORE AS ").Ident(n.storage_table.name);
  if (n.element_storage.empty()) return;
  sql.Raw(" (");
  for (std::size_t i = 0; i < n.element_storage.size(); ++i) {
    if (i > 0) sql.Raw(" ");
    AppendNestedStorage(sql, n.element_storage[i]);
  }
  sql.Raw(")");
}

// The nested-table storage clause of each nested-table column.
void AppendNestedTables(SqlBuilder& sql, const TableDefinition& table) {
  for (const NestedTableDefinition& n : table.nested_tables) {
    sql.Raw(" ");
    AppendNestedStorage(sql, n);
    sql.Raw("\r\n");
  }
}

bool AppendIotClause(SqlBuilder& sql, const TableDefinition& table) {
  sql.Raw("ORGANIZATION INDEX");
  const std::string tablespace = table.iot ? table.iot->tablespace : table.tablespace;
  AppendTablespace(sql, " Tablespace ", tablespace.empty() ? table.tablespace : tablespace);
  if (table.iot && !table.iot->overflow_tablespace.empty()) {
    if (table.iot->overflow_threshold > 0 && table.iot->overflow_threshold <= 50) {
      sql.Raw(" PCTTHRESHOLD ").Raw(std::to_string(table.iot->overflow_threshold));
    }
    if (table.iot->including_column && !table.iot->including_column->empty()) {
      sql.Raw(" INCLUDING ").Ident(*table.iot->including_column);
    }
    sql.Raw(" OVERFLOW Tablespace ").Ident(table.iot->overflow_tablespace);
  }
  return true;
}

bool BuildXmlTable(SqlBuilder& sql, const TableDefinition& table) {
  sql.Raw(" of XMLTYPE");
  const bool clob = (table.xml && table.xml->stored_as_clob) || table.property == 0x20200803;
  if (clob) sql.Raw("\r\nXMLTYPE STORE AS CLOB");
  if (table.xml && table.xml->schema_url && table.xml->element && !table.xml->element->empty()) {
    // A schema URL is a quoted name without the identifiers' length limit;
    // it may not hold a double quote or a control character.
    const std::string& url = *table.xml->schema_url;
    const bool bad = url.empty() || std::any_of(url.begin(), url.end(), [](char ch) {
                       return ch == '"' || static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f;
                     });
    if (!bad) {
      sql.Raw("\r\nXMLSCHEMA \"").Raw(url).Raw("\"\r\nELEMENT ").Ident(*table.xml->element);
    }
  }
  AppendTablespace(sql, "\r\nTABLESPACE ", table.tablespace);
  return true;
}

}  // namespace

bool CreateTableStatement(const TableDefinition& table, StatementSink& sink) {
  const StatementNote note{std::string(kPhaseTable), "Table " + PrintableName(table.object.owner) + "." +
                                                         PrintableName(table.object.name)};
  const TableShape shape = TableShapeOf(table.property);
  SqlBuilder sql;
  // A global temporary table holds no rows of its own in the datafiles
  // (they live in temporary segments): it comes back as one, empty.
  const bool temporary = table.temporary && !shape.partitioned && !shape.index_organized && !table.cluster;
  sql.Raw(temporary ? "Create Global Temporary Table " : "Create Table ")
      .Ident(table.object.owner)
      .Raw(".")
      .Ident(table.object.name);
  if (IsXmlTypeTable(table)) {
    BuildXmlTable(sql, table);
    return Emit(sink, sql, note);
  }

  // Columns.
  SqlBuilder body;
  std::string why;
  std::size_t written = 0;
  for (const ColumnDefinition* c : table.DeclaredColumns()) {
    if (c->is_virtual && c->default_text.empty()) continue;  // an expression the dictionary lost: no data either
    if (written++ > 0) body.Raw(",");
    body.Ident(c->name);
    if (!AppendColumnType(body, *c, &why)) {
      sink.Skipped(note, why);
      return false;
    }
    const bool nested = c->type_code == type_code::kNestedTable;
    const bool zoned = c->type_code == type_code::kTimestampTz || c->type_code == type_code::kTimestampLtz;
    if (c->is_virtual) {
      body.Raw("GENERATED ALWAYS AS (").Raw(c->default_text).Raw(") VIRTUAL");
    } else if (c->nullable || zoned || nested) {
      body.Raw(" NULL");
    } else if (!c->not_null_constraint.empty()) {
      // The constraint is renamed with a "$" so that it cannot clash with
      // the source's name, when the longer name is still an identifier;
      // otherwise it is left to Oracle to name.
      const std::string renamed = c->not_null_constraint + "$";
      if (renamed.size() <= kMaxIdentifierBytes) {
        body.Raw(" CONSTRAINT ").Ident(renamed).Raw(" NOT NULL");
      } else {
        body.Raw(" NOT NULL");
      }
    }
  }
  if (written == 0) {
    sink.Skipped(note, "none of its columns was found");
    return false;
  }
  Statement columns = body.Build(note);
  if (!body.ok()) {
    sink.Skipped(note, body.reason());
    return false;
  }
  std::string column_text = columns.text;
  sql.Raw("(").Raw(column_text);
  if (KeysAreInline(table)) {
    SqlBuilder keys;
    AppendInlineKeys(keys, table);
    if (table.partitioning && table.partitioning->method == PartitioningMethod::kReference) {
      if (const ConstraintDefinition* fk = PartitioningForeignKey(table)) AppendForeignKeyInline(keys, table, *fk);
    }
    if (!keys.ok()) {
      sink.Skipped(note, keys.reason());
      return false;
    }
    std::string key_text = keys.Build(note).text;
    TrimCommas(key_text);
    if (!key_text.empty()) sql.Raw(",").Raw(key_text);
  }
  sql.Raw(")");
  if (temporary) {
    sql.Raw(table.preserve_rows ? " ON COMMIT PRESERVE ROWS" : " ON COMMIT DELETE ROWS");
    return Emit(sink, sql, note);
  }

  // Storage. Nested-table storage is a column property: it follows the
  // organisation clause and comes before the partitioning clause.
  SqlBuilder nested;
  AppendNestedTables(nested, table);
  if (!nested.ok()) {
    sink.Skipped(note, nested.reason());
    return false;
  }
  std::string nested_text = nested.Build(note).text;
  while (!nested_text.empty() && (nested_text.back() == '\n' || nested_text.back() == '\r')) nested_text.pop_back();
  if (shape.partitioned && !table.cluster) {
    if (shape.index_organized) {
      AppendIotClause(sql, table);
    } else {
      AppendTablespace(sql, "Tablespace ", table.tablespace.empty() && table.partitioning
                                              ? table.partitioning->default_tablespace
                                              : table.tablespace);
    }
    sql.Raw(nested_text).Raw("\r\n");
    nested_text.clear();
    if (!AppendPartitioning(sql, table, &why)) {
      sink.Skipped(note, why);
      return false;
    }
  } else if (shape.index_organized) {
    AppendIotClause(sql, table);
  } else if (table.cluster) {
    if (table.cluster->key_columns.empty()) {
      sink.Skipped(note, "the key columns of its cluster were not found");
      return false;
    }
    sql.Raw(" CLUSTER ").Ident(table.cluster->cluster.owner).Raw(".").Ident(table.cluster->cluster.name).Raw(" (");
    for (std::size_t i = 0; i < table.cluster->key_columns.size(); ++i) {
      if (i > 0) sql.Raw(",");
      sql.Ident(table.cluster->key_columns[i]);
    }
    sql.Raw(")");
  } else {
    AppendTablespace(sql, "Tablespace ", table.tablespace);
  }
  sql.Raw(nested_text);
  return Emit(sink, sql, note);
}

void ApplyColumnDefaults(std::span<const TableDefinition> tables, StatementSink& sink) {
  for (const TableDefinition& table : tables) {
    for (const ColumnDefinition* c : table.DeclaredColumns()) {
      if (c->is_virtual || c->default_text.empty()) continue;
      const StatementNote note{std::string(kPhaseColumnDefault), "Column " + PrintableName(table.object.owner) + "." +
                                                                     PrintableName(table.object.name) + "." +
                                                                     PrintableName(c->name)};
      SqlBuilder sql;
      sql.Raw("ALTER TABLE ")
          .Ident(table.object.owner)
          .Raw(".")
          .Ident(table.object.name)
          .Raw(" MODIFY(")
          .Ident(c->name)
          .Raw(" DEFAULT ")
          .Raw(c->default_text)
          .Raw(")");
      Emit(sink, sql, note);
    }
  }
}

}  // namespace quillon::repair
