#include "cli/open_database.h"

#include "browse/tree_generate.h"
#include "reader/datafile.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"

namespace quillon::cli {

std::unique_ptr<OpenedDatabase> OpenDatabase(const std::string& dir, Io& io) {
  const auto system = FindSystemDatafile(dir);
  if (!system) throw Failure{"no SYSTEM datafile found in " + dir};
  auto db = std::make_unique<OpenedDatabase>(io.err, StderrIsTerminal());
  IdentifyRelease(db->engine, *system);
  if (db->engine.identification.unsupported) throw Failure{"the release of " + *system + " is not supported"};
  db->sink.SetPhase("Reading the dictionary");
  const DictionaryResult result = ReadDictionary(db->engine);
  if (!result.system_read) throw Failure{"the SYSTEM datafile " + *system + " could not be read"};
  db->sink.SetPhase("");
  return db;
}

std::uint32_t FindTable(const Catalogue& catalogue, const std::string& owner_dot_table) {
  const auto dot = owner_dot_table.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == owner_dot_table.size()) {
    throw UsageError{"name the table as OWNER.TABLE: " + owner_dot_table};
  }
  const std::string owner = owner_dot_table.substr(0, dot);
  const std::string name = owner_dot_table.substr(dot + 1);
  for (const auto& [o, n] : {std::pair{owner, name}, std::pair{AsciiUpper(owner), AsciiUpper(name)}}) {
    const ObjectRecord* table = catalogue.FindObject(ObjectKind::kTable, o, n);
    if (table && catalogue.tables.First<0>(table->object_number)) return table->object_number;
  }
  throw Failure{"no table " + owner_dot_table + " in the dictionary"};
}

std::vector<std::uint32_t> ShownTables(const COracleRecoveryTools& engine) {
  std::vector<std::uint32_t> out;
  const ObjectTree tree = GenerateTree(engine, engine.identification.system_datafile);
  for (const ShownTable& t : tree.shown_tables()) out.push_back(t.object_number);
  return out;
}

std::string TableName(const Catalogue& catalogue, std::uint32_t table_object_number) {
  const ObjectRecord* o = catalogue.Object(table_object_number);
  return o ? o->owner + "." + o->name : "#" + std::to_string(table_object_number);
}

}  // namespace quillon::cli
