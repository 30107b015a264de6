// Materialized view logs and materialized views.
//
// The flag bits read (their meaning as the dictionary's own comments give
// it):
//   MLOG$.FLAG   0x0001 ROWID, 0x0002 PRIMARY KEY, 0x0004 filter columns
//                (MLOG_REFCOL$), 0x0010 INCLUDING NEW VALUES, 0x0200 OBJECT
//                ID, 0x0400 SEQUENCE; bits from 0x2000 up (and 0x0040,
//                0x0008 imported) do not change the statement.
//   SNAP$.FLAG   0x0002 updatable (FOR UPDATE), 0x0010 ROWID, 0x0020
//                PRIMARY KEY.
//   SUM$.REFRESHMODE  0 never (NEVER REFRESH), 1 any (FORCE), 2 incremental
//                (FAST), 3 full (COMPLETE).
// Whether a view refreshes on commit, whether query rewrite is enabled
// (SUM$.PFLAGS and MFLAGS hold it in bits not documented to us) and its
// start and next dates are not among these: the views are written ON
// DEMAND, without dates and with query rewrite disabled, Oracle's defaults
// (a refresh job and rewrite can be set again with ALTER MATERIALIZED VIEW).
//
// The repair re-creates a view's container table and its rows with the
// tables, so the view is written ON PREBUILT TABLE when its container table
// is in the catalogue; the log table of a log (MLOG$_...) was re-created
// with the tables too and is dropped first, since CREATE MATERIALIZED VIEW
// LOG makes its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "reader/catalogue.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseMaterializedViewLog = "Repairing Materialized view log ";
inline constexpr std::string_view kPhaseMaterializedView = "Repairing Materialized view";

// The WITH and NEW VALUES clauses of a log by its MLOG$ flag and filter
// columns (already quoted), with a leading blank; empty when the flag names
// nothing.
std::string MaterializedViewLogClauses(std::uint64_t flag, std::string_view quoted_filter_columns);

// With only_owner and only_master given, just the log on that table.
void CreateMaterializedViewLogs(const Catalogue& c, StatementSink& sink, std::string_view only_owner = {},
                                std::string_view only_master = {});
// With only_object given (the materialized view's OBJ#), just that view.
void CreateMaterializedViews(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});

}  // namespace quillon::repair
