#include "repair/target_choice.h"

#include <filesystem>

#include "repair/odbc_target.h"
#include "repair/sqlite_target.h"

namespace quillon::repair {

namespace fs = std::filesystem;

TargetDialect DialectOf(TargetKind kind) {
  return kind == TargetKind::kSqliteFile ? TargetDialect::kSqlite : TargetDialect::kOracle;
}

std::unique_ptr<Target> MakeTarget(const TargetChoice& choice) {
  switch (choice.kind) {
    case TargetKind::kSqliteFile:
      if (choice.file_path.empty()) return nullptr;
      return std::make_unique<SqliteTarget>(choice.file_path);
    case TargetKind::kOracleDataSource: {
      if (choice.data_source.empty()) return nullptr;
      OdbcTargetOptions options;
      options.target = choice.data_source;
      options.user = choice.user.empty() ? "SYSTEM" : choice.user;
      options.password = choice.password;
      options.session_statements = OracleSessionStatements();
      return std::make_unique<OdbcTarget>(std::move(options));
    }
    case TargetKind::kScriptFile:
      return nullptr;
  }
  return nullptr;
}

std::string ErrorsFilePath(const TargetChoice& choice) {
  fs::path folder = choice.target_folder;
  if (folder.empty() && !choice.file_path.empty()) folder = fs::absolute(choice.file_path).parent_path();
  if (folder.empty()) return {};
  return (folder / "RepairErrors.log").string();
}

std::string SideFilePath(const TargetChoice& choice) {
  if (choice.kind != TargetKind::kSqliteFile || choice.file_path.empty()) return {};
  fs::path side = choice.file_path;
  side.replace_extension(".oracle.sql");
  return side.string();
}

void WipePassword(std::string& password) {
  volatile char* p = password.data();
  for (std::size_t i = 0; i < password.size(); ++i) p[i] = '\0';
  password.clear();
  password.shrink_to_fit();
}

bool LiesInside(const std::string& path, const std::string& folder) {
  if (path.empty() || folder.empty()) return false;
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec).lexically_normal();
  const fs::path f = fs::weakly_canonical(fs::absolute(folder, ec), ec).lexically_normal();
  auto pi = p.begin();
  for (auto fi = f.begin(); fi != f.end(); ++fi) {
    if (fi->empty()) continue;  // the trailing separator of "dir/"
    if (pi == p.end() || *pi != *fi) return false;
    ++pi;
  }
  return true;
}

}  // namespace quillon::repair
