// Storage records: tablespaces (TS$), tables (TAB$), clusters (CLU$),
// indexes (IND$) and their columns (ICOL$), LOB columns (LOB$), and the
// database's datafiles as the catalogue lists them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// TS$ row (C_TS# cluster, member TS$).
struct TablespaceRecord {
  std::string name;
  std::uint32_t owner_code = 0;       // OWNER# packed
  std::uint16_t contents = 0;         // CONTENTS$ as stored: 0x80 permanent, 0x02C1 temporary
  std::uint32_t block_size_code = 0;  // BLOCKSIZE packed
  std::uint16_t online_status = 0;    // ONLINE$ as stored: 0x02C1 online, 0x03C1 offline
  std::uint16_t default_logging = 0;  // DFLOGGING as stored
  std::uint32_t number = 0;           // TS#, the cluster key
  std::uint32_t block_size = 0;       // BLOCKSIZE decoded
  std::uint64_t flags = 0;            // FLAGS (0x10 undo, 0x20 automatic segment space management)
};

// TAB$ row (C_OBJ# cluster, member TAB$). Values Oracle stores as NULL are
// absent optionals: a table without a segment of its own (index-organized,
// partitioned, deferred segment) has no data object number; a table outside
// a cluster has no cluster position.
struct TableRecord {
  std::uint32_t object_number = 0;                 // OBJ#, the cluster key
  std::optional<std::uint32_t> data_object_number; // DATAOBJ#
  std::string tablespace;                          // TS# resolved through the tablespaces
  std::uint32_t relative_file_number = 0;          // FILE# of the segment header
  std::uint64_t header_block = 0;                  // BLOCK# of the segment header
  std::optional<std::uint32_t> base_object;        // BOBJ#: the cluster or the IOT
  std::optional<std::uint32_t> cluster_position;   // TAB#
  std::uint32_t column_count = 0;                  // COLS
  std::optional<std::uint32_t> cluster_column_count;  // CLUCOLS
  std::uint32_t pct_used = 0;                      // PCTUSED$
  std::uint64_t property = 0;                      // PROPERTY, every bit (0x20 partitioned, 0x40 IOT ...)
  std::uint64_t trigger_flags = 0;                 // TRIGFLAG (0x10000/0x20000: encrypted columns)
  std::uint64_t spare1 = 0;                        // SPARE1, the rows-per-block factor (compression)
  std::uint64_t flags = 0;                         // FLAGS
  std::uint32_t tablespace_number = 0;             // TS#
  std::uint32_t pct_free = 0;                      // PCTFREE$

  // PROPERTY as the lists of Parts that compare property values see it: the
  // low 32 bits.
  std::uint32_t property_low() const { return static_cast<std::uint32_t>(property); }
};

// CLU$ row (C_OBJ# cluster, member CLU$).
struct ClusterRecord {
  std::uint32_t object_number = 0;
  std::optional<std::uint32_t> data_object_number;
  std::string tablespace;
  std::uint32_t relative_file_number = 0;
  std::uint64_t header_block = 0;
  std::uint32_t key_column_count = 0;  // COLS
  std::optional<std::int64_t> size;    // SIZE$
  std::string hash_keys_text;          // HASHKEYS as number text ("0.0000": not a hash cluster; "FF": NULL)
  std::int64_t hash_keys = 0;
  std::uint64_t flags = 0;
};

// IND$ row (C_OBJ# cluster keyed by the base table, member IND$).
struct IndexRecord {
  std::uint32_t table_object_number = 0;       // BO#, the cluster key
  std::uint32_t index_object_number = 0;       // OBJ#
  std::optional<std::uint32_t> data_object_number;
  std::string tablespace;                      // "SYSTEM" when TS# is stored in 5 bytes or more
  std::uint32_t relative_file_number = 0;
  std::uint64_t header_block = 0;
  std::uint32_t method_code = 0;               // INDMETHOD# packed
  std::uint32_t column_count = 0;              // COLS; 0 when NULL
  std::uint16_t index_type = 0;                // TYPE# as stored (0x02C1 normal, 0x03C1 bitmap, 0x04C1 cluster ...)
  std::uint32_t including_column = 0;          // TRUNCCNT, the IOT INCLUDING column; 0 when NULL
  std::uint32_t overflow_threshold = 0;        // PCTTHRES$; above 99 read as 50; 0 when NULL
  std::uint64_t flags = 0;                     // FLAGS
  std::uint32_t property_code = 0;             // PROPERTY packed
  std::uint64_t property = 0;                  // PROPERTY decoded (0x01 unique, 0x02 partitioned, 0x04 reverse)
  std::uint32_t type = 0;                      // TYPE# decoded
  std::uint32_t tablespace_number = 0;
};

// ICOL$ row (C_OBJ# cluster keyed by the base table, member ICOL$).
struct IndexColumnRecord {
  std::uint32_t table_object_number = 0;  // BO#, the cluster key
  std::uint32_t index_object_number = 0;  // OBJ#
  std::uint32_t column_number = 0;        // COL#
  std::uint32_t position = 0;             // POS#
  std::uint32_t segment_column = 0;       // SEGCOL#
  std::uint32_t internal_column = 0;      // INTCOL#
  std::uint64_t flags = 0;                // SPARE1: 0x01 expression, 0x02 descending
};

// LOB$ row (C_OBJ# cluster, member LOB$).
struct LobRecord {
  std::uint32_t table_object_number = 0;  // OBJ#, the cluster key
  std::uint32_t column_number = 0;        // COL#
  std::uint32_t internal_column = 0;      // INTCOL#
  std::uint32_t lob_object_number = 0;    // LOBJ#
  std::uint32_t index_object_number = 0;  // IND#
  std::uint32_t tablespace_number = 0;    // TS#
  std::string tablespace;
  std::uint32_t relative_file_number = 0; // FILE# of the LOB segment header
  std::uint64_t header_block = 0;         // BLOCK#
  std::uint32_t chunk = 0;                // CHUNK, in blocks
  std::uint64_t flags = 0;                // FLAGS
  std::uint64_t property = 0;             // PROPERTY
};

}  // namespace quillon
