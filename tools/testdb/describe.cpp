#include "testdb/describe.h"

#include <algorithm>

#include "reader/catalogue_columns.h"
#include "reader/packed_codes.h"
#include "reader/release.h"
#include "reader/value_number.h"
#include "testdb/dictionary_row.h"
#include "testdb/privileges.h"
#include "testdb/row_encoder.h"
#include "testdb/segment_content.h"
#include "testdb/values.h"

namespace quillon::testdb {

namespace {

constexpr std::uint8_t kAlternativeLayout = 19;

ByteView View(const Bytes& b) { return ByteView(b.data(), b.size()); }

// A dictionary number as the catalogue keeps it (packed codes and texts are
// made from the bytes the dictionary writer stores).
std::uint32_t Packed(std::int64_t v) {
  const Bytes b = NumberBytes(v);
  return PackNumberBytes(View(b));
}

std::string NumberText(std::optional<std::int64_t> v) {
  if (!v) return std::string(kNullNumberText);
  const Bytes b = NumberBytes(*v);
  return DictionaryNumberText(false, View(b));
}

std::string PrecisionText(std::optional<std::int64_t> v) {
  if (!v) return std::string(kNullNumberText);
  const Bytes b = NumberBytes(*v);
  return DictionaryPrecisionText(false, View(b));
}

std::string DecimalText(const std::string& decimal) {
  const auto b = EncodeNumber(decimal);
  return b ? NumberToText(View(*b)) : std::string();
}

class Describer {
 public:
  Describer(const GeneratedDatabase& g, Catalogue& c) : g_(g), r_(*g.schema), c_(c) {}

  void Run() {
    Properties();
    Tablespaces();
    Users();
    Grants();
    Objects();
    Tables();
    Indexes();
    Constraints();
    Partitions();
    Code();
    Types();
    Distributed();
    XmlSchemas();
  }

 private:
  std::string TablespaceName(std::uint32_t number) const {
    const RTablespace* t = r_.Tablespace(number);
    return t ? t->name : std::string();
  }

  static std::string Identification(const RUser& u) {
    return std::string(IdentificationText(u.password.empty(), u.password.size()));
  }

  void Properties() {
    const Schema& s = *r_.schema;
    c_.properties.found = true;
    c_.properties.character_set = s.character_set;
    c_.properties.national_character_set = s.national_character_set;
    c_.properties.time_zone = s.time_zone;
    c_.SetCounter(Counter::kDatafiles, g_.model.datafiles.size());
  }

  void Tablespaces() {
    for (const RTablespace& t : r_.tablespaces) {
      TablespaceRecord rec;
      rec.name = t.name;
      rec.number = t.number;
      rec.block_size = g_.model.block_size;
      rec.block_size_code = Packed(g_.model.block_size);
      c_.tablespaces.Append(std::move(rec));
      c_.Raise(Counter::kTablespaces);
    }
  }

  void Users() {
    for (const RUser& u : r_.users) {
      if (u.role) {
        RoleRecord rec;
        rec.name = u.name;
        rec.number = u.number;
        rec.identification = Identification(u);
        c_.roles.Append(std::move(rec));
        c_.Raise(Counter::kRoles);
        continue;
      }
      UserRecord rec;
      rec.name = u.name;
      rec.number = u.number;
      rec.default_tablespace = TablespaceName(u.default_ts);
      rec.temporary_tablespace = TablespaceName(u.temporary_ts);
      rec.default_tablespace_number = u.default_ts;
      rec.temporary_tablespace_number = u.temporary_ts;
      rec.account_status_value = u.account_status;
      rec.account_status = static_cast<std::uint16_t>(Packed(u.account_status));
      rec.identification = Identification(u);
      rec.external_name = u.external_name;
      c_.users.Append(std::move(rec));
      c_.Raise(Counter::kUsers);
    }
  }

  void Grants() {
    for (const PrivilegeName& p : SystemPrivileges()) {
      c_.system_privilege_names.Append(PrivilegeNameRecord{p.number, Packed(p.number), std::string(p.name),
                                                           static_cast<std::uint16_t>(p.property)});
    }
    for (const PrivilegeName& p : TablePrivileges()) {
      c_.table_privilege_names.Append(PrivilegeNameRecord{p.number, Packed(p.number), std::string(p.name), 0});
    }
    for (const RSystemGrant& g : r_.system_grants) {
      SystemGrantRecord rec;
      rec.grantee_number = g.grantee;
      rec.privilege = g.privilege;
      rec.privilege_code = Packed(g.privilege);
      rec.sequence = g.sequence;
      rec.option = g.admin ? 1 : 0;
      c_.system_grants.Append(rec);
    }
    for (const RObjectGrant& g : r_.object_grants) {
      ObjectGrantRecord rec;
      rec.object_number = g.object;
      rec.grantor_number = g.grantor;
      rec.grantee_number = g.grantee;
      rec.privilege = g.privilege;
      rec.sequence = g.sequence;
      rec.option = g.grant_option ? 1 : 0;
      if (g.column_number) rec.column_number = *g.column_number;
      c_.object_grants.Append(rec);
    }
  }

  void Objects() {
    for (const RObject& o : r_.objects) {
      ObjectRecord rec;
      rec.object_number = o.number;
      rec.data_object_number = o.data_object;
      rec.owner_number = o.owner;
      rec.owner = c_.OwnerName(o.owner);
      rec.name = o.name;
      rec.namespace_code = Packed(o.name_space);
      rec.subname = o.subname;
      rec.type_code = Packed(o.type);
      rec.type = o.type;
      rec.status_code = static_cast<std::uint16_t>(Packed(o.status));
      rec.status = o.status;
      rec.flags_code = Packed(0);
      if (!o.oid.empty()) rec.oid = OidText(View(o.oid));
      rec.kind = KindOf(rec.namespace_code, rec.type_code);
      c_.AddObject(std::move(rec));
    }
  }

  ColumnInfo Column(std::uint32_t object, const RColumn& col) const {
    ColumnInfo c;
    c.object_number = object;
    c.column_number = col.column_number;
    c.segment_column = col.segment_column;
    c.name = col.name;
    c.type_code = Packed(col.type_number);
    c.length_text = NumberText(col.length);
    c.precision_text = PrecisionText(col.precision ? std::optional<std::int64_t>(*col.precision) : std::nullopt);
    c.scale_text = PrecisionText(col.scale ? std::optional<std::int64_t>(*col.scale) : std::nullopt);
    c.null_bytes = static_cast<std::uint16_t>(Packed(col.nullable ? 0 : 1));
    c.property = col.property;
    if (!col.default_text.empty()) c.default_text = DefaultExpressionText(col.default_text);
    c.charset_id = col.charset_id == 0 ? 0 : Packed(col.charset_id);
    c.charset_form = static_cast<std::uint16_t>(col.charset_form);
    c.internal_column = col.internal_column;
    c.nullable = col.nullable;
    c.data_length = col.length;
    c.char_length = col.spare3.value_or(0);
    c.sql_type = SqlTypeText(c.type_code, c.charset_id, c.length_text, c.precision_text, c.scale_text);
    return c;
  }

  void Tables() {
    for (const RTable& t : r_.tables) {
      TableRecord rec;
      rec.object_number = t.object;
      rec.data_object_number = t.data_object;
      rec.tablespace_number = t.ts;
      rec.tablespace = TablespaceName(t.ts);
      const std::uint32_t header = t.segment < 0 ? 0 : g_.headers[static_cast<std::size_t>(t.segment)];
      rec.relative_file_number = format::DbaFile(header);
      rec.header_block = format::DbaBlock(header);
      rec.base_object = t.base_object;
      rec.cluster_position = t.cluster_position;
      rec.column_count = t.visible_columns;
      rec.cluster_column_count = t.cluster_columns;
      rec.pct_free = t.pct_free;
      rec.pct_used = t.pct_used;
      rec.property = t.property;
      rec.flags = t.flags;
      rec.spare1 = 736;
      c_.tables.Append(std::move(rec));
      for (const RColumn& col : t.columns) c_.columns.Append(Column(t.object, col));
    }
    for (const RCluster& cl : r_.clusters) {
      ClusterRecord rec;
      rec.object_number = cl.object;
      rec.data_object_number = cl.data_object;
      rec.tablespace = TablespaceName(cl.ts);
      const std::uint32_t header = g_.headers[static_cast<std::size_t>(cl.segment)];
      rec.relative_file_number = format::DbaFile(header);
      rec.header_block = format::DbaBlock(header);
      rec.key_column_count = static_cast<std::uint32_t>(cl.key_columns.size());
      if (cl.size) rec.size = *cl.size;
      rec.hash_keys_text = NumberText(0);
      rec.hash_keys = 0;
      c_.clusters.Append(std::move(rec));
      for (const RColumn& col : cl.key_columns) c_.columns.Append(Column(cl.object, col));
    }
    for (const RView& v : r_.views) {
      for (const RColumn& col : v.columns) c_.columns.Append(Column(v.object, col));
    }
    for (const RLob& l : r_.lobs) {
      LobRecord rec;
      rec.table_object_number = l.table;
      rec.column_number = l.column_number;
      rec.internal_column = l.internal_column;
      rec.lob_object_number = l.lob_object;
      rec.index_object_number = l.index_object;
      rec.tablespace_number = l.ts;
      rec.tablespace = TablespaceName(l.ts);
      const std::uint32_t header = l.segment < 0 ? 0 : g_.headers[static_cast<std::size_t>(l.segment)];
      rec.relative_file_number = format::DbaFile(header);
      rec.header_block = format::DbaBlock(header);
      rec.chunk = 1;
      rec.flags = 1;
      rec.property = l.property;
      c_.lobs.Append(std::move(rec));
    }
  }

  void Indexes() {
    for (const RIndex& x : r_.indexes) {
      IndexRecord rec;
      rec.table_object_number = x.base_object;
      rec.index_object_number = x.object;
      rec.data_object_number = x.data_object;
      rec.tablespace_number = x.ts;
      rec.tablespace = TablespaceName(x.ts);
      const std::uint32_t header = x.segment < 0 ? 0 : g_.headers[static_cast<std::size_t>(x.segment)];
      rec.relative_file_number = format::DbaFile(header);
      rec.header_block = format::DbaBlock(header);
      rec.method_code = Packed(0);
      rec.column_count = x.column_count;
      rec.index_type = static_cast<std::uint16_t>(Packed(x.type));
      rec.type = x.type;
      rec.including_column = x.including_column.value_or(0);
      rec.overflow_threshold = x.overflow_threshold.value_or(0);
      if (rec.overflow_threshold > 99) rec.overflow_threshold = 50;
      rec.flags = x.flags;
      rec.property = x.property;
      rec.property_code = Packed(static_cast<std::int64_t>(x.property));
      c_.indexes.Append(std::move(rec));
      std::uint32_t position = 1;
      for (const RIndexColumn& ic : x.columns) {
        c_.index_columns.Append(IndexColumnRecord{x.base_object, x.object, ic.column_number, position++,
                                                  ic.segment_column, ic.internal_column, ic.flags});
      }
    }
  }

  void Constraints() {
    for (const RConstraint& k : r_.constraints) {
      c_.constraint_names.Append(ConstraintNameRecord{k.owner, k.name, k.number});
      ConstraintRecord rec;
      rec.table_object_number = k.table;
      rec.constraint_number = k.number;
      rec.type_code = Packed(k.type);
      rec.type = k.type;
      rec.referenced_object = k.referenced_object.value_or(0);
      rec.referenced_constraint = k.referenced_constraint.value_or(0);
      rec.delete_rule = k.delete_rule.value_or(0);
      rec.enabled = k.enabled ? 1 : 0;
      rec.defer = k.defer;
      rec.condition = k.condition;
      rec.column_count = static_cast<std::uint32_t>(k.columns.size());
      c_.constraints.Append(std::move(rec));
      const bool keyed = k.type == 2 || k.type == 3 || k.type == 4;
      std::uint32_t position = 1;
      for (const auto& [column, internal] : k.columns) {
        c_.constraint_columns.Append(
            ConstraintColumnRecord{k.table, k.number, column, keyed ? position++ : 0, internal});
      }
    }
  }

  std::string PartitionName(std::uint32_t object) const {
    const RObject* o = r_.Object(object);
    return o ? o->name : std::string();
  }

  void Partitions() {
    for (const RPartitionedObject& p : r_.partitioned_objects) {
      PartitionedObjectRecord rec;
      rec.object_number = p.object;
      rec.partitioning_type = p.type;
      rec.partition_count = p.count;
      rec.key_column_count = static_cast<std::uint32_t>(p.columns.size());
      rec.flags = p.flags;
      rec.default_tablespace_number = p.default_ts;
      rec.default_tablespace = TablespaceName(p.default_ts);
      rec.subpartitioning_type = p.subtype;
      rec.subpartition_key_column_count = static_cast<std::uint32_t>(p.subcolumns.size());
      rec.default_subpartition_count = p.default_subpartitions;
      rec.interval = p.interval;
      c_.partitioned_objects.Append(std::move(rec));
      const auto keys = [&](const auto& columns, const auto& types, bool sub) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
          c_.partition_columns.Append(PartitionColumnRecord{p.object, columns[i].second, columns[i].first,
                                                            static_cast<std::uint32_t>(i + 1), Packed(types[i]), sub});
        }
      };
      keys(p.columns, p.column_types, false);
      keys(p.subcolumns, p.subcolumn_types, true);
    }
    const auto segment_of = [&](const RPartition& p, auto& rec) {
      const std::uint32_t header = p.segment < 0 ? 0 : g_.headers[static_cast<std::size_t>(p.segment)];
      rec.relative_file_number = format::DbaFile(header);
      rec.header_block = format::DbaBlock(header);
    };
    const auto simple = [&](const RPartition& p) {
      e6struct rec;
      rec.object_number = p.object;
      rec.name = p.name;
      rec.base_object = p.base;
      segment_of(p, rec);
      rec.tablespace = TablespaceName(p.ts);
      rec.high_value = p.high_value;
      rec.base_name = PartitionName(p.base);
      rec.partition_number = p.number;
      rec.data_object_number = p.object;
      rec.flags = static_cast<std::uint32_t>(p.flags);
      rec.tablespace_number = p.ts;
      return rec;
    };
    for (const RPartition& p : r_.table_partitions) c_.table_partitions.Append(simple(p));
    for (const RPartition& p : r_.index_partitions) c_.index_partitions.Append(simple(p));
    for (const RPartition& p : r_.composite_partitions) {
      F9struct rec;
      rec.object_number = p.object;
      rec.name = p.name;
      rec.base_object = p.base;
      rec.flags = p.flags;
      rec.subpartition_count = p.subpartition_count;
      rec.default_tablespace = TablespaceName(p.ts);
      rec.high_value = p.high_value;
      rec.base_name = PartitionName(p.base);
      rec.partition_number = p.number;
      c_.composite_partitions.Append(std::move(rec));
    }
    for (const RPartition& p : r_.subpartitions) {
      F0struct rec;
      rec.object_number = p.object;
      rec.name = p.name;
      rec.parent_partition = p.base;
      segment_of(p, rec);
      rec.tablespace = TablespaceName(p.ts);
      rec.high_value = p.high_value;
      rec.subpartition_number = p.number;
      rec.data_object_number = p.object;
      rec.flags = static_cast<std::uint32_t>(p.flags);
      rec.tablespace_number = p.ts;
      c_.subpartitions.Append(std::move(rec));
    }
    for (const RLobFragment& f : r_.lob_fragments) {
      LobFragmentRecord rec;
      rec.fragment_object_number = f.fragment;
      rec.parent_object_number = f.parent;
      rec.table_fragment_object = f.table_fragment;
      rec.fragment_number = f.number;
      rec.fragment_type = std::string(1, f.kind);
      rec.tablespace_number = f.ts;
      rec.tablespace = TablespaceName(f.ts);
      const std::uint32_t header = f.segment < 0 ? 0 : g_.headers[static_cast<std::size_t>(f.segment)];
      rec.relative_file_number = format::DbaFile(header);
      rec.header_block = format::DbaBlock(header);
      rec.chunk = 1;
      c_.lob_fragments.Append(std::move(rec));
    }
    for (const RLobCompositePartition& l : r_.lob_composite_partitions) {
      c_.lob_composite_partitions.Append(
          LobCompositePartitionRecord{l.partition, l.lob, l.table_partition, l.number, l.default_ts});
    }
  }

  void Code() {
    for (const RView& v : r_.views) {
      c_.view_texts.Append(ViewTextRecord{v.object, v.text, v.column_count});
      if (!v.type_name.empty()) c_.typed_views.Append(TypedViewRecord{v.object, v.type_owner, v.type_name, v.oid_text});
    }
    for (const RSynonym& s : r_.synonyms) {
      c_.synonyms.Append(SynonymRecord{s.object, s.link, s.target_owner, s.target_name});
    }
    for (const RSequence& s : r_.sequences) {
      const SequenceDescription& wanted = *s.wanted;
      SequenceRecord rec;
      rec.object_number = s.object;
      rec.increment = DecimalText(wanted.increment);
      rec.min_value = wanted.min_value ? DecimalText(*wanted.min_value) : std::string(kNullMinValueText);
      rec.max_value = wanted.max_value ? DecimalText(*wanted.max_value) : std::string(kNullMaxValueText);
      rec.cycle = static_cast<std::uint16_t>(Packed(wanted.cycle ? 1 : 0));
      rec.order = static_cast<std::uint16_t>(Packed(wanted.order ? 1 : 0));
      rec.cache = DecimalText(wanted.cache);
      rec.high_water = DecimalText(wanted.high_water);
      rec.cycles = wanted.cycle;
      rec.ordered = wanted.order;
      c_.sequences.Append(std::move(rec));
    }
    for (const RTrigger& t : r_.triggers) {
      const TriggerDescription& wanted = *t.wanted;
      TriggerRecord rec;
      rec.object_number = t.object;
      rec.type_code = Packed(t.type);
      rec.update_code = Packed(t.on_update ? 1 : 0);
      rec.insert_code = Packed(t.on_insert ? 1 : 0);
      rec.delete_code = Packed(t.on_delete ? 1 : 0);
      rec.base_object = t.base_object;
      rec.old_name = wanted.old_name;
      rec.new_name = wanted.new_name;
      rec.parent_name = wanted.parent_name;
      rec.definition = wanted.description;
      rec.when_clause = wanted.when_clause;
      rec.enabled = wanted.enabled ? 1 : 0;
      rec.property = static_cast<std::uint32_t>(t.property);
      rec.body = wanted.body;  // ACTION# as stored: the DDL generators rewrite its line ends
      rec.type = t.type;
      rec.fires_on_insert = t.on_insert;
      rec.fires_on_update = t.on_update;
      rec.fires_on_delete = t.on_delete;
      c_.triggers.Append(std::move(rec));
    }
    for (const RSourceLine& l : r_.source_lines) {
      c_.source_lines.Append(SourceLineRecord{l.object, NumberText(l.line), l.line, l.text});
    }
  }

  void Types() {
    for (const RType& t : r_.types) {
      if (t.builtin) continue;
      const TypeDescription& wanted = *t.wanted;
      const std::string oid = OidText(View(t.toid));
      TypeRecord rec;
      rec.type_oid = oid;
      rec.version = 1;
      rec.version_name = "$8.0";
      rec.typecode = t.typecode;
      rec.attribute_count = static_cast<std::uint32_t>(wanted.attributes.size());
      rec.method_count = static_cast<std::uint32_t>(wanted.methods.size());
      c_.types.Append(std::move(rec));
      for (std::size_t i = 0; i < wanted.attributes.size(); ++i) {
        const AttributeDescription& a = wanted.attributes[i];
        AttributeType at;
        at.attribute_name = a.name;
        at.type_owner = t.owner;
        at.position = static_cast<std::uint32_t>(i + 1);
        at.attribute_type_name = TypeNameOf(a.type);
        at.type_name = t.name;
        at.type_oid = oid;
        c_.attributes.Append(std::move(at));
      }
    }
    for (const RColumnType& ct : r_.column_types) {
      c_.column_types.Append(ColumnTypeRecord{ct.table, ct.column_number, ct.internal_column, OidText(View(ct.toid)), 1,
                                              ct.flags});
    }
    for (const RNestedTable& n : r_.nested_tables) {
      const RObject* storage = r_.Object(n.storage_object);
      c_.nested_tables.Append(Nsdata{n.column_name, n.table, n.storage_object, storage ? storage->name : "",
                                     n.column_number, n.internal_column});
    }
    for (const ROpaqueType& o : r_.opaque_types) {
      c_.opaque_types.Append(OpaqueTypeRecord{o.table, o.internal_column, 1, o.flags,
                                              o.schema_oid.empty() ? "" : OidText(View(o.schema_oid)),
                                              o.element_number, o.schema_url});
    }
    for (const RAttributeColumn& a : r_.attribute_columns) {
      c_.attribute_columns.Append(AttributeColumnRecord{a.table, a.internal_column, a.name});
    }
  }

  void Distributed() {
    for (const RLink& l : r_.links) {
      DatabaseLinkRecord rec;
      rec.owner_number = l.owner;
      rec.name = l.wanted->name;
      rec.host = l.wanted->host;
      rec.user_name = l.wanted->user_name;
      c_.database_links.Append(std::move(rec));
      c_.Raise(Counter::kDatabaseLinks);
    }
    for (const RMaterializedView& m : r_.materialized_views) {
      MaterializedViewRecord rec;
      rec.object_number = m.object;
      rec.container_object_number = m.container;
      rec.container_type = 1;
      rec.container_name = m.wanted->name;
      rec.query = m.wanted->query;
      c_.materialized_views.Append(std::move(rec));
      c_.Raise(Counter::kMaterializedViews);
    }
    for (const RMaterializedViewLog& log : r_.materialized_view_logs) {
      MaterializedViewLogRecord rec;
      rec.master = log.wanted->master;
      rec.master_owner = log.wanted->owner;
      rec.log_table = log.log_table;
      rec.flag = log.flag;
      c_.materialized_view_logs.Append(std::move(rec));
      c_.Raise(Counter::kMaterializedViewLogs);
      for (const auto& column : log.wanted->filter_columns) {
        MaterializedViewLogColumnRecord col;
        col.master_owner = log.wanted->owner;
        col.master = log.wanted->master;
        col.column_name = column;
        c_.materialized_view_log_columns.Append(std::move(col));
      }
    }
  }

  void XmlSchemas() {
    for (const RXmlSchema& x : r_.xml_schemas) {
      const XmlSchemaDescription& wanted = *x.wanted;
      const std::string schema_id = OidText(View(x.oid));
      c_.xml_schemas.Append(XmlSchemaRecord{schema_id, wanted.owner, wanted.url, wanted.target_namespace, wanted.version});
      std::uint32_t number = 1;
      const auto element = [&](const XmlElementDescription& e, const Bytes& oid, bool attribute) {
        XmlElementRecord rec;
        rec.object_id = OidText(View(oid));
        rec.schema_id = schema_id;
        rec.name = e.name;
        rec.type_name = e.type;
        rec.sql_name = e.sql_name;
        rec.sql_type = e.sql_type;
        rec.sql_schema = wanted.owner;
        rec.property_number = number++;
        rec.global = e.global;
        if (!attribute) {
          rec.min_occurs = e.min_occurs;
          rec.max_occurs = e.max_occurs;
          if (e.global) rec.default_table = e.sql_name + "_TAB";
        }
        rec.is_attribute = attribute;
        c_.xml_elements.Append(std::move(rec));
      };
      for (std::size_t i = 0; i < wanted.elements.size(); ++i) element(wanted.elements[i], x.element_oids[i], false);
      for (std::size_t i = 0; i < wanted.attributes.size(); ++i) element(wanted.attributes[i], x.attribute_oids[i], true);
      for (std::size_t i = 0; i < wanted.complex_types.size(); ++i) {
        c_.xml_types.Append(XmlTypeRecord{OidText(View(x.complex_oids[i])), schema_id, wanted.complex_types[i].name,
                                          wanted.complex_types[i].sql_type, true});
      }
      for (std::size_t i = 0; i < wanted.simple_types.size(); ++i) {
        c_.xml_types.Append(XmlTypeRecord{OidText(View(x.simple_oids[i])), schema_id, wanted.simple_types[i], "", false});
      }
      for (const Bytes& oid : x.model_oids) {
        c_.xml_models.Append(XmlModelRecord{OidText(View(oid)), schema_id, "sequence", "1", "1"});
      }
    }
  }

  const GeneratedDatabase& g_;
  const ResolvedSchema& r_;
  Catalogue& c_;
};

}  // namespace

void DescribeCatalogue(const GeneratedDatabase& database, Catalogue& catalogue) {
  Describer(database, catalogue).Run();
}

CatalogueJsonHeader DescribeHeader(const GeneratedDatabase& database) {
  CatalogueJsonHeader h;
  const DatabaseModel& m = database.model;
  h.database_name = m.name;
  const auto name = FindReleaseName(m.release);
  const Release release = name ? ReleaseFromHeader(name->format, name->header_value) : Release{};
  h.release_text = release.text;
  h.release_code = release.code;
  h.block_size = m.block_size;
  h.layout_variant = database.schema->release.alternative ? kAlternativeLayout : 0;
  for (const DatafileModel& f : m.datafiles) {
    h.datafiles.push_back(CatalogueJsonDatafile{f.file_name, f.tablespace, f.relative_file, m.block_size});
  }
  return h;
}

std::map<std::uint32_t, std::vector<CatalogueJsonRow>> DescribeRows(const GeneratedDatabase& database) {
  std::map<std::uint32_t, std::vector<CatalogueJsonRow>> out;
  const ResolvedSchema& r = *database.schema;
  const Schema& s = *r.schema;
  const RowEncoder encoder(*FindCharset(s.character_set), *FindCharset(s.national_character_set), &s.types);
  for (const RTable& t : r.tables) {
    // An IOT's overflow part holds no rows of its own: they are the IOT's.
    if (t.dictionary || (t.property & 0x200)) continue;
    auto& rows = out[t.object];
    // The rows the table holds: its own, or its partitions' in partition order.
    std::vector<std::pair<const std::vector<RowValues>*, std::vector<std::size_t>>> sources;
    if (t.rows && !(t.property & 0x20)) sources.push_back({t.rows, StoredRowOrder(r, t, encoder)});
    if (t.wanted && (t.property & 0x20)) {
      const auto all = [](const std::vector<RowValues>& list) {
        std::vector<std::size_t> order(list.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        return order;
      };
      for (const PartitionDescription& p : t.wanted->partitioning.partitions) {
        sources.push_back({&p.rows, all(p.rows)});
        for (const SubpartitionDescription& sp : p.subpartitions) sources.push_back({&sp.rows, all(sp.rows)});
      }
    }
    for (const auto& [source, order] : sources) {
      for (const std::size_t i : order) {
        const RowValues& row = (*source)[i];
        CatalogueJsonRow values;
        for (const RColumn* col : RowEncoder::StoredColumns(t)) {
          const ColumnBytes stored = encoder.EncodeColumn(t, *col, row, i);
          values.emplace_back(col->name, encoder.ValueText(*col, stored, row));
        }
        rows.push_back(std::move(values));
      }
    }
  }
  return out;
}

std::string DescribeJson(const GeneratedDatabase& database, bool with_rows) {
  Catalogue catalogue;
  DescribeCatalogue(database, catalogue);
  CatalogueJsonHeader header = DescribeHeader(database);
  if (with_rows) header.table_rows = DescribeRows(database);
  return CatalogueToJson(catalogue, header);
}

}  // namespace quillon::testdb
