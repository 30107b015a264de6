// The contents of LOB columns: the locator a row stores, and the pages of
// an out-of-line LOB in its LOB segment.
//
// A CLOB, NCLOB or BLOB column stores a locator (format.h, lob_locator). A
// locator whose in-row word (offset 32) is 1 and whose last-block word
// (offset 24) is 0 or 1 carries the data itself, from offset 36 on. Any other
// names the LOB's pages in its LOB segment by the last four bytes of its
// identifier, together with the number of its last block and the bytes in it.
//
// The LOB segment is found through the column's LOB$ record: the segment of
// the column, or, for a row of a partition or subpartition, the LOB
// fragment (LOBFRAG$) of that partition. Its blocks are walked once through
// the extent map chain (segment header 0x10, 0x17 or 0x23, extent map blocks
// 0x12 or 0x24) and every LOB data block (0x1B or 0x28) of the segment is
// indexed by identifier. A LOB is then written page by page: the latest
// version of each page, pages in page order, a chunk of several blocks
// block by block in the order the blocks lie in their extent, every block's
// data once; the last block is cut to the locator's byte count and blocks
// after it are left out. A page that cannot be found leaves the LOB
// incomplete; what was found is still written.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "reader/block_source.h"
#include "reader/bytes.h"
#include "reader/engine.h"
#include "reader/table_blocks.h"

namespace quillon {

struct LobLocator {
  bool in_row = false;
  ByteView data;                      // in-row data
  std::uint32_t page_key = 0;         // identifier bytes 16..19, as stored (first byte lowest)
  std::uint32_t last_block = 0;       // out of line: number of the last block
  std::uint16_t last_block_bytes = 0; // out of line: bytes in the last block
  bool character = false;             // the locator marks character data
};

// std::nullopt when the bytes are too short to be a locator.
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
  bool complete = true;      // every block up to the last was found
  bool stopped = false;
};

using ByteSink = std::function<void(ByteView)>;

class LobReader {
 public:
  explicit LobReader(const COracleRecoveryTools& engine);
  ~LobReader();

  // Writes an out-of-line LOB's bytes, in order, to out.
  LobReadResult Read(const LobSegmentRef& segment, const LobLocator& locator, const ByteSink& out);

 private:
  struct Page {
    std::uint32_t page = 0;
    std::uint32_t version = 0;
    std::uint32_t dba = 0;
    std::uint32_t order = 0;  // place in the segment walk
  };
  struct SegmentIndex {
    std::unordered_map<std::uint32_t, std::vector<Page>> pages;  // by identifier key
  };
  const SegmentIndex& IndexOf(const LobSegmentRef& segment);

  const COracleRecoveryTools& engine_;
  std::unique_ptr<BlockSource> source_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, SegmentIndex> segments_;
};

}  // namespace quillon
