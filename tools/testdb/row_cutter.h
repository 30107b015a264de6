// Cuts a row's columns into row pieces. A piece holds at most 255 columns
// and what fits in the room it is given; a column that does not fit is split
// (the piece ends with flag N, the next one starts with flag P). Forced
// chains cut by units, so that a row can be spread over a given number of
// pieces: every byte of a value is a unit, a NULL or empty value is one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "testdb/block_writer.h"

namespace quillon::testdb {

struct CutPosition {
  std::size_t column = 0;
  std::uint32_t offset = 0;  // bytes of that column already stored in earlier pieces
};

struct PieceCut {
  CutPosition begin;
  CutPosition end;            // exclusive; end.offset > 0: column end.column is partly included
  std::uint8_t column_count = 0;
  bool last = false;          // the piece ends the row (no next address)
  std::size_t body_size = 0;  // encoded size of its columns
  bool continues_previous() const { return begin.offset > 0; }
  bool continues_next() const { return end.offset > 0; }
};

class RowCutter {
 public:
  static constexpr std::size_t kMaxColumnsPerPiece = 255;

  explicit RowCutter(std::span<const ColumnSlice> columns) : columns_(columns) {}

  bool done() const { return at_.column >= columns_.size(); }
  CutPosition position() const { return at_; }
  std::size_t RemainingSize() const;
  std::uint64_t RemainingUnits() const;

  // The next piece within capacity bytes (header and columns), given the
  // header size without a next address. unit_limit bounds the units it may
  // take; allow_last lets it end the row when everything left fits.
  // std::nullopt when not even part of one column fits.
  std::optional<PieceCut> Cut(std::size_t header_base, std::size_t capacity,
                              std::uint64_t unit_limit = UINT64_MAX, bool allow_last = true) const;
  void Advance(const PieceCut& cut) { at_ = cut.end; }

  // Units a piece takes.
  std::uint64_t Units(const PieceCut& cut) const;
  // The column views of a piece.
  void Slices(const PieceCut& cut, std::vector<ColumnSlice>& out) const;

 private:
  std::span<const ColumnSlice> columns_;
  CutPosition at_;
};

// The row's columns without trailing NULLs, which Oracle does not store.
std::span<const ColumnSlice> TrimTrailingNulls(std::span<const ColumnSlice> columns);

}  // namespace quillon::testdb
