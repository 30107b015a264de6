#include "repair/storage_ddl.h"

#include <filesystem>
#include <system_error>

#include "reader/datafile.h"

namespace quillon::repair {

namespace {

bool IsWindowsPath(const std::string& path) {
  return path.find('\\') != std::string::npos || (path.size() >= 2 && path[1] == ':');
}

// A folder in a form two folders can be compared in.
std::string ComparableFolder(const std::string& folder) {
  if (IsWindowsPath(folder)) {
    std::string p = AsciiUpper(folder);
    for (char& c : p) {
      if (c == '/') c = '\\';
    }
    while (p.size() > 1 && p.back() == '\\') p.pop_back();
    return p + '\\';
  }
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(folder, ec), ec);
  if (ec) p = std::filesystem::path(folder).lexically_normal();
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s == "/" ? s : s + '/';
}

}  // namespace

std::string TargetDatafilePath(const StorageTarget& target, std::string_view file_name) {
  if (target.folder.empty()) return std::string(file_name);
  const char separator = IsWindowsPath(target.folder) && target.folder.find('/') == std::string::npos ? '\\' : '/';
  std::string folder = target.folder;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder + separator + std::string(file_name);
}

std::optional<std::string> CheckTargetFolder(const std::string& source_folder, const std::string& target_folder) {
  if (source_folder.empty() || target_folder.empty()) return std::nullopt;
  const std::string source = ComparableFolder(source_folder);
  const std::string target = ComparableFolder(target_folder);
  if (target.compare(0, source.size(), source) == 0) {
    return target == source ? "the target folder " + target_folder + " is the source folder"
                            : "the target folder " + target_folder + " lies inside the source folder " + source_folder;
  }
  return std::nullopt;
}

std::set<std::string, std::less<>> TablespacesThatWillExist(const RepairSource& source) {
  std::set<std::string, std::less<>> out;
  for (const TablespaceDefinition& t : source.views.Tablespaces(source.datafiles)) {
    if (t.builtin || !t.datafiles.empty()) out.insert(t.name);
  }
  return out;
}

bool TablespaceWillExist(const RepairSource& source, std::string_view name) {
  return IsBuiltinTablespace(name) || TablespacesThatWillExist(source).count(name) != 0;
}

void CreateTablespaces(const RepairSource& source, const StorageTarget& target, StatementSink& sink,
                       std::string_view only) {
  for (const TablespaceDefinition& t : source.views.Tablespaces(source.datafiles)) {
    if (!only.empty() && t.name != only) continue;
    const StatementNote note{std::string(kPhaseTablespace), "Tablespace " + t.name, t.builtin};
    if (t.datafiles.empty()) {
      sink.Skipped(note, t.temporary ? "it is a temporary tablespace, whose files are not datafiles"
                                     : "no datafile of it was found in the source folder");
      continue;
    }
    // The tablespace is made with its first datafile (AddDatafiles then
    // adds every datafile; the first one's statement fails harmlessly).
    const std::string path = TargetDatafilePath(target, t.datafiles.front().file_name);
    // The datafile comes right after the name, the attributes after it, in
    // the order of Oracle's CREATE TABLESPACE syntax.
    SqlBuilder create;
    create.Raw("CREATE TABLESPACE ").Ident(t.name).Raw(" DATAFILE ").Literal(path).Raw(
        " SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO");
    if (!Emit(sink, create, note)) continue;
    SqlBuilder autoextend;
    autoextend.Raw("ALTER DATABASE DATAFILE ").Literal(path).Raw(" AUTOEXTEND ON");
    Emit(sink, autoextend, note);
  }
}

void AddDatafiles(const RepairSource& source, const StorageTarget& target, StatementSink& sink,
                  std::string_view only) {
  for (const DatafileDefinition& f : source.datafiles) {
    if (!only.empty() && !EqualsIgnoreCase(f.tablespace, only)) continue;
    const StatementNote note{std::string(kPhaseDatafile), "Datafile " + f.file_name, IsBuiltinTablespace(f.tablespace)};
    // No REUSE: it only matters when a file of that name exists in the
    // target folder, and such a file is one this repair must not overwrite.
    SqlBuilder add;
    add.Raw("ALTER TABLESPACE ")
        .Ident(f.tablespace)
        .Raw(" ADD DATAFILE ")
        .Literal(TargetDatafilePath(target, f.file_name))
        .Raw(" SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED");
    Emit(sink, add, note);
  }
}

}  // namespace quillon::repair
