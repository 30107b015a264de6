// quillon repair DIR [--sqlite FILE | --script FILE [--target-folder FOLDER]]
//                    [--tables OWNER.TABLE,...]
//
// The tables of the database in DIR rebuilt in a SQLite file (default
// NAME.sqlite in the current folder, NAME the database's name), with their
// rows; the Oracle texts SQLite cannot hold beside it in NAME.oracle.sql and
// the failed statements in RepairErrors.log. With --script, the whole
// Oracle repair (every phase, every row) as a SQL*Plus script instead;
// --target-folder names the folder of the re-created datafiles on the
// server that runs it. The log lines on stdout are the repair's. Ctrl-C
// stops after the current table (exit 130).
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "repair/quoting.h"
#include "repair/repair_process.h"
#include "repair/script_target.h"
#include "repair/sqlite_target.h"
#include "cli/interrupt.h"
#include "cli/open_database.h"
#include "cli/row_commands.h"

namespace quillon::cli {

namespace {

std::vector<std::string> SplitTables(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) out.push_back(item);
  }
  return out;
}

// True when path lies inside folder (both made absolute and normal).
bool Inside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  std::error_code ec;
  const auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path), ec);
  const auto f = std::filesystem::weakly_canonical(std::filesystem::absolute(folder), ec);
  auto pi = p.begin();
  for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
    if (fi->empty()) continue;
    if (pi == p.end() || *pi != *fi) return false;
  }
  return true;
}

std::filesystem::path SideFile(const std::filesystem::path& sqlite_file) {
  auto side = sqlite_file;
  side.replace_extension(".oracle.sql");
  return side;
}

void WriteErrors(const std::filesystem::path& errors_path, const std::string& text) {
  if (text.empty()) return;
  std::ofstream out(errors_path, std::ios::binary | std::ios::app);
  out << text;
}

// The Oracle repair written as a SQL*Plus script.
int RepairIntoScript(OpenedDatabase& db, const std::vector<std::uint32_t>& tables, const std::filesystem::path& file,
                     const std::filesystem::path& errors_path, const std::string& target_folder, Io& io) {
  const std::string source_folder =
      std::filesystem::path(db.engine.identification.system_datafile).parent_path().string();
  if (const auto why = repair::CheckTargetFolder(source_folder, target_folder)) throw Failure{*why};
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw Failure{"cannot write " + file.string()};
  const std::string& name = db.engine.identification.database_name;
  repair::ScriptTarget target(out, "Repair script of database " + repair::PrintableName(name));
  repair::OracleRepairOptions options;
  options.storage.folder = target_folder;
  options.max_long_bytes = repair::kMaxScriptVariableBytes;
  options.on_phase = [&target](std::string_view line) { target.writer().BeginPhase(line); };
  const StopOnInterrupt on_interrupt(db.stop);
  db.sink.SetLog(&io.out);
  const repair::RepairResult result =
      repair::RunRepair(db.engine, target, repair::TargetDialect::kOracle, tables, options);
  db.sink.FinishLog();
  target.Disconnect();
  out.flush();
  if (!out) throw Failure{"cannot write " + file.string()};
  WriteErrors(errors_path, result.errors_text);
  return result.stopped ? kExitStopped : kExitOk;
}

}  // namespace

int RunRepair(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {}, {"--sqlite", "--script", "--target-folder", "--tables"});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  const auto script = args.Value("--script");
  if (script && args.Value("--sqlite")) throw UsageError{"--sqlite and --script exclude each other"};
  if (!script && args.Value("--target-folder")) throw UsageError{"--target-folder goes with --script"};
  auto db = OpenDatabase(dir, io);
  std::string name = db->engine.identification.database_name;
  if (name.empty()) name = "database";
  const std::filesystem::path file =
      script ? std::filesystem::path(*script)
             : std::filesystem::path(args.Value("--sqlite").value_or(FileNameOf(name) + ".sqlite"));
  const std::filesystem::path side = SideFile(file);
  const std::filesystem::path errors_path = std::filesystem::absolute(file).parent_path() / "RepairErrors.log";
  for (const auto& out : {file, side, errors_path}) {
    if (Inside(out, dir)) throw UsageError{"no output may be written inside the source folder: " + out.string()};
  }
  std::vector<std::uint32_t> tables;
  if (const auto list = args.Value("--tables")) {
    for (const std::string& t : SplitTables(*list)) tables.push_back(FindTable(db->engine.catalogue, t));
  } else {
    tables = ShownTables(db->engine);
  }
  if (script) return RepairIntoScript(*db, tables, file, errors_path, args.Value("--target-folder").value_or(""), io);
  std::error_code ec;
  std::filesystem::remove(file, ec);  // a new file: the tables are created, not added to
  repair::SqliteTarget target(file.string());
  if (!target.Connect()) throw Failure{target.DescribeError()};
  const StopOnInterrupt on_interrupt(db->stop);
  db->sink.SetLog(&io.out);
  const repair::RepairResult result = repair::RunRepair(db->engine, target, repair::TargetDialect::kSqlite, tables);
  db->sink.FinishLog();
  target.Disconnect();
  if (!result.side_text.empty()) {
    std::ofstream out(side, std::ios::binary | std::ios::trunc);
    out << result.side_text;
  }
  WriteErrors(errors_path, result.errors_text);
  return result.stopped ? kExitStopped : kExitOk;
}

}  // namespace quillon::cli
