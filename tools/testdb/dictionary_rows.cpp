#include "testdb/dictionary_rows.h"

#include <stdexcept>

#include "reader/format.h"
#include "testdb/privileges.h"

namespace quillon::testdb {

DictionaryRows::DictionaryRows(const ResolvedSchema& schema, const std::vector<std::uint32_t>& headers,
                               std::uint32_t block_size)
    : r_(schema), headers_(headers), block_size_(block_size), version_(schema.release.version) {
  charset_ = FindCharset(schema.schema->character_set);
  if (!charset_) throw std::invalid_argument("unknown character set " + schema.schema->character_set);
  created_ = DateTimeFields{2010, 3, 14, 9, 26, 53, 0};
  Objects();
  Security();
  Tablespaces();
  Properties();
  TablesAndColumns();
  Indexes();
  Lobs();
  TypedColumns();
  Constraints();
  Partitions();
  Views();
  Synonyms();
  Sequences();
  Triggers();
  Source();
  Types();
  Links();
  MaterializedViews();
}

DictRow DictionaryRows::New(const std::string& table) const { return DictRow(DictTableNamed(table), *charset_); }

DictionaryRows::TableInfo& DictionaryRows::Info(const std::string& table) {
  const auto it = info_.find(table);
  if (it != info_.end()) return it->second;
  const DictTable& t = DictTableNamed(table);
  TableInfo info;
  info.exists = t.Exists(version_);
  info.stored = StoredColumns(t, version_, !t.cluster.empty());
  if (t.cluster.empty()) {
    auto& rows = heaps_[table];
    rows = std::make_shared<CompactRows>();
    info.heap = rows.get();
  } else {
    info.position = MemberPosition(table, version_);
    info.member_count = ClusterMembers(t.cluster, version_).size();
    info.keys = &clusters_[t.cluster];
    info.exists = info.exists && info.position != 0;
  }
  return info_.emplace(table, std::move(info)).first->second;
}

void DictionaryRows::Add(const std::string& table, DictRow& row) {
  TableInfo& info = Info(table);
  if (!info.exists) return;
  if (info.heap) {
    row.AppendStored(info.stored, *info.heap);
    return;
  }
  std::vector<Bytes> key_columns = row.Key();
  ClusterKey& key = (*info.keys)[key_columns];
  if (key.key_columns.empty()) {
    key.key_columns = std::move(key_columns);
    key.members.resize(info.member_count);
  }
  key.members[info.position - 1].push_back(row.TakeStored(info.stored));
}

std::shared_ptr<const CompactRows> DictionaryRows::TakeHeapRows(const std::string& table) {
  const auto it = heaps_.find(table);
  return it == heaps_.end() ? std::make_shared<CompactRows>() : std::move(it->second);
}

std::vector<ClusterKey> DictionaryRows::TakeClusterKeys(const std::string& cluster) {
  std::vector<ClusterKey> out;
  const auto it = clusters_.find(cluster);
  if (it == clusters_.end()) return out;
  out.reserve(it->second.size());
  for (auto& [key, rows] : it->second) out.push_back(std::move(rows));
  return out;
}

std::uint32_t DictionaryRows::File(int segment) const {
  return segment < 0 ? 0 : format::DbaFile(headers_[static_cast<std::size_t>(segment)]);
}

std::uint32_t DictionaryRows::Block(int segment) const {
  return segment < 0 ? 0 : format::DbaBlock(headers_[static_cast<std::size_t>(segment)]);
}

void DictionaryRows::Objects() {
  for (const RObject& o : r_.objects) {
    DictRow row = New("OBJ$");
    row.Num("OBJ#", o.number)
        .Num("DATAOBJ#", o.data_object ? std::optional<std::int64_t>(*o.data_object) : std::nullopt)
        .Num("OWNER#", o.owner)
        .Text("NAME", o.name)
        .Num("NAMESPACE", o.name_space)
        .Text("SUBNAME", o.subname)
        .Num("TYPE#", o.type)
        .Date("CTIME", created_)
        .Date("MTIME", created_)
        .Date("STIME", created_)
        .Num("STATUS", o.status)
        .Num("FLAGS", 0)
        .Raw("OID$", o.oid)
        .Num("SPARE1", 6)
        .Num("SPARE2", 1);
    if (version_ >= DictVersion::k111) row.Num("SPARE3", o.owner);
    Add("OBJ$", row);
  }
}

void DictionaryRows::Security() {
  for (const RUser& u : r_.users) {
    DictRow row = New("USER$");
    row.Num("USER#", u.number)
        .Text("NAME", u.name)
        .Num("TYPE#", u.role ? 0 : 1)
        .Text("PASSWORD", u.password)
        .Num("DATATS#", u.default_ts)
        .Num("TEMPTS#", u.temporary_ts)
        .Date("CTIME", created_)
        .Num("RESOURCE$", 0)
        .Num("DEFROLE", 1)
        .Num("ASTATUS", u.account_status)
        .Num("LCOUNT", 0)
        .Text("EXT_USERNAME", u.external_name);
    if (!u.role) row.Date("PTIME", created_).Text("DEFSCHCLASS", "DEFAULT_CONSUMER_GROUP");
    Add("USER$", row);
  }
  for (const RSystemGrant& g : r_.system_grants) {
    DictRow row = New("SYSAUTH$");
    row.Num("GRANTEE#", g.grantee).Num("PRIVILEGE#", g.privilege).Num("SEQUENCE#", g.sequence);
    if (g.admin) row.Num("OPTION$", 1);
    Add("SYSAUTH$", row);
  }
  for (const RObjectGrant& g : r_.object_grants) {
    DictRow row = New("OBJAUTH$");
    row.Num("OBJ#", g.object)
        .Num("GRANTOR#", g.grantor)
        .Num("GRANTEE#", g.grantee)
        .Num("PRIVILEGE#", g.privilege)
        .Num("SEQUENCE#", g.sequence);
    if (g.grant_option) row.Num("OPTION$", 1);
    if (g.column_number) row.Num("COL#", *g.column_number);
    Add("OBJAUTH$", row);
  }
  for (const PrivilegeName& p : SystemPrivileges()) {
    Add("SYSTEM_PRIVILEGE_MAP", New("SYSTEM_PRIVILEGE_MAP").Num("PRIVILEGE", p.number).Text("NAME", p.name).Num("PROPERTY", p.property));
  }
  for (const PrivilegeName& p : TablePrivileges()) {
    Add("TABLE_PRIVILEGE_MAP", New("TABLE_PRIVILEGE_MAP").Num("PRIVILEGE", p.number).Text("NAME", p.name));
  }
}

void DictionaryRows::Tablespaces() {
  for (const RTablespace& t : r_.tablespaces) {
    const bool local = r_.release.code >= 9;  // 8i creates dictionary-managed tablespaces
    std::uint64_t flags = 0;
    if (t.contents == TablespaceContents::kUndo) flags |= 0x10;
    if (t.space == SpaceManagement::kAssm) flags |= 0x20;
    if (local) flags |= 0x01;
    DictRow row = New("TS$");
    row.Num("TS#", t.number)
        .Text("NAME", t.name)
        .Num("OWNER#", 0)
        .Num("ONLINE$", 1)
        .Num("CONTENTS$", t.contents == TablespaceContents::kTemporary ? 1 : 0)
        .Num("BLOCKSIZE", block_size_)
        .Num("INC#", 1)
        .Num("DFLMINEXT", 1)
        .Num("DFLMAXEXT", 2147483645)
        .Num("DFLINIT", 8)
        .Num("DFLINCR", 8)
        .Num("DFLMINLEN", 0)
        .Num("DFLEXTPCT", 0)
        .Num("DFLOGGING", t.contents == TablespaceContents::kTemporary ? 0 : 1)
        .Num("AFFSTRENGTH", 0)
        .Num("BITMAPPED", local ? 8 : 0)
        .Num("PLUGGED", 0)
        .Num("DIRECTALLOWED", 1)
        .Num("FLAGS", static_cast<std::int64_t>(flags));
    Add("TS$", row);
  }
}

void DictionaryRows::Properties() {
  const Schema& s = *r_.schema;
  const std::pair<const char*, std::string> props[] = {
      {"DICT.BASE", "2"},
      {"NLS_LANGUAGE", "AMERICAN"},
      {"NLS_TERRITORY", "AMERICA"},
      {"NLS_CHARACTERSET", s.character_set},
      {"NLS_NCHAR_CHARACTERSET", s.national_character_set},
      {"NLS_DATE_FORMAT", "DD-MON-RR"},
      {"DBTIMEZONE", s.time_zone},
      {"GLOBAL_DB_NAME", "QUILLON.WORLD"},
  };
  for (const auto& [name, value] : props) {
    Add("PROPS$", New("PROPS$").Text("NAME", name).Text("VALUE$", value).Text("COMMENT$", std::string(name) + " value"));
  }
}

}  // namespace quillon::testdb
