// quillon export DIR --out FOLDER [--format csv|json] [--tables OWNER.TABLE,...] [--skip-damaged] [--json]
//
// The summary names what the rows cannot be trusted for: blocks whose
// checksum contradicts them (the rows read from them are suspect; with
// --skip-damaged they are left out and counted), blocks the extents name
// that no datafile holds, blocks that could not be read. One line of totals,
// then one line per damaged table; with --json one object instead.
#include <filesystem>
#include <fstream>
#include <ostream>

#include "rows/table_export.h"
#include "cli/damage_report.h"
#include "cli/open_database.h"
#include "cli/row_commands.h"
#include "reader/json_writer.h"

namespace quillon::cli {

namespace {

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (from <= text.size()) {
    const auto comma = text.find(',', from);
    const std::string item = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    if (!item.empty()) out.push_back(item);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return out;
}

}  // namespace

std::string FileNameOf(const std::string& table_name) {
  std::string out = table_name;
  for (char& c : out) {
    const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                      c == '_' || c == '-' || c == '$' || c == '#';
    if (!safe) c = '_';
  }
  return out;
}

int ExportTables(COracleRecoveryTools& engine, NotificationSink* progress, const ExportRequest& request, Io& io) {
  std::error_code ec;
  std::filesystem::create_directories(request.folder, ec);
  if (ec) throw Failure{"cannot create " + request.folder + ": " + ec.message()};
  BlockSource source(engine.datafiles);
  ExportOptions options;
  options.large = LargeValues::kContent;
  options.skip_suspect = request.skip_damaged;
  ExportResult total;
  std::uint64_t tables = 0;
  struct TableResult {
    std::string name;
    std::string path;
    ExportResult result;
  };
  std::vector<TableResult> results;
  int code = kExitOk;
  for (const std::uint32_t table : request.tables) {
    const std::string name = TableName(engine.catalogue, table);
    const auto path = std::filesystem::path(request.folder) / (FileNameOf(name) + std::string(FormatExtension(request.format)));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
      io.err << "cannot write " << path.string() << "\n";
      code = kExitFailure;
      continue;
    }
    auto writer = MakeRowWriter(request.format, file);
    if (auto* terminal = dynamic_cast<TerminalSink*>(progress)) terminal->SetPhase(name);
    std::uint64_t started = 0;
    const ExportResult r = ExportTableRows(engine, source, table, *writer, options,
                                           [&](std::uint64_t, std::uint64_t blocks) {
                                             if (!progress) return;
                                             if (started++ == 0) progress->Progress(ProgressStep::kStart, blocks);
                                             progress->Progress(ProgressStep::kStep, 0);
                                           });
    if (progress) progress->Progress(ProgressStep::kFinish, 0);
    file.close();
    if (!file) {
      io.err << "cannot write " << path.string() << "\n";
      code = kExitFailure;
    }
    ++tables;
    total.rows += r.rows;
    total.partial_rows += r.partial_rows;
    total.suspect_rows += r.suspect_rows;
    total.skipped_rows += r.skipped_rows;
    total.damaged_total += r.damaged_total;
    total.incomplete_values += r.incomplete_values;
    total.non_finite_nulls += r.non_finite_nulls;
    results.push_back({name, path.string(), r});
    if (r.stopped) return kExitStopped;
  }
  if (request.json) {
    JsonWriter j(true);
    j.BeginObject();
    j.Member("tables", tables);
    j.Member("rows", total.rows);
    j.Member("partial_rows", total.partial_rows);
    j.Member("suspect_rows", total.suspect_rows);
    j.Member("skipped_rows", total.skipped_rows);
    j.Member("damaged_blocks", total.damaged_total);
    j.Member("incomplete_lob_values", total.incomplete_values);
    j.Member("skip_damaged", request.skip_damaged);
    j.Key("table_results").BeginArray();
    for (const TableResult& t : results) {
      j.BeginObject();
      j.Member("table", t.name);
      j.Member("file", t.path);
      j.Member("rows", t.result.rows - t.result.skipped_rows);
      WriteDamageMembers(j, t.result);
      j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    io.out << j.str() << "\n";
    NonFiniteWarning(total.non_finite_nulls, io.err);
    return code;
  }
  // Rows written; suspect rows left out are counted apart.
  io.out << "tables " << tables << ", rows " << total.rows - total.skipped_rows << ", partial rows "
         << total.partial_rows << ", suspect rows " << total.suspect_rows
         << (request.skip_damaged ? " left out" : "") << ", damaged blocks " << total.damaged_total
         << ", incomplete LOB values " << total.incomplete_values << "\n";
  for (const TableResult& t : results) {
    const std::string damage = TableDamageText(t.result, request.skip_damaged);
    if (!damage.empty()) io.out << t.name << ": " << damage << "\n";
  }
  NonFiniteWarning(total.non_finite_nulls, io.err);
  return code;
}

int RunExport(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--skip-damaged", "--json"}, {"--out", "--format", "--tables"});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  const auto out = args.Value("--out");
  if (!out) throw UsageError{"missing --out FOLDER"};
  const auto format = ParseRowFormat(args.Value("--format").value_or("csv"));
  if (!format || *format == RowFormat::kTable) throw UsageError{"the format is csv or json"};
  auto db = OpenDatabase(dir, io);
  ExportRequest request;
  request.folder = *out;
  request.format = *format;
  request.skip_damaged = args.Has("--skip-damaged");
  request.json = args.Has("--json");
  if (const auto list = args.Value("--tables")) {
    for (const std::string& name : SplitList(*list)) request.tables.push_back(FindTable(db->engine.catalogue, name));
  } else {
    request.tables = ShownTables(db->engine);
  }
  return ExportTables(db->engine, &db->sink, request, io);
}

}  // namespace quillon::cli
