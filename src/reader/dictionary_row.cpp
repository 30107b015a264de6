#include "reader/dictionary_row.h"

#include <limits>

#include "reader/packed_codes.h"
#include "reader/value_number.h"

namespace quillon {

std::uint32_t DictionaryRow::Packed(std::size_t n) const { return PackNumberBytes(Bytes(n)); }

std::optional<std::int64_t> DictionaryRow::Integer(std::size_t n) const {
  if (IsNull(n)) return std::nullopt;
  return NumberToInteger(Bytes(n));
}

std::optional<std::uint32_t> DictionaryRow::OptionalUnsigned(std::size_t n) const {
  const auto v = Integer(n);
  if (!v || *v < 0 || *v > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(*v);
}

std::uint32_t DictionaryRow::Unsigned(std::size_t n, std::uint32_t fallback) const {
  return OptionalUnsigned(n).value_or(fallback);
}

std::uint64_t DictionaryRow::Bits(std::size_t n) const {
  const auto v = Integer(n);
  return v && *v > 0 ? static_cast<std::uint64_t>(*v) : 0;
}

std::string DictionaryRow::NumberText(std::size_t n) const { return DictionaryNumberText(IsNull(n), Bytes(n)); }

std::string DictionaryRow::PrecisionText(std::size_t n) const {
  return DictionaryPrecisionText(IsNull(n), Bytes(n));
}

bool DictionaryRow::JoinLast(ByteView more) {
  if (columns_.empty()) return false;
  Column& last = columns_.back();
  auto buffer = std::make_unique<std::vector<std::uint8_t>>();
  buffer->reserve(last.bytes.size() + more.size());
  buffer->insert(buffer->end(), last.bytes.data(), last.bytes.data() + last.bytes.size());
  buffer->insert(buffer->end(), more.data(), more.data() + more.size());
  last.is_null = false;
  last.bytes = ByteView(buffer->data(), buffer->size());
  joined_.push_back(std::move(buffer));
  return true;
}

bool StartsRow(const RowPiece& piece) {
  return !piece.IsDeleted() && !piece.IsClusterKey() && piece.IsFirst();
}

namespace {

// Appends the columns of one piece; a first column that continues the
// previous piece's last column is joined to it.
bool TakeColumns(DictionaryRow& row, ByteView block, const RowPiece& piece, bool join_first) {
  ColumnCursor cursor = ColumnCursor::Over(block, piece);
  bool first = true;
  while (auto column = cursor.Next()) {
    if (first && join_first) {
      if (!row.JoinLast(column->bytes)) return false;
    } else {
      row.Append(*column);
    }
    first = false;
  }
  if (cursor.damaged() || cursor.remaining() != 0) return false;
  // A piece that promised to continue its last column must have one.
  return !(join_first && first);
}

}  // namespace

std::optional<DictionaryRow> ReadRow(const RowChainSource& chain, ByteView block, const RowPiece& first) {
  DictionaryRow row;
  if (!TakeColumns(row, block, first, false)) return std::nullopt;
  RowPiece piece = first;
  for (std::size_t pieces = 1; !piece.IsLast(); ++pieces) {
    if (chain.source == nullptr || !piece.next || piece.next->IsEnd() || pieces >= kMaxRowPieces) {
      return std::nullopt;
    }
    BlockResult next = chain.source->Read(piece.next->dba);
    if (!next.ok()) return std::nullopt;
    const ByteView bytes = next.block.bytes();
    if (BlockView(bytes).ChecksumContradicted()) return std::nullopt;
    const auto data = DataBlock::Open(bytes, chain.space);
    if (!data || data->object_number() != chain.object_number) return std::nullopt;
    const auto position = data->RowPosition(piece.next->slot);
    if (!position) return std::nullopt;
    const auto following = ParseRowPiece(bytes, *position);
    if (!following || following->IsDeleted() || following->IsHead() || following->IsFirst() ||
        following->IsClusterKey()) {
      return std::nullopt;
    }
    const bool join = piece.ContinuesNext();
    if (join != following->ContinuesPrevious()) return std::nullopt;
    if (!TakeColumns(row, bytes, *following, join)) return std::nullopt;
    row.Keep(std::move(next.block));
    piece = *following;
  }
  return row;
}

}  // namespace quillon
