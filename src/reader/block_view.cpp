#include "reader/block_view.h"

#include <algorithm>
#include <cstring>

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
  // Eight bytes at a time (block sizes are multiples of eight): the XOR of
  // the 16-bit words is zero exactly when the even bytes and the odd bytes
  // each XOR to zero.
  const std::uint8_t* p = bytes_.data();
  const std::size_t words = bytes_.size() / 8;
  std::uint64_t x = 0;
  for (std::size_t i = 0; i < words; ++i) {
    std::uint64_t w;
    std::memcpy(&w, p + i * 8, 8);
    x ^= w;
  }
  x ^= x >> 32;
  x ^= x >> 16;
  std::uint16_t rest = static_cast<std::uint16_t>(x);
  for (std::size_t i = words * 8; i + 1 < bytes_.size(); i += 2) rest ^= static_cast<std::uint16_t>(p[i] | (p[i + 1] << 8));
  return rest == 0;
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
  d.stored_table_count_ = d.table_count_ = *tables;
  d.stored_row_count_ = d.row_count_ = *rows;

  // Directory bytes after the fixed data header, by the start of free space.
  const std::size_t free_begin = block.U16LE(d.header_ + dh::kFreeSpaceBegin).value_or(0);
  const std::size_t by_free_space = free_begin > dh::kTableDirectory ? free_begin - dh::kTableDirectory : 0;
  if (d.table_count_ == 0 && d.row_count_ > 0) {
    const std::size_t rows_bytes = dh::kRowEntrySize * d.row_count_;
    const std::size_t derived = by_free_space > rows_bytes && (by_free_space - rows_bytes) % dh::kTableEntrySize == 0
                                   ? (by_free_space - rows_bytes) / dh::kTableEntrySize
                                   : 1;
    d.table_count_ = static_cast<std::uint8_t>(std::clamp<std::size_t>(derived, 1, 255));
  }
  const std::size_t directory_start = d.RowDirectoryOffset();
  const std::size_t room = block.size() > directory_start ? (block.size() - directory_start) / dh::kRowEntrySize : 0;
  if (d.row_count_ > room) {
    const std::size_t tables_bytes = dh::kTableEntrySize * d.table_count_;
    const std::size_t derived = by_free_space > tables_bytes ? (by_free_space - tables_bytes) / dh::kRowEntrySize : 0;
    d.row_count_ = static_cast<std::uint16_t>(derived > 0 && derived <= room ? derived : room);
  }
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

}  // namespace quillon
