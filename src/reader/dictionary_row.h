// One dictionary row with all its columns, joined over its row pieces.
//
// Oracle stores a row that does not fit in one place as a chain of pieces:
// every piece but the last holds the address of the next one (a 4-byte DBA
// and a 2-byte slot, most significant byte first), and a column cut at the
// end of a piece continues at the start of the next (the piece flags say so).
// ReadRow starts at the first piece of a row (a complete row, a migrated row,
// or the first piece of a chain) and follows the chain: only to blocks of the
// same segment, never to a piece that starts a row, at most kMaxRowPieces
// pieces. A chain that breaks, or a column that runs past its block, gives no
// row at all: a damaged row is left out rather than read wrongly.
//
// Columns are numbered from 1, as in the dictionary's own table
// descriptions. Columns past the end of the row are NULL (Oracle does not
// store trailing NULLs).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reader/block_source.h"
#include "reader/block_view.h"
#include "reader/bytes.h"
#include "reader/row_piece.h"

namespace quillon {

inline constexpr std::size_t kMaxRowPieces = 255;

class DictionaryRow {
 public:
  std::size_t column_count() const { return columns_.size(); }
  bool Has(std::size_t n) const { return n >= 1 && n <= columns_.size(); }
  bool IsNull(std::size_t n) const { return !Has(n) || columns_[n - 1].is_null; }
  // The stored bytes; empty for NULL.
  ByteView Bytes(std::size_t n) const { return IsNull(n) ? ByteView() : columns_[n - 1].bytes; }

  // The NUMBER bytes packed little-endian (at most four); 0 for NULL.
  std::uint32_t Packed(std::size_t n) const;
  // The NUMBER as an integer (its integer part); std::nullopt for NULL or bytes
  // that are not a number.
  std::optional<std::int64_t> Integer(std::size_t n) const;
  // The integer when it lies in 0 .. 2^32-1, else fallback.
  std::uint32_t Unsigned(std::size_t n, std::uint32_t fallback = 0) const;
  // The unsigned integer, or std::nullopt for NULL and values out of range.
  std::optional<std::uint32_t> OptionalUnsigned(std::size_t n) const;
  // A flag or count column as unsigned bits: 0 for NULL and negative values.
  std::uint64_t Bits(std::size_t n) const;
  // Number texts as the catalogue keeps them ("FF" for NULL).
  std::string NumberText(std::size_t n) const;
  std::string PrecisionText(std::size_t n) const;

  // Building.
  void Append(Column column) { columns_.push_back(column); }
  // Appends bytes to the last column (a column continued in the next piece).
  bool JoinLast(ByteView more);
  void Keep(Block block) { blocks_.push_back(std::move(block)); }

 private:
  std::vector<Column> columns_;
  std::vector<Block> blocks_;                               // blocks the views point into
  std::vector<std::unique_ptr<std::vector<std::uint8_t>>> joined_;  // columns joined over pieces
};

// Where the pieces of a row may be: the blocks of one segment.
struct RowChainSource {
  BlockSource* source = nullptr;   // nullptr: chains are not followed
  SpaceManagement space = SpaceManagement::kFreeList;
  std::uint32_t object_number = 0; // data object number of the segment
};

// The row whose first piece is `first`, in `block` (held alive by the
// caller). std::nullopt when a piece is damaged or the chain breaks.
std::optional<DictionaryRow> ReadRow(const RowChainSource& chain, ByteView block, const RowPiece& first);

// True for pieces that start a row: a complete row, a migrated row, or the
// first piece of a chained row (deleted rows and cluster key rows excluded).
bool StartsRow(const RowPiece& piece);

}  // namespace quillon
