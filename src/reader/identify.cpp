#include "reader/identify.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "reader/file.h"

namespace quillon {

namespace fs = std::filesystem;

int IdentifyRelease(COracleRecoveryTools& engine, const std::string& system_datafile_path) {
  NotificationSink& sink = engine.sink();
  Identification& id = engine.identification;
  id = Identification{};
  id.system_datafile = system_datafile_path;
  sink.ShowMemory();
  engine.datafiles_registered = false;
  engine.extent_count_noted = false;  // a new database: its first disagreement is logged again

  if (auto file = ReadOnlyFile::Open(system_datafile_path)) {
    if (const auto probed = ProbeFile(*file)) {
      id.block_size = probed->block_size;
      if (probed->header) {
        id.header_found = true;
        id.format_byte = probed->header->format_byte;
        id.format = probed->header->format;
        id.release = ReleaseFromHeader(id.format, probed->header->ReleaseValue());
        id.database_name = probed->header->database_name;
      }
    }
  }
  if (!id.header_found) sink.Message(kInvalidFileMessage);
  // Nothing to go on when there is no header block or its layout is unknown.
  id.unsupported = !id.header_found || id.format == HeaderFormat::kUnknown;

  const fs::path folder = fs::path(system_datafile_path).parent_path();
  const std::vector<std::string> files = ListFolderFiles(folder.string());
  sink.Progress(ProgressStep::kStart, 100);
  for (const auto& path : files) {
    if (!id.unsupported) RegisterDatafile(engine, path, path, id.database_name);
    sink.Progress(ProgressStep::kStep, 0);
  }
  sink.Progress(ProgressStep::kFinish, 0);
  engine.datafiles_registered = true;
  return 1;
}

void RegisterDatafile(COracleRecoveryTools& engine, const std::string& full_path,
                      const std::string& file_name, const std::string& database_name) {
  if (auto entry = InspectDatafile(full_path, file_name, database_name)) {
    engine.datafiles.Append(std::move(*entry));
  }
}

bool IdentifySystemDatafile(const std::string& path) {
  const auto file = ReadOnlyFile::Open(path);
  if (!file) return false;
  // The block size from block 0 is tried first, so 32 KB databases, whose
  // header block lies beyond the 16 KB probe, are recognised too.
  const auto probed = ProbeFile(*file);
  if (!probed || !probed->header || probed->header->format == HeaderFormat::kUnknown) return false;
  return probed->header->relative_file_number == 1 &&
         EqualsIgnoreCase(probed->header->tablespace_name, "SYSTEM");
}

std::vector<std::string> ListFolderFiles(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) out.push_back(it->path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::optional<std::string> FindSystemDatafile(const std::string& folder_or_file) {
  std::error_code ec;
  fs::path folder(folder_or_file);
  if (!fs::is_directory(folder, ec)) folder = folder.parent_path();
  for (const auto& path : ListFolderFiles(folder.string())) {
    if (IdentifySystemDatafile(path)) return path;
  }
  return std::nullopt;
}

}  // namespace quillon
