// Reads a row back through the reader's views by following its pieces from
// block to block: the test's independent check of what the generator
// placed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/block_source.h"
#include "reader/block_view.h"
#include "reader/row_piece.h"

namespace quillon::test {

struct ReadBackRow {
  std::vector<std::optional<std::vector<std::uint8_t>>> columns;
  std::vector<std::uint8_t> flags;  // of every piece, head first
  std::string problem;
};

// The row piece at a row address (row number within table) of a block.
inline std::optional<RowPiece> PieceAt(BlockSource& source, SpaceManagement space, std::uint32_t dba,
                                       std::uint8_t table, std::uint16_t slot, Block& keep) {
  BlockResult r = source.Read(dba);
  if (!r.ok()) return std::nullopt;
  keep = r.block;
  const auto view = DataBlock::Open(keep.bytes(), space);
  if (!view) return std::nullopt;
  const auto t = view->Table(table);
  if (!t) return std::nullopt;
  const auto pos = view->RowPosition(static_cast<std::size_t>(t->first_row) + slot);
  if (!pos) return std::nullopt;
  return ParseRowPiece(keep.bytes(), *pos);
}

inline ReadBackRow ReadRowChain(BlockSource& source, SpaceManagement space, std::uint32_t dba, std::uint8_t table,
                                std::uint16_t slot) {
  ReadBackRow row;
  bool continues = false;
  for (int guard = 0; guard < 10000; ++guard) {
    Block block;
    const auto piece = PieceAt(source, space, dba, table, slot, block);
    if (!piece) {
      row.problem = "no readable piece at " + std::to_string(dba) + "." + std::to_string(slot);
      return row;
    }
    row.flags.push_back(piece->flag);
    if (piece->IsDeleted()) return row;
    ColumnCursor cursor = ColumnCursor::Over(block.bytes(), *piece);
    bool first = true;
    while (auto c = cursor.Next()) {
      std::optional<std::vector<std::uint8_t>> value;
      if (!c->is_null) value.emplace(c->bytes.data(), c->bytes.data() + c->bytes.size());
      if (first && continues && piece->ContinuesPrevious() && !row.columns.empty() && row.columns.back()) {
        row.columns.back()->insert(row.columns.back()->end(), value->begin(), value->end());
      } else {
        row.columns.push_back(std::move(value));
      }
      first = false;
    }
    if (cursor.damaged()) row.problem = "damaged columns";
    if (!piece->next) return row;
    continues = piece->ContinuesNext();
    dba = piece->next->dba;
    slot = piece->next->slot;
  }
  row.problem = "chain does not end";
  return row;
}

}  // namespace quillon::test
