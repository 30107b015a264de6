// quillon repair DIR [--sqlite FILE] [--tables OWNER.TABLE,...]
//
// The tables of the database in DIR rebuilt in a SQLite file (default
// NAME.sqlite in the current folder, NAME the database's name), with their
// rows; the Oracle texts SQLite cannot hold beside it in NAME.oracle.sql and
// the failed statements in RepairErrors.log. The log lines on stdout are the
// repair's. Ctrl-C stops after the current table (exit 130).
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "repair/sqlite_target.h"
#include "cli/interrupt.h"
#include "cli/open_database.h"
#include "cli/row_commands.h"

namespace quillon::cli {

namespace {

const std::string kDots59(59, '.');
const std::string kDots72(72, '.');

std::string Now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  std::ostringstream out;
  out << std::put_time(&local, "%d-%b-%Y %H:%M:%S");
  return out.str();
}

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
  const CatalogueViews views(db->engine.catalogue);
  BlockSource source(db->engine.datafiles);
  std::string side_text;
  std::string errors_text;

  io.out << "\nRepair Process Started On " << Now() << "\n" << kDots59 << "\n";
  io.out << "Repairing Index \n";
  io.out << "Total table(s) selected : " << tables.size() << "\n" << kDots59 << "\n";
  bool stopped = false;
  for (const std::uint32_t table : tables) {
    if (db->stop.requested()) {
      stopped = true;
      break;
    }
    const std::string table_name = TableName(db->engine.catalogue, table);
    io.out << "Repairing Table....." << table_name << "  \n";
    db->sink.SetPhase(table_name);
    std::uint64_t started = 0;
    const auto r = repair::RepairTableIntoSqlite(db->engine, source, views, table, target, side_text,
                                                 [&](std::uint64_t, std::uint64_t blocks) {
                                                   if (started++ == 0) db->sink.Progress(ProgressStep::kStart, blocks);
                                                   db->sink.Progress(ProgressStep::kStep, 0);
                                                 });
    if (started > 0) db->sink.Progress(ProgressStep::kFinish, 0);
    io.out << "Total fields present : " << r.fields << "\n";
    if (!r.created) io.out << "Table not created: its rows are not repaired\n";
    io.out << "Total record(s) recovered : " << r.rows << "\n";
    if (r.failed_rows > 0) io.out << "Failed record(s) : " << r.failed_rows << "\n";
    io.out << kDots59 << "\n";
    for (const std::string& e : r.errors) errors_text += table_name + "\n" + e + "\n\n";
    if (r.stopped || db->stop.requested()) {
      stopped = true;
      break;
    }
  }
  target.Disconnect();
  if (!side_text.empty()) {
    std::ofstream out(side, std::ios::binary | std::ios::trunc);
    out << side_text;
  }
  if (!errors_text.empty()) {
    std::ofstream out(errors_path, std::ios::binary | std::ios::app);
    out << errors_text;
  }
  if (stopped) return kExitStopped;
  io.out << kDots72 << "\n" << "Repairing process completed on....." << Now() << "\n";
  return kExitOk;
}

}  // namespace quillon::cli
