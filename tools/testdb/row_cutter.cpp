#include "testdb/row_cutter.h"

#include <algorithm>

#include "reader/format.h"

namespace quillon::testdb {

namespace {

bool Unsplittable(const ColumnSlice& c) { return c.is_null || c.size == 0; }

// The longest part of a value whose encoding fits in room bytes.
std::uint32_t LongestPart(std::size_t room) {
  constexpr std::size_t kShort = format::row::kMaxShortLength;
  if (room < 2) return 0;
  if (room - 1 <= kShort) return static_cast<std::uint32_t>(room - 1);
  if (room - 3 > kShort) return static_cast<std::uint32_t>(std::min<std::size_t>(room - 3, 0xFFFF));
  return static_cast<std::uint32_t>(kShort);
}

}  // namespace

std::span<const ColumnSlice> TrimTrailingNulls(std::span<const ColumnSlice> columns) {
  std::size_t n = columns.size();
  while (n > 0 && columns[n - 1].is_null) --n;
  return columns.first(n);
}

std::size_t RowCutter::RemainingSize() const {
  std::size_t n = 0;
  for (std::size_t i = at_.column; i < columns_.size(); ++i) {
    const ColumnSlice& c = columns_[i];
    n += EncodedColumnSize(c.is_null, c.size - (i == at_.column ? at_.offset : 0));
  }
  return n;
}

std::uint64_t RowCutter::RemainingUnits() const {
  std::uint64_t n = 0;
  for (std::size_t i = at_.column; i < columns_.size(); ++i) {
    const ColumnSlice& c = columns_[i];
    n += Unsplittable(c) ? 1 : c.size - (i == at_.column ? at_.offset : 0);
  }
  return n;
}

std::optional<PieceCut> RowCutter::Cut(std::size_t header_base, std::size_t capacity, std::uint64_t unit_limit,
                                       bool allow_last) const {
  PieceCut cut;
  cut.begin = at_;
  const std::size_t left_columns = columns_.size() - std::min(at_.column, columns_.size());
  if (allow_last && left_columns <= kMaxColumnsPerPiece) {
    const std::size_t body = RemainingSize();
    if (header_base + body <= capacity && RemainingUnits() <= unit_limit) {
      cut.end = {columns_.size(), 0};
      cut.column_count = static_cast<std::uint8_t>(left_columns);
      cut.last = true;
      cut.body_size = body;
      return cut;
    }
  }
  const std::size_t header = header_base + format::row::kRowAddressSize;
  if (capacity <= header) return std::nullopt;
  std::size_t room = capacity - header;
  std::uint64_t units = unit_limit;
  CutPosition pos = at_;
  std::size_t count = 0;
  while (pos.column < columns_.size() && count < kMaxColumnsPerPiece) {
    const ColumnSlice& c = columns_[pos.column];
    const std::uint32_t length = c.is_null ? 0 : c.size - pos.offset;
    const std::uint64_t need_units = Unsplittable(c) ? 1 : length;
    const std::size_t encoded = EncodedColumnSize(c.is_null, length);
    if (encoded <= room && need_units <= units) {
      room -= encoded;
      units -= need_units;
      cut.body_size += encoded;
      pos = {pos.column + 1, 0};
      ++count;
      continue;
    }
    if (Unsplittable(c)) break;
    const std::uint32_t part = static_cast<std::uint32_t>(
        std::min<std::uint64_t>({LongestPart(room), units, std::uint64_t{length} - 1}));
    if (part >= 1) {
      cut.body_size += EncodedColumnSize(false, part);
      pos.offset += part;
      ++count;
    }
    break;
  }
  if (count == 0) return std::nullopt;
  cut.end = pos;
  cut.column_count = static_cast<std::uint8_t>(count);
  // Everything left went in after all: the piece ends the row.
  cut.last = pos.column >= columns_.size();
  return cut;
}

std::uint64_t RowCutter::Units(const PieceCut& cut) const {
  std::uint64_t n = 0;
  for (std::size_t i = cut.begin.column; i < columns_.size() && i <= cut.end.column; ++i) {
    const ColumnSlice& c = columns_[i];
    const std::uint32_t from = i == cut.begin.column ? cut.begin.offset : 0;
    if (i == cut.end.column) {
      if (cut.end.offset > from) n += cut.end.offset - from;
      break;
    }
    n += Unsplittable(c) ? 1 : c.size - from;
  }
  return n;
}

void RowCutter::Slices(const PieceCut& cut, std::vector<ColumnSlice>& out) const {
  out.clear();
  for (std::size_t i = cut.begin.column; i < columns_.size(); ++i) {
    const ColumnSlice& c = columns_[i];
    const std::uint32_t from = i == cut.begin.column ? cut.begin.offset : 0;
    if (i == cut.end.column) {
      if (cut.end.offset > from) out.push_back({c.data + from, cut.end.offset - from, false});
      break;
    }
    out.push_back(c.is_null ? c : ColumnSlice{c.data + from, c.size - from, false});
  }
}

}  // namespace quillon::testdb
