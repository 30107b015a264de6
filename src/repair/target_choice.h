// The target the user chose for a repair, as plain data, and the one place
// that turns it into a Target.
//
// The desktop application's wizard fills a TargetChoice; MakeTarget builds
// the matching target (not yet connected). The password is held only in
// memory, in the choice and then in the target; it is never logged or
// written, and WipePassword overwrites it once the target has it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "repair/repair_process.h"
#include "repair/target.h"

namespace quillon::repair {

enum class TargetKind : std::uint8_t {
  kOracleDataSource,  // an Oracle database through ODBC
  kScriptFile,        // a SQL*Plus script
  kSqliteFile,        // a SQLite file
};

struct TargetChoice {
  TargetKind kind = TargetKind::kSqliteFile;
  // kOracleDataSource: a data source name or a whole connection string, the
  // user (always SYSTEM) and its password.
  std::string data_source;
  std::string user = "SYSTEM";
  std::string password;
  // kScriptFile, kSqliteFile: the file written.
  std::string file_path;
  // The folder the repair writes beside its output (RepairErrors.log, the
  // side file): the chosen target folder for a data source, the output
  // file's folder otherwise.
  std::string target_folder;
  // Oracle targets: the folder of the re-created datafiles on the server
  // (empty: the datafile names as they are); the database's name for the
  // script's title.
  std::string datafile_folder;
  std::string database_name;
};

// The SQL the kind of target reads.
TargetDialect DialectOf(TargetKind kind);

// The options of an Oracle-dialect repair into the choice's target: where
// datafiles go, where the query files are written (beside the errors file).
OracleRepairOptions OracleOptionsOf(const TargetChoice& choice);

// A target for the choice, not connected; nullptr when this build has no
// target of that kind (see kTargetNotAvailable).
std::unique_ptr<Target> MakeTarget(const TargetChoice& choice);
inline constexpr std::string_view kTargetNotAvailable = "This kind of target is not available in this build.";

// Where RepairErrors.log goes, and the side file holding the Oracle texts
// the target cannot hold (empty: none, the target takes every statement).
std::string ErrorsFilePath(const TargetChoice& choice);
std::string SideFilePath(const TargetChoice& choice);

// The folder the repair writes beside an output file: the file's own, or
// that of the file a symbolic link names; the current folder for a device
// or a pipe (--script /dev/stdout), which has no folder to write beside.
std::string FolderBeside(const std::string& file);

// Overwrites the password's characters, then empties it.
void WipePassword(std::string& password);

// True when path is folder itself or lies inside it (both made absolute,
// "." and ".." resolved, symbolic links followed as far as they exist).
bool LiesInside(const std::string& path, const std::string& folder);

}  // namespace quillon::repair
