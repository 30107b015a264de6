// Partitioning records, read from the nine partition segments of the SYSTEM
// tablespace (in this order: PARTOBJ$, PARTCOL$, TABPART$, SUBPARTCOL$,
// TABSUBPART$, TABCOMPART$, LOBFRAG$, LOBCOMPPART$, INDPART$).
//
// Partition names are the SUBNAME of the partition's OBJ$ row. High values
// are the HIBOUNDVAL texts; Oracle stores that LONG column last in the row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// PARTOBJ$ row: a partitioned table or index.
struct PartitionedObjectRecord {
  std::uint32_t object_number = 0;       // OBJ#
  std::uint32_t partitioning_type = 0;   // PARTTYPE: 1 range, 2 hash, 3 system, 4 list, 5 reference
  std::uint32_t partition_count = 0;     // PARTCNT
  std::uint32_t key_column_count = 0;    // PARTKEYCOLS
  std::uint64_t flags = 0;               // FLAGS (0x01 local index, 0x40 interval ...)
  std::optional<std::uint32_t> default_tablespace_number;  // DEFTS#
  std::string default_tablespace;
  std::uint32_t subpartitioning_type = 0;   // SPARE2 byte 0
  std::uint32_t subpartition_key_column_count = 0;  // SPARE2 byte 1
  std::uint32_t default_subpartition_count = 0;     // SPARE2 bytes 2-3
  std::string interval;                  // INTERVAL_STR (11g)
};

// PARTCOL$ or SUBPARTCOL$ row: one partitioning key column.
struct PartitionColumnRecord {
  std::uint32_t object_number = 0;    // OBJ# of the partitioned table or index
  std::uint32_t internal_column = 0;  // INTCOL#
  std::uint32_t column_number = 0;    // COL#
  std::uint32_t position = 0;         // POS#
  std::uint32_t type_code = 0;        // packed TYPE#
  bool subpartition_key = false;      // read from SUBPARTCOL$
};

// A table partition (TABPART$) or an index partition (INDPART$): a partition
// with a segment of its own.
struct e6struct {
  std::uint32_t object_number = 0;       // OBJ#
  std::string name;                      // the partition name
  std::uint32_t base_object = 0;         // BO#: the partitioned table or index
  std::uint64_t header_block = 0;        // BLOCK# of the segment header
  std::uint32_t relative_file_number = 0;  // FILE#
  std::string tablespace;
  std::string high_value;                // HIBOUNDVAL
  std::string base_name;                 // name of the partitioned table or index
  std::uint32_t partition_number = 0;    // PART#
  std::optional<std::uint32_t> data_object_number;  // DATAOBJ#
  std::uint32_t flags = 0;               // FLAGS
  std::uint32_t tablespace_number = 0;   // TS#
  std::uint32_t overflow_threshold = 0;  // PCTTHRES$ (index partitions of IOTs)
  std::uint32_t including_column = 0;    // INCLCOL (index partitions of IOTs)
};

// A composite partition (TABCOMPART$): its segments are its subpartitions.
struct F9struct {
  std::uint32_t object_number = 0;       // OBJ#
  std::string name;
  std::uint32_t base_object = 0;         // BO#
  std::uint64_t flags = 0;               // FLAGS
  std::uint32_t subpartition_count = 0;  // SUBPARTCNT
  std::string default_tablespace;        // DEFTS#
  std::string high_value;                // HIBOUNDVAL
  std::string base_name;
  std::uint32_t partition_number = 0;    // PART#
};

// A table subpartition (TABSUBPART$).
struct F0struct {
  std::uint32_t object_number = 0;       // OBJ#
  std::string name;
  std::uint32_t parent_partition = 0;    // POBJ#: the composite partition
  std::uint64_t header_block = 0;        // BLOCK#
  std::uint32_t relative_file_number = 0;  // FILE#
  std::string tablespace;
  std::string high_value;                // HIBOUNDVAL (9.2 and later)
  std::string base_name;                 // name of the partitioned table
  std::uint32_t subpartition_number = 0; // SUBPART#
  std::optional<std::uint32_t> data_object_number;
  std::uint32_t flags = 0;
  std::uint32_t tablespace_number = 0;
};

// LOBFRAG$ row: the segment of a LOB partition or subpartition.
struct LobFragmentRecord {
  std::uint32_t fragment_object_number = 0;  // FRAGOBJ#
  std::uint32_t parent_object_number = 0;    // PARENTOBJ#: the LOB column or LOB partition
  std::uint32_t table_fragment_object = 0;   // TABFRAGOBJ#: the table (sub)partition
  std::uint32_t fragment_number = 0;         // FRAG#
  std::string fragment_type;                 // FRAGTYPE$: "P" or "S"
  std::uint32_t tablespace_number = 0;
  std::string tablespace;
  std::uint32_t relative_file_number = 0;
  std::uint64_t header_block = 0;
  std::uint32_t chunk = 0;
};

// LOBCOMPPART$ row: a LOB partition of a composite-partitioned table.
struct LobCompositePartitionRecord {
  std::uint32_t partition_object_number = 0;  // PARTOBJ#
  std::uint32_t lob_object_number = 0;        // LOBJ#
  std::uint32_t table_partition_object = 0;   // TABPARTOBJ#
  std::uint32_t partition_number = 0;         // PART#
  std::optional<std::uint32_t> default_tablespace_number;
};

}  // namespace quillon
