// quillon ddl DIR [NAME | OWNER.OBJECT ...] [--all] [--out FILE] [--target-folder FOLDER]
//
// Prints the DDL the repair would run as a SQL*Plus script: with --all the
// statements of every phase of the repair in its order (tablespaces,
// datafiles, roles, users, database links, types, XML schemas, clusters,
// tables, constraints, indexes, column defaults, foreign keys, synonyms,
// sequences, views, triggers, stored code, materialized view logs and views,
// and the privileges); with names, the statements of those users, roles,
// tablespaces and objects (OWNER.OBJECT: a table with its constraints,
// indexes, defaults and foreign keys, a view, synonym, sequence, trigger,
// function, procedure, package, package body, type, type body or
// materialized view; OWNER.LINK: a database link; OWNER.TABLE also the
// materialized view log on the table; a schema URL: the registration of that
// XML schema). The script goes to
// stdout or to FILE, which may not lie in the source folder. --target-folder
// names the folder on the target server for the re-created datafiles; it may
// be neither the source folder nor inside it.
#include <filesystem>
#include <fstream>
#include <ostream>

#include "cli/open_database.h"
#include "repair/object_ddl.h"
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

// The objects OWNER.OBJECT names (as given, else in upper case): a package
// and its body, a materialized view and its table share a name.
std::vector<std::uint32_t> FindObjects(const Catalogue& c, const std::string& text) {
  std::vector<std::uint32_t> out;
  const auto dot = text.find('.');
  if (dot == std::string::npos) return out;
  const std::string owner = text.substr(0, dot);
  const std::string name = text.substr(dot + 1);
  for (const auto& [o, n] : {std::pair{owner, name}, std::pair{AsciiUpper(owner), AsciiUpper(name)}}) {
    for (const ObjectRecord& r : c.objects.All<1>(OwnerAndName{o, n})) {
      if (r.kind) out.push_back(r.object_number);
    }
    if (!out.empty()) break;
  }
  return out;
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
  // What each name names, in the order given.
  struct Wanted {
    std::vector<Named> named;
    std::vector<std::uint32_t> objects;  // OBJ#s
    std::string owner, name;    // a database link or a materialized view log's table
    std::string schema_url;     // an XML schema
  };
  std::vector<Wanted> wanted;
  bool all_found = true;
  const auto has_link = [&c](const std::string& owner, const std::string& link) {
    for (const DatabaseLinkRecord& l : c.database_links) {
      if (l.name == link && c.OwnerName(l.owner_number) == owner) return true;
    }
    return false;
  };
  const auto has_schema = [&c](const std::string& url) {
    for (const XmlSchemaRecord& s : c.xml_schemas) {
      if (s.url == url) return true;
    }
    return false;
  };
  for (const std::string& name : names) {
    Wanted w;
    w.named = Resolve(c, name);
    if (w.named.empty()) {
      w.objects = FindObjects(c, name);
      const auto dot = name.find('.');
      if (dot != std::string::npos) {
        for (const auto& [o, n] : {std::pair{name.substr(0, dot), name.substr(dot + 1)},
                                   std::pair{AsciiUpper(name.substr(0, dot)), AsciiUpper(name.substr(dot + 1))}}) {
          if (has_link(o, n) || c.materialized_view_logs.First<0>(OwnerAndName{o, n}) != nullptr) {
            w.owner = o;
            w.name = n;
            break;
          }
        }
      }
      if (has_schema(name)) w.schema_url = name;
    }
    if (w.named.empty() && w.objects.empty() && w.name.empty() && w.schema_url.empty()) {
      io.err << "quillon ddl: " << name << ": no user, role, tablespace or object (nor database link, XML schema URL) of that name\n";
      all_found = false;
      continue;
    }
    if (!w.objects.empty() && w.name.empty() && w.schema_url.empty()) {
      const auto has_ddl = [&c](std::uint32_t number) {
        const ObjectKind kind = *c.Object(number)->kind;
        return kind != ObjectKind::kIndex && kind != ObjectKind::kCluster && kind != ObjectKind::kTablePartition &&
               kind != ObjectKind::kTableSubpartition;
      };
      std::erase_if(w.objects, [&](std::uint32_t number) { return !has_ddl(number); });
      if (w.objects.empty()) {
        io.err << "quillon ddl: " << name << ": the DDL of this kind of object is not yet supported\n";
        all_found = false;
        continue;
      }
    }
    wanted.push_back(std::move(w));
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
    for (const Wanted& w : wanted) {
      for (const Named& named : w.named) WriteNamed(source, target, named, writer);
      for (const std::uint32_t object : w.objects) repair::GenerateObjectDdl(c, object, writer);
      if (!w.name.empty()) {
        repair::GenerateDatabaseLinkDdl(c, w.owner, w.name, writer);
        repair::GenerateMaterializedViewLogDdl(c, w.owner, w.name, writer);
      }
      if (!w.schema_url.empty()) repair::GenerateXmlSchemaDdl(c, w.schema_url, writer);
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
