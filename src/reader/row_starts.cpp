#include "reader/row_starts.h"

#include "reader/block_view.h"
#include "reader/format.h"

namespace quillon {

namespace {

namespace ih = format::index_header;
namespace rw = format::row;

SpaceManagement SpaceOf(const CountTarget& target, std::uint32_t object) {
  return target.free_list_objects.count(object) ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
}

void HeapStarts(const DataBlock& d, std::vector<RowStart>& starts) {
  for (std::size_t slot = 0; slot < d.row_count(); ++slot) {
    const auto position = d.RowPosition(slot);
    if (!position) continue;
    const auto flag = d.block().U8(*position);
    if (flag && IsHeapRowStart(*flag)) starts.push_back({static_cast<std::uint16_t>(slot), *position, 0});
  }
}

// Member rows of one table position whose key byte names a key row of the
// block.
void MemberStarts(const DataBlock& d, std::uint8_t table, std::vector<RowStart>& starts) {
  if (table == 0 || table >= d.table_count()) return;
  const auto keys = d.Table(0);
  const auto members = d.Table(table);
  if (!keys || !members) return;
  for (std::size_t i = 0; i < members->row_count; ++i) {
    const std::size_t slot = static_cast<std::size_t>(members->first_row) + i;
    const auto position = d.RowPosition(slot);
    if (!position) continue;
    const auto piece = ParseRowPiece(d.block(), *position);
    if (!piece || !IsMemberRowStart(piece->flag) || !piece->key_index) continue;
    if (*piece->key_index >= keys->row_count) continue;
    const auto key_position = d.RowPosition(static_cast<std::size_t>(keys->first_row) + *piece->key_index);
    if (!key_position || d.block().U8(*key_position) != rw::kKeyRow) continue;
    starts.push_back({static_cast<std::uint16_t>(slot), *position, *piece->key_index});
  }
}

bool IsIotLeafBlock(ByteView block, std::size_t h) {
  const auto level = block.U8(h + ih::kLevel);
  const auto flags = block.U8(h + ih::kFlags);
  if (!level || !flags || *level != 0) return false;
  return *flags == ih::kFlagsIotLeaf || *flags == ih::kFlagsIotOverflowLeaf || *flags == ih::kFlagsIotLeafAlt;
}

BlockKind LeafStarts(ByteView block, std::size_t h, std::vector<RowStart>& starts) {
  if (!IsIotLeafBlock(block, h)) return BlockKind::kOther;  // branch blocks hold no rows
  const auto rows = block.U16LE(h + ih::kRowCount);
  if (!rows) return BlockKind::kDamaged;
  const std::size_t directory = h + ih::kRowDirectory;
  const std::size_t directory_end = ih::kRowDirectory + ih::kRowEntrySize * static_cast<std::size_t>(*rows);
  if (directory + ih::kRowEntrySize * static_cast<std::size_t>(*rows) > block.size()) return BlockKind::kDamaged;
  for (std::size_t slot = 0; slot < *rows; ++slot) {
    const auto offset = block.U16LE(directory + ih::kRowEntrySize * slot);
    if (!offset || *offset < directory_end || h + *offset >= block.size()) continue;
    const auto flag = block.U8(h + *offset);
    if (flag && IsLeafRow(*flag)) starts.push_back({static_cast<std::uint16_t>(slot), h + *offset, 0});
  }
  return BlockKind::kRows;
}

}  // namespace

bool IsHeapRowStart(std::uint8_t flag) {
  switch (flag) {
    case 0x2C:  // complete
    case 0x0C:  // migrated: the body where it landed
    case 0x28:
    case 0x29:  // first piece of a chained row
    case 0x08:
    case 0x09:  // first piece of a migrated row that is chained as well
      return true;
    default:
      return false;
  }
}

bool IsMemberRowStart(std::uint8_t flag) {
  switch (flag) {
    case 0x6C:
    case 0x4C:
    case 0x68:
    case 0x69:
    case 0x48:
    case 0x49:
      return true;
    default:
      return false;
  }
}

bool IsLeafRow(std::uint8_t flag) { return flag == 0x00 || flag == 0x02 || flag == 0x04 || flag == 0x06; }

std::size_t DataHeaderOf(ByteView block, const CountTarget& target) {
  const auto object = block.U32LE(format::data_block::kObjectNumber);
  const auto itl = block.U16LE(format::data_block::kItlCount);
  if (!object || !itl) return 0;
  return DataBlock::HeaderOffset(*itl, SpaceOf(target, *object));
}

BlockKind FindRowStarts(ByteView block, const CountTarget& target, std::vector<RowStart>& starts) {
  starts.clear();
  const auto type = block.U8(format::block_header::kType);
  const auto object = block.U32LE(format::data_block::kObjectNumber);
  if (!type || *type != format::block_type::kData || !object) return BlockKind::kOther;
  if (!target.accepted_objects.count(*object)) return BlockKind::kOther;
  if (target.rule == CountRule::kIndex) {
    const std::size_t h = DataHeaderOf(block, target);
    if (h == 0 || h >= block.size()) return BlockKind::kDamaged;
    return LeafStarts(block, h, starts);
  }
  const auto d = DataBlock::Open(block, SpaceOf(target, *object));
  if (!d) return BlockKind::kDamaged;
  if (target.rule == CountRule::kCluster) {
    MemberStarts(*d, target.cluster_position, starts);
  } else {
    HeapStarts(*d, starts);
  }
  return BlockKind::kRows;
}

}  // namespace quillon
