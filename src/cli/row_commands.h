// The cores of the commands that write table rows (quillon rows, quillon
// export), on an engine whose dictionary has been read.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "rows/row_writer.h"
#include "cli/cli.h"
#include "reader/engine.h"

namespace quillon::cli {

struct RowsRequest {
  std::optional<std::uint64_t> page;  // from 1; every row when absent
  RowFormat format = RowFormat::kTable;
};

// Writes the rows of a table to io.out; a note on damage to io.err.
int PrintTableRows(COracleRecoveryTools& engine, std::uint32_t table, const RowsRequest& request, Io& io);

struct ExportRequest {
  std::string folder;
  RowFormat format = RowFormat::kCsv;
  std::vector<std::uint32_t> tables;
  bool skip_damaged = false;  // leave suspect rows out (counted in the summary)
  bool json = false;          // the summary as one JSON object
};

// Writes every table to a file of its own in the folder (OWNER.TABLE and the
// format's extension) and prints a summary: the totals, then the damage of
// each damaged table (damage_report.h), or one JSON object. progress: the sink that draws the
// progress bar, or nullptr.
int ExportTables(COracleRecoveryTools& engine, NotificationSink* progress, const ExportRequest& request, Io& io);

// The warning for NaN and infinite floats a JSON writer wrote as null
// (nothing when there were none).
void NonFiniteWarning(std::uint64_t count, std::ostream& err);

// A name made safe for a file name: characters other than letters, digits,
// '.', '_', '-', '$' and '#' become '_'.
std::string FileNameOf(const std::string& table_name);

}  // namespace quillon::cli
