// The SYS dictionary itself: the dictionary tables and clusters of the
// release with their columns (so the dictionary describes itself, as
// Oracle's does), their segments, and the built-in types that attributes
// and collection elements refer to.
#include <algorithm>

#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

constexpr std::uint32_t kSys = 0;

// The built-in types: name, OCI type code, and the TOID Oracle gives them
// (the type code in the last two bytes; XMLTYPE's is its own).
struct Builtin {
  const char* name;
  SqlType type;
  std::uint32_t typecode;
};
constexpr Builtin kBuiltins[] = {
    {"VARCHAR2", SqlType::kVarchar2, 9},   {"NUMBER", SqlType::kNumber, 2},
    {"DATE", SqlType::kDate, 12},          {"CHAR", SqlType::kChar, 96},
    {"RAW", SqlType::kRaw, 95},            {"CLOB", SqlType::kClob, 112},
    {"BLOB", SqlType::kBlob, 113},         {"TIMESTAMP", SqlType::kTimestamp, 187},
    {"NVARCHAR2", SqlType::kNVarchar2, 9}, {"FLOAT", SqlType::kFloat, 4},
    {"XMLTYPE", SqlType::kXmlType, 58},    {"BINARY_DOUBLE", SqlType::kBinaryDouble, 101},
};

Bytes BuiltinToid(const Builtin& b) {
  Bytes toid(16, 0);
  if (b.type == SqlType::kXmlType) {
    toid[13] = 0x02;
    toid[14] = 0x01;
    return toid;
  }
  toid[14] = static_cast<std::uint8_t>(b.typecode >> 8);
  toid[15] = static_cast<std::uint8_t>(b.typecode);
  // NVARCHAR2 shares VARCHAR2's type code; keep the identifiers apart.
  if (b.type == SqlType::kNVarchar2) toid[13] = 0x01;
  return toid;
}

RColumn DictionaryColumn(const DictColumn& c, std::uint32_t number, std::uint32_t segment_column,
                         std::uint32_t charset) {
  RColumn r;
  r.name = c.name;
  r.column_number = number;
  r.internal_column = number;
  r.segment_column = segment_column;
  r.nullable = !c.not_null;
  switch (c.type) {
    case DictType::kNumber:
      r.type_number = 2;
      r.length = 22;
      r.logical = Number();
      break;
    case DictType::kInteger:
      r.type_number = 2;
      r.length = 22;
      r.scale = 0;
      r.logical = Integer();
      break;
    case DictType::kVarchar2:
      r.type_number = 1;
      r.length = c.length;
      r.logical = Varchar2(c.length);
      break;
    case DictType::kChar:
      r.type_number = 96;
      r.length = c.length;
      r.logical = Char(c.length);
      break;
    case DictType::kRaw:
      r.type_number = 23;
      r.length = c.length;
      r.logical = Raw(c.length);
      break;
    case DictType::kDate:
      r.type_number = 12;
      r.length = 7;
      r.logical = Date();
      break;
    case DictType::kLong:
      r.type_number = 8;
      r.length = 0;
      r.logical = Long();
      break;
    case DictType::kRowid:
      r.type_number = 69;
      r.length = 10;
      r.logical = Rowid();
      break;
    case DictType::kClob:
      r.type_number = 112;
      r.length = 4000;
      r.logical = Clob();
      break;
    case DictType::kBlob:
      r.type_number = 113;
      r.length = 4000;
      r.logical = Blob();
      break;
  }
  const bool character = c.type == DictType::kVarchar2 || c.type == DictType::kChar || c.type == DictType::kLong ||
                         c.type == DictType::kClob;
  if (character) {
    r.charset_id = charset;
    r.charset_form = 1;
  }
  return r;
}

}  // namespace

void Resolver::Dictionary() {
  const Numbering numbering = release_.numbering();
  const std::uint32_t system = TablespaceNumber("SYSTEM");
  const DictVersion v = release_.version;
  const auto number_of = [&](const std::string& name) {
    const auto n = SysObjectNumber(name, numbering);
    if (!n) Fail("no object number for dictionary object " + name);
    return *n;
  };
  const auto scanned = [&](const std::string& name) {
    for (const auto& s : SystemSegmentTable()) {
      if (s.name == name) return true;
    }
    return false;
  };
  const auto segment = [&](const std::string& name, std::uint32_t data_object) {
    RSegment s;
    s.name = name;
    s.data_object = data_object;
    s.ts = system;
    s.space = SpaceManagement::kFreeList;
    s.content = SegmentContent::kDictionary;
    s.dictionary_scan = scanned(name);
    return AddSegment(std::move(s));
  };

  // Clusters first: their member tables point at their segments.
  for (const DictCluster& c : DictClusters()) {
    RCluster rc;
    rc.object = rc.data_object = number_of(c.name);
    rc.owner = "SYS";
    rc.name = c.name;
    rc.ts = system;
    rc.dictionary = true;
    std::uint32_t n = 1;
    for (const DictColumn& k : c.key_columns) {
      rc.key_columns.push_back(DictionaryColumn(k, n, n, DatabaseCharsetId()));
      ++n;
    }
    rc.segment = segment(c.name, rc.object);
    AddObject(rc.object, kSys, c.name, obj::kNsCluster, obj::kCluster, rc.object);
    r_.clusters.push_back(std::move(rc));
  }
  // The heap tables in table order, SUM$ (where the SYSTEM scan stops) last.
  std::vector<const DictTable*> heaps;
  for (const DictTable& t : DictTables()) {
    if (!t.Exists(v)) continue;
    RTable rt;
    rt.object = number_of(t.name);
    rt.owner = "SYS";
    rt.name = t.name;
    rt.ts = system;
    rt.dictionary = true;
    const std::vector<int> columns = ReleaseColumns(t, v);
    const std::vector<std::uint32_t> segment_columns = SegmentColumnNumbers(t, v);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      rt.columns.push_back(DictionaryColumn(t.columns[static_cast<std::size_t>(columns[i])],
                                            static_cast<std::uint32_t>(i + 1), segment_columns[i],
                                            DatabaseCharsetId()));
    }
    rt.visible_columns = static_cast<std::uint32_t>(columns.size());
    if (!t.cluster.empty()) {
      auto cluster = std::find_if(r_.clusters.begin(), r_.clusters.end(),
                                  [&](const RCluster& c) { return c.name == t.cluster; });
      rt.base_object = cluster->object;
      rt.data_object = cluster->data_object;
      rt.segment = cluster->segment;
      rt.cluster_position = MemberPosition(t.name, v);
      rt.cluster_columns = static_cast<std::uint32_t>(t.key_columns.size());
      rt.property = 0x400;
    } else {
      rt.data_object = rt.object;
      heaps.push_back(&t);
    }
    AddObject(rt.object, kSys, t.name, obj::kNsTable, obj::kTable, rt.data_object);
    r_.tables.push_back(std::move(rt));
  }
  for (RCluster& c : r_.clusters) {
    for (const auto& member : ClusterMembers(c.name, v)) {
      if (const RTable* t = r_.TableNamed("SYS", member)) c.member_tables.push_back(t->object);
    }
  }
  std::stable_partition(heaps.begin(), heaps.end(), [](const DictTable* t) { return t->name != "SUM$"; });
  for (const DictTable* t : heaps) {
    for (RTable& rt : r_.tables) {
      if (rt.dictionary && rt.name == t->name) rt.segment = segment(t->name, rt.object);
    }
  }
  for (std::size_t i = 0; i < r_.tables.size(); ++i) tables_by_name_[{"SYS", r_.tables[i].name}] = static_cast<int>(i);
}

void Resolver::BuiltinTypes() {
  const Numbering numbering = release_.numbering();
  for (const Builtin& b : kBuiltins) {
    RType t;
    t.object = *SysObjectNumber(b.name, numbering);
    t.owner = "SYS";
    t.name = b.name;
    t.toid = BuiltinToid(b);
    t.typecode = b.typecode;
    t.builtin = true;
    AddObject(t.object, kSys, b.name, obj::kNsTable, obj::kType).oid = t.toid;
    r_.types.push_back(std::move(t));
  }
}

bool IsUserType(SqlType type) {
  return type == SqlType::kObject || type == SqlType::kRef || type == SqlType::kNestedTable || type == SqlType::kVarray;
}

std::string TypeNameOf(const ColumnType& type) {
  if (IsUserType(type.type)) return type.type_name;
  SqlType wanted = type.type;
  switch (type.type) {
    case SqlType::kChar:
    case SqlType::kNChar: wanted = SqlType::kChar; break;
    case SqlType::kNClob: wanted = SqlType::kClob; break;
    case SqlType::kTimestampTz:
    case SqlType::kTimestampLtz: wanted = SqlType::kTimestamp; break;
    case SqlType::kBinaryFloat: wanted = SqlType::kBinaryDouble; break;
    default: break;
  }
  for (const Builtin& b : kBuiltins) {
    if (b.type == wanted) return b.name;
  }
  return "VARCHAR2";
}

const RType& Resolver::BuiltinType(SqlType type) const {
  ColumnType t;
  t.type = type;
  return ResolvedType("SYS", TypeNameOf(t));
}

}  // namespace quillon::testdb
