// Byte-level writers for the blocks of a synthetic datafile, in Oracle's
// layout: block 0, the file header block, segment headers and extent map
// blocks, and table/cluster data blocks with their row pieces.
//
// The writers use the reader's format constants, so reader and generator
// share one description of every structure. Fields the reader never uses
// (SCN, ITL transaction ids, free-space pointers, tail, checksum) are filled
// as Oracle fills them, so the files look like real datafiles to any reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reader/block_view.h"
#include "reader/format.h"
#include "reader/row_piece.h"

namespace quillon::testdb {

using Bytes = std::vector<std::uint8_t>;
// A column's stored bytes; std::nullopt is NULL.
using ColumnBytes = std::optional<Bytes>;

// The SCN and sequence a block was last written with.
struct BlockStamp {
  std::uint32_t scn_base = 0x00100000;
  std::uint16_t scn_wrap = 0;
  std::uint8_t sequence = 1;
};

// Writes the common block header (type, format, rdba, SCN, flags), the tail,
// and last the checksum (so that the XOR of all 16-bit words is zero).
void FinishBlock(std::span<std::uint8_t> block, std::uint8_t type, std::uint8_t format_byte,
                 std::uint32_t rdba, const BlockStamp& stamp);

// Block 0: format byte, block size, block count and magic.
void WriteOsHeaderBlock(std::span<std::uint8_t> block, std::uint8_t format_byte,
                        std::uint32_t block_size, std::uint32_t block_count);

struct FileHeaderSpec {
  std::uint8_t format_byte = format::header_format::k8K;
  std::uint32_t relative_file = 1;
  std::uint16_t compatibility_code = 0x0B20;  // modern format
  std::uint8_t major_release = 9;             // legacy format
  std::string database_name;                  // at most 8 characters
  std::string tablespace_name;                // at most 30 characters
  std::uint32_t acceptance = 0x2000;          // non-zero in a datafile
  std::uint32_t legacy_word = 0;
  std::uint32_t block_count = 0;
  BlockStamp stamp;
};
void WriteFileHeaderBlock(std::span<std::uint8_t> block, const FileHeaderSpec& spec);

struct ExtentSpec {
  std::uint32_t first_dba = 0;
  std::uint32_t block_count = 0;
};

// How many extent entries fit in a segment header or extent map block.
std::size_t ExtentMapCapacity(std::size_t block_size, std::uint8_t block_type);

// A segment header (0x10 or 0x23) or extent map block (0x12 or 0x24):
// extent count, next map DBA, data object number and the entries.
// extent_count_override writes a different count than entries.size() (damage).
void WriteExtentMapBlock(std::span<std::uint8_t> block, std::uint8_t block_type,
                         std::uint8_t format_byte, std::uint32_t rdba, std::uint32_t object_number,
                         std::span<const ExtentSpec> entries, std::uint32_t next_map,
                         const BlockStamp& stamp,
                         std::optional<std::uint32_t> extent_count_override = std::nullopt);

// A level-1 or level-2 bitmap block of an automatic space management segment
// (types 0x20, 0x21). The reader does not decode them; they hold the segment's
// object number and a parent address as Oracle's do.
void WriteBitmapBlock(std::span<std::uint8_t> block, std::uint8_t block_type, std::uint8_t format_byte,
                      std::uint32_t rdba, std::uint32_t object_number, std::uint32_t parent_dba,
                      const BlockStamp& stamp);

// One row piece as stored: header fields and columns.
struct PieceSpec {
  std::uint8_t flag = format::row::kComplete;
  std::uint8_t lock = 0;
  std::optional<RowAddress> head;       // written for first pieces that are not the head
  std::optional<RowAddress> next;       // written for pieces that are not the last
  std::optional<std::uint8_t> key_index;  // cluster member rows
  std::uint16_t key_row_count = 0;      // cluster key rows: rows under the key
  std::vector<ColumnBytes> columns;
};

// Encodes one column: length byte (0xFE and a big-endian 2-byte length above
// 250 bytes, 0xFF for NULL) and its bytes.
void AppendColumn(Bytes& out, const ColumnBytes& column);
// Encodes a whole row piece.
Bytes EncodeRowPiece(const PieceSpec& piece);
// The stored size of a row piece with the given header and columns.
std::size_t EncodedPieceSize(const PieceSpec& piece);

// Builds one table or cluster data block (type 0x06). Rows are added table by
// table (table index never decreasing) and packed from the end of the block
// towards the row directory, as Oracle packs them.
class DataBlockBuilder {
 public:
  DataBlockBuilder(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                   std::uint32_t object_number, std::uint8_t table_count);

  // Space left for one more row piece of the given size, counting its row
  // directory entry, while keeping reserve bytes free (PCTFREE).
  bool Fits(std::size_t piece_size, std::size_t reserve = 0) const;
  // Adds a row piece to a table; returns its slot, or std::nullopt when it
  // does not fit.
  std::optional<std::uint16_t> AddRow(std::size_t table, std::span<const std::uint8_t> piece);
  // Adds a directory entry holding no row: a free slot (link to the next free
  // slot, or 0xFFFF) left behind by a deleted row.
  std::uint16_t AddFreeSlot(std::size_t table, std::uint16_t link);
  // Overwrites the directory entry of a slot with a raw value (damage, tests).
  void SetRowEntry(std::uint16_t slot, std::uint16_t raw);

  std::uint16_t row_count() const { return static_cast<std::uint16_t>(entries_.size()); }
  std::size_t header_offset() const { return header_; }

  // Writes the block: transaction header with ITL entries, data header, table
  // and row directories, rows, then FinishBlock.
  void Write(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t rdba,
             const BlockStamp& stamp) const;

 private:
  std::size_t DirectoryEnd(std::size_t extra_rows) const;

  std::size_t block_size_;
  SpaceManagement space_;
  std::uint16_t itl_count_;
  std::uint32_t object_number_;
  std::uint8_t table_count_;
  std::size_t header_;
  std::vector<std::uint16_t> entries_;         // row offsets relative to H
  std::vector<std::uint16_t> table_first_;     // per table: first slot
  std::vector<std::uint16_t> table_rows_;      // per table: slot count
  std::size_t current_table_ = 0;
  std::size_t row_top_;                        // lowest used byte of the row area (absolute)
  Bytes rows_;                                 // the row area image, indexed absolutely
  std::uint16_t free_head_ = format::data_header::kNoOffset;
};

}  // namespace quillon::testdb
