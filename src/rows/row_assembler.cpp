#include "rows/row_assembler.h"

#include "reader/block_view.h"
#include "reader/format.h"

namespace quillon {

namespace {

constexpr std::size_t kVisitedListLimit = 64;

SpaceManagement SpaceOf(const CountTarget& target, std::uint32_t object) {
  return target.free_list_objects.count(object) ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
}

// A piece that continues a row: neither a row's first piece nor a head, a
// deleted piece or a cluster key.
bool IsContinuation(const RowPiece& piece) {
  return !piece.IsDeleted() && !piece.IsFirst() && !piece.IsHead() && !piece.IsClusterKey();
}

// A row piece header where an IOT leaf row's non-key part starts.
bool IsLeafBodyFlag(std::uint8_t flag) {
  namespace rw = format::row;
  return (flag & (rw::kHead | rw::kFirst)) == (rw::kHead | rw::kFirst) &&
         (flag & (rw::kDeleted | rw::kClusterKey | rw::kClusterMember | rw::kContinuesPrevious)) == 0;
}

}  // namespace

const char* ToString(RowBreak problem) {
  switch (problem) {
    case RowBreak::kNone: return "complete";
    case RowBreak::kChainEnds: return "the chain of row pieces ends before the row's last piece";
    case RowBreak::kOutsideFiles: return "the next row piece lies outside the registered datafiles";
    case RowBreak::kUnreadable: return "the block of the next row piece cannot be read";
    case RowBreak::kOtherObject: return "the next row piece lies in a block of another object";
    case RowBreak::kDamagedBlock: return "the block of the next row piece is damaged";
    case RowBreak::kNoPiece: return "no row piece where the chain points";
    case RowBreak::kLoop: return "the chain of row pieces loops back on itself";
    case RowBreak::kDamagedColumns: return "a column runs past the end of its block";
    case RowBreak::kStopped: return "stopped";
  }
  return "unknown";
}

RowAssembler::RowAssembler(const TableLayout& layout, ChainScope scope) : layout_(layout), scope_(scope) {
  values_.resize(layout.column_count(), StoredValue{ByteView(), true, false});
}

void RowAssembler::Reset() {
  for (auto& v : values_) v = StoredValue{ByteView(), true, false};
  body_position_ = 0;
  key_columns_ = 0;
  problem_ = RowBreak::kNone;
  splits_used_ = 0;
  holding_ = false;
  kept_.clear();
  visited_.clear();
  // Only long chains fill the set; clearing an empty one still wipes its
  // bucket array, once per row.
  if (!visited_many_.empty()) visited_many_.clear();
  damaged_.clear();
  suspect_ = false;
  bad_checksum_.clear();
}

void RowAssembler::Assemble(ByteView block, std::uint32_t dba, const RowStart& start, bool first_block_suspect) {
  Reset();
  suspect_ = first_block_suspect;
  std::optional<RowPiece> piece;
  switch (layout_.kind()) {
    case TableKind::kHeap:
      piece = ParseRowPiece(block, start.position);
      break;
    case TableKind::kCluster:
      ReadClusterKey(block, start);
      piece = ParseRowPiece(block, start.position);
      break;
    case TableKind::kIndexOrganized:
      piece = ReadLeafKey(block, start);
      if (!piece) return;  // the key alone, or a damaged leaf row (problem_ says which)
      break;
  }
  if (!piece) {
    problem_ = RowBreak::kDamagedColumns;
    return;
  }
  Visit(dba, start.slot);
  TakePiece(block, *piece);
  if (problem_ == RowBreak::kNone) FollowChain(block, dba, *piece);
  FlushHeld();
}

void RowAssembler::Store(RowPart part, std::size_t position, const StoredValue& value) {
  const std::int32_t column = layout_.ColumnAt(part, position, key_columns_);
  if (column != kNoColumn) values_[static_cast<std::size_t>(column)] = value;
}

void RowAssembler::TakeKeyColumns(ColumnCursor& cursor) {
  std::size_t position = 0;
  while (auto c = cursor.Next()) Store(RowPart::kKey, position++, StoredValue{c->bytes, c->is_null, false});
  key_columns_ = position;
  if (cursor.damaged() || cursor.remaining() != 0) problem_ = RowBreak::kDamagedColumns;
}

void RowAssembler::FlushHeld() {
  if (!holding_) return;
  holding_ = false;
  Store(RowPart::kBody, body_position_++, splits_[splits_used_ - 1].Finish(ByteView()));
}

void RowAssembler::TakePiece(ByteView block, const RowPiece& piece) {
  if (holding_ && !piece.ContinuesPrevious()) FlushHeld();
  ColumnCursor cursor = ColumnCursor::Over(block, piece);
  const std::size_t count = piece.column_count;
  std::size_t k = 0;
  while (auto c = cursor.Next()) {
    const bool continued = k + 1 == count && piece.ContinuesNext() && !c->is_null;
    if (k == 0 && holding_) {
      SplitValue& split = splits_[splits_used_ - 1];
      if (continued) {
        split.Append(c->bytes);  // a middle part: the value goes on in the next piece
      } else {
        holding_ = false;
        Store(RowPart::kBody, body_position_++, split.Finish(c->bytes));
      }
    } else if (continued) {
      if (splits_used_ == splits_.size()) splits_.emplace_back();
      splits_[splits_used_++].Hold(c->bytes);
      holding_ = true;
    } else {
      Store(RowPart::kBody, body_position_++, StoredValue{c->bytes, c->is_null, false});
    }
    ++k;
  }
  if (cursor.damaged() || cursor.remaining() != 0) problem_ = RowBreak::kDamagedColumns;
}

bool RowAssembler::Visit(std::uint32_t dba, std::uint16_t slot) {
  const std::uint64_t key = (static_cast<std::uint64_t>(dba) << 16) | slot;
  if (visited_many_.empty()) {
    for (const auto v : visited_) {
      if (v == key) return false;
    }
    visited_.push_back(key);
    if (visited_.size() > kVisitedListLimit) visited_many_.insert(visited_.begin(), visited_.end());
    return true;
  }
  return visited_many_.insert(key).second;
}

void RowAssembler::FollowChain(ByteView block, std::uint32_t dba, RowPiece piece) {
  while (!piece.IsLast()) {
    if (scope_.stop && scope_.stop->requested()) {
      problem_ = RowBreak::kStopped;
      return;
    }
    if (!piece.next || piece.next->IsEnd()) {
      problem_ = RowBreak::kChainEnds;
      return;
    }
    if (!Visit(piece.next->dba, piece.next->slot)) {
      problem_ = RowBreak::kLoop;
      return;
    }
    const auto next = NextPiece(*piece.next, block, dba);
    if (!next) return;
    TakePiece(block, *next);
    if (problem_ != RowBreak::kNone) return;
    piece = *next;
  }
}

std::optional<RowPiece> RowAssembler::NextPiece(const RowAddress& next, ByteView& block, std::uint32_t& dba) {
  bool read_another = false;
  if (next.dba != dba) {
    if (!scope_.source) {
      problem_ = RowBreak::kUnreadable;
      return std::nullopt;
    }
    BlockResult r = scope_.source->Read(next.dba);
    if (!r.ok()) {
      problem_ = r.status == ReadStatus::kUnknownFile || r.status == ReadStatus::kBeyondEnd ? RowBreak::kOutsideFiles
                                                                                            : RowBreak::kUnreadable;
      return std::nullopt;
    }
    block = r.block.bytes();
    dba = next.dba;
    kept_.push_back(std::move(r.block));
    read_another = true;
  }
  const auto type = block.U8(format::block_header::kType);
  const auto object = block.U32LE(format::data_block::kObjectNumber);
  if (!type || *type != format::block_type::kData || !object || !scope_.target->accepted_objects.count(*object)) {
    problem_ = RowBreak::kOtherObject;
    return std::nullopt;
  }
  const auto d = DataBlock::Open(block, SpaceOf(*scope_.target, *object));
  if (!d) {
    problem_ = RowBreak::kDamagedBlock;
    damaged_.push_back(dba);
    return std::nullopt;
  }
  // Row addresses count the slots of the whole row directory; a cluster's
  // continuation pieces are also found counted within their table.
  std::optional<std::size_t> slots[2] = {next.slot, std::nullopt};
  if (layout_.kind() == TableKind::kCluster) {
    if (const auto t = d->Table(layout_.cluster_position())) slots[1] = static_cast<std::size_t>(t->first_row) + next.slot;
  }
  for (const auto& slot : slots) {
    if (!slot) continue;
    const auto position = d->RowPosition(*slot);
    if (!position) continue;
    const auto piece = ParseRowPiece(block, *position);
    if (piece && IsContinuation(*piece)) {
      // The piece is the row's: so is the trust its block deserves.
      if (read_another && BlockView(block).ChecksumContradicted()) {
        suspect_ = true;
        bad_checksum_.push_back(dba);
      }
      return piece;
    }
  }
  problem_ = RowBreak::kNoPiece;
  return std::nullopt;
}

void RowAssembler::ReadClusterKey(ByteView block, const RowStart& start) {
  const auto object = block.U32LE(format::data_block::kObjectNumber);
  const auto d = object ? DataBlock::Open(block, SpaceOf(*scope_.target, *object)) : std::nullopt;
  const auto keys = d ? d->Table(0) : std::nullopt;
  const auto position =
      keys ? d->RowPosition(static_cast<std::size_t>(keys->first_row) + start.key_index) : std::nullopt;
  const auto key_row = position ? ParseRowPiece(block, *position) : std::nullopt;
  if (!key_row) {
    problem_ = RowBreak::kDamagedColumns;
    return;
  }
  ColumnCursor cursor = ColumnCursor::Over(block, *key_row);
  TakeKeyColumns(cursor);
}

std::optional<RowPiece> RowAssembler::ReadLeafKey(ByteView block, const RowStart& start) {
  std::size_t keys = layout_.iot_key_columns();
  if (keys == 0) {
    const std::size_t h = DataHeaderOf(block, *scope_.target);
    keys = block.U8(h + format::index_header::kKeyColumns).value_or(0);
  }
  ColumnCursor cursor(block, start.position + format::index_header::kRowHeaderSize, keys);
  TakeKeyColumns(cursor);
  if (problem_ != RowBreak::kNone) return std::nullopt;
  const auto flag = block.U8(cursor.position());
  if (!flag || !IsLeafBodyFlag(*flag)) return std::nullopt;  // a row of key columns only
  const auto piece = ParseRowPiece(block, cursor.position());
  if (!piece) problem_ = RowBreak::kDamagedColumns;
  return piece;
}

}  // namespace quillon
