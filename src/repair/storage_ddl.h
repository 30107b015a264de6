// Storage DDL: the tablespaces of the rescued database and their datafiles,
// placed in the target folder.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "repair/repair_source.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseTablespace = "Repairing Tablespace ";
inline constexpr std::string_view kPhaseDatafile = "Repairing DataFile ";

// Where the target's datafiles go: the folder as the target server names it
// (a Windows folder keeps its backslashes). Empty: the file names alone,
// which Oracle places in its default folder.
struct StorageTarget {
  std::string folder;
};

// The path of a datafile in the target folder.
std::string TargetDatafilePath(const StorageTarget& target, std::string_view file_name);

// Why a target folder must not be used, or nothing: the target folder may
// neither be the source folder nor lie inside it, or re-created datafiles
// could overwrite the datafiles being rescued. Paths are compared after
// resolving "." and "..", links where they exist, and without regard to case
// when they are Windows paths.
std::optional<std::string> CheckTargetFolder(const std::string& source_folder, const std::string& target_folder);

// For each tablespace with a datafile: CREATE TABLESPACE with its first
// datafile in the target folder, then ALTER DATABASE DATAFILE ... AUTOEXTEND
// ON. A tablespace without a datafile is left out with a reason. With only
// given, just the tablespace of that name.
void CreateTablespaces(const RepairSource& source, const StorageTarget& target, StatementSink& sink,
                       std::string_view only = {});
// For each datafile: ALTER TABLESPACE ... ADD DATAFILE in the target folder.
// With only given, just the datafiles of the tablespace of that name.
void AddDatafiles(const RepairSource& source, const StorageTarget& target, StatementSink& sink,
                  std::string_view only = {});

// Whether the repair re-creates a tablespace (it has a datafile) or the
// target has it anyway (built in): the tablespaces users may be given.
bool TablespaceWillExist(const RepairSource& source, std::string_view name);
// The names of all such tablespaces of the source.
std::set<std::string, std::less<>> TablespacesThatWillExist(const RepairSource& source);

}  // namespace quillon::repair
