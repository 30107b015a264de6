// quillon rows DIR OWNER.TABLE [--page N | --all] [--format table|csv|json]
#include <ostream>

#include "rows/table_export.h"
#include "cli/damage_report.h"
#include "cli/open_database.h"
#include "cli/row_commands.h"

namespace quillon::cli {

namespace {

// What the rows written cannot be trusted for (damage_report.h).
void DamageNote(const ExportResult& r, std::ostream& err) {
  const std::string damage = TableDamageText(r, false);
  if (!damage.empty()) err << "note: " << damage << "\n";
}

}  // namespace

void NonFiniteWarning(std::uint64_t count, std::ostream& err) {
  if (count == 0) return;
  err << "warning: " << count
      << " NaN or infinite BINARY_FLOAT/BINARY_DOUBLE value(s) written as null (JSON has no such numbers)\n";
}

int PrintTableRows(COracleRecoveryTools& engine, std::uint32_t table, const RowsRequest& request, Io& io) {
  BlockSource source(engine.datafiles);
  auto writer = MakeRowWriter(request.format, io.out);
  ExportOptions options;
  // Whole LOB and LONG contents go with every row in CSV and JSON; a page or
  // the aligned text shows their placeholders.
  options.large = !request.page && request.format != RowFormat::kTable ? LargeValues::kContent
                                                                       : LargeValues::kPlaceholder;
  if (request.page) options.page = *request.page - 1;
  const ExportResult r = ExportTableRows(engine, source, table, *writer, options);
  if (!r.table_found) throw Failure{"no table record for object " + std::to_string(table)};
  if (!r.page_exists) throw Failure{"the table has no page " + std::to_string(*request.page)};
  DamageNote(r, io.err);
  NonFiniteWarning(r.non_finite_nulls, io.err);
  return r.stopped ? kExitStopped : kExitOk;
}

int RunRows(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--all"}, {"--page", "--format"});
  args.ExpectPositionals(2, 2);
  const std::string& dir = args.Positional(0, "DIR");
  const std::string& name = args.Positional(1, "OWNER.TABLE");
  RowsRequest request;
  const auto format = ParseRowFormat(args.Value("--format").value_or("table"));
  if (!format) throw UsageError{"unknown format " + *args.Value("--format")};
  request.format = *format;
  if (args.Has("--all") && args.Value("--page")) throw UsageError{"--page and --all exclude each other"};
  if (!args.Has("--all")) {
    request.page = args.Number("--page").value_or(1);
    if (*request.page == 0) throw UsageError{"pages are numbered from 1"};
  }
  auto db = OpenDatabase(dir, io);
  const std::uint32_t table = FindTable(db->engine.catalogue, name);
  return PrintTableRows(db->engine, table, request, io);
}

}  // namespace quillon::cli
