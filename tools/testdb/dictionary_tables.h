// Oracle's dictionary tables as the generator writes them: every column in
// creation order with its type and the release that added it, the clusters
// and their member order per release, and the stored column order that
// follows from them.
//
// The column lists are those of Oracle's bootstrap scripts (11.2 order; the
// earlier releases lack the columns added later, see oracle-dictionary.md).
// Oracle stores a LONG column after all the others, whatever its place in the
// table, and a cluster member row without its cluster key columns (they live
// in the key row): StoredColumns gives that order, and the column numbers in
// the segment (SEGCOL#) the generator writes into COL$ follow it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::testdb {

// The dictionary layout of a release: the 9.0.1 layout stands for 8i (the
// generator's oldest), 9.2 for 9i.
enum class DictVersion : std::uint8_t { k901, k92, k101, k102, k111, k112 };

enum class DictType : std::uint8_t { kNumber, kInteger, kVarchar2, kChar, kRaw, kDate, kLong, kRowid, kClob, kBlob };

struct DictColumn {
  std::string name;
  DictType type = DictType::kNumber;
  std::uint32_t length = 0;  // VARCHAR2, CHAR, RAW
  bool not_null = false;
  DictVersion since = DictVersion::k901;
};

struct DictTable {
  std::string name;
  std::string cluster;            // the cluster it is stored in; "" for a table of its own
  std::vector<std::string> key_columns;  // its columns that hold the cluster key, in key order
  DictVersion since = DictVersion::k901;
  std::vector<DictColumn> columns;  // creation order

  // Position of a column in columns; -1 when the table has none of that name.
  int Index(std::string_view column) const;
  bool Exists(DictVersion v) const { return since <= v; }
};

struct DictCluster {
  std::string name;
  std::vector<DictColumn> key_columns;  // the cluster's own columns (its COL$ rows), in key order
};

// Every dictionary table the generator writes, and every cluster.
std::span<const DictTable> DictTables();
const DictTable& DictTableNamed(std::string_view name);
std::span<const DictCluster> DictClusters();
const DictCluster& DictClusterNamed(std::string_view name);

// The member tables of a cluster in their order (TAB# 1, 2, ...) in a
// release. C_OBJ# grew over the releases; its order in 9i and 10g is not
// documented and is ours: this is the one table that fixes it.
std::vector<std::string> ClusterMembers(std::string_view cluster, DictVersion v);
// TAB# of a member table in its cluster; 0 when it is not a member in v.
std::uint32_t MemberPosition(std::string_view table, DictVersion v);

// The columns of a table in a release, in creation order (positions in
// DictTable::columns).
std::vector<int> ReleaseColumns(const DictTable& table, DictVersion v);
// The columns as stored in a row: creation order with LONG columns last; for
// a cluster member (member_row) without the cluster key columns.
std::vector<int> StoredColumns(const DictTable& table, DictVersion v, bool member_row);
// The segment column number (SEGCOL#) of every release column, in creation
// order: cluster members count their key columns first (in key order), then
// the stored columns of the member row.
std::vector<std::uint32_t> SegmentColumnNumbers(const DictTable& table, DictVersion v);

}  // namespace quillon::testdb
