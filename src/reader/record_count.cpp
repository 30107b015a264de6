#include "reader/record_count.h"

#include "reader/format.h"
#include "reader/row_piece.h"

namespace quillon {

namespace {

namespace ih = format::index_header;

bool StartsARow(std::uint8_t flag) {
  switch (flag) {
    case 0x2C:  // complete
    case 0x0C:  // migrated
    case 0x08:
    case 0x09:
    case 0x28:
    case 0x29:  // first piece of a chained row
      return true;
    default:
      return false;
  }
}

bool IsMemberRowStart(std::uint8_t flag) {
  switch (flag) {
    case 0x48:
    case 0x49:
    case 0x68:
    case 0x69:
    case 0x4C:
    case 0x6C:
      return true;
    default:
      return false;
  }
}

std::uint64_t CountHeap(const DataBlock& d) {
  std::uint64_t n = 0;
  for (std::size_t slot = 0; slot < d.row_count(); ++slot) {
    const auto position = d.RowPosition(slot);
    if (!position) continue;
    const auto flag = d.block().U8(*position);
    if (flag && StartsARow(*flag)) ++n;
  }
  return n;
}

// Leaf blocks of an index-organized table: level 0 and the flags of an IOT
// leaf, the row count and the row directory at fixed places after the ITLs.
std::uint64_t CountIndexLeaf(ByteView block, std::size_t h) {
  const auto level = block.U8(h + ih::kLevel);
  const auto flags = block.U8(h + ih::kFlags);
  if (!level || *level != 0 || !flags) return 0;
  if (*flags != ih::kFlagsIotLeaf && *flags != ih::kFlagsIotOverflowLeaf && *flags != ih::kFlagsIotLeafAlt) return 0;
  const auto rows = block.U16LE(h + ih::kRowCount);
  if (!rows) return 0;
  const std::size_t directory = h + ih::kRowDirectory;
  std::uint64_t n = 0;
  for (std::size_t slot = 0; slot < *rows; ++slot) {
    const auto offset = block.U16LE(directory + ih::kRowEntrySize * slot);
    if (!offset) break;  // the directory runs out of the block
    if (*offset <= *rows || *offset == format::data_header::kNoOffset) continue;
    const auto flag = block.U8(h + *offset);
    if (flag && (*flag == 0x00 || *flag == 0x02 || *flag == 0x04 || *flag == 0x06)) ++n;
  }
  return n;
}

// Member rows of one table position, each counted once under the key row it
// names.
std::uint64_t CountClusterMembers(const DataBlock& d, std::uint8_t position) {
  if (position >= d.table_count()) return 0;
  const auto keys = d.Table(0);
  const auto members = d.Table(position);
  if (!keys || !members) return 0;
  std::vector<bool> key_ok(keys->row_count, false);
  for (std::size_t k = 0; k < keys->row_count; ++k) {
    const auto pos = d.RowPosition(static_cast<std::size_t>(keys->first_row) + k);
    key_ok[k] = pos && d.block().U8(*pos) == format::row::kKeyRow;
  }
  std::uint64_t n = 0;
  for (std::size_t i = 0; i < members->row_count; ++i) {
    const auto pos = d.RowPosition(static_cast<std::size_t>(members->first_row) + i);
    if (!pos) continue;
    const auto piece = ParseRowPiece(d.block(), *pos);
    if (!piece || !IsMemberRowStart(piece->flag) || !piece->key_index) continue;
    if (*piece->key_index < key_ok.size() && key_ok[*piece->key_index]) ++n;
  }
  return n;
}

}  // namespace

std::uint64_t CountBlockRecords(ByteView block, const CountTarget& target) {
  const auto type = block.U8(format::block_header::kType);
  const auto object = block.U32LE(format::data_block::kObjectNumber);
  if (!type || *type != format::block_type::kData || !object) return 0;
  if (!target.accepted_objects.count(*object)) return 0;
  const SpaceManagement space =
      target.free_list_objects.count(*object) ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
  const auto d = DataBlock::Open(block, space);
  if (!d) return 0;
  switch (target.rule) {
    case CountRule::kHeap: return CountHeap(*d);
    case CountRule::kIndex: return CountIndexLeaf(block, d->header_offset());
    case CountRule::kCluster: return CountClusterMembers(*d, target.cluster_position);
  }
  return 0;
}

namespace {

// Counts block after block as for_each_dba hands them over.
template <typename ForEachDba>
CountResult CountBlocks(BlockSource& source, ForEachDba&& for_each_dba, const CountTarget& target,
                        NotificationSink& sink, const StopFlag& stop, std::uint64_t counted_before) {
  CountResult result;
  for_each_dba([&](std::uint32_t dba) {
    if (stop.requested()) {
      result.stopped = true;
      return false;
    }
    const BlockResult r = source.Read(dba);
    if (r.ok()) {
      ++result.blocks_read;
      const std::uint64_t n = CountBlockRecords(r.block.bytes(), target);
      if (n) {
        result.records += n;
        sink.ShowCount(counted_before + result.records);
      }
    } else {
      ++result.blocks_unreadable;
    }
    sink.Progress(ProgressStep::kStep, 0);
    return true;
  });
  return result;
}

}  // namespace

CountResult CountRecords(BlockSource& source, const std::vector<std::uint32_t>& dbas,
                         const CountTarget& target, NotificationSink& sink, const StopFlag& stop,
                         std::uint64_t counted_before) {
  const auto each = [&](auto&& visit) {
    for (const std::uint32_t dba : dbas) {
      if (!visit(dba)) return;
    }
  };
  return CountBlocks(source, each, target, sink, stop, counted_before);
}

CountResult CountRecords(BlockSource& source, const std::vector<ExtentEntry>& extents,
                         const CountTarget& target, NotificationSink& sink, const StopFlag& stop,
                         std::uint64_t counted_before) {
  const auto each = [&](auto&& visit) { ForEachExtentBlock(extents, visit); };
  return CountBlocks(source, each, target, sink, stop, counted_before);
}

}  // namespace quillon
