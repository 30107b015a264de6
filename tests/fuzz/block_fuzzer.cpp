// Feeds arbitrary bytes to the block views, the row piece parser, the column
// cursor, the extent map decoder and the block dump as one block image.
// Nothing may read outside the buffer, crash or loop forever.
#include <cstddef>
#include <cstdint>

#include "reader/block_dump.h"
#include "reader/block_view.h"
#include "reader/datafile.h"
#include "reader/extent_map.h"
#include "reader/row_piece.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteView block(data, size);
  for (const auto space : {SpaceManagement::kFreeList, SpaceManagement::kAssm}) {
    const auto d = DataBlock::Open(block, space);
    if (!d) continue;
    for (std::size_t t = 0; t < d->table_count(); ++t) (void)d->Table(t);
    for (std::size_t slot = 0; slot < d->row_count(); ++slot) {
      const auto position = d->RowPosition(slot);
      if (!position) continue;
      const auto piece = ParseRowPiece(block, *position);
      if (!piece) continue;
      ColumnCursor cursor = ColumnCursor::Over(block, *piece);
      std::size_t total = 0;
      while (const auto c = cursor.Next()) total += c->bytes.size();
      (void)total;
    }
  }
  if (const auto map = DecodeExtentMap(block)) {
    std::vector<std::uint32_t> dbas;
    ExtentMap capped = *map;
    // Cap the extents so a fuzzed block count cannot ask for gigabytes.
    for (auto& e : capped.entries) e.block_count %= 64;
    AppendExtentBlocks(capped, dbas);
  }
  (void)DecodeFileHeader(block);
  (void)ProbeBlockSize(block, block.U16LE(4).value_or(0));
  (void)DumpBlock(block);
  return 0;
}
