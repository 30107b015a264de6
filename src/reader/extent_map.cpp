#include "reader/extent_map.h"

#include <unordered_set>

#include "reader/format.h"

namespace quillon {

namespace bt = format::block_type;
namespace em = format::extent_map;

bool IsSegmentHeader(std::uint8_t t) {
  return t == bt::kSegmentHeader || t == bt::kAssmSegmentHeader || t == bt::kLobSegmentHeader;
}
bool IsExtentMapBlock(std::uint8_t t) { return t == bt::kExtentMap || t == bt::kAssmExtentMap; }

SpaceManagement SpaceManagementOf(std::uint8_t t) {
  return t == bt::kAssmSegmentHeader || t == bt::kAssmExtentMap ? SpaceManagement::kAssm
                                                                : SpaceManagement::kFreeList;
}

std::optional<ExtentMap> DecodeExtentMap(ByteView block) {
  const auto type = block.U8(format::block_header::kType);
  if (!type) return std::nullopt;
  const format::ExtentMapLayout* layout = nullptr;
  switch (*type) {
    case bt::kSegmentHeader:
    case bt::kLobSegmentHeader: layout = &em::kFreeListHeader; break;
    case bt::kAssmSegmentHeader: layout = &em::kAssmHeader; break;
    case bt::kExtentMap:
    case bt::kAssmExtentMap: layout = &em::kContinuation; break;
    default: return std::nullopt;
  }
  const auto count = block.U32LE(layout->extent_count);
  const auto next = block.U32LE(layout->next_map);
  const auto object = block.U32LE(layout->object_number);
  if (!count || !next || !object) return std::nullopt;
  ExtentMap map;
  map.block_type = *type;
  map.stored_extent_count = *count;
  map.next_map = *next;
  map.object_number = *object;
  // Entries end before the block's 4-byte tail.
  const std::size_t limit = block.size() >= format::block_header::kTailSize
                                ? block.size() - format::block_header::kTailSize
                                : 0;
  const std::size_t room =
      limit > layout->first_entry ? (limit - layout->first_entry) / em::kEntrySize : 0;
  std::size_t n = *count;
  if (n > room) {
    map.count_exceeds_block = true;
    n = room;
  }
  map.entries.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t at = layout->first_entry + i * em::kEntrySize;
    map.entries.push_back({*block.U32LE(at + em::kEntryFirstDba), *block.U32LE(at + em::kEntryBlockCount)});
  }
  return map;
}

namespace {

// The extent cut to the block-number space of its file and, when known, to
// the file's size.
ExtentEntry ClampExtent(const ExtentEntry& e, std::optional<std::uint32_t> max_blocks_in_file) {
  const std::uint32_t first_block = format::DbaBlock(e.first_dba);
  std::uint64_t end = static_cast<std::uint64_t>(first_block) + e.block_count;
  end = std::min<std::uint64_t>(end, std::uint64_t{1} << format::kDbaBlockBits);
  if (max_blocks_in_file) end = std::min<std::uint64_t>(end, *max_blocks_in_file);
  return {e.first_dba, end > first_block ? static_cast<std::uint32_t>(end - first_block) : 0};
}

}  // namespace

void AppendExtentBlocks(const ExtentMap& map, std::vector<std::uint32_t>& dbas,
                        std::optional<std::uint32_t> max_blocks_in_file) {
  for (const auto& e : map.entries) {
    ForEachBlockOf(ClampExtent(e, max_blocks_in_file), [&](std::uint32_t dba) {
      dbas.push_back(dba);
      return true;
    });
  }
}

const char* ToString(MissingCause cause) {
  switch (cause) {
    case MissingCause::kPastEnd: return "past the end of the datafile";
    case MissingCause::kNoDatafile: return "in a missing datafile";
  }
  return "missing";
}

std::uint64_t SegmentWalk::MissingBlockCount() const {
  std::uint64_t n = 0;
  for (const MissingBlocks& m : missing) n += m.block_count;
  return n;
}

std::uint64_t SegmentWalk::BlockCount() const {
  std::uint64_t n = 0;
  for (const ExtentEntry& e : extents) n += e.block_count;
  return n;
}

SegmentWalk WalkSegment(BlockSource& source, const DatafileList& files, std::uint32_t header_dba,
                        const StopFlag* stop, WalkListing listing) {
  SegmentWalk walk;
  std::unordered_set<std::uint32_t> seen;
  std::uint32_t dba = header_dba;
  while (dba != 0) {
    if (stop && stop->requested()) {
      walk.stopped = true;
      break;
    }
    if (!seen.insert(dba).second) {
      walk.problem = "the extent map chain loops back to a block it has already visited";
      break;
    }
    BlockResult r = source.Read(dba);
    if (!r.ok()) {
      walk.problem = std::string("extent map block unreadable: ") + ToString(r.status);
      if (r.status == ReadStatus::kBeyondEnd || r.status == ReadStatus::kUnknownFile) {
        walk.missing.push_back({format::DbaFile(dba), format::DbaBlock(dba), 1,
                                r.status == ReadStatus::kBeyondEnd ? MissingCause::kPastEnd : MissingCause::kNoDatafile});
      }
      break;
    }
    const auto map = DecodeExtentMap(r.block.bytes());
    const bool first = walk.maps_read == 0;
    if (!map || (first ? !IsSegmentHeader(map->block_type) : !IsExtentMapBlock(map->block_type))) {
      walk.problem = first ? "the block is not a segment header" : "the next extent map block is not an extent map";
      break;
    }
    if (first) {
      walk.header_found = true;
      walk.header_type = map->block_type;
      walk.object_number = map->object_number;
      walk.space = SpaceManagementOf(map->block_type);
    }
    ++walk.maps_read;
    for (const auto& e : map->entries) {
      const ExtentEntry named = ClampExtent(e, std::nullopt);  // within the file's block-number space
      const DatafileEntry* f = files.FindByDba(e.first_dba);
      if (!f) {
        // No datafile to read it from: every block of the extent is missing.
        if (named.block_count > 0) {
          walk.missing.push_back({format::DbaFile(e.first_dba), format::DbaBlock(e.first_dba), named.block_count,
                                  MissingCause::kNoDatafile});
        }
        continue;
      }
      std::optional<std::uint32_t> max_blocks;
      if (const auto n = source.FileBlockCount(*f)) {
        max_blocks = static_cast<std::uint32_t>(std::min<std::uint64_t>(*n, UINT32_MAX));
      }
      const ExtentEntry extent = ClampExtent(e, max_blocks);
      if (extent.block_count < named.block_count) {
        walk.missing.push_back({format::DbaFile(e.first_dba), format::DbaBlock(e.first_dba) + extent.block_count,
                                named.block_count - extent.block_count, MissingCause::kPastEnd});
      }
      walk.extents.push_back(extent);
      if (listing == WalkListing::kBlocks) {
        ForEachBlockOf(extent, [&](std::uint32_t block) {
          walk.blocks.push_back(block);
          return true;
        });
      }
    }
    dba = map->next_map;
  }
  return walk;
}

}  // namespace quillon
