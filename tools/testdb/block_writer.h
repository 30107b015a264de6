// Byte-level writers for the blocks of a synthetic datafile, in Oracle's
// layout: block 0, the file header block, segment headers and extent map
// blocks, bitmap blocks, and table/cluster data blocks with their row pieces.
//
// The writers use the reader's format constants, so reader and generator
// share one description of every structure. Fields the reader never uses
// (SCN, ITL transaction ids, free-space pointers, tail, checksum, extent
// control header) are filled as Oracle fills them, so the files look like
// real datafiles to any reader.
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

// The SCN and sequence a block was last written with, and whether the block
// carries a checksum (flag 0x04). 8i checksums only the SYSTEM tablespace
// by default, 9i and later every block.
struct BlockStamp {
  std::uint32_t scn_base = 0x00100000;
  std::uint16_t scn_wrap = 0;
  std::uint8_t sequence = 1;
  bool checksum = true;
};

// XOR of all 16-bit little-endian words of a block image.
std::uint16_t BlockXor(std::span<const std::uint8_t> block);

// Writes the common block header (type, format, rdba, SCN, flags), the tail,
// and last the checksum (so that the XOR of all 16-bit words is zero) when
// the stamp asks for one.
void FinishBlock(std::span<std::uint8_t> block, std::uint8_t type, std::uint8_t format_byte,
                 std::uint32_t rdba, const BlockStamp& stamp);
// Recomputes the checksum of a finished block whose checksum flag is set
// (after a patch); blocks without the flag are left alone.
void RefreshChecksum(std::span<std::uint8_t> block);

// Block 0: format byte, block size, block count and magic.
void WriteOsHeaderBlock(std::span<std::uint8_t> block, std::uint8_t format_byte,
                        std::uint32_t block_size, std::uint32_t block_count);

// The generic file header (kccfh) that datafiles, control files and redo logs
// share: software and compatibility versions, database id and name, file
// size, block size, file number and file type.
struct GenericFileHeader {
  std::uint32_t software_version = 0x0A200100;       // offset 20
  std::uint32_t compatibility_version = 0x0A200000;  // offset 24; its high half is the code at 26
  std::uint32_t database_id = 0;
  std::string database_name;                         // at most 8 characters
  std::uint32_t control_sequence = 1;
  std::uint32_t file_blocks = 0;
  std::uint32_t block_size = 0;
  std::uint16_t file_number = 0;
  std::uint16_t file_type = 3;                       // 1 control file, 2 redo log, 3 datafile
};
void WriteGenericFileHeader(std::span<std::uint8_t> block, const GenericFileHeader& header);

struct FileHeaderDescription {
  std::uint8_t format_byte = format::header_format::k8K;
  std::uint32_t relative_file = 1;
  std::uint16_t compatibility_code = 0x0B20;  // modern format
  std::uint8_t major_release = 9;             // legacy format
  std::uint32_t software_version = 0;         // 0: derived from the code or major release
  std::uint32_t database_id = 0x5A17C0DE;
  std::string database_name;                  // at most 8 characters
  std::string tablespace_name;                // at most 30 characters
  std::uint32_t tablespace_number = 0;
  std::uint32_t acceptance = 0x2000;          // non-zero in a datafile
  std::uint32_t block_count = 0;
  std::uint32_t creation_scn = 0x00000B2D;
  std::uint32_t checkpoint_scn = 0x000F0000;
  BlockStamp stamp;
};
void WriteFileHeaderBlock(std::span<std::uint8_t> block, const FileHeaderDescription& wanted);

struct ExtentDescription {
  std::uint32_t first_dba = 0;
  std::uint32_t block_count = 0;
  bool operator==(const ExtentDescription&) const = default;
};

// How many extent entries fit in a segment header or extent map block.
std::size_t ExtentMapCapacity(std::size_t block_size, std::uint8_t block_type);
// How many entries Oracle puts in one map before it starts an extent map
// block: a segment header keeps room for its free lists or bitmap
// directory, so it holds half of what would fit (121 extents in a 2 KB
// free-list header, 505 in an 8 KB one).
std::size_t DefaultExtentsPerMap(std::size_t block_size, std::uint8_t block_type);

// The extent control header of a segment header (what a block dump prints as
// "Extent Header" and "Highwater"): totals over the whole segment.
struct ExtentControl {
  std::uint32_t tablespace_number = 0;
  std::uint32_t last_map = 0;      // DBA of the last extent map block, 0 when none
  std::uint32_t map_count = 0;     // extent map blocks
  std::uint32_t extents = 0;       // extents of the whole segment
  std::uint32_t blocks = 0;        // blocks of the whole segment
  std::uint32_t hwm_extent = 0;    // extent number of the high-water mark
  std::uint32_t hwm_block = 0;     // its block within that extent
  std::uint32_t hwm_extent_size = 0;
  std::uint32_t hwm_dba = 0;       // first block above the high-water mark
  std::uint32_t blocks_below_hwm = 0;
};

// The order of the words before the entries of a 0x23 header (format.h,
// assm_header); the default is the order the readers try first.
enum class AssmHeaderOrder : std::uint8_t { kCountNextObject, kNextCountObject, kNextAt260 };
inline constexpr AssmHeaderOrder kAssmHeaderOrders[] = {AssmHeaderOrder::kCountNextObject,
                                                        AssmHeaderOrder::kNextCountObject, AssmHeaderOrder::kNextAt260};
const format::AssmMapOrder& MapOrderOf(AssmHeaderOrder order);

// A segment header (0x10 or 0x23) or extent map block (0x12 or 0x24):
// extent count, next map DBA, data object number and the entries. The
// control header is written for segment headers only.
// extent_count_override writes a different count than entries.size() (damage).
void WriteExtentMapBlock(std::span<std::uint8_t> block, std::uint8_t block_type,
                         std::uint8_t format_byte, std::uint32_t rdba, std::uint32_t object_number,
                         std::span<const ExtentDescription> entries, std::uint32_t next_map,
                         const BlockStamp& stamp,
                         std::optional<std::uint32_t> extent_count_override = std::nullopt,
                         const ExtentControl& control = {},
                         AssmHeaderOrder order = AssmHeaderOrder::kCountNextObject);

// A level-1 or level-2 bitmap block of an automatic space management segment
// (types 0x20, 0x21). The reader does not decode them; they hold the parent's
// address, the segment's object number and the range of blocks they cover.
void WriteBitmapBlock(std::span<std::uint8_t> block, std::uint8_t block_type, std::uint8_t format_byte,
                      std::uint32_t rdba, std::uint32_t object_number, std::uint32_t parent_dba,
                      const BlockStamp& stamp, std::uint32_t range_first_dba = 0,
                      std::uint32_t range_blocks = 0);

// A column as the encoders see it: a view of its bytes, or NULL.
struct ColumnSlice {
  const std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  bool is_null = false;
};
ColumnSlice SliceOf(const ColumnBytes& column);

// Stored size of a column: the length byte (three bytes above 250) and the value.
std::size_t EncodedColumnSize(bool is_null, std::size_t length);
inline std::size_t EncodedColumnSize(const ColumnSlice& c) { return EncodedColumnSize(c.is_null, c.size); }

// The header of one row piece, as written before its columns.
struct PieceHeader {
  std::uint8_t flag = format::row::kComplete;
  std::uint8_t lock = 0;
  std::uint8_t column_count = 0;
  RowAddress head;            // written for first pieces that are not the head
  RowAddress next;            // written for pieces that are not the last
  std::uint8_t key_index = 0; // cluster member rows (flag 0x40)
  // Cluster key rows (flag 0x80): rows under the key in this block (current
  // and committed count) and the key's rows in the previous and next block
  // (the key row itself when there is none).
  std::uint16_t key_rows = 0;
  RowAddress key_prev;
  RowAddress key_next;
};
// Size of the header that a flag calls for (two bytes for a deleted piece).
std::size_t PieceHeaderSize(std::uint8_t flag);
// Writes the header at out; returns the position after it.
std::uint8_t* WritePieceHeader(std::uint8_t* out, const PieceHeader& header);
// Writes one column (length and bytes); returns the position after it.
std::uint8_t* WriteColumn(std::uint8_t* out, const ColumnSlice& column);

// One row piece as stored: header fields and owned columns (for tests and
// small hand-made blocks). Key rows made this way link to no other block
// (zero addresses); the layout engine writes the real links.
struct PieceDescription {
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
Bytes EncodeRowPiece(const PieceDescription& piece);
// The stored size of a row piece with the given header and columns.
std::size_t EncodedPieceSize(const PieceDescription& piece);

// The transaction header of a data or index block (offsets 20 to 44) and its
// ITL entries: the first holds the committed transaction that loaded the
// block, the deleting one (when rows are locked) a committed transaction not
// yet cleaned out.
struct TransactionHeader {
  std::uint8_t kind = format::data_block::kKindData;  // 1 table/cluster, 2 index
  SpaceManagement space = SpaceManagement::kFreeList;
  std::uint16_t itl_count = 2;
  std::uint32_t object_number = 0;
  std::uint32_t bitmap_dba = 0;    // ASSM: the level-1 bitmap block covering the block
  std::uint32_t locked_rows = 0;
  std::uint8_t deleting_itl = 2;   // 1-based
};
void WriteTransactionHeader(std::span<std::uint8_t> block, const TransactionHeader& header, std::uint32_t rdba,
                            const BlockStamp& stamp);

// Where a reserved row piece lies in the block being built.
struct RowSlot {
  std::uint16_t index = 0;   // the row's number within its table (what row addresses hold)
  std::size_t offset = 0;    // position of the piece in the block
};

// Builds one table or cluster data block (type 0x06). Row pieces are packed
// from the end of the block towards the row directory in the order they are
// added, as Oracle packs them; the row directory keeps each table's rows
// together (table 0 first), and a row's number is its position within its
// table. A builder can be reset and reused, so filling many blocks costs no
// allocation.
class DataBlockBuilder {
 public:
  DataBlockBuilder() = default;
  DataBlockBuilder(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                   std::uint32_t object_number, std::uint8_t table_count);
  void Reset(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
             std::uint32_t object_number, std::uint8_t table_count);

  // Bytes left for one more row piece, after its row directory entry and
  // reserve bytes kept free (PCTFREE).
  std::size_t FreeSpace(std::size_t reserve = 0) const;
  bool Fits(std::size_t piece_size, std::size_t reserve = 0) const {
    return piece_size <= FreeSpace(reserve);
  }
  // Reserves room for a row piece of a table; the caller writes its bytes at
  // Row(slot). std::nullopt when it does not fit.
  std::optional<RowSlot> Reserve(std::size_t table, std::size_t size);
  std::span<std::uint8_t> Row(const RowSlot& slot, std::size_t size) {
    return {rows_.data() + slot.offset, size};
  }
  // Adds a row piece to a table; returns its row number, or std::nullopt when
  // it does not fit.
  std::optional<std::uint16_t> AddRow(std::size_t table, std::span<const std::uint8_t> piece);
  // Adds a directory entry holding no row: a free slot left behind by a
  // deleted row. Free slots are linked into the block's free list when the
  // block is written (each holds the directory index of the next, the last
  // 0xFFFF). Returns its row number.
  std::uint16_t AddFreeSlot(std::size_t table);
  // A free slot holding the given raw link instead (hand-made free lists).
  std::uint16_t AddFreeSlot(std::size_t table, std::uint16_t link);
  // Overwrites the directory entry of a row with a raw value (damage, tests).
  void SetRowEntry(std::size_t table, std::uint16_t index, std::uint16_t raw);
  // ASSM blocks name the level-1 bitmap block that covers them.
  void SetBitmapBlock(std::uint32_t dba) { bitmap_dba_ = dba; }
  // Rows locked by the second ITL entry (deleted rows whose transaction
  // committed but was not cleaned out).
  void AddLockedRow() { ++locked_rows_; }

  std::size_t block_size() const { return block_size_; }
  std::uint8_t table_count() const { return table_count_; }
  std::uint16_t row_count() const;
  std::uint16_t table_rows(std::size_t table) const {
    return static_cast<std::uint16_t>(tables_[table].size());
  }
  std::size_t header_offset() const { return header_; }
  bool empty() const { return row_count() == 0; }
  // The ITL slot (1-based) that deleted rows name in their lock byte.
  std::uint8_t deleting_itl() const { return itl_count_ >= 2 ? 2 : 1; }

  // Writes the block: transaction header with ITL entries, data header, table
  // and row directories, rows, then FinishBlock.
  void Write(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t rdba,
             const BlockStamp& stamp) const;

 private:
  static constexpr std::uint32_t kFreeSlotMark = 0x10000;
  std::size_t DirectoryEnd(std::size_t extra_rows) const;

  std::size_t block_size_ = 0;
  SpaceManagement space_ = SpaceManagement::kFreeList;
  std::uint16_t itl_count_ = 0;
  std::uint32_t object_number_ = 0;
  std::uint8_t table_count_ = 0;
  std::size_t header_ = 0;
  std::vector<std::vector<std::uint32_t>> tables_;  // per table: offsets relative to H, or free-slot marks
  std::size_t entries_ = 0;
  std::size_t row_top_ = 0;                         // lowest used byte of the row area (absolute)
  std::size_t used_from_ = 0;                       // lowest byte written since the last reset
  Bytes rows_;                                      // the row area image, indexed absolutely
  std::uint32_t bitmap_dba_ = 0;
  std::uint32_t locked_rows_ = 0;
};

}  // namespace quillon::testdb
