#include "reader/row_piece.h"

namespace quillon {

namespace row = format::row;

std::optional<RowAddress> ReadRowAddress(ByteView bytes, std::size_t offset) {
  const auto dba = bytes.U32BE(offset);
  const auto slot = bytes.U16BE(offset + 4);
  if (!dba || !slot) return std::nullopt;
  return RowAddress{*dba, *slot};
}

namespace {

bool ParsePieceInto(ByteView block, std::size_t offset, RowPiece& p) {
  p.offset = offset;
  const auto flag = block.U8(offset + row::kFlag);
  const auto lock = block.U8(offset + row::kLock);
  if (!flag || !lock) return false;
  p.flag = *flag;
  p.lock = *lock;
  if (p.IsDeleted()) {
    p.columns_offset = offset + row::kLock + 1;
    return true;
  }
  const auto count = block.U8(offset + row::kColumnCount);
  if (!count) return false;
  p.column_count = *count;
  std::size_t at = offset + row::kHeaderSize;

  if (p.IsClusterKey()) {
    // Two 2-byte counters and two row addresses that link the key's rows.
    at = offset + row::kKeyRowHeaderSize;
  } else if (p.IsClusterMember()) {
    const auto key = block.U8(at);
    if (!key) return false;
    p.key_index = *key;
    at += row::kMemberKeyIndexSize;
  }
  if (!p.IsClusterKey()) {
    if (p.IsFirst() && !p.IsHead()) {
      p.head = ReadRowAddress(block, at);
      if (!p.head) return false;
      at += row::kRowAddressSize;
    }
    if (!p.IsLast()) {
      p.next = ReadRowAddress(block, at);
      if (!p.next) return false;
      at += row::kRowAddressSize;
    }
  }
  if (at > block.size()) return false;
  p.columns_offset = at;
  return true;
}

}  // namespace

std::optional<RowPiece> ParseRowPiece(ByteView block, std::size_t offset) {
  // Built in place in the object returned: a piece copied out of a local
  // cost every row a stalled copy.
  std::optional<RowPiece> result(std::in_place);
  if (!ParsePieceInto(block, offset, *result)) result.reset();
  return result;
}

bool ColumnCursor::Skip(std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (!Next()) return false;
  }
  return true;
}

}  // namespace quillon
