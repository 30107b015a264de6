#include "reader/catalogue_json.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

#include "reader/catalogue_views.h"
#include "reader/engine.h"
#include "reader/json_writer.h"
#include "reader/value_number.h"

namespace quillon {

namespace {

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
  JsonBuilder(const Catalogue& c, const CatalogueJsonHeader& h, bool pretty) : c_(c), v_(c), h_(h), j_(pretty) {}

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
    auto list = v_.Tablespaces({});
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return std::tie(a.name, a.number) < std::tie(b.name, b.number);
    });
    j_.BeginArray();
    for (const TablespaceDefinition& t : list) {
      j_.BeginObject();
      j_.Member("block_size", static_cast<unsigned>(t.block_size));
      j_.Member("name", t.name);
      j_.Member("number", static_cast<unsigned>(t.number));
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteUsers() {
    auto list = v_.Users();
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return std::tie(a.name, a.number) < std::tie(b.name, b.number);
    });
    j_.BeginArray();
    for (const UserDefinition& u : list) {
      j_.BeginObject();
      j_.Member("account_status", static_cast<long long>(u.account_status));
      j_.Member("default_tablespace", u.default_tablespace);
      j_.Member("external_name", u.external_name);
      j_.Member("identification", u.identification);
      j_.Member("name", u.name);
      j_.Member("number", static_cast<unsigned>(u.number));
      j_.Member("temporary_tablespace", u.temporary_tablespace);
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteRoles() {
    auto list = v_.Roles();
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return std::tie(a.name, a.number) < std::tie(b.name, b.number);
    });
    j_.BeginArray();
    for (const RoleDefinition& r : list) {
      j_.BeginObject();
      j_.Member("identification", r.identification);
      j_.Member("name", r.name);
      j_.Member("number", static_cast<unsigned>(r.number));
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteSystemGrants() {
    auto rows = v_.SystemGrants();
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
      return std::tie(a.grantee, a.privilege, a.role, a.admin_option) <
             std::tie(b.grantee, b.privilege, b.role, b.admin_option);
    });
    j_.BeginArray();
    for (const SystemGrantDefinition& r : rows) {
      j_.BeginObject();
      j_.Member("admin_option", r.admin_option);
      j_.Member("grantee", r.grantee);
      j_.Member("privilege", r.privilege);
      j_.Member("role", r.role);
      j_.EndObject();
    }
    j_.EndArray();
  }

  void WriteObjectGrants() {
    auto rows = v_.ObjectGrants();
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
      return std::tie(a.grantee, a.owner, a.object, a.privilege, a.column, a.grant_option) <
             std::tie(b.grantee, b.owner, b.object, b.privilege, b.column, b.grant_option);
    });
    j_.BeginArray();
    for (const ObjectGrantDefinition& r : rows) {
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
    const TableDefinition t = v_.Table(o);
    j.BeginObject();
    j.Key("cluster");
    if (t.cluster) {
      j.BeginObject();
      j.Member("name", t.cluster->cluster.name);
      j.Member("owner", t.cluster->cluster.owner);
      j.Member("position", static_cast<unsigned>(t.cluster->position));
      j.EndObject();
    } else {
      j.Null();
    }
    j.Key("columns");
    Columns(j, t.columns);
    j.Key("constraints");
    Constraints(j, t.constraints);
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    Partitioning(j, t);
    j.Member("property", static_cast<unsigned long long>(t.property));
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
    if (t.data_object_number && t.relative_file_number != 0) {
      j.BeginObject();
      j.Member("header_block", static_cast<unsigned long long>(t.header_block));
      j.Member("relative_file", static_cast<unsigned>(t.relative_file_number));
      j.EndObject();
    } else {
      j.Null();
    }
    j.Member("tablespace", t.data_object_number ? t.tablespace : std::string());
    j.EndObject();
  }

  static void Columns(JsonWriter& j, const std::vector<ColumnDefinition>& columns) {
    j.BeginArray();
    for (const ColumnDefinition& col : columns) {
      j.BeginObject();
      j.Member("column_number", static_cast<unsigned>(col.column_number));
      j.Member("default", NullIfEmpty(col.default_text));
      j.Member("internal_column", static_cast<unsigned>(col.internal_column));
      j.Member("name", col.name);
      j.Member("nullable", col.nullable);
      j.Member("segment_column", static_cast<unsigned>(col.segment_column));
      j.Member("type", col.sql_type);
      j.EndObject();
    }
    j.EndArray();
  }

  static void Constraints(JsonWriter& j, const std::vector<ConstraintDefinition>& constraints) {
    j.BeginArray();
    for (const ConstraintDefinition& cd : constraints) {
      j.BeginObject();
      j.Key("columns").BeginArray();
      for (const ConstraintColumn& cc : cd.columns) j.String(cc.name);
      j.EndArray();
      j.Member("condition", NullIfEmpty(cd.condition));
      j.Member("defer", static_cast<unsigned>(cd.defer));
      j.Key("delete_rule");
      switch (cd.delete_rule) {
        case DeleteRule::kCascade: j.String("CASCADE"); break;
        case DeleteRule::kSetNull: j.String("SET NULL"); break;
        case DeleteRule::kNoAction: j.Null(); break;
      }
      j.Member("enabled", cd.enabled);
      j.Member("name", cd.name);
      j.Key("references");
      if (cd.references) {
        j.BeginObject();
        j.Member("constraint", cd.references->constraint_name);
        j.Member("owner", cd.references->table.owner);
        j.Member("table", cd.references->table.name);
        j.EndObject();
      } else {
        j.Null();
      }
      j.Member("type", ConstraintTypeLetter(cd.type));
      j.Member("type_number", static_cast<unsigned>(cd.type));
      j.EndObject();
    }
    j.EndArray();
  }

  static void PartitionKeys(JsonWriter& j, const std::vector<PartitionKeyColumn>& keys) {
    j.BeginArray();
    for (const PartitionKeyColumn& key : keys) j.String(key.name);
    j.EndArray();
  }

  static void WritePartition(JsonWriter& j, const PartitionDefinition& p, bool with_subpartitions) {
    j.BeginObject();
    j.Member("high_value", p.high_value);
    j.Member("name", p.name);
    j.Member("position", static_cast<unsigned>(p.position));
    if (with_subpartitions) {
      j.Key("subpartitions").BeginArray();
      for (const PartitionDefinition& s : p.subpartitions) WritePartition(j, s, false);
      j.EndArray();
    }
    j.Member("tablespace", p.tablespace);
    j.EndObject();
  }

  static void Partitioning(JsonWriter& j, const TableDefinition& t) {
    j.Key("partitioning");
    if (!t.partitioning) {
      j.Null();
    } else {
      const PartitioningDefinition& po = *t.partitioning;
      j.BeginObject();
      j.Key("columns");
      PartitionKeys(j, po.key_columns);
      j.Member("interval", po.interval);
      j.Key("subpartition_columns");
      PartitionKeys(j, po.subpartition_key_columns);
      j.Key("subpartitioning");
      if (po.subpartitioning) {
        j.String(PartitioningMethodName(*po.subpartitioning));
      } else {
        j.Null();
      }
      j.Member("type", PartitioningMethodName(po.method));
      j.EndObject();
    }
    j.Key("partitions").BeginArray();
    for (const PartitionDefinition& p : t.partitions) WritePartition(j, p, true);
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
    const IndexDefinition ix = v_.Index(o);
    j.BeginObject();
    j.Key("columns").BeginArray();
    for (const IndexColumnDefinition& col : ix.columns) j.String(col.name);
    j.EndArray();
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("table", ix.table ? std::optional<std::string>(ix.table->name) : std::nullopt);
    j.Member("table_owner", ix.table ? std::optional<std::string>(ix.table->owner) : std::nullopt);
    j.Member("tablespace", ix.tablespace);
    j.Member("type", static_cast<unsigned>(ix.type));
    j.Member("unique", ix.unique);
    j.EndObject();
  }

  void Cluster(JsonWriter& j, const ObjectRecord& o) {
    const ClusterDefinition cl = v_.Cluster(o);
    j.BeginObject();
    j.Member("hash_keys", static_cast<long long>(cl.hash_keys));
    j.Key("key_columns").BeginArray();
    for (const ColumnDefinition& col : cl.key_columns) j.String(col.name);
    j.EndArray();
    j.Member("object_number", static_cast<unsigned>(o.object_number));
    j.Member("tablespace", cl.tablespace);
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
  const CatalogueViews v_;
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
  h.datafiles = DatafileDefinitions(engine.datafiles);
  return h;
}

std::string CatalogueToJson(const Catalogue& catalogue, const CatalogueJsonHeader& header, bool pretty) {
  return JsonBuilder(catalogue, header, pretty).Write();
}

}  // namespace quillon
