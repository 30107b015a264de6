#include "reader/lob_reader.h"

#include <algorithm>

#include "reader/extent_map.h"
#include "reader/format.h"

namespace quillon {

namespace loc = format::lob_locator;
namespace lp = format::lob_page;

bool LobLocator::IsBlob() const { return flags[0] == loc::kTypeBlob; }
bool LobLocator::IsClob() const { return flags[0] == loc::kTypeClob; }
bool LobLocator::StorageInRowEnabled() const { return (flags[1] & loc::kStorageInRowBit) != 0; }

std::optional<std::uint32_t> LobLocator::LastBlock() const {
  if (in_row || !has_inode || blocks == 0) return std::nullopt;
  return blocks - 1;
}

std::optional<LobLocator> ParseLobLocator(ByteView bytes) {
  if (!bytes.Has(0, loc::kHeadSize)) return std::nullopt;
  LobLocator l;
  l.size = bytes.size();
  l.length_word = *bytes.U16BE(loc::kLength);
  l.locator_version = *bytes.U16BE(loc::kLocatorVersion);
  for (std::size_t i = 0; i < l.flags.size(); ++i) l.flags[i] = *bytes.U8(loc::kFlags + i);
  l.byte_length = *bytes.U16BE(loc::kByteLength);
  for (std::size_t i = 0; i < l.lob_id.size(); ++i) l.lob_id[i] = *bytes.U8(loc::kLobId + i);
  l.page_key = *bytes.U32LE(loc::kPageKey);
  // A 20-byte locator has no inode; a longer one cut inside its inode is
  // read the same way: its data cannot be in the row.
  if (!bytes.Has(0, loc::kInRowData)) return l;
  l.has_inode = true;
  l.inode_size = *bytes.U16BE(loc::kInodeSize);
  l.inode_flag = *bytes.U8(loc::kInodeFlag);
  l.blocks = *bytes.U32BE(loc::kBlocks);
  l.last_block_bytes = *bytes.U16BE(loc::kLastBlockBytes);
  l.version_wrap = *bytes.U16BE(loc::kVersionWrap);
  l.version_base = *bytes.U32BE(loc::kVersionBase);
  if (l.inode_flag & loc::kInodeValid) {
    l.rule = LobInRowRule::kInodeFlag;
    l.in_row = (l.inode_flag & loc::kInodeDataInRow) != 0;
  } else {
    // An inode flag without its valid bit cannot be trusted. The words
    // Oracle writes into a LOB that has been stored in the row and never
    // updated (version 1, no block) are the best remaining sign; an in-row
    // LOB that was updated is taken for out of line here.
    l.rule = LobInRowRule::kOldWords;
    l.in_row = l.version_base == 1 && l.blocks <= 1;
  }
  if (l.in_row) {
    l.data = bytes.From(loc::kInRowData);
    return l;
  }
  const std::size_t listed =
      std::min(loc::kMaxChunkDbas, (bytes.size() - loc::kChunkDbas) / loc::kChunkDbaSize);
  for (std::size_t i = 0; i < listed; ++i) l.chunk_dbas.push_back(*bytes.U32BE(loc::kChunkDbas + i * loc::kChunkDbaSize));
  return l;
}

namespace {

// The identifier a LOB page carries; std::nullopt when the block is cut
// short before it.
std::optional<LobId> PageLobId(const ByteView& block) {
  const auto bytes = block.Sub(lp::kLobId, lp::kLobIdSize);
  if (!bytes) return std::nullopt;
  LobId id{};
  std::copy(bytes->data(), bytes->data() + id.size(), id.begin());
  return id;
}

// The data object number of an object, when OBJ$ has it; 0 lets the segment
// header say.
std::uint32_t DataObjectOf(const Catalogue& cat, std::uint32_t object_number) {
  const ObjectRecord* o = cat.Object(object_number);
  return o && o->data_object_number ? *o->data_object_number : 0;
}

std::optional<LobSegmentRef> RefOf(const COracleRecoveryTools& engine, std::uint32_t object_number,
                                   std::uint32_t relative_file, std::uint64_t header_block, std::uint32_t chunk) {
  const auto dba = SegmentHeaderDba(engine.datafiles, relative_file, header_block);
  if (!dba) return std::nullopt;
  return LobSegmentRef{*dba, DataObjectOf(engine.catalogue, object_number), std::max<std::uint32_t>(1, chunk)};
}

const LobFragmentRecord* FragmentFor(const Catalogue& cat, std::uint32_t parent, std::uint32_t table_fragment) {
  for (const auto& f : cat.lob_fragments.All<0>(parent)) {
    if (f.table_fragment_object == table_fragment) return &f;
  }
  return nullptr;
}

}  // namespace

std::optional<LobSegmentRef> FindLobSegment(const COracleRecoveryTools& engine, std::uint32_t table_object_number,
                                            std::uint32_t internal_column, const TableSegment& segment) {
  const Catalogue& cat = engine.catalogue;
  const LobRecord* lob = nullptr;
  for (const auto& l : cat.lobs.All<0>(table_object_number)) {
    if (l.internal_column == internal_column) {
      lob = &l;
      break;
    }
  }
  if (!lob) return std::nullopt;
  const LobFragmentRecord* fragment = nullptr;
  if (segment.level == TableSegment::Level::kPartition) {
    fragment = FragmentFor(cat, lob->lob_object_number, segment.object_number);
  } else if (segment.level == TableSegment::Level::kSubpartition) {
    for (const auto& part : cat.lob_composite_partitions.All<0>(lob->lob_object_number)) {
      if ((fragment = FragmentFor(cat, part.partition_object_number, segment.object_number))) break;
    }
  }
  if (fragment) {
    return RefOf(engine, fragment->fragment_object_number, fragment->relative_file_number, fragment->header_block,
                 fragment->chunk != 0 ? fragment->chunk : lob->chunk);
  }
  return RefOf(engine, lob->lob_object_number, lob->relative_file_number, lob->header_block, lob->chunk);
}

LobReader::LobReader(const COracleRecoveryTools& engine)
    : engine_(engine), source_(std::make_unique<BlockSource>(engine.datafiles)) {}

LobReader::~LobReader() = default;

const LobReader::SegmentIndex& LobReader::IndexOf(const LobSegmentRef& segment) {
  const auto key = std::make_pair(segment.header_dba, segment.object_number);
  if (const auto it = segments_.find(key); it != segments_.end()) return it->second;
  SegmentIndex& index = segments_[key];
  index.object = segment.object_number;
  if (segment.header_dba == 0) return index;
  const SegmentWalk walk = WalkSegment(*source_, engine_.datafiles, segment.header_dba, &engine_.stop());
  NoteExtentCountDisagreement(engine_, walk, segment.header_dba);
  if (!walk.header_found) return index;
  // A header of another object at the recorded address: the space was
  // reused, the pages there are not this LOB's.
  if (segment.object_number != 0 && walk.object_number != segment.object_number) return index;
  const std::uint32_t object = walk.object_number;
  index.object = object;
  std::uint32_t order = 0;
  for (const std::uint32_t dba : walk.blocks) {
    if (engine_.StopRequested()) break;
    const BlockResult r = source_->Read(dba);
    if (!r.ok()) continue;
    const ByteView b = r.block.bytes();
    const auto type = b.U8(format::block_header::kType);
    if (!type || (*type != lp::kType && *type != lp::kTypeAssm)) continue;
    const auto owner = b.U32LE(lp::kObjectNumber);
    const auto id = PageLobId(b);
    const auto version = b.U32LE(lp::kVersion);
    const auto page = b.U32LE(lp::kPageNumber);
    if (!owner || *owner != object || !id || !version || !page) continue;
    index.pages[*id].push_back(Page{*page, *version, dba, order++});
  }
  return index;
}

std::vector<LobReader::Block> LobReader::ChunkAt(std::uint32_t dba, std::uint32_t page, const LobId& id,
                                                 std::uint32_t object, std::uint32_t max_blocks) {
  std::vector<Block> out;
  std::optional<std::uint32_t> chunk_version;
  for (std::uint32_t place = 0; place < max_blocks; ++place) {
    const std::uint32_t at = dba + place;
    if (format::DbaFile(at) != format::DbaFile(dba)) break;  // ran off the end of the file's block numbers
    const BlockResult r = source_->Read(at);
    if (!r.ok()) break;
    const ByteView b = r.block.bytes();
    const auto type = b.U8(format::block_header::kType);
    if (!type || (*type != lp::kType && *type != lp::kTypeAssm)) break;
    const auto owner = b.U32LE(lp::kObjectNumber);
    const auto page_id = PageLobId(b);
    const auto version = b.U32LE(lp::kVersion);
    const auto number = b.U32LE(lp::kPageNumber);
    if (!owner || !page_id || !version || !number) break;
    if (*page_id != id || *number != page || (object != 0 && *owner != object)) break;
    if (chunk_version && *version != *chunk_version) break;  // the next block is another copy
    chunk_version = *version;
    out.push_back(Block{page, place, at});
  }
  return out;
}

LobReadResult LobReader::Read(const LobSegmentRef& segment, const LobLocator& locator, const ByteSink& out) {
  LobReadResult result;
  result.byte_length = locator.byte_length;
  if (locator.has_inode && locator.blocks == 0) return result;  // an empty LOB
  // Without an inode the locator does not say how long the LOB is: every
  // page found is written whole.
  const std::uint64_t last = locator.LastBlock().value_or(UINT64_MAX);
  const SegmentIndex& index = IndexOf(segment);

  // The walk's copy of every page: the latest version (the first copy found
  // on a tie), its blocks in the order they lie.
  std::map<std::uint32_t, std::vector<Block>> chosen;
  if (const auto found = index.pages.find(locator.lob_id); found != index.pages.end()) {
    std::map<std::uint32_t, std::uint32_t> latest;
    for (const Page& p : found->second) {
      auto [it, fresh] = latest.emplace(p.page, p.version);
      if (!fresh && p.version > it->second) it->second = p.version;
    }
    std::vector<Page> pages;
    for (const Page& p : found->second) {
      if (latest[p.page] == p.version) pages.push_back(p);
    }
    std::sort(pages.begin(), pages.end(),
              [](const Page& a, const Page& b) { return a.page != b.page ? a.page < b.page : a.order < b.order; });
    for (const Page& p : pages) {
      auto& blocks = chosen[p.page];
      blocks.push_back(Block{p.page, static_cast<std::uint32_t>(blocks.size()), p.dba});
    }
  }
  // The chunks the locator lists are the LOB's current copies: they replace
  // what the walk chose when they are this LOB's pages of that number.
  const std::uint32_t chunk = std::max<std::uint32_t>(1, segment.chunk);
  // Without a known segment the chunk size is not known either: the blocks
  // of a chunk are followed as long as they carry its page number.
  constexpr std::uint32_t kMaxChunkBlocks = 32;
  const std::uint32_t probe = segment.header_dba != 0 ? chunk : kMaxChunkBlocks;
  for (std::size_t i = 0; i < locator.chunk_dbas.size(); ++i) {
    const std::uint32_t dba = locator.chunk_dbas[i];
    if (dba == 0 || !engine_.datafiles.FindByDba(dba)) continue;
    if (engine_.StopRequested()) {
      result.stopped = true;
      return result;
    }
    std::vector<Block> blocks = ChunkAt(dba, static_cast<std::uint32_t>(i), locator.lob_id, index.object, probe);
    if (!blocks.empty()) chosen[static_cast<std::uint32_t>(i)] = std::move(blocks);
  }
  if (chosen.empty()) {
    result.complete = false;
    return result;
  }

  const std::uint64_t per_chunk = segment.header_dba != 0 ? chunk : 0;
  std::uint64_t expected = 0;  // the next block number to write
  std::uint64_t next_page_start = 0;
  std::uint32_t next_page = 0;
  for (const auto& [page, blocks] : chosen) {
    if (per_chunk == 0 && page != next_page) result.complete = false;  // a chunk between is missing
    next_page = page + 1;
    // With a known chunk size a block's number follows from its page
    // number; without one, pages are taken to follow each other.
    const std::uint64_t start = per_chunk != 0 ? per_chunk * page : next_page_start;
    for (const Block& block : blocks) {
      if (per_chunk != 0 && block.place >= per_chunk) break;  // more blocks than a chunk holds: not this LOB's
      const std::uint64_t number = start + block.place;
      if (number > last) break;
      if (number < expected) continue;
      if (engine_.StopRequested()) {
        result.stopped = true;
        return result;
      }
      const BlockResult r = source_->Read(block.dba);
      if (!r.ok()) continue;
      const ByteView b = r.block.bytes();
      const std::size_t full = b.size() > lp::kOverhead ? b.size() - lp::kOverhead : 0;
      const std::size_t n = number == last ? std::min<std::size_t>(full, locator.last_block_bytes) : full;
      const auto data = b.Sub(lp::kData, n);
      if (!data) continue;
      if (number != expected) result.complete = false;  // blocks before this one are missing
      out(*data);
      result.bytes += n;
      expected = number + 1;
    }
    next_page_start = expected;
  }
  if (last != UINT64_MAX && expected != last + 1) result.complete = false;
  return result;
}

}  // namespace quillon
