#include "reader/catalogue_json.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

#include "reader/engine.h"
#include "reader/json_writer.h"
#include "reader/value_number.h"

namespace quillon {

namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> NullIfEmpty(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

const char* PartitioningTypeName(std::uint32_t type) {
  switch (type) {
    case 1: return "RANGE";
    case 2: return "HASH";
    case 3: return "SYSTEM";
    case 4: return "LIST";
    case 5: return "REFERENCE";
    default: return "UNKNOWN";
  }
}

// One object of a kind in a schema, before the duplicate-name rule.
struct SchemaEntry {
  std::string name;
  std::uint32_t object_number = 0;
  std::function<void(JsonWriter&)> write;
};

// owner -> kind key -> entries
using SchemaMap = std::map<std::string, std::map<std::string, std::vector<SchemaEntry>>>;

class JsonBuilder {
 public:
  JsonBuilder(const Catalogue& c, const CatalogueJsonHeader& h, bool pretty) : c_(c), h_(h), j_(pretty) {}

  std::string Write() {
    j_.BeginObject();
    // Members in byte-wise name order.
    j_.Key("counters");
    WriteCounters();
    j_.Key("database");
    WriteDatabase();
    j_.Key("datafiles");
    WriteDatafiles();
    j_.Member("format", "quillon-catalogue");
    j_.Member("format_version", 1);
    j_.Key("object_grants");
    WriteObjectGrants();
    j_.Key("roles");
    WriteRoles();
    j_.Key("schemas");
    WriteSchemas();
    j_.Key("system_grants");
    WriteSystemGrants();
    j_.Key("tablespaces");
    WriteTablespaces();
    j_.Key("users");
    WriteUsers();
    j_.EndObject();
    return j_.Take();
  }

 private:
  // ---- lookups ------------------------------------------------------------
  const ObjectRecord* Obj(std::uint32_t n) const { return c_.Object(n); }

  std::string ColumnName(std::uint32_t table, std::uint32_t internal_column) const {
    return c_.ColumnName(table, internal_column);
  }

  std::string ColumnNameByNumber(std::uint32_t table, std::uint32_t column_number) const {
    for (const ColumnInfo& col : c_.columns.All<0>(table)) {
      if (col.column_number == column_number && column_number != 0) return col.name;
    }
    return NumberedName(column_number);
  }

  std::string ConstraintName(std::uint32_t constraint_number) const { return c_.ConstraintName(constraint_number); }

  // ---- top-level arrays -----------------------------------------------------
  void WriteCounters() {
    j_.BeginObject();
    std::vector<std::pair<std::string_view, std::uint64_t>> items;
    for (const CounterLabel& l : CounterLabels()) items.emplace_back(l.key, c_.count(l.counter));
    std::sort(items.begin(), items.end());
    for (const auto& [key, value] : items) j_.Member(key, static_cast<unsigned long long>(value));
    j_.EndObject();
  }

  void WriteDatabase() {
    j_.BeginObject();
    j_.Member("block_size", static_cast<unsigned>(h_.block_size));
    j_.Member("character_set", c_.properties.character_set);
    j_.Member("layout_variant", static_cast<unsigned>(h_.layout_variant));
    j_.Member("name", h_.database_name);
    j_.Member("national_character_set", c_.properties.national_character_set);
    j_.Member("release", h_.release_text);
    j_.Member("release_code", h_.release_code);
    j_.Member("time_zone", c_.properties.time_zone);
    j_.EndObject();
  }

  void WriteDatafiles() {
    auto files = h_.datafiles;
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
      return std::tie(a.relative_file, a.file_name) < std::tie(b.relative_file, b.file_name);
    });
    j_.BeginArray();
    for (const auto& f : files) {
      j_.BeginObject();
      j_.Member("block_size", static_cast<unsigned>(f.block_size));
      j_.Member("file_name", f.file_name);
      j_.Member("relative_file", static_cast<unsigned>(f.relative_file));
      j_.Member("tablespace", f.tablespace);
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteTablespaces() {
    std::vector<const TablespaceRecord*> list;
    for (const auto& t : c_.tablespaces) list.push_back(&t);
    std::sort(list.begin(), list.end(),
              [](auto* a, auto* b) { return std::tie(a->name, a->number) < std::tie(b->name, b->number); });
    j_.BeginArray();
    for (const auto* t : list) {
      j_.BeginObject();
      j_.Member("block_size", static_cast<unsigned>(t->block_size));
      j_.Member("name", t->name);
      j_.Member("number", static_cast<unsigned>(t->number));
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteUsers() {
    std::vector<const UserRecord*> list;
    for (const auto& u : c_.users) list.push_back(&u);
    std::sort(list.begin(), list.end(),
              [](auto* a, auto* b) { return std::tie(a->name, a->number) < std::tie(b->name, b->number); });
    j_.BeginArray();
    for (const auto* u : list) {
      j_.BeginObject();
      j_.Member("account_status", static_cast<long long>(u->account_status_value));
      j_.Member("default_tablespace", u->default_tablespace);
      j_.Member("external_name", u->external_name);
      j_.Member("identification", u->identification);
      j_.Member("name", u->name);
      j_.Member("number", static_cast<unsigned>(u->number));
      j_.Member("temporary_tablespace", u->temporary_tablespace);
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteRoles() {
    std::vector<const RoleRecord*> list;
    for (const auto& r : c_.roles) list.push_back(&r);
    std::sort(list.begin(), list.end(),
              [](auto* a, auto* b) { return std::tie(a->name, a->number) < std::tie(b->name, b->number); });
    j_.BeginArray();
    for (const auto* r : list) {
      j_.BeginObject();
      j_.Member("identification", r->identification);
      j_.Member("name", r->name);
      j_.Member("number", static_cast<unsigned>(r->number));
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteSystemGrants() {
    struct Row {
      std::string grantee, privilege;
      bool role = false, admin = false;
    };
    std::vector<Row> rows;
    for (const auto& g : c_.system_grants) {
      Row row;
      row.grantee = c_.OwnerName(g.grantee_number);
      if (g.privilege >= 0) {
        row.role = true;
        const RoleRecord* r = c_.roles.First<0>(static_cast<std::uint32_t>(g.privilege));
        row.privilege = r ? r->name : std::to_string(g.privilege);
      } else {
        const PrivilegeNameRecord* p = c_.system_privilege_names.First<0>(g.privilege);
        row.privilege = p ? p->name : std::to_string(g.privilege);
      }
      row.admin = g.option != 0;
      rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
      return std::tie(a.grantee, a.privilege, a.role, a.admin) < std::tie(b.grantee, b.privilege, b.role, b.admin);
    });
    j_.BeginArray();
    for (const Row& r : rows) {
      j_.BeginObject();
      j_.Member("admin_option", r.admin);
      j_.Member("grantee", r.grantee);
      j_.Member("privilege", r.privilege);
      j_.Member("role", r.role);
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteObjectGrants() {
    struct Row {
      std::string grantee, owner, object, privilege;
      std::optional<std::string> column;
      bool grant_option = false;
    };
    std::vector<Row> rows;
    for (const auto& g : c_.object_grants) {
      Row row;
      row.grantee = c_.OwnerName(g.grantee_number);
      if (const ObjectRecord* o = Obj(g.object_number)) {
        row.owner = o->owner;
        row.object = o->name;
      } else {
        row.object = NumberedName(g.object_number);
      }
      const PrivilegeNameRecord* p = c_.table_privilege_names.First<0>(g.privilege);
      row.privilege = p ? p->name : std::to_string(g.privilege);
      if (g.column_number) {
        row.column = ColumnNameByNumber(g.object_number, static_cast<std::uint32_t>(*g.column_number));
      }
      row.grant_option = (g.option & 1) != 0;
      rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
      return std::tie(a.grantee, a.owner, a.object, a.privilege, a.column, a.grant_option) <
             std::tie(b.grantee, b.owner, b.object, b.privilege, b.column, b.grant_option);
    });
    j_.BeginArray();
    for (const Row& r : rows) {
      j_.BeginObject();
      j_.Member("column", r.column);
      j_.Member("grant_option", r.grant_option);
      j_.Member("grantee", r.grantee);
      j_.Member("object", r.object);
      j_.Member("owner", r.owner);
      j_.Member("privilege", r.privilege);
      j_.EndObject();
    }
    j_.EndArray();
  }

  // ---- schemas --------------------------------------------------------------
  void Add(SchemaMap& m, const std::string& owner, const char* kind, std::string name, std::uint32_t number,
           std::function<void(JsonWriter&)> write) {
    m[owner][kind].push_back(SchemaEntry{std::move(name), number, std::move(write)});
  }

  void WriteSchemas() {
    SchemaMap m;
    CollectTables(m);
    CollectObjects(m, ObjectKind::kView, "views", [this](JsonWriter& j, const ObjectRecord& o) { View(j, o); });
    CollectObjects(m, ObjectKind::kIndex, "indexes", [this](JsonWriter& j, const ObjectRecord& o) { Index(j, o); });
    CollectObjects(m, ObjectKind::kCluster, "clusters", [this](JsonWriter& j, const ObjectRecord& o) { Cluster(j, o); });
    CollectObjects(m, ObjectKind::kSynonym, "synonyms", [this](JsonWriter& j, const ObjectRecord& o) { Synonym(j, o); });
    CollectObjects(m, ObjectKind::kSequence, "sequences", [this](JsonWriter& j, const ObjectRecord& o) { Sequence(j, o); });
    CollectObjects(m, ObjectKind::kTrigger, "triggers", [this](JsonWriter& j, const ObjectRecord& o) { Trigger(j, o); });
    const auto code = [this](JsonWriter& j, const ObjectRecord& o) { Code(j, o); };
    CollectObjects(m, ObjectKind::kProcedure, "procedures", code);
    CollectObjects(m, ObjectKind::kFunction, "functions", code);
    CollectObjects(m, ObjectKind::kPackage, "packages", code);
    CollectObjects(m, ObjectKind::kPackageBody, "package_bodies", code);
    CollectObjects(m, ObjectKind::kType, "types", code);
    CollectObjects(m, ObjectKind::kTypeBody, "type_bodies", code);
    CollectObjects(m, ObjectKind::kMaterializedView, "materialized_views",
                   [this](JsonWriter& j, const ObjectRecord& o) { MaterializedView(j, o); });
    CollectLogs(m);
    CollectLinks(m);
    CollectXmlSchemas(m);

    j_.BeginObject();
    for (auto& [owner, kinds] : m) {
      j_.Key(owner).BeginObject();
      for (auto& [kind, entries] : kinds) {
        std::sort(entries.begin(), entries.end(), [](const SchemaEntry& a, const SchemaEntry& b) {
          return std::tie(a.name, a.object_number) < std::tie(b.name, b.object_number);
        });
        std::map<std::string, const SchemaEntry*> keyed;
        for (std::size_t i = 0; i < entries.size(); ++i) {
          const bool duplicate = i > 0 && entries[i].name == entries[i - 1].name;
          std::string key = entries[i].name;
          if (duplicate) key += NumberedName(entries[i].object_number);
          keyed[std::move(key)] = &entries[i];
        }
        j_.Key(kind).BeginObject();
        for (const auto& [key, entry] : keyed) {
          j_.Key(key);
          entry->write(j_);
        }
        j_.EndObject();
      }
      j_.EndObject();
    }
    j_.EndObject();
  }

  template <typename Fn>
  void CollectObjects(SchemaMap& m, ObjectKind kind, const char* key, Fn fn) {
    for (const ObjectRecord& o : c_.ObjectsOfKind(kind)) {
      const ObjectRecord* op = &o;
      Add(m, o.owner, key, o.name, o.object_number, [fn, op](JsonWriter& j) { fn(j, *op); });
    }
  }

  void CollectTables(SchemaMap& m) {
    CollectObjects(m, ObjectKind::kTable, "tables", [this](JsonWriter& j, const ObjectRecord& o) { Table(j, o); });
  }

  void Table(JsonWriter& j, const ObjectRecord& o) {
    const TableRecord* t = c_.tables.First<0>(o.object_number);
    j.BeginObject();
    j.Key("cluster");
    const ObjectRecord* cluster = nullptr;
    if (t && t->cluster_position && t->base_object) cluster = Obj(*t->base_object);
    if (cluster) {
      j.BeginObject();
      j.Member("name", cluster->name);
      j.Member("owner", cluster->owner);
      j.Member("position", static_cast<unsigned>(*t->cluster_position));
      j.EndObject();
    } else {
      j.Null();
    }
    j.Key("columns");
    Columns(j, o.object_number);
    j.Key("constraints");
    Constraints(j, o.object_number);
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    Partitioning(j, o.object_number);
    j.Member("property", static_cast<unsigned long long>(t ? t->property : 0));
    if (const auto rows = h_.table_rows.find(o.object_number); rows != h_.table_rows.end()) {
      j.Key("rows").BeginArray();
      for (const CatalogueJsonRow& row : rows->second) {
        auto sorted = row;
        std::sort(sorted.begin(), sorted.end());
        j.BeginObject();
        for (const auto& [column, value] : sorted) j.Member(column, value);
        j.EndObject();
      }
      j.EndArray();
    }
    j.Key("segment");
    if (t && t->data_object_number && t->relative_file_number != 0) {
      j.BeginObject();
      j.Member("header_block", static_cast<unsigned long long>(t->header_block));
      j.Member("relative_file", static_cast<unsigned>(t->relative_file_number));
      j.EndObject();
    } else {
      j.Null();
    }
    j.Member("tablespace", t && t->data_object_number ? t->tablespace : std::string());
    j.EndObject();
  }

  void Columns(JsonWriter& j, std::uint32_t table) {
    std::vector<const ColumnInfo*> list;
    for (const ColumnInfo& col : c_.columns.All<0>(table)) list.push_back(&col);
    std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) {
      return std::tie(a->internal_column, a->name) < std::tie(b->internal_column, b->name);
    });
    j.BeginArray();
    for (const ColumnInfo* col : list) {
      j.BeginObject();
      j.Member("column_number", static_cast<unsigned>(col->column_number));
      j.Member("default", NullIfEmpty(col->default_text));
      j.Member("internal_column", static_cast<unsigned>(col->internal_column));
      j.Member("name", col->name);
      j.Member("nullable", col->nullable);
      j.Member("segment_column", static_cast<unsigned>(col->segment_column));
      j.Member("type", col->sql_type);
      j.EndObject();
    }
    j.EndArray();
  }

  void Constraints(JsonWriter& j, std::uint32_t table) {
    std::vector<std::pair<std::string, const ConstraintRecord*>> list;
    for (const ConstraintRecord& cd : c_.constraints.All<0>(table)) {
      list.emplace_back(ConstraintName(cd.constraint_number), &cd);
    }
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return std::tie(a.first, a.second->constraint_number) < std::tie(b.first, b.second->constraint_number);
    });
    j.BeginArray();
    for (const auto& [name, cd] : list) {
      std::vector<const ConstraintColumnRecord*> cols;
      for (const auto& cc : c_.constraint_columns.All<0>(cd->constraint_number)) {
        if (cc.table_object_number == table) cols.push_back(&cc);
      }
      std::stable_sort(cols.begin(), cols.end(), [](auto* a, auto* b) {
        return std::tie(a->position, a->internal_column) < std::tie(b->position, b->internal_column);
      });
      j.BeginObject();
      j.Key("columns").BeginArray();
      for (const auto* cc : cols) j.String(ColumnName(table, cc->internal_column));
      j.EndArray();
      j.Member("condition", NullIfEmpty(cd->condition));
      j.Member("defer", static_cast<unsigned>(cd->defer));
      j.Key("delete_rule");
      if (cd->delete_rule == 1) {
        j.String("CASCADE");
      } else if (cd->delete_rule == 2) {
        j.String("SET NULL");
      } else {
        j.Null();
      }
      j.Member("enabled", cd->enabled != 0);
      j.Member("name", name);
      j.Key("references");
      const ObjectRecord* ref = cd->type == constraint_type::kForeignKey ? Obj(cd->referenced_object) : nullptr;
      if (ref) {
        j.BeginObject();
        j.Member("constraint", ConstraintName(cd->referenced_constraint));
        j.Member("owner", ref->owner);
        j.Member("table", ref->name);
        j.EndObject();
      } else {
        j.Null();
      }
      j.Member("type", ConstraintTypeLetter(cd->type));
      j.Member("type_number", static_cast<unsigned>(cd->type));
      j.EndObject();
    }
    j.EndArray();
  }

  void PartitionKeys(JsonWriter& j, std::uint32_t object, bool subpartition) {
    std::vector<const PartitionColumnRecord*> cols;
    for (const auto& pc : c_.partition_columns.All<0>(object)) {
      if (pc.subpartition_key == subpartition) cols.push_back(&pc);
    }
    std::stable_sort(cols.begin(), cols.end(), [](auto* a, auto* b) { return a->position < b->position; });
    j.BeginArray();
    for (const auto* pc : cols) j.String(ColumnName(object, pc->internal_column));
    j.EndArray();
  }

  struct PartitionRow {
    std::string name, tablespace;
    std::optional<std::string> high_value;
    std::uint32_t position = 0, object_number = 0;
  };

  static void WritePartitionRow(JsonWriter& j, const PartitionRow& p, const std::vector<PartitionRow>* subs) {
    j.BeginObject();
    j.Member("high_value", p.high_value);
    j.Member("name", p.name);
    j.Member("position", static_cast<unsigned>(p.position));
    if (subs) {
      j.Key("subpartitions").BeginArray();
      for (const auto& s : *subs) WritePartitionRow(j, s, nullptr);
      j.EndArray();
    }
    j.Member("tablespace", p.tablespace);
    j.EndObject();
  }

  void Partitioning(JsonWriter& j, std::uint32_t table) {
    const PartitionedObjectRecord* po = c_.partitioned_objects.First<0>(table);
    j.Key("partitioning");
    if (!po) {
      j.Null();
    } else {
      j.BeginObject();
      j.Key("columns");
      PartitionKeys(j, table, false);
      j.Member("interval", NullIfEmpty(po->interval));
      j.Key("subpartition_columns");
      PartitionKeys(j, table, true);
      j.Key("subpartitioning");
      if (po->subpartitioning_type != 0) {
        j.String(PartitioningTypeName(po->subpartitioning_type));
      } else {
        j.Null();
      }
      j.Member("type", PartitioningTypeName(po->partitioning_type));
      j.EndObject();
    }
    std::vector<std::pair<PartitionRow, std::vector<PartitionRow>>> rows;
    for (const e6struct& p : c_.table_partitions.All<0>(table)) {
      rows.push_back({PartitionRow{p.name, p.tablespace,
                                   p.high_value.empty() ? std::nullopt : std::optional<std::string>(p.high_value),
                                   p.partition_number, p.object_number},
                      {}});
    }
    for (const F9struct& p : c_.composite_partitions.All<0>(table)) {
      std::vector<PartitionRow> subs;
      for (const F0struct& s : c_.subpartitions.All<0>(p.object_number)) {
        subs.push_back(PartitionRow{s.name, s.tablespace,
                                    s.high_value.empty() ? std::nullopt : std::optional<std::string>(s.high_value),
                                    s.subpartition_number, s.object_number});
      }
      std::stable_sort(subs.begin(), subs.end(), [](const auto& a, const auto& b) {
        return std::tie(a.position, a.object_number) < std::tie(b.position, b.object_number);
      });
      rows.push_back({PartitionRow{p.name, p.default_tablespace,
                                   p.high_value.empty() ? std::nullopt : std::optional<std::string>(p.high_value),
                                   p.partition_number, p.object_number},
                      std::move(subs)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
      return std::tie(a.first.position, a.first.object_number) < std::tie(b.first.position, b.first.object_number);
    });
    j.Key("partitions").BeginArray();
    for (const auto& [p, subs] : rows) WritePartitionRow(j, p, &subs);
    j.EndArray();
  }

  void View(JsonWriter& j, const ObjectRecord& o) {
    const ViewTextRecord* v = c_.view_texts.First<0>(o.object_number);
    const TypedViewRecord* tv = c_.typed_views.First<0>(o.object_number);
    j.BeginObject();
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("status", static_cast<unsigned>(o.status));
    j.Key("text");
    if (v) {
      j.String(v->text);
    } else {
      j.Null();
    }
    j.Key("type");
    if (tv) {
      j.BeginObject();
      j.Member("name", tv->type_name);
      j.Member("oid", tv->oid_text);
      j.Member("owner", tv->type_owner);
      j.EndObject();
    } else {
      j.Null();
    }
    j.EndObject();
  }

  void Index(JsonWriter& j, const ObjectRecord& o) {
    const IndexRecord* ix = c_.indexes.First<0>(o.object_number);
    j.BeginObject();
    std::vector<const IndexColumnRecord*> cols;
    for (const auto& ic : c_.index_columns.All<0>(o.object_number)) cols.push_back(&ic);
    std::stable_sort(cols.begin(), cols.end(), [](auto* a, auto* b) { return a->position < b->position; });
    j.Key("columns").BeginArray();
    for (const auto* ic : cols) j.String(ColumnName(ic->table_object_number, ic->internal_column));
    j.EndArray();
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    const ObjectRecord* table = ix ? Obj(ix->table_object_number) : nullptr;
    j.Member("table", table ? std::optional<std::string>(table->name) : std::nullopt);
    j.Member("table_owner", table ? std::optional<std::string>(table->owner) : std::nullopt);
    j.Member("tablespace", ix ? ix->tablespace : std::string());
    j.Member("type", static_cast<unsigned>(ix ? ix->type : 0));
    j.Member("unique", ix && (ix->property & 1) != 0);
    j.EndObject();
  }

  void Cluster(JsonWriter& j, const ObjectRecord& o) {
    const ClusterRecord* cl = c_.clusters.First<0>(o.object_number);
    std::vector<const ColumnInfo*> keys;
    for (const ColumnInfo& col : c_.columns.All<0>(o.object_number)) keys.push_back(&col);
    std::stable_sort(keys.begin(), keys.end(), [](auto* a, auto* b) { return a->column_number < b->column_number; });
    j.BeginObject();
    j.Member("hash_keys", static_cast<long long>(cl ? cl->hash_keys : 0));
    j.Key("key_columns").BeginArray();
    for (const auto* col : keys) j.String(col->name);
    j.EndArray();
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("tablespace", cl ? cl->tablespace : std::string());
    j.EndObject();
  }

  void Synonym(JsonWriter& j, const ObjectRecord& o) {
    const SynonymRecord* s = c_.synonyms.First<0>(o.object_number);
    j.BeginObject();
    j.Member("link", s ? s->link : std::string());
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("target_name", s ? s->target_name : std::string());
    j.Member("target_owner", s ? s->target_owner : std::string());
    j.EndObject();
  }

  static std::optional<std::string> SequenceBound(const std::string& text, std::string_view null_text) {
    if (text == null_text) return std::nullopt;
    return PlainIntegerText(text);
  }

  void Sequence(JsonWriter& j, const ObjectRecord& o) {
    const SequenceRecord* s = c_.sequences.First<0>(o.object_number);
    j.BeginObject();
    if (s) {
      j.Member("cache", PlainIntegerText(s->cache));
      j.Member("cycle", s->cycles);
      j.Member("high_water", PlainIntegerText(s->high_water));
      j.Member("increment", PlainIntegerText(s->increment));
      j.Member("max_value", SequenceBound(s->max_value, kNullMaxValueText));
      j.Member("min_value", SequenceBound(s->min_value, kNullMinValueText));
    }
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    if (s) j.Member("order", s->ordered);
    j.EndObject();
  }

  void Trigger(JsonWriter& j, const ObjectRecord& o) {
    const TriggerRecord* t = c_.triggers.First<0>(o.object_number);
    const ObjectRecord* base = t ? Obj(t->base_object) : nullptr;
    j.BeginObject();
    j.Member("body", t ? std::optional<std::string>(t->body) : std::nullopt);
    j.Member("description", t ? NullIfEmpty(t->definition) : std::nullopt);
    j.Member("enabled", t && t->enabled == 1);
    j.Key("events").BeginArray();
    if (t && t->fires_on_insert) j.String("INSERT");
    if (t && t->fires_on_update) j.String("UPDATE");
    if (t && t->fires_on_delete) j.String("DELETE");
    j.EndArray();
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("table", base ? std::optional<std::string>(base->name) : std::nullopt);
    j.Member("table_owner", base ? std::optional<std::string>(base->owner) : std::nullopt);
    j.Member("type", static_cast<unsigned>(t ? t->type : 0));
    j.Member("when", t ? NullIfEmpty(t->when_clause) : std::nullopt);
    j.EndObject();
  }

  void Code(JsonWriter& j, const ObjectRecord& o) {
    j.BeginObject();
    if (o.kind == ObjectKind::kType) {
      // The attributes of the type's latest version.
      std::uint32_t latest = 0;
      for (const AttributeType& a : c_.attributes.All<0>(o.oid)) latest = std::max(latest, a.version);
      std::vector<const AttributeType*> attrs;
      for (const AttributeType& a : c_.attributes.All<0>(o.oid)) {
        if (a.version == latest) attrs.push_back(&a);
      }
      std::stable_sort(attrs.begin(), attrs.end(), [](auto* a, auto* b) { return a->position < b->position; });
      j.Key("attributes").BeginArray();
      for (const auto* a : attrs) {
        j.BeginObject();
        j.Member("name", a->attribute_name);
        j.Member("position", static_cast<unsigned>(a->position));
        j.Member("type", a->attribute_type_name);
        j.EndObject();
      }
      j.EndArray();
    }
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    std::vector<const SourceLineRecord*> lines;
    for (const SourceLineRecord& l : c_.source_lines.All<0>(o.object_number)) lines.push_back(&l);
    std::stable_sort(lines.begin(), lines.end(), [](auto* a, auto* b) { return a->line < b->line; });
    j.Key("source").BeginArray();
    for (const auto* l : lines) j.String(l->text);
    j.EndArray();
    j.Member("status", static_cast<unsigned>(o.status));
    j.EndObject();
  }

  void MaterializedView(JsonWriter& j, const ObjectRecord& o) {
    const MaterializedViewRecord* mv = c_.materialized_views.First<0>(o.object_number);
    j.BeginObject();
    j.Member("container", mv ? mv->container_name : std::string());
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("query", mv ? NullIfEmpty(mv->query) : std::nullopt);
    j.EndObject();
  }

  void CollectLogs(SchemaMap& m) {
    for (const auto& log : c_.materialized_view_logs) {
      const MaterializedViewLogRecord* lp = &log;
      Add(m, log.master_owner, "materialized_view_logs", log.master, 0, [this, lp](JsonWriter& j) {
        j.BeginObject();
        j.Key("filter_columns").BeginArray();
        for (const auto& col : c_.materialized_view_log_columns.All<0>(OwnerAndName{lp->master_owner, lp->master})) {
          j.String(col.column_name);
        }
        j.EndArray();
        j.Member("flag", static_cast<unsigned long long>(lp->flag));
        j.Member("log_table", lp->log_table);
        j.EndObject();
      });
    }
  }

  void CollectLinks(SchemaMap& m) {
    for (const auto& link : c_.database_links) {
      const DatabaseLinkRecord* lp = &link;
      Add(m, c_.OwnerName(link.owner_number), "database_links", link.name, 0, [lp](JsonWriter& j) {
        j.BeginObject();
        j.Member("host", lp->host);
        j.Member("user_name", lp->user_name);
        j.EndObject();
      });
    }
  }

  void CollectXmlSchemas(SchemaMap& m) {
    for (const auto& schema : c_.xml_schemas) {
      const XmlSchemaRecord* sp = &schema;
      Add(m, schema.owner, "xml_schemas", schema.url, 0, [this, sp](JsonWriter& j) {
        std::vector<const XmlElementRecord*> elements;
        for (const auto& e : c_.xml_elements.All<0>(sp->object_id)) {
          if (!e.is_attribute) elements.push_back(&e);
        }
        std::stable_sort(elements.begin(), elements.end(), [](auto* a, auto* b) {
          return std::tie(a->name, a->type_name) < std::tie(b->name, b->type_name);
        });
        j.BeginObject();
        j.Key("elements").BeginArray();
        for (const auto* e : elements) {
          j.BeginObject();
          j.Member("global", e->global);
          j.Member("name", e->name);
          j.Member("sql_type", e->sql_type);
          j.Member("type", e->type_name);
          j.EndObject();
        }
        j.EndArray();
        j.Member("target_namespace", sp->target_namespace);
        j.EndObject();
      });
    }
  }

  const Catalogue& c_;
  const CatalogueJsonHeader& h_;
  JsonWriter j_;
};

}  // namespace

std::string_view ConstraintTypeLetter(std::uint32_t type) {
  switch (type) {
    case constraint_type::kCheck:
    case constraint_type::kNotNull:
      return "C";
    case constraint_type::kPrimaryKey: return "P";
    case constraint_type::kUnique: return "U";
    case constraint_type::kForeignKey: return "R";
    case constraint_type::kViewCheck: return "V";
    case constraint_type::kViewReadOnly: return "O";
    default: return "?";
  }
}

CatalogueJsonHeader JsonHeaderOf(const COracleRecoveryTools& engine) {
  CatalogueJsonHeader h;
  h.database_name = engine.identification.database_name;
  h.release_text = engine.release_text();
  h.release_code = engine.release_code();
  h.block_size = engine.identification.block_size;
  h.layout_variant = engine.layout_variant;
  for (const DatafileEntry& f : engine.datafiles) {
    h.datafiles.push_back(CatalogueJsonDatafile{FileNameOf(f.full_path.empty() ? f.file_name : f.full_path),
                                                f.tablespace_name, f.relative_file_number, f.block_size});
  }
  return h;
}

std::string CatalogueToJson(const Catalogue& catalogue, const CatalogueJsonHeader& header, bool pretty) {
  return JsonBuilder(catalogue, header, pretty).Write();
}

}  // namespace quillon
