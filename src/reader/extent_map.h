// Extent maps: the list of blocks that belong to a segment.
//
// A segment header (0x10 free-list, 0x23 automatic space management, 0x17 a
// free-list LOB segment, whose map lies as in 0x10) holds
// the first part of the segment's extent map; extent map blocks (0x12, 0x24)
// continue it. DecodeExtentMap reads one map from one block, never more
// entries than the block can hold. WalkSegment follows the chain of maps,
// stopping at a zero next-map address, at a map it has already seen, or at a
// block that is not an extent map.
//
// The words before the entries of a 0x23 header are not read from fixed
// places (format.h, assm_header): its extents are the run of valid entries
// from 280, whatever the count words say; the next-map DBA is the candidate
// word that points at a 0x24 block of the same segment; the data object
// number is the candidate its data blocks carry.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reader/block_source.h"
#include "reader/block_view.h"
#include "reader/bytes.h"
#include "reader/notify.h"

namespace quillon {

class COracleRecoveryTools;

struct ExtentEntry {
  std::uint32_t first_dba = 0;
  std::uint32_t block_count = 0;
};

struct ExtentMap {
  std::uint8_t block_type = 0;
  std::uint32_t stored_extent_count = 0;  // the 32-bit count as stored
  std::uint32_t next_map = 0;             // 0 at the end of the chain
  std::uint32_t object_number = 0;
  std::vector<ExtentEntry> entries;       // what the block really holds
  bool count_exceeds_block = false;       // the stored count promised more entries
  // 0x23 headers: the words that may be the next-map DBA and the data
  // object number, the likeliest first (next_map and object_number), and
  // whether no count word agrees with the entries.
  std::vector<std::uint32_t> next_candidates;
  std::vector<std::uint32_t> object_candidates;
  bool count_disagrees = false;
};

// Whether an extent entry names blocks of a registered datafile: its first
// block lies in the file and its length is not 0.
using ExtentCheck = std::function<bool(std::uint32_t first_dba, std::uint32_t block_count)>;

bool IsSegmentHeader(std::uint8_t block_type);
bool IsExtentMapBlock(std::uint8_t block_type);
SpaceManagement SpaceManagementOf(std::uint8_t segment_header_type);

// Decodes the extent map of a segment header or extent map block.
// std::nullopt for blocks of other types or too short for the map header.
// check decides which entries of a 0x23 header are valid; without one an
// entry is valid when its DBA and length are not 0 and it stays inside the
// block-number space of its file.
std::optional<ExtentMap> DecodeExtentMap(ByteView block, const ExtentCheck& check = {});

// Appends the DBAs of every extent of a map. An extent never reaches past
// the block-number space of its file, nor past max_blocks_in_file when that
// is known.
void AppendExtentBlocks(const ExtentMap& map, std::vector<std::uint32_t>& dbas,
                        std::optional<std::uint32_t> max_blocks_in_file = std::nullopt);

// What a segment walk lists: every block, or only the extents (a few bytes
// per extent however large the segment is).
enum class WalkListing : std::uint8_t { kBlocks, kExtentsOnly };

// Blocks that a segment's extent maps name but that cannot be read at all:
// they lie past the end of their datafile (a truncated copy), or no
// registered datafile has their file number (a missing datafile).
enum class MissingCause : std::uint8_t { kPastEnd, kNoDatafile };
const char* ToString(MissingCause cause);

struct MissingBlocks {
  std::uint32_t file = 0;         // relative file number
  std::uint32_t first_block = 0;  // block number in that file
  std::uint32_t block_count = 0;
  MissingCause cause = MissingCause::kPastEnd;
  bool operator==(const MissingBlocks&) const = default;
};

struct SegmentWalk {
  bool header_found = false;              // the first block was a segment header
  std::uint8_t header_type = 0;
  std::uint32_t object_number = 0;        // from the segment header
  SpaceManagement space = SpaceManagement::kFreeList;
  std::vector<std::uint32_t> blocks;      // every block of every extent, in map order (kBlocks)
  std::vector<ExtentEntry> extents;       // every extent, cut to its file, in map order
  // The parts of extents cut off at the end of their file, extents in no
  // registered datafile, and a header or map block that could not be read
  // for the same reasons (its extents are then unknown).
  std::vector<MissingBlocks> missing;
  std::uint32_t maps_read = 0;
  bool count_disagrees = false;           // a 0x23 header whose count words disagree with its entries
  std::string problem;                    // empty when the chain ended normally
  bool stopped = false;                   // a stop request ended the walk

  // Blocks in the extents.
  std::uint64_t BlockCount() const;
  std::uint64_t MissingBlockCount() const;
};

// Walks a segment from its header block through its extent map blocks.
SegmentWalk WalkSegment(BlockSource& source, const DatafileList& files, std::uint32_t header_dba,
                        const StopFlag* stop = nullptr, WalkListing listing = WalkListing::kBlocks);

// Writes one line to the log the first time a walk of this engine's database
// found a 0x23 header whose count words disagree with its entries.
void NoteExtentCountDisagreement(const COracleRecoveryTools& engine, const SegmentWalk& walk,
                                 std::uint32_t header_dba);

// Calls visit with the DBA of every block of an extent (as cut by the walk),
// in order, until visit returns false; false when it did.
template <typename Visit>
bool ForEachBlockOf(const ExtentEntry& extent, Visit&& visit) {
  for (std::uint32_t i = 0; i < extent.block_count; ++i) {
    if (!visit(extent.first_dba + i)) return false;
  }
  return true;
}
template <typename Visit>
void ForEachExtentBlock(const std::vector<ExtentEntry>& extents, Visit&& visit) {
  for (const ExtentEntry& e : extents) {
    if (!ForEachBlockOf(e, visit)) return;
  }
}

}  // namespace quillon
