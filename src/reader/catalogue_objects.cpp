#include "reader/catalogue_objects.h"

#include <array>

#include "reader/packed_codes.h"

namespace quillon {

namespace {

constexpr std::array kCounterLabels = {
    CounterLabel{Counter::kUserTypes, "user_types", "Total User Type in Database                  : "},
    CounterLabel{Counter::kSynonyms, "synonyms", "Total Synonyms in Database                  : "},
    CounterLabel{Counter::kSequences, "sequences", "Total Sequence  in Database                  : "},
    CounterLabel{Counter::kFunctions, "functions", "Total Function in Database                     : "},
    CounterLabel{Counter::kTriggers, "triggers", "Total Triggers in Database                      : "},
    CounterLabel{Counter::kPackages, "packages", "Total Package in Database                      : "},
    CounterLabel{Counter::kPackageBodies, "package_bodies", "Total Package Body in Database             : "},
    CounterLabel{Counter::kProcedures, "procedures", "Total Stored Procedure in Database       : "},
    CounterLabel{Counter::kViews, "views", "Total View in Database                            : "},
    CounterLabel{Counter::kClusters, "clusters", "Total Cluster in Database                        : "},
    CounterLabel{Counter::kIndexes, "indexes", "Total Index in Database                          : "},
    CounterLabel{Counter::kTypeBodies, "type_bodies", "Total Type Body in Database                  : "},
    CounterLabel{Counter::kRoles, "roles", "Total Role in Database                            : "},
    CounterLabel{Counter::kUsers, "users", "Total User in Database                            : "},
    CounterLabel{Counter::kTablespaces, "tablespaces", "Total TableSpace in Database                 : "},
    CounterLabel{Counter::kDatafiles, "datafiles", "Total DataFile in Database                      : "},
    CounterLabel{Counter::kDatabaseLinks, "database_links", "Total Database link in Database              : "},
    CounterLabel{Counter::kMaterializedViewLogs, "materialized_view_logs", "Total Materialized View Log                     : "},
    CounterLabel{Counter::kMaterializedViews, "materialized_views", "Total Materialized View                           : "},
    CounterLabel{Counter::kTables, "tables", ""},
};

// NAMESPACE and TYPE# of the OBJ$ rows listed by kind.
constexpr std::array kObjectKinds = {
    ObjectKindInfo{ObjectKind::kTable, PackedCode(1), PackedCode(2), "tables", Counter::kTables},
    ObjectKindInfo{ObjectKind::kView, PackedCode(1), PackedCode(4), "views", Counter::kViews},
    ObjectKindInfo{ObjectKind::kSynonym, PackedCode(1), PackedCode(5), "synonyms", Counter::kSynonyms},
    ObjectKindInfo{ObjectKind::kSequence, PackedCode(1), PackedCode(6), "sequences", Counter::kSequences},
    ObjectKindInfo{ObjectKind::kProcedure, PackedCode(1), PackedCode(7), "procedures", Counter::kProcedures},
    ObjectKindInfo{ObjectKind::kFunction, PackedCode(1), PackedCode(8), "functions", Counter::kFunctions},
    ObjectKindInfo{ObjectKind::kPackage, PackedCode(1), PackedCode(9), "packages", Counter::kPackages},
    ObjectKindInfo{ObjectKind::kType, PackedCode(1), PackedCode(13), "types", Counter::kUserTypes},
    ObjectKindInfo{ObjectKind::kTablePartition, PackedCode(1), PackedCode(19), "table_partitions", std::nullopt},
    ObjectKindInfo{ObjectKind::kTableSubpartition, PackedCode(1), PackedCode(34), "table_subpartitions", std::nullopt},
    ObjectKindInfo{ObjectKind::kTypeBody, PackedCode(2), PackedCode(14), "type_bodies", Counter::kTypeBodies},
    ObjectKindInfo{ObjectKind::kPackageBody, PackedCode(2), PackedCode(11), "package_bodies", Counter::kPackageBodies},
    ObjectKindInfo{ObjectKind::kTrigger, PackedCode(3), PackedCode(12), "triggers", Counter::kTriggers},
    ObjectKindInfo{ObjectKind::kIndex, PackedCode(4), PackedCode(1), "indexes", Counter::kIndexes},
    ObjectKindInfo{ObjectKind::kCluster, PackedCode(5), PackedCode(3), "clusters", Counter::kClusters},
    ObjectKindInfo{ObjectKind::kMaterializedView, PackedCode(19), PackedCode(42), "materialized_view_objects", std::nullopt},
};
static_assert(kObjectKinds.size() == kObjectKindCount);
static_assert(kCounterLabels.size() == kCounterCount);

}  // namespace

std::span<const CounterLabel> CounterLabels() { return kCounterLabels; }

std::span<const ObjectKindInfo> ObjectKinds() { return kObjectKinds; }

std::optional<ObjectKind> KindOf(std::uint32_t namespace_code, std::uint32_t type_code) {
  for (const auto& info : kObjectKinds) {
    if (info.namespace_code == namespace_code && info.type_code == type_code) return info.kind;
  }
  return std::nullopt;
}

const ObjectKindInfo& InfoOf(ObjectKind kind) { return kObjectKinds[static_cast<std::size_t>(kind)]; }

std::string OidText(ByteView bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t b : bytes.span()) {
    text.push_back(' ');
    text.push_back(kHex[b >> 4]);
    text.push_back(kHex[b & 0x0F]);
  }
  return text;
}

}  // namespace quillon
