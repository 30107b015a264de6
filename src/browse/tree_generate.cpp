#include "browse/tree_generate.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "browse/tree_icons.h"
#include "reader/packed_codes.h"

namespace quillon {

namespace {

// STATUS of an invalid object (5, stored C1 06).
constexpr std::uint16_t kInvalidStatusCode = 0x06C1;
// NULL$ of a column that allows NULLs (0, stored as the single byte 0x80).
constexpr std::uint16_t kNullsAllowedCode = 0x0080;
// The part of TAB$.SPARE1 that holds the rows-per-block limit.
constexpr std::uint64_t kRowLimitMask = 0x7FFF;

// The thirteen folders under an owner, and the object kinds listed in them.
struct OwnerFolder {
  const char* caption;
  std::optional<ObjectKind> kind;  // absent: the tables, built on their own
  int icon;
  int invalid_icon;                // for objects whose status is 5
};
constexpr OwnerFolder kOwnerFolders[] = {
    {"Tables", std::nullopt, tree_icon::kTable, tree_icon::kTable},
    {"Clusters", ObjectKind::kCluster, tree_icon::kCluster, tree_icon::kCluster},
    {"Indexes", ObjectKind::kIndex, tree_icon::kIndex, tree_icon::kIndex},
    {"Views", ObjectKind::kView, tree_icon::kView, tree_icon::kViewInvalid},
    {"Synonyms", ObjectKind::kSynonym, tree_icon::kSynonym, tree_icon::kSynonym},
    {"Sequences", ObjectKind::kSequence, tree_icon::kSequence, tree_icon::kSequence},
    {"Procedures", ObjectKind::kProcedure, tree_icon::kProcedure, tree_icon::kProcedureInvalid},
    {"Functions", ObjectKind::kFunction, tree_icon::kFunction, tree_icon::kFunctionInvalid},
    {"Triggers", ObjectKind::kTrigger, tree_icon::kTrigger, tree_icon::kTriggerInvalid},
    {"Packages", ObjectKind::kPackage, tree_icon::kPackage, tree_icon::kPackageInvalid},
    {"Package Bodies", ObjectKind::kPackageBody, tree_icon::kPackageBody, tree_icon::kPackageBodyInvalid},
    {"Types", ObjectKind::kType, tree_icon::kType, tree_icon::kType},
    {"Type Bodies", ObjectKind::kTypeBody, tree_icon::kTypeBody, tree_icon::kTypeBody},
};

// Constraint captions by CDEF$.TYPE#.
struct ConstraintCaption {
  std::uint32_t type_code;
  const char* prefix;
  int icon;
};
constexpr ConstraintCaption kConstraintCaptions[] = {
    {PackedCode(constraint_type::kCheck), "CHECK ", tree_icon::kCheckConstraint},
    {PackedCode(constraint_type::kNotNull), "CHECK ", tree_icon::kCheckConstraint},
    {PackedCode(constraint_type::kPrimaryKey), "PRIMARY ", tree_icon::kPrimaryKey},
    {PackedCode(constraint_type::kUnique), "UNIQUE ", tree_icon::kUniqueKey},
    {PackedCode(constraint_type::kForeignKey), "FOREIGN ", tree_icon::kForeignKey},
};

// The objects of one kind grouped by owner name (without regard to case),
// each group in catalogue order.
using ObjectsByOwner = std::unordered_map<std::string, std::vector<const ObjectRecord*>>;

ObjectsByOwner GroupByOwner(const Catalogue& cat, ObjectKind kind) {
  ObjectsByOwner out;
  for (const ObjectRecord& o : cat.ObjectsOfKind(kind)) out[AsciiUpper(o.owner)].push_back(&o);
  return out;
}

const std::vector<const ObjectRecord*>& OwnedBy(const ObjectsByOwner& groups, const std::string& user) {
  static const std::vector<const ObjectRecord*> kNone;
  const auto it = groups.find(AsciiUpper(user));
  return it == groups.end() ? kNone : it->second;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// The tests before the Tables folder gets its box.
bool PassesFirstTests(const ObjectRecord& object, const TableRecord* table) {
  const std::uint32_t property = table ? table->property_low() : 0;
  if (std::find(kHiddenTableProperties.begin(), kHiddenTableProperties.end(), property) !=
      kHiddenTableProperties.end()) {
    return false;
  }
  const std::string_view name = object.name;
  return !StartsWith(name, "MLOG$") && !StartsWith(name, "RUPD$") && !StartsWith(name, "USLOG$");
}

// The tests after it.
bool PassesLastTests(const ObjectRecord& object, const TableRecord* table, std::uint32_t block_size) {
  if (table) {
    if ((table->spare1 & kRowLimitMask) > UncompressedRowLimit(block_size)) return false;
    if (table->trigger_flags & kEncryptedColumnsFlags) return false;
  }
  if (object.flags_code == kRecycleBinFlagsCode) return false;
  return !EqualsIgnoreCase(std::string_view(object.name).substr(0, 12), "SYS_IOT_OVER");
}

void AddTableChildren(ObjectTree& tree, NodeId table_node, const Catalogue& cat, std::uint32_t object_number) {
  const NodeId columns = tree.Add(table_node, "Columns", tree_icon::kFolderClosed);
  for (const ColumnInfo& c : cat.columns.All<0>(object_number)) {
    if (c.column_number == 0 && c.segment_column == 0) continue;
    std::string caption = c.name + " " + c.sql_type;
    if (c.null_bytes != kNullsAllowedCode) caption += " not null";
    tree.Add(columns, std::move(caption), tree_icon::kColumn);
  }
  const NodeId constraints = tree.Add(table_node, "Constraints", tree_icon::kFolderClosed);
  for (const ConstraintRecord& d : cat.constraints.All<0>(object_number)) {
    const auto kind = std::find_if(std::begin(kConstraintCaptions), std::end(kConstraintCaptions),
                                   [&](const ConstraintCaption& k) { return k.type_code == d.type_code; });
    if (kind == std::end(kConstraintCaptions)) continue;
    for (const ConstraintNameRecord& n : cat.constraint_names.All<0>(d.constraint_number)) {
      tree.Add(constraints, kind->prefix + n.name, kind->icon);
    }
  }
  const NodeId partitions = tree.Add(table_node, "Partitions", tree_icon::kFolderClosed);
  const auto parts = cat.table_partitions.All<0>(object_number);
  if (!parts.empty()) {
    for (const e6struct& p : parts) tree.Add(partitions, p.name, tree_icon::kPartition);
  } else {
    for (const F9struct& p : cat.composite_partitions.All<0>(object_number)) {
      tree.Add(partitions, p.name, tree_icon::kPartition);
    }
  }
}

void AddTables(ObjectTree& tree, NodeId folder, const std::vector<const ObjectRecord*>& tables,
               const COracleRecoveryTools& engine) {
  const Catalogue& cat = engine.catalogue;
  for (const ObjectRecord* object : tables) {
    const TableRecord* table = cat.tables.First<0>(object->object_number);
    if (!PassesFirstTests(*object, table)) continue;
    tree.SetState(folder, CheckState::kChecked);
    if (!PassesLastTests(*object, table, engine.identification.block_size)) continue;
    const NodeId node = tree.Add(folder, object->name, tree_icon::kTable, CheckState::kChecked);
    tree.AddShownTable({object->owner + "." + object->name, object->object_number});
    AddTableChildren(tree, node, cat, object->object_number);
  }
}

}  // namespace

std::uint32_t UncompressedRowLimit(std::uint32_t block_size) {
  constexpr std::uint32_t kLimitAt8K = 736;
  if (block_size <= 8192) return kLimitAt8K;
  // Larger blocks hold proportionally more rows; a small margin keeps the
  // exact limit Oracle computes for them below the line.
  return static_cast<std::uint32_t>(std::uint64_t{kLimitAt8K} * block_size / 8192 * 103 / 100);
}

void AddSchemaBranch(ObjectTree& tree, const COracleRecoveryTools& engine) {
  const Catalogue& cat = engine.catalogue;
  const NodeId schema = tree.Add(tree.root(), std::string(tree_caption::kSchema), tree_icon::kSchema,
                                 CheckState::kChecked);
  std::vector<ObjectsByOwner> groups;
  for (const OwnerFolder& f : kOwnerFolders) {
    groups.push_back(GroupByOwner(cat, f.kind.value_or(ObjectKind::kTable)));
  }
  for (const UserRecord& user : cat.users) {
    const NodeId owner = tree.Add(schema, user.name, tree_icon::kOwner, CheckState::kChecked);
    std::vector<NodeId> folders;
    for (const OwnerFolder& f : kOwnerFolders) folders.push_back(tree.Add(owner, f.caption, tree_icon::kFolderClosed));
    AddTables(tree, folders[0], OwnedBy(groups[0], user.name), engine);
    for (std::size_t i = 1; i < std::size(kOwnerFolders); ++i) {
      for (const ObjectRecord* o : OwnedBy(groups[i], user.name)) {
        const bool invalid = o->status_code == kInvalidStatusCode;
        tree.Add(folders[i], o->name, invalid ? kOwnerFolders[i].invalid_icon : kOwnerFolders[i].icon);
      }
    }
  }
}

ObjectTree GenerateTree(const COracleRecoveryTools& engine, const std::string& root_caption) {
  ObjectTree tree(root_caption);
  tree.SetState(tree.root(), CheckState::kChecked);
  AddSchemaBranch(tree, engine);
  AddSecurityBranch(tree, engine.catalogue);
  AddStorageBranch(tree, engine);
  AddDistributedBranch(tree, engine.catalogue);
  AddXmlSchemaBranch(tree, engine.catalogue);
  tree.SetExpandedFlag(tree.root(), true);
  return tree;
}

}  // namespace quillon
