// Checked views over one block image: the common block header, and the data
// header, table directory and row directory of table and cluster blocks.
//
// The views never own memory and never read outside the block they were
// given. Anything a damaged block makes unreadable comes back as
// std::nullopt; callers skip it and go on with the next slot or block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "reader/bytes.h"
#include "reader/format.h"

namespace quillon {

// How a segment manages its space; it moves the data header by 8 bytes.
enum class SpaceManagement : std::uint8_t { kFreeList, kAssm };

class BlockView {
 public:
  explicit BlockView(ByteView bytes) : bytes_(bytes) {}

  ByteView bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  std::optional<std::uint8_t> Type() const { return bytes_.U8(format::block_header::kType); }
  std::optional<std::uint8_t> Format() const { return bytes_.U8(format::block_header::kFormat); }
  std::optional<std::uint32_t> Rdba() const { return bytes_.U32LE(format::block_header::kRdba); }

  // XOR of all 16-bit words is zero (only meaningful when the checksum flag is set).
  bool ChecksumFlagSet() const;
  bool ChecksumValid() const;
  // The block says it carries a checksum and the checksum does not match:
  // its bytes changed after it was written.
  bool ChecksumContradicted() const { return ChecksumFlagSet() && !ChecksumValid(); }
  // The tail repeats the low SCN bits, type and sequence: a mismatch means a
  // torn or overwritten block.
  bool TailConsistent() const;

 private:
  ByteView bytes_;
};

struct TableEntry {
  std::uint16_t first_row = 0;  // index into the row directory
  std::uint16_t row_count = 0;
};

// The table/cluster data layer of a type 0x06 block.
class DataBlock {
 public:
  // Reads the transaction header and the data header. std::nullopt when the
  // block is not a data block or its data header does not fit in the block.
  //
  // The data header records the directory size twice: in the table and row
  // counts, and in the start of free space (which lies right after the row
  // directory). When a count is impossible (no table although there are rows,
  // or a row directory larger than the block) the other record is used, so
  // one damaged byte does not cost the block's rows.
  static std::optional<DataBlock> Open(ByteView block, SpaceManagement space);

  // The position of the data header for a given ITL count.
  static constexpr std::size_t HeaderOffset(std::size_t itl_count, SpaceManagement space) {
    return format::data_block::kItlStart + format::data_block::kItlSize * itl_count +
           (space == SpaceManagement::kAssm ? format::data_block::kAssmExtra : 0);
  }

  ByteView block() const { return block_; }
  std::uint32_t object_number() const { return object_number_; }
  std::uint16_t itl_count() const { return itl_count_; }
  std::size_t header_offset() const { return header_; }  // H
  // Table and row counts as the reader uses them. They differ from the stored
  // ones only when those contradict the block (see Open).
  std::uint8_t table_count() const { return table_count_; }
  std::uint16_t row_count() const { return row_count_; }
  std::uint8_t stored_table_count() const { return stored_table_count_; }
  std::uint16_t stored_row_count() const { return stored_row_count_; }
  bool counts_repaired() const {
    return table_count_ != stored_table_count_ || row_count_ != stored_row_count_;
  }

  // Table directory entry i; std::nullopt when it lies outside the block.
  std::optional<TableEntry> Table(std::size_t i) const;
  // Where the row directory starts, relative to the block.
  std::size_t RowDirectoryOffset() const {
    return header_ + format::data_header::kTableDirectory + format::data_header::kTableEntrySize * table_count_;
  }
  // Raw row directory entry of a slot (an offset relative to H, a free-list
  // link, or 0xFFFF).
  std::optional<std::uint16_t> RowEntry(std::size_t slot) const {
    if (slot >= row_count_) return std::nullopt;
    return block_.U16LE(RowDirectoryOffset() + format::data_header::kRowEntrySize * slot);
  }
  // Position of the row in slot within the block, when the slot holds a row:
  // its entry is readable, not 0xFFFF, points past the row directory (free
  // slots hold small free-list links instead) and inside the block. Inline:
  // the record count asks it for every row of every block.
  std::optional<std::size_t> RowPosition(std::size_t slot) const {
    const auto entry = RowEntry(slot);
    if (!entry || *entry == format::data_header::kNoOffset) return std::nullopt;
    const std::size_t directory_end =
        RowDirectoryOffset() + format::data_header::kRowEntrySize * static_cast<std::size_t>(row_count_) - header_;
    if (*entry < directory_end) return std::nullopt;
    const std::size_t position = header_ + *entry;
    if (position >= block_.size()) return std::nullopt;
    return position;
  }

 private:
  ByteView block_;
  std::uint32_t object_number_ = 0;
  std::uint16_t itl_count_ = 0;
  std::size_t header_ = 0;
  std::uint8_t table_count_ = 0;
  std::uint16_t row_count_ = 0;
  std::uint8_t stored_table_count_ = 0;
  std::uint16_t stored_row_count_ = 0;
};

}  // namespace quillon
