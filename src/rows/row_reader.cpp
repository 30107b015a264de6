#include "rows/row_reader.h"

#include "reader/block_view.h"
#include "reader/extent_map.h"

namespace quillon {

namespace {

// An index-organized table's overflow segment holds the rest of the rows its
// leaf rows start: pieces there belong to the table.
void AddOverflowSegment(const COracleRecoveryTools& engine, BlockSource& source, std::uint32_t table,
                        CountTarget& target) {
  for (const TableRecord& t : engine.catalogue.tables.records()) {
    if (!t.base_object || *t.base_object != table || !(t.property & kPropertyIotOverflow)) continue;
    if (t.data_object_number) target.accepted_objects.insert(*t.data_object_number);
    const auto dba = SegmentHeaderDba(engine.datafiles, t.relative_file_number, t.header_block);
    if (!dba) continue;
    const BlockResult r = source.Read(*dba);
    const auto map = r.ok() ? DecodeExtentMap(r.block.bytes()) : std::nullopt;
    if (!map || !IsSegmentHeader(map->block_type)) continue;
    target.accepted_objects.insert(map->object_number);
    if (SpaceManagementOf(map->block_type) == SpaceManagement::kFreeList) {
      target.free_list_objects.insert(map->object_number);
    }
  }
}

}  // namespace

TableRowReader::TableRowReader(const COracleRecoveryTools& engine, BlockSource& source,
                               std::uint32_t table_object_number)
    : engine_(engine),
      source_(source),
      chain_source_(std::make_unique<BlockSource>(engine.datafiles)),
      blocks_(CollectTableBlocks(engine, source, table_object_number)),
      layout_(TableLayout::Of(engine.catalogue, table_object_number)),
      chain_target_(blocks_.target),
      assembler_(layout_, ChainScope{chain_source_.get(), &chain_target_, &engine.stop()}) {
  if (layout_.kind() == TableKind::kIndexOrganized) {
    AddOverflowSegment(engine, *chain_source_, table_object_number, chain_target_);
  }
  stats_.missing_blocks = blocks_.MissingBlockCount();
  stats_.damaged_total = stats_.missing_blocks;
}

bool TableRowReader::CountAnyDamage(std::uint32_t dba) {
  const bool first = any_damage_.insert(dba).second;
  if (first) ++stats_.damaged_total;
  return first;
}

void TableRowReader::CountDamaged(std::uint32_t dba) {
  if (damaged_.insert(dba).second) {
    ++stats_.damaged_blocks;
    CountAnyDamage(dba);
  }
}

void TableRowReader::CountBadChecksum(std::uint32_t dba) {
  if (bad_checksum_.insert(dba).second) {
    stats_.bad_checksum_blocks.push_back(dba);
    CountAnyDamage(dba);
  }
}

template <typename Visit>
RowPosition TableRowReader::Walk(RowPosition from, Visit visit) {
  stopped_ = false;
  RowPosition at = from;
  for (; at.segment < blocks_.segments.size(); ++at.segment, at.block = 0, at.slot = 0) {
    const std::vector<std::uint32_t>& dbas = blocks_.segments[at.segment].walk.blocks;
    for (; at.block < dbas.size(); ++at.block, at.slot = 0) {
      if (engine_.StopRequested()) {
        stopped_ = true;
        return at;
      }
      const std::uint32_t dba = dbas[at.block];
      BlockResult r = source_.Read(dba);
      ++stats_.blocks_read;
      if (on_block_) on_block_();
      if (!r.ok()) {
        if (damaged_.insert(dba).second) {
          ++stats_.unreadable_blocks;
          CountAnyDamage(dba);
        }
        continue;
      }
      const ByteView bytes = r.block.bytes();
      const bool suspect = BlockView(bytes).ChecksumContradicted();
      if (suspect) CountBadChecksum(dba);
      const BlockKind kind = FindRowStarts(bytes, blocks_.target, starts_);
      if (kind == BlockKind::kDamaged) CountDamaged(dba);
      for (const RowStart& start : starts_) {
        if (start.slot < at.slot) continue;
        if (!visit(bytes, dba, start, RowPosition{at.segment, at.block, start.slot}, suspect)) {
          return RowPosition{at.segment, at.block, start.slot};
        }
      }
    }
  }
  return End();
}

RowPosition TableRowReader::Read(RowPosition from, std::uint64_t max_rows, RowConsumer& consumer) {
  std::uint64_t delivered = 0;
  bool consumer_done = false;
  RowPosition end = Walk(from, [&](ByteView block, std::uint32_t dba, const RowStart& start, RowPosition at,
                                   bool suspect) {
    if (max_rows != 0 && delivered == max_rows) return false;
    assembler_.Assemble(block, dba, start, suspect);
    if (assembler_.problem() == RowBreak::kStopped) {
      stopped_ = true;
      return false;
    }
    for (const std::uint32_t damaged : assembler_.damaged_blocks()) CountDamaged(damaged);
    for (const std::uint32_t bad : assembler_.bad_checksum_blocks()) CountBadChecksum(bad);
    TableRow row;
    row.values = assembler_.values();
    row.segment = &blocks_.segments[at.segment];
    row.partition = row.segment->name;
    row.position = at;
    row.dba = dba;
    row.problem = assembler_.problem();
    row.suspect = assembler_.suspect();
    ++delivered;
    ++stats_.rows;
    if (row.partial()) ++stats_.partial_rows;
    if (row.suspect) ++stats_.suspect_rows;
    if (!consumer.Row(row)) {
      consumer_done = true;
      return false;
    }
    return true;
  });
  if (consumer_done) ++end.slot;  // the row was read: go on after it
  return end;
}

RowPosition TableRowReader::Skip(RowPosition from, std::uint64_t rows) {
  std::uint64_t passed = 0;
  return Walk(from, [&](ByteView, std::uint32_t, const RowStart&, RowPosition, bool) { return passed++ < rows; });
}

}  // namespace quillon
