// The contents of LOB columns: the locator a row stores, and the pages of
// an out-of-line LOB in its LOB segment.
//
// A CLOB, NCLOB or BLOB column stores a locator (format.h, lob_locator).
// Its inode flag says whether the data are in the row (from offset 36 on)
// or in the LOB segment, where every page carries the locator's whole
// 10-byte identifier; the locator gives the LOB's block count and the
// bytes in its last block, and, for a LOB stored with ENABLE STORAGE IN ROW
// that outgrew the row, the DBAs of its first twelve chunks.
//
// The LOB segment is found through the column's LOB$ record: the segment of
// the column, or, for a row of a partition or subpartition, the LOB
// fragment (LOBFRAG$) of that partition. Its blocks are walked once through
// the extent map chain (segment header 0x10, 0x17 or 0x23, extent map blocks
// 0x12 or 0x24) and every LOB data block (0x1B or 0x28) of the segment is
// indexed by its whole identifier (two LOBs whose identifiers share some
// bytes never mix their pages). A LOB is then written page by page: the
// latest version of each page (an older copy never replaces a newer one), pages in page order, a chunk of several blocks
// block by block in the order the blocks lie in their extent, every block's
// data once; the last block is cut to the locator's byte count and blocks
// after it are left out. A page that cannot be found (its datafile is
// absent, the segment header names another object, a page number is
// missing, the last block is short of the locator's count) leaves the LOB
// incomplete: the caller is told so, and what was found is still written.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "reader/block_source.h"
#include "reader/bytes.h"
#include "reader/engine.h"
#include "reader/table_blocks.h"

namespace quillon {

// A LOB's identifier, as the locator and its pages store it.
using LobId = std::array<std::uint8_t, 10>;

// How a locator was found to be in the row or not.
enum class LobInRowRule : std::uint8_t {
  kNoInode,    // 20 bytes (DISABLE STORAGE IN ROW) or a cut inode: out of line
  kInodeFlag,  // the inode flag (valid) says
  kOldWords,   // the inode flag is not valid: the version and block words decide
};

struct LobLocator {
  std::size_t size = 0;                // stored bytes
  std::uint16_t length_word = 0;       // 0x0054 in every locator Oracle writes
  std::uint16_t locator_version = 0;
  std::array<std::uint8_t, 4> flags{};
  std::uint16_t byte_length = 0;       // 1, or 2 for a CLOB kept in UCS2; 0 when not said
  LobId lob_id{};                      // names the LOB's pages in its LOB segment
  std::uint32_t page_key = 0;          // identifier bytes 16..19, as stored (first byte lowest); shown only
  bool has_inode = false;
  std::uint16_t inode_size = 0;
  std::uint8_t inode_flag = 0;
  std::uint32_t blocks = 0;            // out of line: blocks of the LOB
  std::uint16_t last_block_bytes = 0;  // bytes in the last block; in the row: bytes of data
  std::uint16_t version_wrap = 0;
  std::uint32_t version_base = 0;
  LobInRowRule rule = LobInRowRule::kNoInode;
  bool in_row = false;
  ByteView data;                       // in-row data
  std::vector<std::uint32_t> chunk_dbas;  // out of line: the first chunks' DBAs, as stored (0 kept)

  bool IsBlob() const;
  bool IsClob() const;
  bool StorageInRowEnabled() const;
  // Out of line: the number of the LOB's last block, counted from 0 over its
  // chunks; std::nullopt when the locator does not say (no inode) or the LOB
  // has no block.
  std::optional<std::uint32_t> LastBlock() const;
};

// std::nullopt when the bytes are too short to be a locator (under 20).
std::optional<LobLocator> ParseLobLocator(ByteView bytes);

// Where the pages of a LOB column lie for one segment of its table.
struct LobSegmentRef {
  std::uint32_t header_dba = 0;
  std::uint32_t object_number = 0;  // the LOB segment's data object number; 0: the header's
  std::uint32_t chunk = 1;          // blocks per chunk
};

// The LOB segment of a column for rows of a table segment (the table's own,
// or a partition's or subpartition's). std::nullopt when the dictionary does
// not say.
std::optional<LobSegmentRef> FindLobSegment(const COracleRecoveryTools& engine, std::uint32_t table_object_number,
                                            std::uint32_t internal_column, const TableSegment& segment);

struct LobReadResult {
  std::uint64_t bytes = 0;   // bytes written
  // Every block up to the last was found. False also when the segment
  // cannot be read at all (its header is lost or names another object)
  // and the locator lists none of the chunks.
  bool complete = true;
  bool stopped = false;
  std::uint16_t byte_length = 0;  // the locator's byte length (1, 2 UCS2, 0 not said)
};

using ByteSink = std::function<void(ByteView)>;

class LobReader {
 public:
  explicit LobReader(const COracleRecoveryTools& engine);
  ~LobReader();

  // Writes an out-of-line LOB's bytes, in order, to out. The chunks whose
  // DBAs the locator lists are taken from there first (they are the
  // current copies, and are found even when the segment header is lost);
  // the rest come from the walk of the segment. A segment with header_dba 0
  // (not known) gives only the chunks the locator lists.
  LobReadResult Read(const LobSegmentRef& segment, const LobLocator& locator, const ByteSink& out);

 private:
  struct Page {
    std::uint32_t page = 0;
    std::uint32_t version = 0;
    std::uint32_t dba = 0;
    std::uint32_t order = 0;  // place in the segment walk
  };
  struct SegmentIndex {
    std::uint32_t object = 0;  // the segment's data object number, 0 when not known
    std::map<LobId, std::vector<Page>> pages;  // by the whole identifier
  };
  struct Block {
    std::uint32_t page = 0;
    std::uint32_t place = 0;  // within its chunk
    std::uint32_t dba = 0;
  };
  const SegmentIndex& IndexOf(const LobSegmentRef& segment);
  // The blocks of chunk `page` from the chunk's first DBA, as far as they
  // are this LOB's pages of that number.
  std::vector<Block> ChunkAt(std::uint32_t dba, std::uint32_t page, const LobId& id, std::uint32_t object,
                             std::uint32_t max_blocks);

  const COracleRecoveryTools& engine_;
  std::unique_ptr<BlockSource> source_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, SegmentIndex> segments_;
};

}  // namespace quillon
