#include "reader/extent_map.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "reader/engine.h"
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

namespace {

namespace ah = format::assm_header;

bool PlainExtentCheck(std::uint32_t first_dba, std::uint32_t block_count) {
  return first_dba != 0 && block_count != 0 &&
         std::uint64_t{format::DbaBlock(first_dba)} + block_count <= (std::uint64_t{1} << format::kDbaBlockBits);
}

void AddCandidate(std::vector<std::uint32_t>& list, std::uint32_t value) {
  if (value == 0) return;
  if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

// A 0x23 header: the run of valid entries from 280, then the order of the
// words before them as far as the words tell it.
std::optional<ExtentMap> DecodeAssmHeader(ByteView block, const ExtentCheck& check) {
  if (!block.Has(0, ah::kFirstEntry)) return std::nullopt;
  ExtentMap map;
  map.block_type = bt::kAssmSegmentHeader;
  const std::size_t capacity = format::AssmHeaderCapacity(block.size());
  for (std::size_t i = 0; i < capacity; ++i) {
    const std::size_t at = ah::kFirstEntry + i * em::kEntrySize;
    const auto first = block.U32LE(at + em::kEntryFirstDba);
    const auto count = block.U32LE(at + em::kEntryBlockCount);
    if (!first || !count || !PlainExtentCheck(*first, *count)) break;
    if (check && !check(*first, *count)) break;
    map.entries.push_back({*first, *count});
  }
  const auto n = static_cast<std::uint32_t>(map.entries.size());
  // The words at 264, 268, 272 and 276.
  const std::uint32_t at264 = *block.U32LE(ah::kCountNextObject.extent_count);
  const std::uint32_t at268 = *block.U32LE(ah::kNextCountObject.extent_count);
  const std::uint32_t at272 = *block.U32LE(ah::kCountNextObject.object_number);
  const std::uint32_t at276 = *block.U32LE(ah::kCountNextObject.flag);
  const std::uint32_t segment_extents = *block.U32LE(format::extent_control::kExtents);
  // Which order: the count word that agrees with the entries, else the
  // place of the map's flag word.
  const format::AssmMapOrder* order = &ah::kCountNextObject;
  if (at264 == n) {
    if (at272 == em::kAssmMapFlag && at276 != em::kAssmMapFlag) order = &ah::kNextAt260;
  } else if (at268 == n) {
    order = &ah::kNextCountObject;
  } else if (at272 == em::kAssmMapFlag && at276 != em::kAssmMapFlag) {
    order = &ah::kNextAt260;
  }
  // Neither count word agrees with the entries, or the segment's own total
  // (which counts the extents of the map blocks too) is below them.
  map.count_disagrees = n != 0 && ((at264 != n && at268 != n) || segment_extents < n);
  map.stored_extent_count = *block.U32LE(order->extent_count);
  map.count_exceeds_block = map.stored_extent_count > capacity;
  map.next_map = *block.U32LE(order->next_map);
  map.object_number = *block.U32LE(order->object_number);
  AddCandidate(map.next_candidates, map.next_map);
  for (const std::size_t at : ah::kNextCandidates) {
    // A count word that agrees with the entries is not a DBA; one that
    // does not may be the next-map word of another order.
    if (at == order->object_number || (at == order->extent_count && *block.U32LE(at) == n)) continue;
    AddCandidate(map.next_candidates, *block.U32LE(at));
  }
  AddCandidate(map.object_candidates, map.object_number);
  for (const std::size_t at : ah::kObjectCandidates) {
    const std::uint32_t v = *block.U32LE(at);
    if (v != em::kAssmMapFlag && v != n) AddCandidate(map.object_candidates, v);
  }
  return map;
}

}  // namespace

std::optional<ExtentMap> DecodeExtentMap(ByteView block, const ExtentCheck& check) {
  const auto type = block.U8(format::block_header::kType);
  if (!type) return std::nullopt;
  const format::ExtentMapLayout* layout = nullptr;
  switch (*type) {
    case bt::kSegmentHeader:
    case bt::kLobSegmentHeader: layout = &em::kFreeListHeader; break;
    case bt::kAssmSegmentHeader: return DecodeAssmHeader(block, check);
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

namespace {

// The next-map candidate of a 0x23 header that is a 0x24 block of the same
// segment; the header's likeliest word when none is.
std::uint32_t NextMapOf(BlockSource& source, const DatafileList& files, const ExtentMap& header) {
  for (const std::uint32_t dba : header.next_candidates) {
    if (!files.FindByDba(dba)) continue;
    const BlockResult r = source.Read(dba);
    if (!r.ok()) continue;
    const auto map = DecodeExtentMap(r.block.bytes());
    if (map && map->block_type == bt::kAssmExtentMap &&
        std::find(header.object_candidates.begin(), header.object_candidates.end(), map->object_number) !=
            header.object_candidates.end()) {
      return dba;
    }
  }
  return header.next_map;
}

// The data object number of a 0x23 segment among its header's candidates:
// the one its first data blocks (table and index blocks at 24, LOB pages at
// 20) carry most often; the header's likeliest when no block says.
std::uint32_t ConfirmedObjectNumber(BlockSource& source, const std::vector<ExtentEntry>& extents,
                                    const std::vector<std::uint32_t>& candidates, std::uint32_t likeliest) {
  if (candidates.size() < 2) return likeliest;
  constexpr std::uint32_t kSampleBlocks = 24;
  std::vector<std::uint32_t> hits(candidates.size(), 0);
  std::uint32_t read = 0;
  ForEachExtentBlock(extents, [&](std::uint32_t dba) {
    const BlockResult r = source.Read(dba);
    if (r.ok()) {
      const ByteView b = r.block.bytes();
      const auto type = b.U8(format::block_header::kType);
      std::optional<std::uint32_t> owner;
      if (type == bt::kData) owner = b.U32LE(format::data_block::kObjectNumber);
      if (type == format::lob_page::kType || type == format::lob_page::kTypeAssm) {
        owner = b.U32LE(format::lob_page::kObjectNumber);
      }
      if (owner) {
        for (std::size_t i = 0; i < candidates.size(); ++i) hits[i] += candidates[i] == *owner ? 1 : 0;
      }
    }
    return ++read < kSampleBlocks;
  });
  std::size_t best = 0;
  for (std::size_t i = 1; i < candidates.size(); ++i) {
    if (hits[i] > hits[best]) best = i;
  }
  return hits[best] > 0 ? candidates[best] : likeliest;
}

}  // namespace

SegmentWalk WalkSegment(BlockSource& source, const DatafileList& files, std::uint32_t header_dba,
                        const StopFlag* stop, WalkListing listing) {
  SegmentWalk walk;
  std::unordered_set<std::uint32_t> seen;
  // An entry of a 0x23 header is valid when its first block lies in a
  // registered datafile. An extent that runs past the end of its file (a
  // cut file) still counts: the walk cuts it to the file.
  const ExtentCheck in_files = [&](std::uint32_t first_dba, std::uint32_t block_count) {
    const DatafileEntry* f = files.FindByDba(first_dba);
    if (!f || block_count == 0) return false;
    const auto n = source.FileBlockCount(*f);
    return !n || format::DbaBlock(first_dba) < *n;
  };
  std::vector<std::uint32_t> object_candidates;
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
    const auto map = DecodeExtentMap(r.block.bytes(), in_files);
    const bool first = walk.maps_read == 0;
    if (!map || (first ? !IsSegmentHeader(map->block_type) : !IsExtentMapBlock(map->block_type))) {
      walk.problem = first ? "the block is not a segment header" : "the next extent map block is not an extent map";
      break;
    }
    std::uint32_t next = map->next_map;
    if (first) {
      walk.header_found = true;
      walk.header_type = map->block_type;
      walk.object_number = map->object_number;
      walk.space = SpaceManagementOf(map->block_type);
      if (map->block_type == bt::kAssmSegmentHeader) {
        walk.count_disagrees = map->count_disagrees;
        object_candidates = map->object_candidates;
        next = NextMapOf(source, files, *map);
      }
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
    dba = next;
  }
  if (walk.header_type == bt::kAssmSegmentHeader) {
    walk.object_number = ConfirmedObjectNumber(source, walk.extents, object_candidates, walk.object_number);
  }
  return walk;
}

void NoteExtentCountDisagreement(const COracleRecoveryTools& engine, const SegmentWalk& walk,
                                 std::uint32_t header_dba) {
  if (!walk.count_disagrees || engine.extent_count_noted.exchange(true)) return;
  char dba[16];
  std::snprintf(dba, sizeof dba, "0x%08X", header_dba);
  engine.sink().AppendLog(std::string("The extent count of the segment header at ") + dba +
                              " disagrees with its extent list; the extent list is used.",
                          LogMode::kNewLine);
}

}  // namespace quillon
