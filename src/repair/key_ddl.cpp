#include "repair/key_ddl.h"

#include "repair/quoting.h"
#include "repair/table_ddl.h"

namespace quillon::repair {

namespace {

std::string ObjectLabel(std::string_view kind, const ObjectName& o) {
  return std::string(kind) + " " + PrintableName(o.owner) + "." + PrintableName(o.name);
}

const TableDefinition* FindTable(std::span<const TableDefinition> tables, std::uint32_t object_number) {
  for (const TableDefinition& t : tables) {
    if (t.object.object_number == object_number) return &t;
  }
  return nullptr;
}

// IND$ PROPERTY 0x400: a bitmap join index, whose join a plain CREATE INDEX
// on one table cannot state.
constexpr std::uint64_t kIndexPropertyJoin = 0x400;

}  // namespace

std::string ConstraintStateSuffix(const ConstraintDefinition& k) {
  std::string s;
  // Decided by the DEFER bits: 0x01 deferrable, 0x02 initially deferred,
  // 0x20 rely. (0x04 says validated and 0x08 that Oracle chose the name.)
  if (k.deferrable) s += " DEFERRABLE";
  if (k.deferrable && k.deferred) s += " INITIALLY DEFERRED";
  if (k.rely) s += " RELY";
  if (!k.enabled) {
    // DISABLE VALIDATE makes the table refuse every change; it is kept
    // only for constraints the source had that way.
    s += k.validated ? " DISABLE VALIDATE" : " DISABLE";
  } else if (!k.validated) {
    s += " ENABLE NOVALIDATE";
  }
  return s;
}

void CreateClusters(std::span<const ClusterDefinition> clusters, StatementSink& sink) {
  for (const ClusterDefinition& cl : clusters) {
    const StatementNote note{std::string(kPhaseCluster), ObjectLabel("Cluster", cl.object)};
    if (cl.key_columns.empty()) {
      sink.Skipped(note, "its key columns were not found");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE CLUSTER ").Ident(cl.object.owner).Raw(".").Ident(cl.object.name).Raw("\r\n\t(");
    std::string why;
    bool ok = true;
    for (std::size_t i = 0; i < cl.key_columns.size() && ok; ++i) {
      if (i > 0) sql.Raw(",");
      sql.Raw("\r\n\t\t").Ident(cl.key_columns[i].name);
      // A cluster column has a type and nothing else: CREATE CLUSTER takes
      // no DEFAULT (the tables' columns carry theirs).
      ok = AppendColumnType(sql, cl.key_columns[i], &why);
    }
    if (!ok) {
      sink.Skipped(note, why);
      continue;
    }
    sql.Raw("\r\n\t)");
    if (!cl.tablespace.empty()) sql.Raw("\r\n TABLESPACE ").Ident(cl.tablespace);
    if (cl.hash_keys > 0) sql.Raw(" HASHKEYS ").Raw(std::to_string(cl.hash_keys));
    Emit(sink, sql, note);
  }
}

void AddKeyAndCheckConstraints(std::span<const TableDefinition> tables, StatementSink& sink) {
  for (const TableDefinition& t : tables) {
    // Oracle's own XML repository table: the target has it already.
    if (t.object.name == "XDB$STATS") continue;
    const bool inline_keys = KeysAreInline(t);
    for (const ConstraintDefinition& k : t.constraints) {
      const bool key = k.kind == ConstraintKind::kPrimaryKey || k.kind == ConstraintKind::kUnique;
      // NOT NULL constraints come with CREATE TABLE; the keys of partitioned
      // and index-organized tables too.
      if (k.kind != ConstraintKind::kCheck && !key) continue;
      if (key && inline_keys) continue;
      const StatementNote note{std::string(kPhaseConstraint),
                               "Constraint " + PrintableName(t.object.owner) + "." + PrintableName(k.name)};
      if (key && k.columns.empty()) {
        sink.Skipped(note, "its key columns were not found");
        continue;
      }
      if (!key && k.condition.empty()) {
        sink.Skipped(note, "its condition was not found");
        continue;
      }
      SqlBuilder sql;
      sql.Raw("ALTER TABLE ").Ident(t.object.owner).Raw(".").Ident(t.object.name).Raw("\r\n    ADD CONSTRAINT ");
      sql.Ident(k.name);
      if (!key) {
        sql.Raw(" CHECK (").Raw(k.condition);
      } else {
        sql.Raw(k.kind == ConstraintKind::kPrimaryKey ? " PRIMARY KEY (" : " UNIQUE (");
        for (std::size_t i = 0; i < k.columns.size(); ++i) {
          if (i > 0) sql.Raw(",");
          sql.Raw(" ");
          AppendKeyColumn(sql, t, k.columns[i].internal_column, k.columns[i].name);
        }
      }
      sql.Raw(")").Raw(ConstraintStateSuffix(k));
      Emit(sink, sql, note);
    }
  }
}

void AddForeignKeys(std::span<const TableDefinition> tables, StatementSink& sink) {
  for (const TableDefinition& t : tables) {
    const bool by_reference = t.partitioning && t.partitioning->method == PartitioningMethod::kReference;
    bool first_reference = true;
    for (const ConstraintDefinition& k : t.constraints) {
      if (k.kind != ConstraintKind::kForeignKey) continue;
      const StatementNote note{std::string(kPhaseForeignKey),
                               "Constraint " + PrintableName(t.object.owner) + "." + PrintableName(k.name)};
      if (!k.references || k.references->columns.empty() || k.columns.empty()) {
        sink.Skipped(note, "the key it references was not found");
        continue;
      }
      // The foreign key a reference-partitioned table is partitioned by
      // came with its CREATE TABLE.
      if (by_reference && first_reference) {
        first_reference = false;
        continue;
      }
      SqlBuilder sql;
      sql.Raw("ALTER TABLE ").Ident(t.object.owner).Raw(".").Ident(t.object.name).Raw("\r\n    ADD CONSTRAINT ");
      sql.Ident(k.name).Raw(" FOREIGN KEY (");
      for (std::size_t i = 0; i < k.columns.size(); ++i) {
        if (i > 0) sql.Raw(",");
        AppendKeyColumn(sql, t, k.columns[i].internal_column, k.columns[i].name);
      }
      sql.Raw(")\r\n        REFERENCES ")
          .Ident(k.references->table.owner)
          .Raw(".")
          .Ident(k.references->table.name)
          .Raw("(");
      for (std::size_t i = 0; i < k.references->columns.size(); ++i) {
        if (i > 0) sql.Raw(",");
        sql.Ident(k.references->columns[i].name);
      }
      sql.Raw(")");
      if (k.delete_rule == DeleteRule::kCascade) sql.Raw(" ON DELETE CASCADE");
      if (k.delete_rule == DeleteRule::kSetNull) sql.Raw(" ON DELETE SET NULL");
      sql.Raw(ConstraintStateSuffix(k));
      Emit(sink, sql, note);
    }
  }
}

// Only ordinary B-tree, bitmap and cluster indexes are created here
// (IndexDefinition::CreatedOnItsOwn). Passed over:
// - indexes backing primary-key and unique constraints: adding the
//   constraint makes the target build its own;
// - LOB indexes and the top index of an index-organized table: the target
//   makes them with the LOB column and the CREATE TABLE;
// - domain indexes: they need their indextype's software and parameters,
//   which the dictionary rows read here do not carry;
// - bitmap join indexes: their FROM/WHERE join is not in IND$/ICOL$;
// - indexes of user SYS: they belong to the target's own dictionary.
void CreateIndexes(std::span<const IndexDefinition> indexes, std::span<const TableDefinition> tables,
                   StatementSink& sink) {
  for (const IndexDefinition& ix : indexes) {
    if (ix.object.owner == "SYS") continue;
    if (!ix.CreatedOnItsOwn() || (ix.property & kIndexPropertyJoin) != 0) continue;
    const StatementNote note{std::string(kPhaseIndex), ObjectLabel("Index", ix.object)};
    if (!ix.table) {
      sink.Skipped(note, "the object it indexes was not found");
      continue;
    }
    SqlBuilder sql;
    if (ix.on_cluster || ix.kind == IndexKind::kCluster) {
      sql.Raw("CREATE INDEX ").Ident(ix.object.owner).Raw(".").Ident(ix.object.name).Raw("\r\n ON CLUSTER ");
      sql.Ident(ix.table->owner).Raw(".").Ident(ix.table->name).Raw(" ");
    } else {
      if (ix.columns.empty()) {
        sink.Skipped(note, "its columns were not found");
        continue;
      }
      const TableDefinition* t = FindTable(tables, ix.table->object_number);
      sql.Raw("CREATE ").Raw(ix.bitmap ? "BITMAP " : (ix.unique ? "UNIQUE " : "")).Raw("INDEX ");
      sql.Ident(ix.object.owner).Raw(".").Ident(ix.object.name).Raw("\r\n ON ");
      sql.Ident(ix.table->owner).Raw(".").Ident(ix.table->name).Raw("\r\n\t (");
      bool lost = false;
      for (std::size_t i = 0; i < ix.columns.size(); ++i) {
        const IndexColumnDefinition& col = ix.columns[i];
        if (i > 0) sql.Raw(",");
        if (col.expression) {
          sql.Raw(*col.expression);
        } else if (col.name.rfind("SYS_NC", 0) == 0) {
          lost = true;  // an expression column without its expression
        } else if (t != nullptr) {
          AppendKeyColumn(sql, *t, col.internal_column, col.name);
        } else {
          sql.Ident(col.name);
        }
        if (col.descending) sql.Raw(" DESC");
      }
      if (lost) {
        sink.Skipped(note, "the expression of one of its columns was not found");
        continue;
      }
      sql.Raw("\r\n\t )");
    }
    if (!ix.tablespace.empty()) sql.Raw("\r\n TABLESPACE ").Ident(ix.tablespace);
    if (ix.reverse && !ix.bitmap && !ix.on_cluster) sql.Raw(" REVERSE");
    Emit(sink, sql, note);
  }
}

}  // namespace quillon::repair
