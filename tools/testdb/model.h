// The declarative model of a test database: what the layout engine
// (layout.h) turns into a folder of datafiles.
//
// A DatabaseModel names the database, its release ("8i", "9i", "10.1",
// "10.2", "11.1", "11.2"), block size and seed, lists its datafiles
// (file name, tablespace, relative file number, size, read-only flag) and
// its segments. A segment lives in one datafile of a tablespace and is
// either a heap table (rows) or an index cluster (key rows, each with the
// rows of its member tables). Rows are vectors of raw column bytes
// (std::nullopt is NULL); encoding values is the caller's business.
//
// Everything the layout engine writes follows from the model and the seed:
// the same model and seed give the same bytes. Where the rows went is
// reported back in a LayoutResult (layout.h), which tests compare with what
// the reader finds.
//
// How the engine lays a segment out, as Oracle does:
// - free-list segments (0x10): the segment header is the first block of the
//   first extent, data blocks follow;
// - automatic space management (0x23): the first extent starts with two
//   level-1 bitmap blocks (0x20), one level-2 bitmap block (0x21) and the
//   segment header; later extents start with a level-1 bitmap block when the
//   existing ones cannot cover them;
// - when the header's extent map is full (or holds max_extents_per_map
//   entries), the first block of the next extent becomes an extent map block
//   (0x12 or 0x24) that lists the extents from there on;
// - rows fill data blocks from the end of the block down, keeping pct_free
//   percent of the block free; trailing NULL columns are not stored;
// - a row too long for one block is chained over as many blocks as it needs,
//   a column that does not fit is split between pieces (flag bits N 0x01 and
//   P 0x02); rows of more than 255 columns are split into pieces of at most
//   255 columns (in the same block while they fit);
// - cluster keys are packed while they fit (and while the block holds fewer
//   than cluster_key_size allows); when a key's member rows overflow a block,
//   the key row is repeated in the next block and the key rows of the two
//   blocks point at each other;
// - index segments (B-tree indexes, index-organized tables) take their leaf
//   rows in key order and pack them into leaf blocks (index_block_writer.h),
//   with a branch root block in front when there is more than one leaf.
//
// With first_extents_up_front the engine first gives every segment its first
// extent, in model order, as a freshly created database has them (each
// object gets its initial extent when it is created), and only then fills
// the segments; extents a segment needs beyond its first come after all
// first extents of its datafile. Segment header addresses then follow from
// the model alone (PlanSegmentHeaders), before any row is packed: the
// dictionary writer needs them to write the dictionary rows that point at
// the segments.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/block_view.h"
#include "testdb/block_writer.h"
#include "testdb/index_block_writer.h"

namespace quillon::testdb {

// Where a row's pieces go.
enum class Placement : std::uint8_t {
  kNormal,    // one piece 0x2C (0x6C in a cluster); chained automatically when too long
  kMigrated,  // a head piece 0x20 with only the next address stays in the block, the row
              // itself is a 0x0C piece (head address first) in a later block
  kChained,   // spread over chain_blocks blocks: 0x28 (0x29 when its last column goes on),
              // middle pieces 0x00..0x03, last piece 0x04/0x06
  kDeleted,   // a deleted piece 0x3C: flag and lock byte only
  kFreeSlot,  // no piece: a row directory entry on the block's free list
  kTailPiece, // only the last piece 0x04 of a row whose head lies elsewhere (the
              // overflow part of an index-organized table's row); must fit in a block
};

struct Row {
  std::vector<ColumnBytes> columns;
  Placement placement = Placement::kNormal;
  std::uint32_t chain_blocks = 0;  // kChained: number of blocks, at least 2

  Row() = default;
  explicit Row(std::vector<ColumnBytes> cols, Placement p = Placement::kNormal, std::uint32_t chain = 0)
      : columns(std::move(cols)), placement(p), chain_blocks(chain) {}
};

// A row produced on demand (big tables). The buffers are reused from row to
// row, so generating millions of rows allocates nothing after the first few.
class RowBuffer {
 public:
  void Clear() {
    bytes_.clear();
    columns_.clear();
    placement = Placement::kNormal;
    chain_blocks = 0;
  }
  void AddNull() { columns_.push_back({0, 0, true}); }
  void Add(std::span<const std::uint8_t> value) {
    columns_.push_back({bytes_.size(), static_cast<std::uint32_t>(value.size()), false});
    bytes_.insert(bytes_.end(), value.begin(), value.end());
  }
  void AddText(std::string_view text) {
    Add({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  }
  // Appends a column of n bytes and returns where to write them.
  std::uint8_t* AddSpace(std::size_t n) {
    columns_.push_back({bytes_.size(), static_cast<std::uint32_t>(n), false});
    bytes_.resize(bytes_.size() + n);
    return bytes_.data() + bytes_.size() - n;
  }
  std::size_t column_count() const { return columns_.size(); }
  // The columns as views; valid until the next change.
  void Slices(std::vector<ColumnSlice>& out) const {
    out.clear();
    for (const auto& c : columns_) out.push_back({c.null ? nullptr : bytes_.data() + c.offset, c.size, c.null});
  }

  Placement placement = Placement::kNormal;
  std::uint32_t chain_blocks = 0;

 private:
  struct Column {
    std::size_t offset;
    std::uint32_t size;
    bool null;
  };
  std::vector<std::uint8_t> bytes_;
  std::vector<Column> columns_;
};

// Fills row with row number index (counting from 0); returns false when there
// are no more rows.
using RowGenerator = std::function<bool(std::uint64_t index, RowBuffer& row)>;

// One cluster key with the rows stored under it.
struct ClusterKey {
  std::vector<Bytes> key_columns;           // the key's column values
  std::vector<std::vector<Row>> members;    // members[m - 1]: rows of member table m
};

enum class ExtentPolicy : std::uint8_t {
  kUniform,       // every extent extent_blocks blocks
  kAutoAllocate,  // Oracle's system allocation: 64 KB extents, then 1 MB, 8 MB, 64 MB
};

enum class SegmentKind : std::uint8_t { kHeap, kCluster, kIndex };

// The content of an index segment.
struct IndexSegmentDescription {
  std::uint8_t leaf_flags = format::index_header::kFlagsNormal;  // H + 2 of leaf blocks
  std::uint8_t key_columns = 1;                                  // H + 3
  std::vector<IndexEntry> entries;                               // in key order
};

struct LayoutResult;
struct SegmentModel;
// Completes a segment right before it is laid out, from where the segments
// before it went (an index takes the row addresses of its table's rows).
using SegmentPreparer = std::function<void(const LayoutResult& placed, SegmentModel& segment)>;

struct SegmentModel {
  std::string name;                          // shown in messages and results
  std::uint32_t object_number = 0;           // data object number, written in every block
  std::string tablespace = "USERS";
  std::optional<std::uint32_t> relative_file;  // a datafile of the tablespace; default its first
  SpaceManagement space = SpaceManagement::kAssm;
  ExtentPolicy extent_policy = ExtentPolicy::kUniform;
  std::uint32_t extent_blocks = 8;           // kUniform
  std::uint32_t min_extents = 1;             // allocated even when the rows need fewer
  std::uint32_t extent_gap_blocks = 0;       // free blocks left after each extent
  std::optional<std::uint32_t> max_extents_per_map;  // fewer entries per map than fit
  std::uint16_t itl_count = 2;
  std::uint8_t pct_free = 10;                // percent of each block kept free for updates

  SegmentKind kind = SegmentKind::kHeap;
  // Heap table: rows, then (when set) generated rows.
  std::vector<Row> rows;
  RowGenerator generator;
  // Index cluster: member table count and keys in insertion order.
  std::uint8_t member_tables = 0;
  std::vector<ClusterKey> keys;
  std::uint32_t cluster_key_size = 0;        // SIZE: bytes reserved per key; 0: pack while they fit
  // Index segment.
  IndexSegmentDescription index;

  // The segment header's block type when it is not the space management's
  // (0x17 for a LOB segment in a free-list tablespace).
  std::optional<std::uint8_t> header_type;
  SegmentPreparer prepare;

  bool record_rows = true;                   // report every row's pieces in the result
};

// The first extent of a segment: its size in blocks and where its header
// lies in it (after the bitmap blocks of an ASSM segment).
struct FirstExtent {
  std::uint32_t blocks = 0;
  std::uint32_t header_offset = 0;
};
FirstExtent FirstExtentOf(const SegmentModel& segment, std::uint32_t block_size);

struct DatafileModel {
  std::string file_name;                     // e.g. "USERS01.DBF"
  std::string tablespace;                    // e.g. "USERS"
  std::uint32_t relative_file = 0;           // 1..1023
  std::uint32_t tablespace_number = 0;       // TS# written in the header
  std::uint32_t blocks = 0;                  // size in blocks with block 0; 0: what the segments need
  std::uint32_t spare_blocks = 16;           // free blocks after the last extent when growing
  bool read_only = false;                    // written with permission 0444
};

// Damage applied after the database is written. Targets are named by
// segment (data object number) so tests do not need to know addresses.
enum class DamageKind : std::uint8_t {
  kZeroBlock,       // the block becomes all zeros
  kGarbleBlock,     // the block becomes pseudo-random bytes
  kPatchBytes,      // bytes at offset are overwritten (checksum recomputed)
  kExtentCount,     // the map's extent count becomes value (checksum recomputed)
  kMapNext,         // the map's next-map address becomes value (see the helpers below)
  kRowEntry,        // the directory entry of a row (index) becomes value
  kRowNext,         // the next-piece address of a row's first piece becomes value
};

enum class BlockRole : std::uint8_t {
  kSegmentHeader,
  kExtentMap,       // index: which extent map block (0 = the first after the header)
  kLastMap,         // the last map of the chain (the header when there is none)
  kDataBlock,       // index: which data block of the segment
  kFileBlock,       // index: block number in the segment's datafile
};

struct Damage {
  DamageKind kind = DamageKind::kZeroBlock;
  std::uint32_t object_number = 0;
  BlockRole role = BlockRole::kDataBlock;
  std::uint32_t index = 0;                   // map, block or row index, by role and kind
  std::uint32_t offset = 0;                  // kPatchBytes
  Bytes bytes;                               // kPatchBytes
  std::uint32_t value = 0;
  // kMapNext and kRowNext: instead of value, aim at the segment header (a
  // loop) or at a file the database does not have.
  enum class Target : std::uint8_t { kValue, kSegmentHeader, kOutsideFiles } target = Target::kValue;

  static Damage ZeroBlock(std::uint32_t object, BlockRole role, std::uint32_t index = 0);
  static Damage GarbleBlock(std::uint32_t object, BlockRole role, std::uint32_t index = 0);
  static Damage ExtentCount(std::uint32_t object, BlockRole role, std::uint32_t index, std::uint32_t count);
  static Damage MapLoop(std::uint32_t object);          // the last map points back at the header
  static Damage MapOutside(std::uint32_t object);       // the last map points into a missing file
  static Damage RowEntry(std::uint32_t object, std::uint32_t row, std::uint16_t raw);
  static Damage RowNextOutside(std::uint32_t object, std::uint32_t row);
};

// Files beside the datafiles that must not be taken for datafiles of the
// database (the read-only datafile is a DatafileModel with read_only set).
struct DecoyOptions {
  bool control_files = true;     // CONTROL01.CTL, CONTROL02.CTL: no 0x0B header block
  bool redo_logs = true;         // REDO01.LOG .. REDO03.LOG: 512-byte blocks, header type 0x01
  bool foreign_datafile = true;  // OTHER01.DBF: a datafile of database OTHERDB
  bool sub_folder = true;        // ARCHIVE/USERS02.DBF: a datafile of this database in a sub-folder
};

enum class UnusedBlocks : std::uint8_t {
  kZero,            // unformatted, as in a fresh Oracle file
  kFormattedEmpty,  // formatted empty data blocks (above a segment's rows: of that segment)
};

struct DatabaseModel {
  std::string name = "QUILLON";              // at most 8 characters
  std::string release = "10.2";
  std::uint32_t block_size = 8192;           // 2048 .. 32768
  std::uint64_t seed = 1;
  std::vector<DatafileModel> datafiles;
  std::vector<SegmentModel> segments;
  std::vector<Damage> damage;
  DecoyOptions decoys;
  UnusedBlocks unused_blocks = UnusedBlocks::kZero;
  bool first_extents_up_front = false;
  // The order of the words before the entries of every 0x23 segment header;
  // with assm_order_from_seed the seed chooses among the candidate orders.
  AssmHeaderOrder assm_header_order = AssmHeaderOrder::kCountNextObject;
  bool assm_order_from_seed = false;
};

// The order the model's 0x23 headers are written in.
AssmHeaderOrder ResolvedAssmHeaderOrder(const DatabaseModel& model);

// A database with the default datafiles of its release: SYSTEM01.DBF
// (relative file 1, tablespace SYSTEM), UNDOTBS01.DBF, SYSAUX01.DBF (10g
// on) and USERS01.DBF; no segments.
DatabaseModel NewDatabaseModel(std::string name, std::string release, std::uint32_t block_size,
                               std::uint64_t seed);

// Checks a model before anything is written; the message names the first
// problem, empty when the model can be laid out.
std::string ValidateModel(const DatabaseModel& model);

const DatafileModel* FindDatafile(const DatabaseModel& model, const SegmentModel& segment);

}  // namespace quillon::testdb
