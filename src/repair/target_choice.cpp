#include "repair/target_choice.h"

#include <filesystem>
#include <ostream>

#include "repair/odbc_target.h"
#include "repair/quoting.h"
#include "repair/script_file.h"
#include "repair/script_target.h"
#include "repair/sqlite_target.h"

namespace quillon::repair {

namespace fs = std::filesystem;

TargetDialect DialectOf(TargetKind kind) {
  return kind == TargetKind::kSqliteFile ? TargetDialect::kSqlite : TargetDialect::kOracle;
}

namespace {

// A SQL*Plus script in a file of its own: the file is made at Connect and
// closed at Disconnect.
class ScriptFileTarget final : public Target {
 public:
  ScriptFileTarget(std::string path, const std::string& database_name)
      : path_(std::move(path)),
        title_(database_name.empty() ? std::string("Repair script")
                                     : "Repair script of database " + PrintableName(database_name)) {}

  bool Connect() override {
    if (!file_.Open(path_)) {
      error_ = "cannot write " + path_ + ": " + file_.error();
      return false;
    }
    out_.clear();
    script_ = std::make_unique<ScriptTarget>(out_, title_);
    return true;
  }
  bool Execute(const Statement& statement) override { return script_ && script_->Execute(statement); }
  bool BeginRows() override { return script_ && script_->BeginRows(); }
  void InsertRow(std::string_view insert_sql, std::span<const Value> values) override {
    if (script_) script_->InsertRow(insert_sql, values);
  }
  RowOutcome EndRows() override { return script_ ? script_->EndRows() : RowOutcome{}; }
  std::uint64_t RowsInserted() const override { return script_ ? script_->RowsInserted() : 0; }
  void BeginPhase(std::string_view line) override {
    if (script_) script_->BeginPhase(line);
  }
  std::uint64_t MaxLongBytes() const override { return kMaxScriptVariableBytes; }
  std::string DescribeError() const override { return script_ ? script_->DescribeError() : error_; }
  void Disconnect() override {
    if (!script_) return;
    script_->Disconnect();
    script_.reset();
    file_.Close();
  }

 private:
  std::string path_;
  std::string title_;
  ScriptFileBuffer file_;  // declared before out_: outlives it
  std::ostream out_{&file_};
  std::unique_ptr<ScriptTarget> script_;
  std::string error_;
};

}  // namespace

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
      if (choice.file_path.empty()) return nullptr;
      return std::make_unique<ScriptFileTarget>(choice.file_path, choice.database_name);
  }
  return nullptr;
}

OracleRepairOptions OracleOptionsOf(const TargetChoice& choice) {
  OracleRepairOptions options;
  options.storage.folder = choice.datafile_folder;
  const std::string errors = ErrorsFilePath(choice);
  if (!errors.empty()) options.query_folder = fs::path(errors).parent_path().string();
  return options;
}

std::string FolderBeside(const std::string& file) {
  const fs::path path = fs::absolute(file);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return path.parent_path().string();  // a file still to be made
  if (!fs::is_regular_file(status)) return fs::current_path().string();
  const fs::path real = fs::canonical(path, ec);
  return (ec ? path : real).parent_path().string();
}

std::string ErrorsFilePath(const TargetChoice& choice) {
  fs::path folder = choice.target_folder;
  if (folder.empty() && !choice.file_path.empty()) folder = FolderBeside(choice.file_path);
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
