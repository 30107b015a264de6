// Views, synonyms, sequences, triggers, database links, materialized views
// and their logs.
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

// TRIGGER$.PROPERTY bits.
constexpr std::uint64_t kOnView = 0x01, kOnDatabase = 0x08, kOnSchema = 0x10;

std::uint32_t TriggerType(const TriggerDescription& t) {
  if (t.timing == TriggerTiming::kInsteadOf) return 4;
  const bool row = t.level == TriggerLevel::kRow;
  return t.timing == TriggerTiming::kBefore ? (row ? 1 : 0) : (row ? 3 : 2);
}

}  // namespace

void Resolver::Views() {
  for (const ViewDescription& wanted : schema_.views) {
    RView v;
    v.object = NextObject();
    v.text = wanted.text;
    std::uint32_t n = 1;
    for (const auto& c : wanted.columns) {
      RColumn col = ScalarColumn(c.name, c.type);
      col.column_number = col.internal_column = n++;
      col.segment_column = col.column_number;
      col.nullable = c.nullable;
      col.source = ColumnSource::kNone;
      v.columns.push_back(std::move(col));
    }
    v.column_count = static_cast<std::uint32_t>(v.columns.size());
    if (!wanted.type_name.empty()) {
      ResolvedType(wanted.type_owner, wanted.type_name);
      v.type_owner = wanted.type_owner;
      v.type_name = wanted.type_name;
      v.oid_text = wanted.oid_text;
      v.property |= 0x01;
    }
    if (wanted.read_only) v.property |= 0x4000;
    AddObject(v.object, UserNumber(wanted.owner), wanted.name, obj::kNsTable, obj::kView);
    r_.views.push_back(std::move(v));
  }
}

void Resolver::Synonyms() {
  for (const SynonymDescription& wanted : schema_.synonyms) {
    RSynonym s;
    s.object = NextObject();
    s.link = wanted.link;
    s.target_owner = wanted.target_owner;
    s.target_name = wanted.target_name;
    AddObject(s.object, UserNumber(wanted.owner), wanted.name, obj::kNsTable, obj::kSynonym);
    r_.synonyms.push_back(std::move(s));
  }
}

void Resolver::Sequences() {
  for (const SequenceDescription& wanted : schema_.sequences) {
    RSequence s;
    s.object = NextObject();
    s.wanted = &wanted;
    AddObject(s.object, UserNumber(wanted.owner), wanted.name, obj::kNsTable, obj::kSequence);
    r_.sequences.push_back(s);
  }
}

void Resolver::Triggers() {
  for (const TriggerDescription& wanted : schema_.triggers) {
    RTrigger t;
    t.object = NextObject();
    t.wanted = &wanted;
    t.type = TriggerType(wanted);
    t.on_insert = wanted.on_insert;
    t.on_update = wanted.on_update;
    t.on_delete = wanted.on_delete;
    t.system_events = wanted.system_events;
    const std::string table_owner = wanted.table_owner.empty() ? wanted.owner : wanted.table_owner;
    switch (wanted.target) {
      case TriggerTarget::kTable: {
        const int ti = TableIndex(table_owner, wanted.table);
        if (ti < 0) Fail("trigger " + wanted.name + " on unknown table " + wanted.table);
        t.base_object = r_.tables[static_cast<std::size_t>(ti)].object;
        break;
      }
      case TriggerTarget::kView: {
        const std::uint32_t owner = UserNumber(table_owner);
        for (const auto& o : r_.objects) {
          if (o.owner == owner && o.name == wanted.table && o.type == obj::kView) t.base_object = o.number;
        }
        if (t.base_object == 0) Fail("trigger " + wanted.name + " on unknown view " + wanted.table);
        t.property |= kOnView;
        break;
      }
      case TriggerTarget::kSchema:
        t.base_object = UserNumber(table_owner);
        t.property |= kOnSchema;
        break;
      case TriggerTarget::kDatabase:
        t.property |= kOnDatabase;
        break;
    }
    AddObject(t.object, UserNumber(wanted.owner), wanted.name, obj::kNsTrigger, obj::kTrigger);
    r_.triggers.push_back(t);
  }
}

void Resolver::Links() {
  for (const DatabaseLinkDescription& wanted : schema_.links) r_.links.push_back({UserNumber(wanted.owner), &wanted});
}

void Resolver::MaterializedViews() {
  for (const MaterializedViewDescription& wanted : schema_.materialized_views) {
    // The container table holds the rows; the summary object stands for the
    // materialized view itself.
    TableDescription& container = r_.derived_tables.emplace_back();
    container.owner = wanted.owner;
    container.name = wanted.name;
    container.tablespace = wanted.tablespace;
    container.columns = wanted.columns;
    container.rows = wanted.rows;
    ResolveTable(container);
    RMaterializedView m;
    m.container = r_.tables[static_cast<std::size_t>(TableIndex(wanted.owner, wanted.name))].object;
    m.object = NextObject();
    m.wanted = &wanted;
    AddObject(m.object, UserNumber(wanted.owner), wanted.name, obj::kNsMaterializedView, obj::kMaterializedView);
    r_.materialized_views.push_back(m);
  }
}

void Resolver::MaterializedViewLogs() {
  for (const MaterializedViewLogDescription& wanted : schema_.materialized_view_logs) {
    const int ti = TableIndex(wanted.owner, wanted.master);
    if (ti < 0) Fail("materialized view log on unknown table " + wanted.master);
    const RTable& master = r_.tables[static_cast<std::size_t>(ti)];
    RMaterializedViewLog log;
    log.wanted = &wanted;
    log.log_table = "MLOG$_" + wanted.master.substr(0, 20);
    // The log table: the master's key or row address, the filter columns and
    // the change columns.
    TableDescription& table = r_.derived_tables.emplace_back();
    table.owner = wanted.owner;
    table.name = log.log_table;
    table.tablespace = wanted.tablespace;
    if (wanted.primary_key) {
      log.flag |= 0x02;
      for (const RConstraint& c : r_.constraints) {
        if (c.table != master.object || c.type != 2) continue;
        for (const auto& [col, intcol] : c.columns) {
          for (const RColumn& mc : master.columns) {
            if (mc.internal_column == intcol) table.columns.push_back({mc.name, mc.logical});
          }
        }
      }
    }
    if (wanted.rowid) {
      log.flag |= 0x01;
      table.columns.push_back({"M_ROW$$", Varchar2(255)});
    }
    if (!wanted.filter_columns.empty()) log.flag |= 0x04;
    for (const auto& f : wanted.filter_columns) table.columns.push_back({f, ColumnNamed(master, f).logical});
    table.columns.push_back({"SNAPTIME$$", Date()});
    table.columns.push_back({"DMLTYPE$$", Varchar2(1)});
    table.columns.push_back({"OLD_NEW$$", Varchar2(1)});
    table.columns.push_back({"CHANGE_VECTOR$$", Raw(255)});
    ResolveTable(table);
    r_.materialized_view_logs.push_back(std::move(log));
  }
}

}  // namespace quillon::testdb
