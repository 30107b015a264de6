// Objects: the rows of OBJ$, and the kinds the catalogue lists them under.
//
// Every OBJ$ row read is kept (lookups by object number find LOB segments,
// index partitions, XML repository tables and the rest); the rows whose
// NAMESPACE and TYPE# pair stands in the kind table are also listed under
// their kind, and most kinds raise a counter of the scan report.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "reader/bytes.h"

namespace quillon {

enum class ObjectKind : std::uint8_t {
  kTable,
  kView,
  kSynonym,
  kSequence,
  kProcedure,
  kFunction,
  kPackage,
  kType,
  kTablePartition,
  kTableSubpartition,
  kTypeBody,
  kPackageBody,
  kTrigger,
  kIndex,
  kCluster,
  kMaterializedView,
};
inline constexpr std::size_t kObjectKindCount = 16;

// The counters of the scan report. Object kinds raise theirs when their OBJ$
// row is read; users, roles, tablespaces, links and materialized views and
// logs when their own rows are read.
enum class Counter : std::uint8_t {
  kUserTypes,
  kSynonyms,
  kSequences,
  kFunctions,
  kTriggers,
  kPackages,
  kPackageBodies,
  kProcedures,
  kViews,
  kClusters,
  kIndexes,
  kTypeBodies,
  kRoles,
  kUsers,
  kTablespaces,
  kDatafiles,
  kDatabaseLinks,
  kMaterializedViewLogs,
  kMaterializedViews,
  kTables,
};
inline constexpr std::size_t kCounterCount = 20;

struct CounterLabel {
  Counter counter;
  std::string_view key;     // the JSON key
  std::string_view label;   // the scan report's label, exactly; empty for the table count
};
// In the order the scan report prints them; the table count last.
std::span<const CounterLabel> CounterLabels();

struct ObjectKindInfo {
  ObjectKind kind;
  std::uint32_t namespace_code;   // packed NAMESPACE
  std::uint32_t type_code;        // packed TYPE#
  std::string_view key;           // JSON key of the kind's list
  std::optional<Counter> counter; // the counter it raises
};
// The kinds in dispatch order.
std::span<const ObjectKindInfo> ObjectKinds();
// The kind of an OBJ$ row, by its packed NAMESPACE and TYPE#.
std::optional<ObjectKind> KindOf(std::uint32_t namespace_code, std::uint32_t type_code);
const ObjectKindInfo& InfoOf(ObjectKind kind);

// The owner name of objects whose OWNER# matches no user.
inline constexpr std::string_view kUnknownOwnerName = "DEMO$$";

// An OBJ$ row.
struct ObjectRecord {
  std::uint32_t object_number = 0;                  // OBJ#
  std::optional<std::uint32_t> data_object_number;  // DATAOBJ#
  std::uint32_t owner_number = 0;                   // OWNER#
  std::string owner;                                // the owner's name, kUnknownOwnerName when none
  std::string name;
  std::uint32_t namespace_code = 0;                 // packed NAMESPACE
  std::string subname;                              // SUBNAME: the partition name of partitions
  std::uint32_t type_code = 0;                      // packed TYPE#
  std::uint32_t type = 0;                           // TYPE# decoded
  std::uint16_t status_code = 0;                    // STATUS as stored (0x06C1: invalid)
  std::uint32_t status = 0;                         // STATUS decoded
  std::uint32_t flags_code = 0;                     // FLAGS packed (C2 02 1D: in the recycle bin)
  std::uint64_t flags = 0;                          // FLAGS decoded
  std::string oid;                                  // OID$ as sixteen " %02X" groups, empty when NULL
  std::optional<ObjectKind> kind;                   // the kind it is listed under
};

// Sixteen " %02X" groups (the text form of type identifiers and OIDs).
std::string OidText(ByteView bytes);

}  // namespace quillon
