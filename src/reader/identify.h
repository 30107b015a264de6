// Release identification and datafile registration, and recognising the
// SYSTEM datafile among the files of a folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reader/engine.h"

namespace quillon {

// The text of the message shown when the chosen file has no file header block.
inline constexpr const char* kInvalidFileMessage = "Invalid File";

// Reads the SYSTEM datafile's header: block size, header format, release and
// database name; then registers every datafile of the same database found in
// its folder (in name order). A file without a header block is reported with
// kInvalidFileMessage; it leaves the release unsupported and registers
// nothing. Returns 1, as it has no failure result.
int IdentifyRelease(COracleRecoveryTools& engine, const std::string& system_datafile_path);

// Appends the file at path to the engine's datafiles when it is a datafile of
// the identified database.
void RegisterDatafile(COracleRecoveryTools& engine, const std::string& full_path,
                      const std::string& file_name, const std::string& database_name);

// True when the file is the SYSTEM datafile of a database: a file header block
// where block 0 says or at one of the 512-byte steps up to 16384, a known
// header format, relative file number 1 and the tablespace name SYSTEM
// (without regard to case).
bool IdentifySystemDatafile(const std::string& path);

// The regular files of a folder in name order (sub-folders are left out).
std::vector<std::string> ListFolderFiles(const std::string& folder);

// The SYSTEM datafile of a folder, or of the folder of a given file.
std::optional<std::string> FindSystemDatafile(const std::string& folder_or_file);

}  // namespace quillon
