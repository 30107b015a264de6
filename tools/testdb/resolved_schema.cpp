#include "testdb/resolved_schema.h"

#include <algorithm>
#include <array>

#include "reader/charset.h"
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

struct ReleaseRow {
  const char* name;
  const char* model_release;
  int code;
  DictVersion version;
  bool alternative;
};

constexpr std::array<ReleaseRow, 7> kReleases = {{
    {"8i", "8i", 8, DictVersion::k901, false},
    {"9i", "9i", 9, DictVersion::k92, false},
    {"10.1", "10.1", 16, DictVersion::k101, false},
    {"10.2", "10.2", 16, DictVersion::k102, false},
    {"11.1", "11.1", 17, DictVersion::k111, false},
    {"11.2", "11.2", 18, DictVersion::k112, false},
    {"11.2-alt", "11.2", 18, DictVersion::k112, true},
}};

template <typename List, typename Key, typename Get>
auto FindIn(const List& list, const Key& key, Get get) -> decltype(&list.front()) {
  for (const auto& x : list) {
    if (get(x) == key) return &x;
  }
  return nullptr;
}

}  // namespace

std::optional<GeneratorRelease> FindGeneratorRelease(std::string_view name) {
  for (const auto& r : kReleases) {
    if (name == r.name) return GeneratorRelease{r.name, r.model_release, r.code, r.version, r.alternative};
  }
  return std::nullopt;
}

std::vector<std::string> GeneratorReleaseNames() {
  std::vector<std::string> names;
  for (const auto& r : kReleases) names.emplace_back(r.name);
  return names;
}

const RObject* ResolvedSchema::Object(std::uint32_t number) const {
  const auto it = std::lower_bound(objects.begin(), objects.end(), number,
                                   [](const RObject& o, std::uint32_t n) { return o.number < n; });
  return it != objects.end() && it->number == number ? &*it : nullptr;
}

const RUser* ResolvedSchema::User(std::uint32_t number) const {
  return FindIn(users, number, [](const RUser& u) { return u.number; });
}

const RUser* ResolvedSchema::UserNamed(std::string_view name) const {
  return FindIn(users, name, [](const RUser& u) { return std::string_view(u.name); });
}

const RTablespace* ResolvedSchema::Tablespace(std::uint32_t number) const {
  return FindIn(tablespaces, number, [](const RTablespace& t) { return t.number; });
}

const RTablespace* ResolvedSchema::TablespaceNamed(std::string_view name) const {
  return FindIn(tablespaces, name, [](const RTablespace& t) { return std::string_view(t.name); });
}

const RTable* ResolvedSchema::Table(std::uint32_t object) const {
  return FindIn(tables, object, [](const RTable& t) { return t.object; });
}

const RTable* ResolvedSchema::TableNamed(std::string_view owner, std::string_view name) const {
  for (const auto& t : tables) {
    if (t.owner == owner && t.name == name) return &t;
  }
  return nullptr;
}

// ------------------------------------------------------------------ Resolver

Resolver::Resolver(const Schema& schema, const GeneratorRelease& release) : schema_(schema), release_(release) {
  r_.release = release;
  r_.schema = &schema;
  const CharsetInfo* charset = FindCharset(schema.character_set);
  if (!charset) Fail("unknown character set " + schema.character_set);
  database_charset_ = charset->id;
}

ResolvedSchema Resolver::Run() {
  Tablespaces();
  Users();
  Dictionary();
  BuiltinTypes();
  Types();
  Clusters();
  Tables();
  ForeignKeys();
  Indexes();
  Views();
  Synonyms();
  Sequences();
  Triggers();
  Code();
  Links();
  MaterializedViews();
  MaterializedViewLogs();
  XmlSchemas();
  Grants();
  std::stable_sort(r_.objects.begin(), r_.objects.end(),
                   [](const RObject& a, const RObject& b) { return a.number < b.number; });
  return std::move(r_);
}

RObject& Resolver::AddObject(std::uint32_t number, std::uint32_t owner, std::string name, std::uint32_t name_space,
                             std::uint32_t type, std::optional<std::uint32_t> data_object, std::string subname) {
  RObject o;
  o.number = number;
  o.owner = owner;
  const RUser* u = r_.User(owner);
  o.owner_name = u ? u->name : std::string();
  o.name = std::move(name);
  o.subname = std::move(subname);
  o.name_space = name_space;
  o.type = type;
  o.data_object = data_object;
  r_.objects.push_back(std::move(o));
  return r_.objects.back();
}

std::uint32_t Resolver::UserNumber(const std::string& name) const {
  const RUser* u = r_.UserNamed(name);
  if (!u) Fail("unknown user or role " + name);
  return u->number;
}

std::uint32_t Resolver::TablespaceNumber(const std::string& name) const {
  const RTablespace* t = r_.TablespaceNamed(name);
  if (!t) Fail("unknown tablespace " + name);
  return t->number;
}

const RTablespace& Resolver::TablespaceOf(std::uint32_t number) const {
  const RTablespace* t = r_.Tablespace(number);
  if (!t) Fail("unknown tablespace number " + std::to_string(number));
  return *t;
}

const TypeDescription& Resolver::TypeNamed(const std::string& owner, const std::string& name) const {
  for (const auto& t : schema_.types) {
    if (t.owner == owner && t.name == name) return t;
  }
  Fail("unknown type " + owner + "." + name);
}

const RType& Resolver::ResolvedType(const std::string& owner, const std::string& name) const {
  for (const auto& t : r_.types) {
    if (t.owner == owner && t.name == name) return t;
  }
  Fail("unknown type " + owner + "." + name);
}

int Resolver::AddSegment(RSegment segment) {
  r_.segments.push_back(std::move(segment));
  return static_cast<int>(r_.segments.size() - 1);
}

int Resolver::TableIndex(const std::string& owner, const std::string& name) const {
  const auto it = tables_by_name_.find({owner, name});
  return it == tables_by_name_.end() ? -1 : it->second;
}

const RColumn& Resolver::ColumnNamed(const RTable& table, const std::string& column) const {
  for (const RColumn& c : table.columns) {
    if (c.name == column) return c;
  }
  Fail("table " + table.owner + "." + table.name + " has no column " + column);
}

const RColumn& Resolver::NestedParent(const RTable& table, const std::string& column) const {
  if (column.find('.') == std::string::npos) return ColumnNamed(table, column);
  // COLUMN.ATTRIBUTE: the hidden column of that attribute path.
  std::string qualified = "\"";
  for (const char c : column) qualified += c == '.' ? std::string("\".\"") : std::string(1, c);
  qualified += "\"";
  for (const RColumn& c : table.columns) {
    if (c.qualified_name == qualified) return c;
  }
  Fail("table " + table.owner + "." + table.name + " has no attribute " + column);
}

std::uint32_t Resolver::ColumnIntcol(const RTable& table, const std::string& column) const {
  return ColumnNamed(table, column).internal_column;
}

Bytes NestedTableId(std::uint32_t table, std::uint32_t internal_column, std::size_t row) {
  Bytes id(16);
  std::uint64_t x = (std::uint64_t{table} << 32) ^ (std::uint64_t{internal_column} << 20) ^ row;
  for (std::size_t i = 0; i < id.size(); ++i) {
    x = (x ^ (x >> 31)) * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    id[i] = static_cast<std::uint8_t>(x >> 40);
  }
  return id;
}

const Value* SourceValue(const RColumn& column, const RowValues& row) {
  if (column.source_column < 0 || static_cast<std::size_t>(column.source_column) >= row.size()) return nullptr;
  const Value* value = &row[static_cast<std::size_t>(column.source_column)];
  for (const int a : column.attribute_path) {
    if (value->kind != Value::Kind::kObject || a < 0 || static_cast<std::size_t>(a) >= value->items.size()) {
      return nullptr;
    }
    value = &value->items[static_cast<std::size_t>(a)];
  }
  return value;
}

std::vector<const RowValues*> AllTableRows(const TableDescription& table) {
  std::vector<const RowValues*> out;
  for (const RowValues& row : table.rows) out.push_back(&row);
  for (const PartitionDescription& p : table.partitioning.partitions) {
    for (const RowValues& row : p.rows) out.push_back(&row);
    for (const SubpartitionDescription& s : p.subpartitions) {
      for (const RowValues& row : s.rows) out.push_back(&row);
    }
  }
  return out;
}

ResolvedSchema Resolve(const Schema& schema, const GeneratorRelease& release) {
  return Resolver(schema, release).Run();
}

}  // namespace quillon::testdb
