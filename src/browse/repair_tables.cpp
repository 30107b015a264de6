#include "browse/repair_tables.h"

#include <optional>

#include "reader/datafile.h"

namespace quillon {

namespace {

std::optional<std::uint32_t> ObjectOf(const ObjectTree& tree, const Catalogue& catalogue, const std::string& name) {
  // The tree's own record of the tables it shows names exactly the object.
  for (const ShownTable& shown : tree.shown_tables()) {
    if (shown.text == name) return shown.object_number;
  }
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::string owner = name.substr(0, dot);
  const std::string table = name.substr(dot + 1);
  // The owner node carries the user's name; the table's owner matches it
  // without regard to case.
  for (const std::string& o : {owner, AsciiUpper(owner)}) {
    if (const ObjectRecord* object = catalogue.FindObject(ObjectKind::kTable, o, table)) return object->object_number;
  }
  return std::nullopt;
}

}  // namespace

RepairTables SelectRepairTables(const ObjectTree& tree, const Catalogue& catalogue) {
  RepairTables out;
  for (std::string& name : tree.CollectRepairTableList()) {
    const std::optional<std::uint32_t> object = ObjectOf(tree, catalogue, name);
    if (!object) continue;
    out.names.push_back(std::move(name));
    out.objects.push_back(*object);
  }
  return out;
}

}  // namespace quillon
