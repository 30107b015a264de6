// Builders of the C_OBJ# member tables: TAB$, CLU$, IND$, ICOL$, COL$, LOB$,
// COLTYPE$, NTAB$, OPQTYPE$ and ATTRCOL$. The cluster key is the OBJ# of the
// table (BO#, the base table, for IND$ and ICOL$).
#include "reader/cluster_members.h"

namespace quillon {

namespace {

// TAB$ member columns.
namespace tab {
constexpr std::size_t kDataObj = 1, kTs = 2, kFile = 3, kBlock = 4, kBobj = 5, kTabNo = 6, kCols = 7,
                      kCluCols = 8, kPctFree = 9, kPctUsed = 10, kFlags = 13, kProperty = 29, kTrigFlag = 30,
                      kSpare1 = 31;
}
// CLU$ member columns.
namespace clu {
constexpr std::size_t kDataObj = 1, kTs = 2, kFile = 3, kBlock = 4, kCols = 5, kMaxTrans = 9, kSize = 10,
                      kHashKeys = 12, kFlags = 15;
}
// IND$ member columns (BO# is the key).
namespace ind {
constexpr std::size_t kObj = 1, kDataObj = 2, kTs = 3, kFile = 4, kBlock = 5, kMethod = 6, kCols = 7,
                      kPctThres = 11, kType = 12, kFlags = 13, kProperty = 14, kTruncCnt = 27;
}
// ICOL$ member columns (BO# is the key).
namespace icol {
constexpr std::size_t kObj = 1, kCol = 2, kPos = 3, kSegCol = 4, kIntcol = 7, kSpare1 = 8;
}
// COL$ member columns; the LONG DEFAULT$ is stored last.
namespace col {
constexpr std::size_t kCol = 1, kSegCol = 2, kName = 5, kType = 6, kLength = 7, kPrecision = 9, kScale = 10,
                      kNull = 11, kIntcol = 13, kProperty = 14, kCharset = 15, kCharsetForm = 16, kSpare3 = 19,
                      kDefault = 23;
}
// LOB$ member columns.
namespace lob {
constexpr std::size_t kCol = 1, kIntcol = 2, kLobj = 3, kInd = 5, kTs = 6, kFile = 7, kBlock = 8, kChunk = 9,
                      kFlags = 11, kProperty = 12;
}
// COLTYPE$, NTAB$, OPQTYPE$ and ATTRCOL$ member columns.
namespace coltype {
constexpr std::size_t kCol = 1, kIntcol = 2, kToid = 3, kVersion = 4, kFlags = 8;
}
namespace ntab {
constexpr std::size_t kCol = 1, kIntcol = 2, kNtab = 3, kName = 4;
}
namespace opq {
constexpr std::size_t kIntcol = 1, kType = 2, kFlags = 3, kSchemaOid = 7, kElemNum = 8, kSchemaUrl = 9;
}
namespace attrcol {
constexpr std::size_t kIntcol = 1, kName = 2;
}

constexpr std::uint32_t kMaxOverflowThreshold = 99;
constexpr std::uint32_t kReplacedOverflowThreshold = 50;
// A tablespace number stored in this many bytes or more names SYSTEM.
constexpr std::size_t kSystemTablespaceBytes = 5;

}  // namespace

void ParseTableRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < tab::kProperty) return;  // every TAB$ row stores PROPERTY
  TableRecord t;
  t.object_number = key.number;
  t.data_object_number = row.OptionalUnsigned(tab::kDataObj);
  t.tablespace_number = row.Unsigned(tab::kTs);
  t.tablespace = reader.catalogue.TablespaceName(t.tablespace_number);
  t.relative_file_number = row.Unsigned(tab::kFile);
  t.header_block = row.Bits(tab::kBlock);
  t.base_object = row.OptionalUnsigned(tab::kBobj);
  t.cluster_position = row.OptionalUnsigned(tab::kTabNo);
  t.column_count = row.Unsigned(tab::kCols);
  t.cluster_column_count = row.OptionalUnsigned(tab::kCluCols);
  t.pct_free = row.Unsigned(tab::kPctFree);
  t.pct_used = row.Unsigned(tab::kPctUsed);
  t.flags = row.Bits(tab::kFlags);
  t.property = row.Bits(tab::kProperty);
  t.trigger_flags = row.Bits(tab::kTrigFlag);
  t.spare1 = row.Bits(tab::kSpare1);
  reader.catalogue.tables.Append(std::move(t));
}

void ParseClusterRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < clu::kMaxTrans) return;
  ClusterRecord c;
  c.object_number = key.number;
  c.data_object_number = row.OptionalUnsigned(clu::kDataObj);
  c.tablespace = reader.catalogue.TablespaceName(row.Unsigned(clu::kTs));
  c.relative_file_number = row.Unsigned(clu::kFile);
  c.header_block = row.Bits(clu::kBlock);
  c.key_column_count = row.Unsigned(clu::kCols);
  c.size = row.Integer(clu::kSize);
  c.hash_keys_text = row.NumberText(clu::kHashKeys);
  c.hash_keys = row.Integer(clu::kHashKeys).value_or(0);
  c.flags = row.Bits(clu::kFlags);
  reader.catalogue.clusters.Append(std::move(c));
}

void ParseIndexRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < ind::kProperty || row.IsNull(ind::kObj)) return;
  IndexRecord x;
  x.table_object_number = key.number;
  x.index_object_number = row.Unsigned(ind::kObj);
  x.data_object_number = row.OptionalUnsigned(ind::kDataObj);
  x.tablespace_number = row.Unsigned(ind::kTs);
  x.tablespace = row.Bytes(ind::kTs).size() >= kSystemTablespaceBytes
                     ? std::string("SYSTEM")
                     : reader.catalogue.TablespaceName(x.tablespace_number);
  x.relative_file_number = row.Unsigned(ind::kFile);
  x.header_block = row.Bits(ind::kBlock);
  x.method_code = row.Packed(ind::kMethod);
  x.column_count = row.Unsigned(ind::kCols);
  x.index_type = static_cast<std::uint16_t>(row.Packed(ind::kType));
  x.type = row.Unsigned(ind::kType);
  x.including_column = row.Unsigned(ind::kTruncCnt);
  x.overflow_threshold = row.Unsigned(ind::kPctThres);
  if (x.overflow_threshold > kMaxOverflowThreshold) x.overflow_threshold = kReplacedOverflowThreshold;
  x.flags = row.Bits(ind::kFlags);
  x.property_code = row.Packed(ind::kProperty);
  x.property = row.Bits(ind::kProperty);
  reader.catalogue.indexes.Append(std::move(x));
}

void ParseIndexColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < icol::kIntcol || row.IsNull(icol::kObj)) return;
  IndexColumnRecord c;
  c.table_object_number = key.number;
  c.index_object_number = row.Unsigned(icol::kObj);
  c.column_number = row.Unsigned(icol::kCol);
  c.position = row.Unsigned(icol::kPos);
  c.segment_column = row.Unsigned(icol::kSegCol);
  c.internal_column = row.Unsigned(icol::kIntcol);
  c.flags = row.Bits(icol::kSpare1);
  reader.catalogue.index_columns.Append(c);
}

void ParseColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  // Every COL$ row stores the columns up to PROPERTY (all NOT NULL).
  if (row.column_count() < col::kProperty || row.IsNull(col::kName) || row.IsNull(col::kType)) return;
  ColumnInfo c;
  c.object_number = key.number;
  c.column_number = row.Unsigned(col::kCol);
  c.segment_column = row.Unsigned(col::kSegCol);
  c.name = reader.Text(row, col::kName);
  c.type_code = row.Packed(col::kType);
  c.length_text = row.NumberText(col::kLength);
  c.precision_text = row.PrecisionText(col::kPrecision);
  c.scale_text = row.PrecisionText(col::kScale);
  c.null_bytes = static_cast<std::uint16_t>(row.Packed(col::kNull));
  c.property_bytes = PackNumberBytes64(row.Bytes(col::kProperty));
  if (row.column_count() == col::kDefault) c.default_text = DefaultExpressionText(reader.Text(row, col::kDefault));
  c.charset_id = row.Packed(col::kCharset);
  c.charset_form = static_cast<std::uint16_t>(row.Unsigned(col::kCharsetForm));
  c.internal_column = row.Unsigned(col::kIntcol);
  c.property = row.Bits(col::kProperty);
  c.nullable = row.Integer(col::kNull).value_or(0) == 0;
  c.data_length = row.Unsigned(col::kLength);
  // SPARE3 (CHAR_LENGTH) sits after PROPERTY: rows whose trailing NULLs
  // were cut short do not store it.
  if (!row.IsNull(col::kSpare3)) c.char_length = row.Unsigned(col::kSpare3);
  c.sql_type = SqlTypeText(c.type_code, c.charset_id, c.length_text, c.precision_text, c.scale_text);
  reader.catalogue.columns.Append(std::move(c));
}

void ParseLobRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < lob::kProperty || row.IsNull(lob::kLobj)) return;
  LobRecord l;
  l.table_object_number = key.number;
  l.column_number = row.Unsigned(lob::kCol);
  l.internal_column = row.Unsigned(lob::kIntcol);
  l.lob_object_number = row.Unsigned(lob::kLobj);
  l.index_object_number = row.Unsigned(lob::kInd);
  l.tablespace_number = row.Unsigned(lob::kTs);
  l.tablespace = reader.catalogue.TablespaceName(l.tablespace_number);
  l.relative_file_number = row.Unsigned(lob::kFile);
  l.header_block = row.Bits(lob::kBlock);
  l.chunk = row.Unsigned(lob::kChunk);
  l.flags = row.Bits(lob::kFlags);
  l.property = row.Bits(lob::kProperty);
  reader.catalogue.lobs.Append(std::move(l));
}

void ParseColumnTypeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < coltype::kVersion || row.Bytes(coltype::kToid).size() != 16) return;
  ColumnTypeRecord t;
  t.table_object_number = key.number;
  t.column_number = row.Unsigned(coltype::kCol);
  t.internal_column = row.Unsigned(coltype::kIntcol);
  t.type_oid = OidText(row.Bytes(coltype::kToid));
  t.version = row.Unsigned(coltype::kVersion);
  t.flags = row.Bits(coltype::kFlags);
  reader.catalogue.column_types.Append(std::move(t));
}

void ParseNestedTableRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < ntab::kName || row.IsNull(ntab::kNtab)) return;
  Nsdata n;
  n.column_name = reader.Text(row, ntab::kName);
  n.table_object_number = key.number;
  n.storage_object_number = row.Unsigned(ntab::kNtab);
  if (const ObjectRecord* storage = reader.catalogue.Object(n.storage_object_number)) {
    n.storage_table_name = storage->name;
  }
  n.column_number = row.Unsigned(ntab::kCol);
  n.internal_column = row.Unsigned(ntab::kIntcol);
  reader.catalogue.nested_tables.Append(std::move(n));
}

void ParseOpaqueTypeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.IsNull(opq::kIntcol)) return;
  OpaqueTypeRecord o;
  o.table_object_number = key.number;
  o.internal_column = row.Unsigned(opq::kIntcol);
  o.type = row.Unsigned(opq::kType);
  o.flags = row.Bits(opq::kFlags);
  if (!row.IsNull(opq::kSchemaOid)) o.schema_oid = OidText(row.Bytes(opq::kSchemaOid));
  o.element_number = row.Unsigned(opq::kElemNum);
  o.schema_url = reader.Text(row, opq::kSchemaUrl);
  reader.catalogue.opaque_types.Append(std::move(o));
}

void ParseAttributeColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < attrcol::kName || row.IsNull(attrcol::kName)) return;
  AttributeColumnRecord a;
  a.table_object_number = key.number;
  a.internal_column = row.Unsigned(attrcol::kIntcol);
  a.name = reader.Text(row, attrcol::kName);
  reader.catalogue.attribute_columns.Append(std::move(a));
}

}  // namespace quillon
