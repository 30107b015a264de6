#include "reader/block_view.h"

namespace quillon {

namespace bh = format::block_header;
namespace db = format::data_block;
namespace dh = format::data_header;

bool BlockView::ChecksumFlagSet() const {
  const auto flags = bytes_.U8(bh::kFlags);
  return flags && (*flags & bh::kFlagChecksum) != 0;
}

bool BlockView::ChecksumValid() const {
  if (bytes_.size() < bh::kSize || bytes_.size() % 2 != 0) return false;
  std::uint16_t x = 0;
  for (std::size_t i = 0; i + 1 < bytes_.size(); i += 2) x ^= *bytes_.U16LE(i);
  return x == 0;
}

bool BlockView::TailConsistent() const {
  if (bytes_.size() < bh::kSize + bh::kTailSize) return false;
  const std::uint32_t tail = *bytes_.U32LE(bytes_.size() - bh::kTailSize);
  const std::uint32_t expected = ((*bytes_.U32LE(bh::kScnBase) & 0xFFFFu) << 16) |
                                 (static_cast<std::uint32_t>(*bytes_.U8(bh::kType)) << 8) |
                                 *bytes_.U8(bh::kSequence);
  return tail == expected;
}

std::optional<DataBlock> DataBlock::Open(ByteView block, SpaceManagement space) {
  const auto type = block.U8(bh::kType);
  if (!type || *type != format::block_type::kData) return std::nullopt;
  const auto object = block.U32LE(db::kObjectNumber);
  const auto itl = block.U16LE(db::kItlCount);
  if (!object || !itl) return std::nullopt;
  DataBlock d;
  d.block_ = block;
  d.object_number_ = *object;
  d.itl_count_ = *itl;
  d.header_ = HeaderOffset(*itl, space);
  const auto tables = block.U8(d.header_ + dh::kTableCount);
  const auto rows = block.U16LE(d.header_ + dh::kRowCount);
  if (!tables || !rows) return std::nullopt;
  d.table_count_ = *tables;
  d.row_count_ = *rows;
  return d;
}

std::optional<TableEntry> DataBlock::Table(std::size_t i) const {
  if (i >= table_count_) return std::nullopt;
  const std::size_t at = header_ + dh::kTableDirectory + dh::kTableEntrySize * i;
  const auto first = block_.U16LE(at + dh::kTableEntryFirstRow);
  const auto count = block_.U16LE(at + dh::kTableEntryRowCount);
  if (!first || !count) return std::nullopt;
  return TableEntry{*first, *count};
}

std::size_t DataBlock::RowDirectoryOffset() const {
  return header_ + dh::kTableDirectory + dh::kTableEntrySize * table_count_;
}

std::optional<std::uint16_t> DataBlock::RowEntry(std::size_t slot) const {
  if (slot >= row_count_) return std::nullopt;
  return block_.U16LE(RowDirectoryOffset() + dh::kRowEntrySize * slot);
}

std::optional<std::size_t> DataBlock::RowPosition(std::size_t slot) const {
  const auto entry = RowEntry(slot);
  if (!entry || *entry == dh::kNoOffset) return std::nullopt;
  const std::size_t directory_end =
      RowDirectoryOffset() + dh::kRowEntrySize * static_cast<std::size_t>(row_count_) - header_;
  if (*entry < directory_end) return std::nullopt;
  const std::size_t position = header_ + *entry;
  if (position >= block_.size()) return std::nullopt;
  return position;
}

}  // namespace quillon
