// quillon ddl DIR [NAME | OWNER.OBJECT ...] [--all] [--out FILE] [--target-folder FOLDER]
//
// Prints the DDL the repair would run as a SQL*Plus script: with --all the
// statements of every phase the repair has so far (tablespaces, datafiles,
// roles, users, clusters, tables, constraints, indexes, column defaults,
// foreign keys and the privileges, in the repair's order); with names, the
// statements of those users, roles, tablespaces and tables (OWNER.TABLE: the
// table, its constraints, indexes, defaults and foreign keys). The script goes to
// stdout or to FILE, which may not lie in the source folder. --target-folder
// names the folder on the target server for the re-created datafiles; it may
// be neither the source folder nor inside it.
#include <filesystem>
#include <fstream>
#include <ostream>

#include "cli/open_database.h"
#include "repair/repair_phases.h"
#include "repair/script_writer.h"
#include "repair/security_ddl.h"
#include "repair/table_phases.h"

namespace quillon::cli {

namespace {

enum class NamedKind { kUser, kRole, kTablespace };

struct Named {
  NamedKind kind;
  std::string name;
};

// The users, roles and tablespaces a name names (as given, then in upper case).
std::vector<Named> Resolve(const Catalogue& c, const std::string& text) {
  std::vector<Named> out;
  for (const std::string& name : {text, AsciiUpper(text)}) {
    if (c.users.First<1>(name)) out.push_back({NamedKind::kUser, name});
    if (c.roles.First<1>(name)) out.push_back({NamedKind::kRole, name});
    for (const TablespaceRecord& t : c.tablespaces) {
      if (t.name == name) {
        out.push_back({NamedKind::kTablespace, name});
        break;
      }
    }
    if (!out.empty()) break;
  }
  return out;
}

// The object OWNER.OBJECT names (as given, then in upper case), or nullptr.
const ObjectRecord* FindObject(const Catalogue& c, const std::string& text) {
  const auto dot = text.find('.');
  if (dot == std::string::npos) return nullptr;
  const std::string owner = text.substr(0, dot);
  const std::string name = text.substr(dot + 1);
  for (const auto& [o, n] : {std::pair{owner, name}, std::pair{AsciiUpper(owner), AsciiUpper(name)}}) {
    if (const ObjectRecord* r = c.objects.First<1>(OwnerAndName{o, n})) return r;
  }
  return nullptr;
}

void WriteNamed(const repair::RepairSource& source, const repair::StorageTarget& target, const Named& named,
                repair::StatementSink& sink) {
  switch (named.kind) {
    case NamedKind::kTablespace:
      sink.BeginPhase(repair::kPhaseTablespace);
      repair::CreateTablespaces(source, target, sink, named.name);
      sink.BeginPhase(repair::kPhaseDatafile);
      repair::AddDatafiles(source, target, sink, named.name);
      break;
    case NamedKind::kRole:
      sink.BeginPhase(repair::kPhaseRole);
      repair::CreateRoles(source, sink, named.name);
      sink.BeginPhase(repair::kPhaseRoleObjectPrivilege);
      repair::GrantRoleObjectPrivileges(source, sink, named.name);
      break;
    case NamedKind::kUser:
      sink.BeginPhase(repair::kPhaseUser);
      repair::CreateUsers(source, sink, named.name);
      sink.BeginPhase(repair::kPhaseUserObjectPrivilege);
      repair::GrantUserObjectPrivileges(source, sink, named.name);
      break;
  }
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path p(path);
  return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

}  // namespace

int RunDdl(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--all"}, {"--out", "--target-folder"});
  args.ExpectPositionals(1, static_cast<std::size_t>(-1));
  const std::string& dir = args.Positional(0, "DIR");
  const std::vector<std::string> names(args.positionals().begin() + 1, args.positionals().end());
  if (names.empty() && !args.Has("--all")) throw UsageError{"name the objects or give --all"};
  if (!names.empty() && args.Has("--all")) throw UsageError{"--all and object names exclude each other"};

  auto db = OpenDatabase(dir, io);
  const std::string source_folder = FolderOf(db->engine.identification.system_datafile);
  repair::StorageTarget target{args.Value("--target-folder").value_or("")};
  if (const auto why = repair::CheckTargetFolder(source_folder, target.folder)) throw Failure{*why};
  const auto out_path = args.Value("--out");
  if (out_path) {
    if (repair::CheckTargetFolder(source_folder, FolderOf(std::filesystem::absolute(*out_path).string()))) {
      throw Failure{"the script " + *out_path + " would be written into the source folder " + source_folder};
    }
  }

  const Catalogue& c = db->engine.catalogue;
  std::vector<Named> wanted;
  std::vector<std::uint32_t> tables;
  bool all_found = true;
  for (const std::string& name : names) {
    const std::vector<Named> found = Resolve(c, name);
    if (!found.empty()) {
      wanted.insert(wanted.end(), found.begin(), found.end());
    } else if (const ObjectRecord* object = FindObject(c, name); object != nullptr && object->kind == ObjectKind::kTable) {
      tables.push_back(object->object_number);
    } else if (object != nullptr) {
      io.err << "quillon ddl: " << name << ": the DDL of this kind of object is not yet supported\n";
      all_found = false;
    } else {
      io.err << "quillon ddl: " << name << ": no user, role, tablespace or object of that name\n";
      all_found = false;
    }
  }

  std::ofstream file;
  if (out_path) {
    file.open(*out_path, std::ios::binary | std::ios::trunc);
    if (!file) throw Failure{"cannot write " + *out_path};
  }
  std::ostream& out = out_path ? static_cast<std::ostream&>(file) : io.out;
  const repair::RepairSource source{c, db->engine.datafiles};
  const std::string release = db->engine.release_text();
  repair::ScriptWriter writer(out, "Quillon DDL script for the database " + db->engine.identification.database_name +
                                       (release.empty() ? "" : " (" + release + ")"));
  if (args.Has("--all")) {
    repair::GenerateRepairDdl(source, target, writer);
  } else {
    for (const Named& named : wanted) WriteNamed(source, target, named, writer);
    if (!tables.empty()) {
      const CatalogueViews views(c);
      for (const std::uint32_t table : tables) repair::GenerateTableStatements(views, table, writer);
    }
  }
  writer.Finish();
  out.flush();
  if (out_path && !file) throw Failure{"cannot write " + *out_path};
  if (writer.statements_refused() > 0) {
    io.err << "quillon ddl: " << writer.statements_refused() << " statement(s) could not be written safely\n";
  }
  return all_found ? kExitOk : kExitFailure;
}

}  // namespace quillon::cli
