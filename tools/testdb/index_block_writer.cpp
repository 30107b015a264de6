#include "testdb/index_block_writer.h"

#include <algorithm>
#include <cstring>

#include "reader/bytes.h"

namespace quillon::testdb {

namespace ih = format::index_header;

Bytes IndexRowid(std::uint32_t dba, std::uint16_t slot) {
  Bytes out(ih::kRowidSize);
  PutU32BE(out.data(), dba);
  PutU16BE(out.data() + 4, slot);
  return out;
}

Bytes IndexKey(std::span<const ColumnBytes> columns) {
  Bytes out;
  for (const auto& c : columns) AppendColumn(out, c);
  return out;
}

Bytes IndexLeafRow(std::span<const std::uint8_t> key, std::span<const std::uint8_t> rowid, bool unique) {
  Bytes out;
  out.reserve(ih::kRowHeaderSize + 1 + rowid.size() + key.size());
  out.push_back(ih::kRowFlag);
  out.push_back(0);  // lock
  if (unique) {
    out.push_back(static_cast<std::uint8_t>(rowid.size()));
    out.insert(out.end(), rowid.begin(), rowid.end());
    out.insert(out.end(), key.begin(), key.end());
  } else {
    out.insert(out.end(), key.begin(), key.end());
    out.push_back(static_cast<std::uint8_t>(rowid.size()));
    out.insert(out.end(), rowid.begin(), rowid.end());
  }
  return out;
}

void IndexBlockBuilder::Reset(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                              std::uint32_t object_number, std::uint8_t level, std::uint8_t flags,
                              std::uint8_t key_columns) {
  block_size_ = block_size;
  space_ = space;
  itl_count_ = itl_count;
  object_number_ = object_number;
  level_ = level;
  flags_ = flags;
  key_columns_ = key_columns;
  header_ = DataBlock::HeaderOffset(itl_count, space);
  row_top_ = block_size - format::block_header::kTailSize;
  offsets_.clear();
  rows_.assign(block_size, 0);
  next_ = previous_ = leftmost_ = bitmap_dba_ = 0;
}

std::size_t IndexBlockBuilder::FreeSpace(std::size_t reserve) const {
  const std::size_t directory_end = header_ + ih::kRowDirectory + ih::kRowEntrySize * (offsets_.size() + 1);
  const std::size_t end = directory_end + reserve;
  return row_top_ > end ? row_top_ - end : 0;
}

std::size_t IndexBlockBuilder::Capacity(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                                        std::size_t reserve) {
  const std::size_t start = DataBlock::HeaderOffset(itl_count, space) + ih::kRowDirectory + reserve;
  const std::size_t end = block_size - format::block_header::kTailSize;
  return end > start ? end - start : 0;
}

bool IndexBlockBuilder::Add(std::span<const std::uint8_t> row, std::size_t reserve) {
  if (row.size() > FreeSpace(reserve)) return false;
  row_top_ -= row.size();
  std::memcpy(rows_.data() + row_top_, row.data(), row.size());
  offsets_.push_back(static_cast<std::uint16_t>(row_top_ - header_));
  return true;
}

void IndexBlockBuilder::Write(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t rdba,
                              const BlockStamp& stamp) const {
  std::uint8_t* p = block.data();
  std::memset(p, 0, row_top_);
  std::memcpy(p + row_top_, rows_.data() + row_top_, block_size_ - row_top_);
  WriteTransactionHeader(block, {format::data_block::kKindIndex, space_, itl_count_, object_number_, bitmap_dba_, 0, 2},
                         rdba, stamp);
  const std::size_t h = header_;
  const std::size_t directory_end = ih::kRowDirectory + ih::kRowEntrySize * offsets_.size();
  p[h + ih::kLevel] = level_;
  p[h + ih::kLock] = 0;
  p[h + ih::kFlags] = flags_;
  p[h + ih::kKeyColumns] = key_columns_;
  PutU16LE(p + h + ih::kRowCount, static_cast<std::uint16_t>(offsets_.size()));
  PutU16LE(p + h + ih::kFreeSpaceBegin, static_cast<std::uint16_t>(directory_end));
  PutU16LE(p + h + ih::kFreeSpaceEnd, static_cast<std::uint16_t>(row_top_ - h));
  const std::size_t avail = row_top_ - h > directory_end ? row_top_ - h - directory_end : 0;
  PutU16LE(p + h + ih::kAvailableSpace, static_cast<std::uint16_t>(avail));
  if (level_ == 0) {
    PutU32LE(p + h + ih::kLeafNext, next_);
    PutU32LE(p + h + ih::kLeafPrevious, previous_);
    PutU16LE(p + h + ih::kLeafUsableBytes,
             static_cast<std::uint16_t>(block_size_ - format::block_header::kTailSize - h));
  } else {
    PutU32LE(p + h + ih::kBranchLeftmostChild, leftmost_);
  }
  for (std::size_t i = 0; i < offsets_.size(); ++i) {
    PutU16LE(p + h + ih::kRowDirectory + ih::kRowEntrySize * i, offsets_[i]);
  }
  FinishBlock(block, format::block_type::kData, format_byte, rdba, stamp);
}

}  // namespace quillon::testdb
