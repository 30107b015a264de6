// quillon repair DIR [--sqlite FILE | --script FILE | --odbc DSN_OR_CONNECTION_STRING
//                     [--odbc-user USER] [--password-file FILE]]
//                    [--target-folder FOLDER] [--tables OWNER.TABLE,...]
//
// The tables of the database in DIR rebuilt with their rows in one target:
//   --sqlite FILE  a SQLite file (the default: NAME.sqlite in the current
//                  folder, NAME the database's name); the Oracle texts SQLite
//                  cannot hold go beside it into NAME.oracle.sql;
//   --script FILE  the whole Oracle repair (every phase, every row) as a
//                  SQL*Plus script;
//   --odbc ...     an Oracle database through its ODBC driver (user SYSTEM
//                  unless --odbc-user names another; the password from the
//                  file, QUILLON_TARGET_PASSWORD or a prompt, see
//                  target_password.h, never from the command line).
// --target-folder names the folder of the re-created datafiles on the Oracle
// server. Failed statements go to RepairErrors.log beside the output (the
// current folder for --odbc), the query files of the code phases beside it
// too. No output is ever written inside DIR. The log lines on stdout are the
// repair's. Ctrl-C stops after the current table (exit 130).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <ostream>
#include <sstream>

#include "repair/repair_process.h"
#include "repair/storage_ddl.h"
#include "repair/target_choice.h"
#include "cli/interrupt.h"
#include "cli/open_database.h"
#include "cli/row_commands.h"
#include "cli/target_password.h"

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

void WriteText(const std::string& path, const std::string& text, std::ios::openmode mode) {
  if (path.empty() || text.empty()) return;
  std::ofstream out(path, std::ios::binary | mode);
  out << text;
  if (!out.flush()) std::cerr << "quillon: cannot write " << path << "\n";
}

// Options that exclude each other or go only with another.
void CheckTargetOptions(const Args& args) {
  const auto sqlite = args.Value("--sqlite");
  const auto script = args.Value("--script");
  const auto odbc = args.Value("--odbc");
  if ((sqlite ? 1 : 0) + (script ? 1 : 0) + (odbc ? 1 : 0) > 1) {
    throw UsageError{"--sqlite, --script and --odbc each name a target; give one"};
  }
  if (!odbc && (args.Value("--odbc-user") || args.Value("--password-file"))) {
    throw UsageError{"--odbc-user and --password-file go with --odbc"};
  }
  if (!script && !odbc && args.Value("--target-folder")) {
    throw UsageError{"--target-folder goes with --script or --odbc"};
  }
}

// The target the options name, without its password yet.
repair::TargetChoice ChoiceOf(const Args& args, const std::string& database_name) {
  const auto sqlite = args.Value("--sqlite");
  const auto script = args.Value("--script");
  const auto odbc = args.Value("--odbc");
  repair::TargetChoice choice;
  choice.database_name = database_name;
  choice.datafile_folder = args.Value("--target-folder").value_or("");
  if (odbc) {
    choice.kind = repair::TargetKind::kOracleDataSource;
    choice.data_source = *odbc;
    choice.user = args.Value("--odbc-user").value_or("SYSTEM");
    choice.target_folder = std::filesystem::current_path().string();
    return choice;
  }
  choice.kind = script ? repair::TargetKind::kScriptFile : repair::TargetKind::kSqliteFile;
  const std::string name = database_name.empty() ? std::string("database") : database_name;
  const std::filesystem::path file = std::filesystem::absolute(script ? *script : sqlite.value_or(FileNameOf(name) + ".sqlite"));
  choice.file_path = file.string();
  choice.target_folder = repair::FolderBeside(file.string());
  return choice;
}

}  // namespace

int RunRepair(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {},
                  {"--sqlite", "--script", "--odbc", "--odbc-user", "--password-file", "--target-folder", "--tables"});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  CheckTargetOptions(args);
  auto db = OpenDatabase(dir, io);
  repair::TargetChoice choice = ChoiceOf(args, db->engine.identification.database_name);
  const std::string errors_path = repair::ErrorsFilePath(choice);
  const std::string side_path = repair::SideFilePath(choice);
  for (const std::string& out : {choice.file_path, side_path, errors_path}) {
    if (!out.empty() && repair::LiesInside(out, dir)) {
      throw UsageError{"no output may be written inside the source folder: " + out};
    }
  }
  if (!choice.datafile_folder.empty()) {
    const std::string source_folder =
        std::filesystem::path(db->engine.identification.system_datafile).parent_path().string();
    if (const auto why = repair::CheckTargetFolder(source_folder, choice.datafile_folder)) throw UsageError{*why};
  }
  std::vector<std::uint32_t> tables;
  if (const auto list = args.Value("--tables")) {
    for (const std::string& t : SplitTables(*list)) tables.push_back(FindTable(db->engine.catalogue, t));
  } else {
    tables = ShownTables(db->engine);
  }
  if (choice.kind == repair::TargetKind::kOracleDataSource) {
    choice.password = TargetPassword(args.Value("--password-file"), std::getenv(kPasswordVariable), [&choice] {
      return PromptPasswordOnTerminal("Password of " + choice.user + ": ");
    });
  } else if (choice.kind == repair::TargetKind::kSqliteFile) {
    std::error_code ec;
    std::filesystem::remove(choice.file_path, ec);  // a new file: the tables are created, not added to
  }
  std::unique_ptr<repair::Target> target = repair::MakeTarget(choice);
  repair::WipePassword(choice.password);
  if (!target) throw Failure{std::string(repair::kTargetNotAvailable)};
  if (!target->Connect()) {
    std::string error = target->DescribeError();
    if (choice.kind == repair::TargetKind::kOracleDataSource) {
      if (!error.empty() && error.back() != '\n') error += '\n';
      error += "Please Retry an Establishing Oracle Connection.";
    }
    throw Failure{error};
  }
  const StopOnInterrupt on_interrupt(db->stop);
  db->sink.SetLog(&io.out);
  const repair::RepairResult result = repair::RunRepair(db->engine, *target, repair::DialectOf(choice.kind), tables,
                                                        repair::OracleOptionsOf(choice));
  db->sink.FinishLog();
  target->Disconnect();
  WriteText(side_path, result.side_text, std::ios::trunc);
  WriteText(errors_path, result.errors_text, std::ios::app);
  return result.stopped ? kExitStopped : kExitOk;
}

}  // namespace quillon::cli
