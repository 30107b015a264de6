#include "reader/table_blocks.h"

#include "reader/format.h"

namespace quillon {

std::vector<std::uint32_t> TableBlocks::AllBlocks() const {
  std::vector<std::uint32_t> all;
  all.reserve(BlockCount());
  for (const auto& s : segments) all.insert(all.end(), s.walk.blocks.begin(), s.walk.blocks.end());
  return all;
}

std::size_t TableBlocks::BlockCount() const {
  std::size_t n = 0;
  for (const auto& s : segments) n += s.walk.BlockCount();
  return n;
}

std::vector<MissingBlocks> TableBlocks::Missing() const {
  std::vector<MissingBlocks> all;
  for (const auto& s : segments) all.insert(all.end(), s.walk.missing.begin(), s.walk.missing.end());
  return all;
}

std::uint64_t TableBlocks::MissingBlockCount() const {
  std::uint64_t n = 0;
  for (const auto& s : segments) n += s.walk.MissingBlockCount();
  return n;
}

std::optional<std::uint32_t> SegmentHeaderDba(const DatafileList& files, std::uint32_t relative_file,
                                              std::uint64_t header_block) {
  if (relative_file == 0 || header_block > format::kDbaBlockMask) return std::nullopt;
  const DatafileEntry* file = files.FindByRelativeFile(relative_file);
  if (!file) return std::nullopt;
  return (file->file_base_dba & format::kDbaFileMask) | static_cast<std::uint32_t>(header_block);
}

const IndexRecord* IotTopIndex(const Catalogue& catalogue, std::uint32_t table_object_number) {
  const IndexRecord* index = nullptr;
  for (const auto& candidate : catalogue.indexes.All<1>(table_object_number)) {
    if (!index || (candidate.type == kIotTopIndexType && index->type != kIotTopIndexType)) index = &candidate;
  }
  return index;
}

namespace {

class Collector {
 public:
  Collector(const COracleRecoveryTools& engine, BlockSource& source, TableBlocks& out, WalkListing listing)
      : engine_(engine), source_(source), out_(out), listing_(listing) {}

  // Walks one segment; true when its header was found.
  bool Walk(TableSegment::Level level, const std::string& name, std::uint32_t object_number,
            std::uint32_t relative_file, std::uint64_t header_block) {
    if (out_.stopped) return false;
    TableSegment s;
    s.level = level;
    s.name = name;
    s.object_number = object_number;
    s.relative_file = relative_file;
    s.header_block = header_block;
    const auto dba = SegmentHeaderDba(engine_.datafiles, relative_file, header_block);
    if (dba) {
      s.walk = WalkSegment(source_, engine_.datafiles, *dba, &engine_.stop(), listing_);
      NoteExtentCountDisagreement(engine_, s.walk, *dba);
    } else {
      s.walk.problem = "no registered datafile has relative file number " + std::to_string(relative_file);
      if (relative_file != 0 && header_block <= format::kDbaBlockMask) {
        s.walk.missing.push_back(
            {relative_file, static_cast<std::uint32_t>(header_block), 1, MissingCause::kNoDatafile});
      }
    }
    out_.stopped = s.walk.stopped;
    const bool found = s.walk.header_found;
    if (found) {
      out_.target.accepted_objects.insert(s.walk.object_number);
      if (s.walk.space == SpaceManagement::kFreeList) out_.target.free_list_objects.insert(s.walk.object_number);
    }
    out_.segments.push_back(std::move(s));
    return found;
  }

 private:
  const COracleRecoveryTools& engine_;
  BlockSource& source_;
  TableBlocks& out_;
  WalkListing listing_;
};

}  // namespace

TableBlocks CollectTableBlocks(const COracleRecoveryTools& engine, BlockSource& source,
                               std::uint32_t table_object_number, WalkListing listing) {
  TableBlocks out;
  const Catalogue& cat = engine.catalogue;
  const TableRecord* table = cat.tables.First<0>(table_object_number);
  if (!table) return out;
  out.table_found = true;
  Collector collect(engine, source, out, listing);
  using Level = TableSegment::Level;

  if (table->cluster_position) {
    out.rule = CountRule::kCluster;
    out.target.cluster_position = static_cast<std::uint8_t>(*table->cluster_position);
  }

  if (table->relative_file_number != 0) {
    collect.Walk(Level::kTable, "", table->object_number, table->relative_file_number,
                 table->header_block);
  } else if (table->property & kPropertyIndexOrganized) {
    out.rule = CountRule::kIndex;
    const IndexRecord* index = IotTopIndex(cat, table_object_number);
    if (index && index->relative_file_number != 0) {
      collect.Walk(Level::kIndex, "", index->index_object_number, index->relative_file_number,
                   index->header_block);
    } else if (index) {
      for (const auto& part : cat.index_partitions.All<0>(index->index_object_number)) {
        collect.Walk(Level::kIndexPartition, part.name, part.object_number, part.relative_file_number,
                     part.header_block);
      }
    }
  } else {
    bool walked = false;
    for (const auto& part : cat.table_partitions.All<0>(table_object_number)) {
      walked = collect.Walk(Level::kPartition, part.name, part.object_number, part.relative_file_number,
                            part.header_block) ||
               walked;
    }
    if (walked) {
      out.suffix = " : Partitioning ";
    } else {
      for (const auto& composite : cat.composite_partitions.All<0>(table_object_number)) {
        for (const auto& sub : cat.subpartitions.All<0>(composite.object_number)) {
          walked = collect.Walk(Level::kSubpartition, sub.name, sub.object_number, sub.relative_file_number,
                                sub.header_block) ||
                   walked;
        }
      }
      if (walked) out.suffix = " : Subpartitioning ";
    }
  }
  if (table->data_object_number) out.target.accepted_objects.insert(*table->data_object_number);
  out.target.rule = out.rule;
  return out;
}

}  // namespace quillon
