#include "repair/mview_ddl.h"

#include "reader/catalogue_view_security.h"
#include "reader/packed_codes.h"
#include "repair/quoting.h"

namespace quillon::repair {

namespace {

// MLOG$.FLAG
constexpr std::uint64_t kLogRowid = 0x0001;
constexpr std::uint64_t kLogPrimaryKey = 0x0002;
constexpr std::uint64_t kLogFilterColumns = 0x0004;
constexpr std::uint64_t kLogNewValues = 0x0010;
constexpr std::uint64_t kLogObjectId = 0x0200;
constexpr std::uint64_t kLogSequence = 0x0400;
// SNAP$.FLAG
constexpr std::uint64_t kSnapUpdatable = 0x0002;
constexpr std::uint64_t kSnapRowid = 0x0010;
constexpr std::uint64_t kSnapPrimaryKey = 0x0020;

}  // namespace

std::string MaterializedViewLogClauses(std::uint64_t flag, std::string_view quoted_filter_columns) {
  std::string with;
  const auto add = [&with](std::string_view item) {
    with += with.empty() ? " WITH " : ", ";
    with += item;
  };
  if (flag & kLogObjectId) add("OBJECT ID");
  if (flag & kLogPrimaryKey) add("PRIMARY KEY");
  if (flag & kLogRowid) add("ROWID");
  if (flag & kLogSequence) add("SEQUENCE");
  if ((flag & kLogFilterColumns) && !quoted_filter_columns.empty()) {
    // The column list may follow the last keyword or stand alone.
    with += with.empty() ? " WITH (" : " (";
    with += quoted_filter_columns;
    with += ")";
  }
  if (with.empty()) return {};
  with += (flag & kLogNewValues) ? " INCLUDING NEW VALUES" : " EXCLUDING NEW VALUES";
  return with;
}

void CreateMaterializedViewLogs(const Catalogue& c, StatementSink& sink, std::string_view only_owner,
                                std::string_view only_master) {
  for (const MaterializedViewLogRecord& log : c.materialized_view_logs) {
    if (!only_master.empty() && (log.master_owner != only_owner || log.master != only_master)) continue;
    if (log.master_owner == "SYS") continue;
    const StatementNote note{std::string(kPhaseMaterializedViewLog),
                             "Materialized view log on " + log.master_owner + "." + log.master,
                             IsBuiltinUser(log.master_owner)};
    if (!log.log_table.empty() && c.FindObject(ObjectKind::kTable, log.master_owner, log.log_table) != nullptr) {
      // The rows of the source's log describe changes the new database
      // never saw; the log makes its table anew.
      SqlBuilder drop;
      drop.Raw("DROP TABLE ").Ident(log.master_owner).Raw(".").Ident(log.log_table);
      Emit(sink, drop, note);
    }
    SqlBuilder columns;
    bool first = true;
    for (const MaterializedViewLogColumnRecord& col :
         c.materialized_view_log_columns.All<0>(OwnerAndName{log.master_owner, log.master})) {
      columns.Raw(first ? "" : ", ").Ident(col.column_name);
      first = false;
    }
    if (!columns.ok()) {
      sink.Skipped(note, columns.reason());
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE MATERIALIZED VIEW LOG ON ").Ident(log.master_owner).Raw(".").Ident(log.master);
    sql.Raw(MaterializedViewLogClauses(log.flag, columns.Build({}).text));
    Emit(sink, sql, note);
  }
}

void CreateMaterializedViews(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  for (const SnapshotRecord& snap : c.snapshots) {
    const ObjectRecord* object = c.FindObject(ObjectKind::kMaterializedView, snap.owner, snap.name);
    if (only && (object == nullptr || object->object_number != *only)) continue;
    if (snap.owner == "SYS") continue;
    const StatementNote note{std::string(kPhaseMaterializedView), "Materialized view " + snap.owner + "." + snap.name,
                             IsBuiltinUser(snap.owner)};
    const MaterializedViewRecord* summary =
        object == nullptr ? nullptr : c.materialized_views.First<0>(object->object_number);
    const std::string& query = !snap.query.empty() ? snap.query : summary != nullptr ? summary->query : snap.query;
    if (query.find_first_not_of(" \t\r\n") == std::string::npos) {
      sink.Skipped(note, "its query is not in the dictionary");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE MATERIALIZED VIEW ").Ident(snap.owner).Raw(".").Ident(snap.name);
    const std::string& table = snap.table_name.empty() ? snap.name : snap.table_name;
    const bool prebuilt = table == snap.name && c.FindObject(ObjectKind::kTable, snap.owner, table) != nullptr;
    sql.Raw(prebuilt ? "\n  ON PREBUILT TABLE" : "\n  BUILD IMMEDIATE");
    const std::uint32_t mode = summary != nullptr ? summary->refresh_mode : PackedCode(1);
    if (summary != nullptr && mode == PackedCode(0)) {
      // NEVER REFRESH stands alone: no ON DEMAND, no dates.
      sql.Raw("\n  NEVER REFRESH");
    } else {
      sql.Raw(mode == PackedCode(2) ? "\n  REFRESH FAST" : mode == PackedCode(3) ? "\n  REFRESH COMPLETE"
                                                                                : "\n  REFRESH FORCE");
      sql.Raw(" ON DEMAND");
      if (snap.flag & kSnapRowid) {
        sql.Raw(" WITH ROWID");
      } else if (snap.flag & kSnapPrimaryKey) {
        sql.Raw(" WITH PRIMARY KEY");
      }
    }
    if (snap.flag & kSnapUpdatable) sql.Raw("\n  FOR UPDATE");
    std::string_view text = query;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '\t')) {
      text.remove_suffix(1);
    }
    sql.Raw("\n  AS ").Raw(text);
    Emit(sink, sql, note);
  }
}

}  // namespace quillon::repair
