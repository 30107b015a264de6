#include "reader/lob_reader.h"

#include <algorithm>

#include "reader/extent_map.h"
#include "reader/format.h"

namespace quillon {

namespace loc = format::lob_locator;
namespace lp = format::lob_page;

std::optional<LobLocator> ParseLobLocator(ByteView bytes) {
  if (!bytes.Has(0, loc::kInRowData)) return std::nullopt;
  LobLocator l;
  const std::uint32_t last = *bytes.U32BE(loc::kLastBlock);
  l.in_row = *bytes.U32BE(loc::kInRow) == loc::kInRowValue && last <= 1;
  l.character = (*bytes.U8(loc::kCharacterFlag) & loc::kCharacterBit) != 0;
  if (l.in_row) {
    l.data = bytes.From(loc::kInRowData);
    return l;
  }
  l.page_key = *bytes.U32LE(loc::kPageKey);
  l.last_block = last;
  l.last_block_bytes = *bytes.U16BE(loc::kLastBlockBytes);
  return l;
}

namespace {

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
  const SegmentWalk walk = WalkSegment(*source_, engine_.datafiles, segment.header_dba, &engine_.stop());
  if (!walk.header_found) return index;
  // A header of another object at the recorded address: the space was
  // reused, the pages there are not this LOB's.
  if (segment.object_number != 0 && walk.object_number != segment.object_number) return index;
  const std::uint32_t object = walk.object_number;
  std::uint32_t order = 0;
  for (const std::uint32_t dba : walk.blocks) {
    if (engine_.StopRequested()) break;
    const BlockResult r = source_->Read(dba);
    if (!r.ok()) continue;
    const ByteView b = r.block.bytes();
    const auto type = b.U8(format::block_header::kType);
    if (!type || (*type != lp::kType && *type != lp::kTypeAssm)) continue;
    const auto owner = b.U32LE(lp::kObjectNumber);
    const auto page_key = b.U32LE(lp::kPageKey);
    const auto version = b.U32LE(lp::kVersion);
    const auto page = b.U32LE(lp::kPageNumber);
    if (!owner || *owner != object || !page_key || !version || !page) continue;
    index.pages[*page_key].push_back(Page{*page, *version, dba, order++});
  }
  return index;
}

LobReadResult LobReader::Read(const LobSegmentRef& segment, const LobLocator& locator, const ByteSink& out) {
  LobReadResult result;
  const SegmentIndex& index = IndexOf(segment);
  const auto found = index.pages.find(locator.page_key);
  if (found == index.pages.end()) {
    result.complete = false;
    return result;
  }
  // The latest version of every page (the first copy found on a tie).
  std::map<std::uint32_t, std::uint32_t> latest;
  for (const Page& p : found->second) {
    auto [it, fresh] = latest.emplace(p.page, p.version);
    if (!fresh && p.version > it->second) it->second = p.version;
  }
  std::vector<Page> blocks;
  for (const Page& p : found->second) {
    if (latest[p.page] == p.version) blocks.push_back(p);
  }
  std::sort(blocks.begin(), blocks.end(),
            [](const Page& a, const Page& b) { return a.page != b.page ? a.page < b.page : a.order < b.order; });

  const std::uint64_t chunk = std::max<std::uint32_t>(1, segment.chunk);
  std::uint64_t expected = 0;  // the next block number to write
  std::size_t place = 0;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    place = i > 0 && blocks[i].page == blocks[i - 1].page && blocks[i].version == blocks[i - 1].version ? place + 1 : 0;
    if (place >= chunk) continue;  // more blocks than a chunk holds: not this LOB's
    const std::uint64_t number = chunk * blocks[i].page + place;
    if (number > locator.last_block) continue;
    if (number < expected) continue;  // a second copy of a block already written
    if (engine_.StopRequested()) {
      result.stopped = true;
      return result;
    }
    const BlockResult r = source_->Read(blocks[i].dba);
    if (!r.ok()) continue;
    const ByteView b = r.block.bytes();
    const std::size_t full = b.size() > lp::kOverhead ? b.size() - lp::kOverhead : 0;
    const std::size_t n = number == locator.last_block ? std::min<std::size_t>(full, locator.last_block_bytes) : full;
    const auto data = b.Sub(lp::kData, n);
    if (!data) continue;
    if (number != expected) result.complete = false;  // blocks before this one are missing
    out(*data);
    result.bytes += n;
    expected = number + 1;
  }
  if (expected != std::uint64_t{locator.last_block} + 1) result.complete = false;
  return result;
}

}  // namespace quillon
