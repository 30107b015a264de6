#include "cli/open_database.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "reader/datafile.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"

namespace quillon::cli {

namespace {

// Schemas Oracle creates for itself.
constexpr std::array<std::string_view, 28> kOracleSchemas = {
    "SYS",        "SYSTEM",    "OUTLN",     "DBSNMP",    "XDB",        "MDSYS",      "CTXSYS",
    "ORDSYS",     "ORDDATA",   "ORDPLUGINS", "EXFSYS",   "WMSYS",      "OLAPSYS",    "SYSMAN",
    "MGMT_VIEW",  "DIP",       "TSMSYS",    "ORACLE_OCM", "APPQOSSYS", "ANONYMOUS",  "XS$NULL",
    "SI_INFORMTN_SCHEMA", "LBACSYS", "DVSYS", "OWBSYS",   "FLOWS_FILES", "APEX_PUBLIC_USER", "SPATIAL_CSW_ADMIN_USR",
};

bool OracleSchema(std::string_view owner) {
  const std::string upper = AsciiUpper(std::string(owner));
  if (upper.rfind("APEX_", 0) == 0 || upper.rfind("FLOWS_", 0) == 0) return true;
  return std::find(kOracleSchemas.begin(), kOracleSchemas.end(), upper) != kOracleSchemas.end();
}

}  // namespace

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

std::vector<std::uint32_t> UserTables(const Catalogue& catalogue) {
  std::vector<std::uint32_t> out;
  for (const ObjectRecord& o : catalogue.ObjectsOfKind(ObjectKind::kTable)) {
    if (OracleSchema(o.owner)) continue;
    const std::string upper = AsciiUpper(o.name);
    if (upper.rfind("SYS_IOT_OVER", 0) == 0 || o.name.rfind("MLOG$", 0) == 0 || o.name.rfind("RUPD$", 0) == 0) continue;
    if (!catalogue.tables.First<0>(o.object_number)) continue;
    if (std::find(out.begin(), out.end(), o.object_number) == out.end()) out.push_back(o.object_number);
  }
  return out;
}

std::string TableName(const Catalogue& catalogue, std::uint32_t table_object_number) {
  const ObjectRecord* o = catalogue.Object(table_object_number);
  return o ? o->owner + "." + o->name : "#" + std::to_string(table_object_number);
}

}  // namespace quillon::cli
