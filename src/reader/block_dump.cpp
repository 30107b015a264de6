#include "reader/block_dump.h"

#include "reader/format.h"
#include "reader/row_piece.h"

namespace quillon {

namespace {

// A data header is plausible when it names at least one table and its
// directories fit in the block.
bool PlausibleDataHeader(ByteView block, SpaceManagement space) {
  const auto d = DataBlock::Open(block, space);
  if (!d || d->table_count() == 0) return false;
  const std::size_t directory_end =
      d->RowDirectoryOffset() + format::data_header::kRowEntrySize * d->row_count();
  return directory_end <= block.size();
}

}  // namespace

SpaceManagement GuessSpaceManagement(ByteView block) {
  const auto flags = block.U8(format::data_block::kFlags).value_or(0);
  const SpaceManagement guess = (flags & 0x20) ? SpaceManagement::kAssm : SpaceManagement::kFreeList;
  const SpaceManagement other =
      guess == SpaceManagement::kAssm ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
  if (!PlausibleDataHeader(block, guess) && PlausibleDataHeader(block, other)) return other;
  return guess;
}

BlockDump DumpBlock(ByteView block, std::optional<SpaceManagement> space) {
  BlockDump d;
  const BlockView view(block);
  d.type = view.Type().value_or(0);
  d.format = view.Format().value_or(0);
  d.rdba = view.Rdba().value_or(0);
  d.checksum_flag = view.ChecksumFlagSet();
  d.checksum_valid = view.ChecksumValid();
  d.tail_consistent = view.TailConsistent();
  if (block.size() < format::block_header::kSize) {
    d.problems.push_back("the block is shorter than a block header");
    return d;
  }
  if (d.checksum_flag && !d.checksum_valid) d.problems.push_back("checksum mismatch");
  if (!d.tail_consistent) d.problems.push_back("the block tail does not match the header (torn block?)");
  if (d.type != format::block_type::kData) return d;

  d.space = space ? *space : GuessSpaceManagement(block);
  const auto data = DataBlock::Open(block, d.space);
  if (!data) {
    d.problems.push_back("the data header lies outside the block");
    return d;
  }
  d.is_data = true;
  d.object_number = data->object_number();
  d.itl_count = data->itl_count();
  d.data_header = data->header_offset();
  for (std::size_t t = 0; t < data->table_count(); ++t) {
    const auto entry = data->Table(t);
    if (!entry) {
      d.problems.push_back("table directory entry " + std::to_string(t) + " lies outside the block");
      break;
    }
    d.tables.push_back({entry->first_row, entry->row_count});
  }
  for (std::size_t slot = 0; slot < data->row_count(); ++slot) {
    RowDump r;
    r.slot = slot;
    for (std::size_t t = 0; t < d.tables.size(); ++t) {
      const auto& tb = d.tables[t];
      if (slot >= tb.first_row && slot < static_cast<std::size_t>(tb.first_row) + tb.row_count) r.table = t;
    }
    const auto entry = data->RowEntry(slot);
    if (!entry) {
      d.problems.push_back("the row directory ends outside the block at slot " + std::to_string(slot));
      break;
    }
    r.offset = *entry;
    const auto position = data->RowPosition(slot);
    if (!position) {
      d.rows.push_back(r);
      continue;
    }
    const auto piece = ParseRowPiece(block, *position);
    if (!piece) {
      r.problem = "row header runs past the end of the block";
      d.rows.push_back(r);
      continue;
    }
    r.valid = true;
    r.flag = piece->flag;
    r.lock = piece->lock;
    r.column_count = piece->column_count;
    if (piece->next) {
      r.next_dba = piece->next->dba;
      r.next_slot = piece->next->slot;
    }
    ColumnCursor cursor = ColumnCursor::Over(block, *piece);
    while (const auto column = cursor.Next()) {
      if (column->is_null) {
        r.columns.push_back(std::nullopt);
      } else {
        r.columns.push_back(ToHex(column->bytes));
      }
    }
    if (cursor.damaged()) {
      r.problem = "column " + std::to_string(r.columns.size()) + " runs past the end of the block";
    }
    d.rows.push_back(std::move(r));
  }
  return d;
}

}  // namespace quillon
