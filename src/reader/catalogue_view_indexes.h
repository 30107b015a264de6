// Index and cluster definitions: the IND$ and ICOL$ rows of one index, and
// the CLU$ row and key columns of one cluster, joined and typed.
//
// Built by CatalogueViews (catalogue_views.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/catalogue_view_tables.h"

namespace quillon {

// What an index is for (IND$.TYPE#, PROPERTY and the constraints of its
// table). Only kNormal, kBitmap and kCluster indexes are created by a
// CREATE INDEX of their own; the others come with the object they serve.
enum class IndexKind : std::uint8_t {
  kNormal,      // a B-tree index (TYPE# 1)
  kBitmap,      // TYPE# 2
  kCluster,     // TYPE# 3: the index of an indexed cluster
  kIotTop,      // TYPE# 4: holds the rows of an index-organized table
  kLob,         // TYPE# 8: the index of a LOB segment
  kDomain,      // TYPE# 9: a domain (cooperative) index
  kOther,       // any other TYPE#
};

// One column of an index, in POS# order.
struct IndexColumnDefinition {
  std::string name;                   // the table column ("SYS_NC00005$" for expressions); "#n" when unknown
  std::uint32_t internal_column = 0;  // INTCOL# in the table
  std::uint32_t position = 0;         // POS#
  // The expression of a function-based index column (the DEFAULT$ text of
  // its hidden SYS_NC column); std::nullopt for plain columns.
  std::optional<std::string> expression;
  bool descending = false;            // ICOL$.SPARE1 0x02 or the hidden column's PROPERTY 0x20000
};

// An index object with its IND$ row and columns.
struct IndexDefinition {
  ObjectName object;                  // owner, name, OBJ#
  bool has_index_record = false;      // an IND$ row was read; without it the fields below keep their defaults
  // The table (or cluster) it indexes; std::nullopt when no IND$ row or no
  // OBJ$ row of the base object was read.
  std::optional<ObjectName> table;
  bool on_cluster = false;            // the base object is a cluster
  std::uint32_t type = 0;             // IND$.TYPE# decoded
  IndexKind kind = IndexKind::kOther;
  std::uint64_t property = 0;         // IND$.PROPERTY, every bit
  bool unique = false;                // PROPERTY 0x01
  bool partitioned = false;           // PROPERTY 0x02
  bool reverse = false;               // PROPERTY 0x04
  bool function_based = false;        // PROPERTY 0x10
  bool bitmap = false;                // TYPE# 2
  // The index enforces a primary key or unique constraint of its table
  // (PROPERTY 0x1000, or the constraint's ENABLED holds the index's OBJ#,
  // or a key constraint has the index's name); its name when found.
  bool backs_constraint = false;
  std::optional<std::string> constraint_name;
  std::string tablespace;
  std::optional<std::uint32_t> data_object_number;
  std::uint32_t relative_file_number = 0;
  std::uint64_t header_block = 0;
  std::vector<IndexColumnDefinition> columns;  // POS# order (stable for equal positions)

  // An index a CREATE INDEX re-creates: an ordinary B-tree, bitmap or
  // cluster index that no constraint, LOB or IOT brings along.
  bool CreatedOnItsOwn() const;
};

// A cluster with its CLU$ row and key columns.
struct ClusterDefinition {
  ObjectName object;
  bool has_cluster_record = false;
  std::string tablespace;
  // HASHKEYS; 0 for an indexed cluster (and when no CLU$ row was read).
  std::int64_t hash_keys = 0;
  bool hash = false;                  // a hash cluster (HASHKEYS not zero)
  std::optional<std::int64_t> size;   // SIZE
  // The key columns (the cluster's own COL$ rows) in COL# order.
  std::vector<ColumnDefinition> key_columns;
  // The tables stored in it, by TAB#.
  std::vector<ObjectName> tables;
};

IndexKind IndexKindOf(std::uint32_t type);

}  // namespace quillon
