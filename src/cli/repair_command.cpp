// quillon repair DIR [--sqlite FILE | --odbc DSN_OR_CONNECTION_STRING [--odbc-user USER]
//                      [--password-file FILE]] [--tables OWNER.TABLE,...]
//
// With --odbc the tables go into an Oracle database through its ODBC driver
// (user SYSTEM unless --odbc-user names another; the password from the file,
// QUILLON_TARGET_PASSWORD or a prompt, see target_password.h), the failed
// statements into RepairErrors.log in the current folder.
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

#include <cstdlib>
#include <memory>

#include "repair/odbc_target.h"
#include "repair/repair_process.h"
#include "repair/sqlite_target.h"
#include "cli/target_password.h"
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
  const Args args(argv, {}, {"--sqlite", "--tables", "--odbc", "--odbc-user", "--password-file"});
  const std::optional<std::string> odbc = args.Value("--odbc");
  if (odbc && args.Value("--sqlite")) throw UsageError{"--sqlite and --odbc name two targets; give one"};
  if (!odbc && (args.Value("--odbc-user") || args.Value("--password-file"))) {
    throw UsageError{"--odbc-user and --password-file go with --odbc"};
  }
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  auto db = OpenDatabase(dir, io);
  std::string name = db->engine.identification.database_name;
  if (name.empty()) name = "database";
  const std::filesystem::path file = args.Value("--sqlite").value_or(FileNameOf(name) + ".sqlite");
  const std::filesystem::path side = SideFile(file);
  const std::filesystem::path errors_path =
      (odbc ? std::filesystem::current_path() : std::filesystem::absolute(file).parent_path()) / "RepairErrors.log";
  for (const auto& out : {file, side, errors_path}) {
    if (Inside(out, dir)) throw UsageError{"no output may be written inside the source folder: " + out.string()};
  }
  std::vector<std::uint32_t> tables;
  if (const auto list = args.Value("--tables")) {
    for (const std::string& t : SplitTables(*list)) tables.push_back(FindTable(db->engine.catalogue, t));
  } else {
    tables = ShownTables(db->engine);
  }
  std::unique_ptr<repair::Target> target;
  if (odbc) {
    repair::OdbcTargetOptions options;
    options.target = *odbc;
    options.user = args.Value("--odbc-user").value_or("SYSTEM");
    options.password = TargetPassword(args.Value("--password-file"), std::getenv(kPasswordVariable), [&options] {
      return PromptPasswordOnTerminal("Password of " + options.user + ": ");
    });
    options.session_statements = repair::OracleSessionStatements();
    target = std::make_unique<repair::OdbcTarget>(std::move(options));
    if (!target->Connect()) {
      throw Failure{target->DescribeError() + "Please Retry an Establishing Oracle Connection."};
    }
  } else {
    std::error_code ec;
    std::filesystem::remove(file, ec);  // a new file: the tables are created, not added to
    target = std::make_unique<repair::SqliteTarget>(file.string());
    if (!target->Connect()) throw Failure{target->DescribeError()};
  }
  const StopOnInterrupt on_interrupt(db->stop);
  db->sink.SetLog(&io.out);
  const repair::RepairResult result = repair::RunRepair(
      db->engine, *target, odbc ? repair::TargetDialect::kOracle : repair::TargetDialect::kSqlite, tables);
  db->sink.FinishLog();
  target->Disconnect();
  if (!odbc && !result.side_text.empty()) {
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
