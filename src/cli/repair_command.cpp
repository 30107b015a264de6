// quillon repair DIR [--sqlite FILE] [--tables OWNER.TABLE,...]
//
// The tables of the database in DIR rebuilt in a SQLite file (default
// NAME.sqlite in the current folder, NAME the database's name), with their
// rows; the Oracle texts SQLite cannot hold beside it in NAME.oracle.sql and
// the failed statements in RepairErrors.log. The log lines on stdout are the
// repair's. Ctrl-C stops after the current table (exit 130).
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "repair/repair_process.h"
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

}  // namespace

int RunRepair(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {}, {"--sqlite", "--tables"});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  auto db = OpenDatabase(dir, io);
  std::string name = db->engine.identification.database_name;
  if (name.empty()) name = "database";
  const std::filesystem::path file = args.Value("--sqlite").value_or(FileNameOf(name) + ".sqlite");
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
  if (!result.errors_text.empty()) {
    std::ofstream out(errors_path, std::ios::binary | std::ios::app);
    out << result.errors_text;
  }
  return result.stopped ? kExitStopped : kExitOk;
}

}  // namespace quillon::cli
