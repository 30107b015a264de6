// Index blocks (type 0x06, block kind 2) in Oracle's layout (format.h,
// index_header): the transaction header, the index header after the ITLs,
// the row directory at H + 36 and the rows packed from the end of the
// block. Leaf and branch blocks of B-tree indexes and of index-organized
// tables are built with it; the segment writer packs the rows of an index
// segment into such blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "reader/block_view.h"
#include "testdb/block_writer.h"

namespace quillon::testdb {

// The leaf rows of one B-tree index or index-organized table, in key order.
// key: the key columns as stored (length bytes and values), which branch
// blocks repeat as separators; row: the whole leaf row (flag and lock byte
// first) as IndexLeafRow and the IOT helpers below build it.
struct IndexEntry {
  Bytes key;
  Bytes row;
};

// A leaf row of a normal index: flag, lock, then for a unique index the
// 6-byte row address as data part and the keys, else the keys and the row
// address as last key column. rowid: relative DBA (4, BE) and slot (2, BE).
Bytes IndexLeafRow(std::span<const std::uint8_t> key, std::span<const std::uint8_t> rowid, bool unique);
// The 6-byte row address an index holds.
Bytes IndexRowid(std::uint32_t dba, std::uint16_t slot);
// The key part of an index entry: the columns with their length bytes.
Bytes IndexKey(std::span<const ColumnBytes> columns);

class IndexBlockBuilder {
 public:
  void Reset(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count, std::uint32_t object_number,
             std::uint8_t level, std::uint8_t flags, std::uint8_t key_columns);

  // Bytes left for one more row and its directory entry, keeping reserve free.
  std::size_t FreeSpace(std::size_t reserve = 0) const;
  // Adds a row; false when it does not fit.
  bool Add(std::span<const std::uint8_t> row, std::size_t reserve = 0);
  std::size_t row_count() const { return offsets_.size(); }

  void SetLeafLinks(std::uint32_t next, std::uint32_t previous) {
    next_ = next;
    previous_ = previous;
  }
  void SetLeftmostChild(std::uint32_t dba) { leftmost_ = dba; }
  void SetBitmapBlock(std::uint32_t dba) { bitmap_dba_ = dba; }

  void Write(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t rdba,
             const BlockStamp& stamp) const;

  // Bytes a fresh block of this shape holds for rows (with their directory
  // entries), keeping reserve free.
  static std::size_t Capacity(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                              std::size_t reserve);

 private:
  std::size_t block_size_ = 0;
  SpaceManagement space_ = SpaceManagement::kFreeList;
  std::uint16_t itl_count_ = 2;
  std::uint32_t object_number_ = 0;
  std::uint8_t level_ = 0;
  std::uint8_t flags_ = 0;
  std::uint8_t key_columns_ = 0;
  std::size_t header_ = 0;
  std::size_t row_top_ = 0;
  std::vector<std::uint16_t> offsets_;  // relative to H
  Bytes rows_;                          // indexed absolutely
  std::uint32_t next_ = 0;
  std::uint32_t previous_ = 0;
  std::uint32_t leftmost_ = 0;
  std::uint32_t bitmap_dba_ = 0;
};

}  // namespace quillon::testdb
