// Row pieces and their columns.
//
// ParseRowPiece reads the header of the row piece at a position in a block
// (flag, lock, column count and the addresses and cluster bytes its flag
// calls for). ColumnCursor then walks the column lengths and values. Both stop
// cleanly at the end of the block: a column that would run past it ends the
// walk and marks the cursor damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "reader/bytes.h"
#include "reader/format.h"

namespace quillon {

// A row address inside a row piece: block address and slot, both stored most
// significant byte first.
struct RowAddress {
  std::uint32_t dba = 0;
  std::uint16_t slot = 0;
  bool operator==(const RowAddress&) const = default;
  // Oracle ends a chain with a zero address; damaged blocks may hold all ones.
  bool IsEnd() const { return dba == 0 || dba == 0xFFFFFFFFu; }
};
std::optional<RowAddress> ReadRowAddress(ByteView bytes, std::size_t offset);

struct RowPiece {
  std::size_t offset = 0;  // position of the flag byte in the block
  std::uint8_t flag = 0;
  std::uint8_t lock = 0;
  std::uint8_t column_count = 0;
  std::optional<RowAddress> head;  // first piece that is not the head: where the head is
  std::optional<RowAddress> next;  // every piece but the last: where the row goes on
  std::optional<std::uint8_t> key_index;  // cluster member rows: position of their key row
  std::size_t columns_offset = 0;  // position of the first column's length byte

  bool Is(std::uint8_t bits) const { return (flag & bits) == bits; }
  bool IsDeleted() const { return (flag & format::row::kDeleted) != 0; }
  bool IsClusterKey() const { return (flag & format::row::kClusterKey) != 0; }
  bool IsClusterMember() const { return (flag & format::row::kClusterMember) != 0; }
  bool IsHead() const { return (flag & format::row::kHead) != 0; }
  bool IsFirst() const { return (flag & format::row::kFirst) != 0; }
  bool IsLast() const { return (flag & format::row::kLast) != 0; }
  // The first column continues the previous piece's last column.
  bool ContinuesPrevious() const { return (flag & format::row::kContinuesPrevious) != 0; }
  // The last column continues in the next piece.
  bool ContinuesNext() const { return (flag & format::row::kContinuesNext) != 0; }
};

// Reads the row piece header at offset. A deleted piece holds only its flag
// and lock bytes. std::nullopt when the header does not fit in the block.
std::optional<RowPiece> ParseRowPiece(ByteView block, std::size_t offset);

struct Column {
  bool is_null = false;
  ByteView bytes;  // empty for NULL
};

class ColumnCursor {
 public:
  ColumnCursor(ByteView block, std::size_t position, std::size_t count)
      : block_(block), position_(position), remaining_(count) {}
  static ColumnCursor Over(ByteView block, const RowPiece& piece) {
    return ColumnCursor(block, piece.columns_offset, piece.column_count);
  }

  // The next column, or std::nullopt after the last one or at damage.
  std::optional<Column> Next();
  // Skips n columns; false when the piece ended or was damaged first.
  bool Skip(std::size_t n);

  std::size_t remaining() const { return remaining_; }
  std::size_t position() const { return position_; }
  bool damaged() const { return damaged_; }

 private:
  ByteView block_;
  std::size_t position_;
  std::size_t remaining_;
  bool damaged_ = false;
};

// Inline: every column of every row goes through here.
inline std::optional<Column> ColumnCursor::Next() {
  if (remaining_ == 0 || damaged_) return std::nullopt;
  const auto length_byte = block_.U8(position_);
  if (!length_byte) {
    damaged_ = true;
    return std::nullopt;
  }
  std::size_t length = *length_byte;
  std::size_t at = position_ + 1;
  if (*length_byte == format::row::kNullLength) {
    position_ = at;
    --remaining_;
    return Column{true, {}};
  }
  if (*length_byte == format::row::kLongLength) {
    const auto long_length = block_.U16BE(at);
    if (!long_length) {
      damaged_ = true;
      return std::nullopt;
    }
    length = *long_length;
    at += 2;
  }
  const auto bytes = block_.Sub(at, length);
  if (!bytes) {
    damaged_ = true;
    return std::nullopt;
  }
  position_ = at + length;
  --remaining_;
  return Column{false, *bytes};
}

}  // namespace quillon
