#include "testdb/segment_writer.h"

#include <algorithm>
#include <deque>
#include <memory>

#include "reader/bytes.h"
#include "reader/format.h"
#include "testdb/row_cutter.h"

namespace quillon::testdb {

namespace {

namespace bt = format::block_type;
namespace rw = format::row;

constexpr std::uint32_t kMaxBlocksInFile = format::kDbaBlockMask + 1;

// Level-1 bitmap blocks cover more blocks as the segment grows.
std::uint32_t BitmapSpan(std::uint64_t segment_bytes) {
  if (segment_bytes < (1u << 20)) return 16;
  if (segment_bytes < (64u << 20)) return 64;
  if (segment_bytes < (1u << 30)) return 256;
  return 1024;
}

// Oracle's system allocation: 16 extents of 64 KB, 63 of 1 MB, 120 of 8 MB,
// then 64 MB each.
std::uint32_t ExtentSize(const SegmentModel& m, std::size_t index, std::uint32_t block_size) {
  if (m.extent_policy == ExtentPolicy::kUniform) return m.extent_blocks;
  const std::size_t n = index;
  const std::uint64_t bytes = n < 16 ? (64u << 10) : n < 79 ? (1u << 20) : n < 199 ? (8u << 20) : (64u << 20);
  return std::max<std::uint32_t>(8, static_cast<std::uint32_t>(bytes / block_size));
}

// Level-1 bitmap blocks at the start of the first extent: two, more when the
// extent is larger than two spans.
std::uint32_t FirstExtentBitmaps(std::uint32_t size, std::uint32_t block_size) {
  const std::uint32_t span = BitmapSpan(std::uint64_t{size} * block_size);
  return std::max<std::uint32_t>(2, (size + span - 1) / span);
}

class SegmentWriter {
 public:
  SegmentWriter(const SegmentModel& model, const SegmentContext& ctx, Prng prng, SegmentLayout& out)
      : m_(model), c_(ctx), prng_(prng), out_(out) {
    assm_ = m_.space == SpaceManagement::kAssm;
    header_type_ = m_.header_type.value_or(assm_ ? bt::kAssmSegmentHeader : bt::kSegmentHeader);
    map_type_ = assm_ ? bt::kAssmExtentMap : bt::kExtentMap;
    tables_ = m_.kind == SegmentKind::kCluster ? static_cast<std::uint8_t>(m_.member_tables + 1) : 1;
    reserve_ = static_cast<std::size_t>(c_.block_size) * m_.pct_free / 100;
    scn_ = 0x00100000 + (prng_.Next32() & 0x000FFFFF);
    DataBlockBuilder probe(c_.block_size, m_.space, m_.itl_count, m_.object_number, tables_);
    empty_capacity_ = probe.FreeSpace(reserve_);
    if (m_.kind == SegmentKind::kCluster && m_.cluster_key_size != 0) {
      keys_per_block_ = std::max<std::size_t>(1, probe.FreeSpace(0) / m_.cluster_key_size);
    }
    keys_per_block_ = std::min<std::size_t>(keys_per_block_, 255);
  }

  bool Run(std::string& error) {
    out_.name = m_.name;
    out_.object_number = m_.object_number;
    out_.kind = m_.kind;
    out_.space = m_.space;
    out_.tablespace = m_.tablespace;
    out_.relative_file = c_.relative_file;
    AllocateExtent();
    switch (m_.kind) {
      case SegmentKind::kHeap: PlaceHeapRows(); break;
      case SegmentKind::kCluster: PlaceClusterKeys(); break;
      case SegmentKind::kIndex: PlaceIndexEntries(); break;
    }
    while (!open_.empty() && error_.empty()) CloseFront();
    hwm_dba_ = next_data_ < data_end_ ? Dba(next_data_) : Dba(data_end_);
    while (extents_.size() < m_.min_extents && error_.empty()) AllocateExtent();
    if (c_.format_unused) FormatUnusedBlocks();
    if (error_.empty()) WriteMetadata();
    error = error_;
    return error_.empty();
  }

 private:
  // ------------------------------------------------------------------ extents
  struct Map {
    std::uint32_t block = 0;  // block number of the map (the header for the first)
    std::size_t first_extent = 0;
    std::size_t count = 0;
  };
  struct Coverage {
    std::uint32_t first_block;
    std::uint32_t count;
    std::uint32_t l1_block;
  };
  struct Bitmap {
    std::uint32_t block;
    std::uint32_t first_block = 0;
    std::uint32_t count = 0;
  };

  std::uint32_t Dba(std::uint32_t block) const { return format::MakeDba(c_.relative_file, block); }

  std::uint32_t NextExtentSize() const { return ExtentSize(m_, extents_.size(), c_.block_size); }

  std::size_t MapCapacity(bool header) const {
    const std::size_t room = DefaultExtentsPerMap(c_.block_size, header ? header_type_ : map_type_);
    return std::max<std::size_t>(1, m_.max_extents_per_map ? std::min<std::size_t>(room, *m_.max_extents_per_map) : room);
  }

  bool AllocateExtent() {
    const std::uint32_t size = NextExtentSize();
    FileSpace& fs = *c_.space;
    // The first extent may have been given out up front.
    const bool reserved = extents_.empty() && c_.first_extent_block.has_value();
    const std::uint32_t start = reserved ? *c_.first_extent_block : fs.next_free;
    const std::uint64_t end = std::uint64_t{start} + size;
    const std::uint64_t limit = fs.limit != 0 ? fs.limit : kMaxBlocksInFile;
    if (end > limit) {
      if (error_.empty()) error_ = "datafile " + fs.file_name + " is full: segment " + m_.name + " needs more space";
      return false;
    }
    if (next_data_ < data_end_) unused_.push_back({next_data_, data_end_});
    if (!reserved) fs.next_free = static_cast<std::uint32_t>(std::min<std::uint64_t>(end + m_.extent_gap_blocks, limit));
    const std::size_t index = extents_.size();
    extents_.push_back({Dba(start), size});
    allocated_blocks_ += size;

    std::uint32_t meta = start;  // next block of the extent for metadata
    if (index == 0) {
      maps_.push_back({0, 0, 1});
    } else if (maps_.back().count >= MapCapacity(maps_.size() == 1)) {
      maps_.push_back({meta++, index, 1});
    } else {
      ++maps_.back().count;
    }
    if (assm_) {
      // The first extent starts with two level-1 bitmaps (more when it is
      // larger than two spans), the level-2 bitmap and the segment header;
      // a later extent starts with as many level-1 bitmaps as the last one
      // cannot cover.
      const std::uint32_t span = BitmapSpan(std::uint64_t{allocated_blocks_} * c_.block_size);
      std::uint32_t count = 0;
      if (index == 0) {
        count = FirstExtentBitmaps(size, c_.block_size);
      } else {
        const std::uint32_t beyond = size > l1_left_ ? size - l1_left_ : 0;
        count = (beyond + span - 1) / span;
      }
      const std::uint32_t first_l1 = meta;
      meta += count;
      if (index == 0) {
        l2_block_ = meta++;
        header_block_ = meta++;
      }
      std::uint32_t next_l1 = first_l1;
      std::uint32_t pos = start;
      std::uint32_t left = size;
      while (left > 0) {
        if (l1_left_ == 0) {
          l1s_.push_back({next_l1++, pos, 0});
          l1_left_ = span;
        }
        const std::uint32_t take = std::min(l1_left_, left);
        l1s_.back().count += take;
        coverage_.push_back({pos, take, l1s_.back().block});
        pos += take;
        left -= take;
        l1_left_ -= take;
      }
      // Bitmaps placed but not needed yet cover the extents to come.
      while (next_l1 < first_l1 + count) {
        l1s_.push_back({next_l1++, data_end_, 0});
        l1_left_ = span;
      }
    } else if (index == 0) {
      header_block_ = meta++;
    }
    next_data_ = meta;
    data_end_ = start + size;
    return true;
  }

  // The next block for data, allocating an extent when the last is used up.
  std::optional<std::uint32_t> NextDataBlock() {
    while (next_data_ >= data_end_) {
      if (!AllocateExtent()) return std::nullopt;
    }
    return next_data_++;
  }

  std::uint32_t L1For(std::uint32_t block) {
    while (coverage_cursor_ + 1 < coverage_.size() &&
           block >= coverage_[coverage_cursor_].first_block + coverage_[coverage_cursor_].count) {
      ++coverage_cursor_;
    }
    return coverage_.empty() ? 0 : Dba(coverage_[coverage_cursor_].l1_block);
  }

  BlockStamp NextStamp() {
    BlockStamp s;
    scn_ += 1 + (prng_.Next32() & 7);
    s.scn_base = scn_;
    s.sequence = static_cast<std::uint8_t>(1 + (scn_ & 1));
    s.checksum = c_.checksum;
    return s;
  }

  // -------------------------------------------------------------- open blocks
  struct KeyInstance {
    std::size_t key;
    RowSlot slot;
    std::size_t size;
    std::uint16_t rows = 0;
    RowAddress self;
    RowAddress prev;
    RowAddress next;
  };
  struct OpenBlock {
    std::uint32_t block = 0;
    std::uint32_t dba = 0;
    DataBlockBuilder b;
    std::vector<KeyInstance> keys;
  };

  // The k-th open block, opening fresh blocks as needed; nullptr when the
  // datafile is full.
  OpenBlock* Open(std::size_t k) {
    while (open_.size() <= k) {
      const auto block = NextDataBlock();
      if (!block) return nullptr;
      std::unique_ptr<OpenBlock> ob;
      if (!pool_.empty()) {
        ob = std::move(pool_.back());
        pool_.pop_back();
      } else {
        ob = std::make_unique<OpenBlock>();
      }
      ob->block = *block;
      ob->dba = Dba(*block);
      ob->b.Reset(c_.block_size, m_.space, m_.itl_count, m_.object_number, tables_);
      ob->keys.clear();
      open_.push_back(std::move(ob));
    }
    return open_[k].get();
  }

  void CloseFront() {
    if (open_.empty()) return;
    std::unique_ptr<OpenBlock> ob = std::move(open_.front());
    open_.pop_front();
    Finalize(*ob);
    pool_.push_back(std::move(ob));
  }

  void Finalize(OpenBlock& ob) {
    for (const KeyInstance& k : ob.keys) {
      const ClusterKey& key = m_.keys[k.key];
      PieceHeader h;
      h.flag = rw::kKeyRow;
      h.column_count = static_cast<std::uint8_t>(key.key_columns.size());
      h.key_rows = k.rows;
      h.key_prev = k.prev;
      h.key_next = k.next;
      std::uint8_t* p = WritePieceHeader(ob.b.Row(k.slot, k.size).data(), h);
      for (const auto& col : key.key_columns) {
        p = WriteColumn(p, {col.data(), static_cast<std::uint32_t>(col.size()), false});
      }
    }
    if (assm_) ob.b.SetBitmapBlock(L1For(ob.block));
    ob.b.Write(c_.file->Next(ob.block, false), c_.format_byte, ob.dba, NextStamp());
    out_.data_blocks.push_back(ob.dba);
  }

  // ------------------------------------------------------------ cluster keys
  std::size_t KeyRowSize(std::size_t key) const {
    std::size_t n = rw::kKeyRowHeaderSize;
    for (const auto& col : m_.keys[key].key_columns) n += EncodedColumnSize(false, col.size());
    return n;
  }

  KeyInstance* FindKey(OpenBlock& ob, std::size_t key) {
    for (auto& k : ob.keys) {
      if (k.key == key) return &k;
    }
    return nullptr;
  }

  // The key's row in a block, added (and linked to the key's row in the
  // block before) when missing; nullptr when it does not fit.
  KeyInstance* EnsureKey(OpenBlock& ob, std::size_t key) {
    if (KeyInstance* k = FindKey(ob, key)) return k;
    if (ob.keys.size() >= 255) return nullptr;
    const std::size_t size = KeyRowSize(key);
    const auto slot = ob.b.Reserve(0, size);
    if (!slot) return nullptr;
    KeyInstance k{key, *slot, size, 0, {ob.dba, slot->index}, {ob.dba, slot->index}, {ob.dba, slot->index}};
    for (auto& other : open_) {
      if (other->dba != latest_key_dba_ || other.get() == &ob) continue;
      if (KeyInstance* before = FindKey(*other, key)) {
        before->next = k.self;
        k.prev = before->self;
      }
    }
    latest_key_dba_ = ob.dba;
    ob.keys.push_back(k);
    if (current_key_record_) {
      current_key_record_->key_rows.push_back({ob.dba, slot->index, 0, rw::kKeyRow, static_cast<std::uint16_t>(slot->offset)});
    }
    return &ob.keys.back();
  }

  // Moves on to the next block; a cluster key being filled continues there.
  void AdvanceFront(std::optional<std::size_t> key) {
    if (key) {
      for (int tries = 0; tries < 4 && error_.empty(); ++tries) {
        OpenBlock* next = Open(1);
        if (!next) return;
        if (EnsureKey(*next, *key)) break;
        CloseFront();
      }
    } else if (!Open(1)) {
      return;
    }
    CloseFront();
  }

  // --------------------------------------------------------------- row pieces
  struct Target {
    std::uint8_t table = 0;
    std::optional<std::size_t> key;  // member rows: the cluster key they belong to
  };
  struct Pending {
    OpenBlock* block = nullptr;
    RowSlot slot;
    PieceCut cut;
    PieceHeader header;
    std::size_t size = 0;
  };

  void WritePending(const Pending& p, const RowCutter& cutter) {
    std::uint8_t* out = WritePieceHeader(p.block->b.Row(p.slot, p.size).data(), p.header);
    if (p.header.flag & rw::kDeleted) return;
    cutter.Slices(p.cut, slices_);
    for (const auto& s : slices_) out = WriteColumn(out, s);
  }

  void Record(RowPlacement* rec, const OpenBlock& ob, const RowSlot& slot, std::uint8_t table, std::uint8_t flag) {
    if (rec) rec->pieces.push_back({ob.dba, slot.index, table, flag, static_cast<std::uint16_t>(slot.offset)});
  }

  std::uint8_t MemberBit(const Target& t) const { return t.key ? rw::kClusterMember : 0; }

  // Header size of a piece without its next address.
  static std::size_t HeaderBase(std::uint8_t flag) { return PieceHeaderSize(static_cast<std::uint8_t>(flag | rw::kLast)); }

  // Room in a block for a piece, after the key row a member piece needs there.
  std::size_t Room(OpenBlock& ob, const Target& t, bool member_piece, std::size_t reserve) {
    std::size_t room = ob.b.FreeSpace(reserve);
    if (member_piece && t.key && !FindKey(ob, *t.key)) {
      const std::size_t key = KeyRowSize(*t.key) + format::data_header::kRowEntrySize;
      room = room > key ? room - key : 0;
    }
    return room;
  }

  // Reserves a piece in a block (with the key row it needs) and records it.
  std::optional<RowSlot> ReservePiece(OpenBlock& ob, const Target& t, PieceHeader& h, std::size_t size,
                                      RowPlacement* rec) {
    if (h.flag & rw::kClusterMember) {
      KeyInstance* k = EnsureKey(ob, *t.key);
      if (!k) return std::nullopt;
      h.key_index = static_cast<std::uint8_t>(k->slot.index);
      ++k->rows;
    }
    const auto slot = ob.b.Reserve(t.table, size);
    if (slot) Record(rec, ob, *slot, t.table, h.flag);
    return slot;
  }

  // Places a row's pieces: the first with first_flag (0x28, or 0x08 for the
  // body of a migrated row, plus 0x40 in a cluster) in open block start, the
  // others in the same or later blocks. With forced_pieces the row is cut
  // into exactly that many pieces by units, one per block. before: a piece
  // already placed that must point at the first one (a migrated row's head).
  void PlaceChain(RowCutter& cutter, std::uint8_t first_flag, std::size_t start, std::uint32_t forced_pieces,
                  const Target& t, RowPlacement* rec, Pending* before, std::size_t first_reserve) {
    Pending prev;
    bool have_prev = false;
    if (before) {
      prev = *before;
      have_prev = true;
    }
    const std::uint64_t units = cutter.RemainingUnits();
    std::uint64_t consumed = 0;
    std::size_t k = start;
    for (std::uint32_t piece = 0; !cutter.done() && error_.empty(); ++piece) {
      const std::uint8_t base_flag = piece == 0 ? first_flag : 0;
      const bool forced = forced_pieces != 0;
      const std::uint64_t quota = forced ? (piece + 1 == forced_pieces ? units - consumed
                                                                        : (piece + 1) * units / forced_pieces - consumed)
                                         : UINT64_MAX;
      const bool allow_last = !forced || piece + 1 == forced_pieces;
      std::optional<PieceCut> cut;
      OpenBlock* ob = nullptr;
      for (;; ++k) {
        ob = Open(k);
        if (!ob) return;
        const bool fresh = ob->b.empty();
        const std::size_t reserve = piece == 0 && k == start ? first_reserve : 0;
        cut = cutter.Cut(HeaderBase(base_flag), Room(*ob, t, (base_flag & rw::kClusterMember) != 0, reserve), quota,
                         allow_last);
        const bool ok = cut && (!forced || (cutter.Units(*cut) == quota && (allow_last == cut->last)));
        if (ok) break;
        if (fresh) {
          error_ = "segment " + m_.name + ": a row cannot be cut into " + std::to_string(forced_pieces) +
                   " pieces that fit in a block";
          return;
        }
      }
      std::uint8_t flag = base_flag;
      if (cut->last) flag |= rw::kLast;
      if (cut->continues_previous()) flag |= rw::kContinuesPrevious;
      if (cut->continues_next()) flag |= rw::kContinuesNext;
      Pending p;
      p.block = ob;
      p.cut = *cut;
      p.header.flag = flag;
      p.header.column_count = cut->column_count;
      if (have_prev && piece == 0) p.header.head = {prev.block->dba, prev.slot.index};
      p.size = PieceHeaderSize(flag) + cut->body_size;
      const auto slot = ReservePiece(*ob, t, p.header, p.size, rec);
      if (!slot) {
        error_ = "segment " + m_.name + ": no room for a row piece";
        return;
      }
      p.slot = *slot;
      if (have_prev) {
        prev.header.next = {ob->dba, slot->index};
        WritePending(prev, cutter);
      }
      prev = p;
      have_prev = true;
      cutter.Advance(*cut);
      consumed += cutter.Units(*cut);
      // Forced chains put every piece in a block of its own; pieces of long
      // rows may share a block while they fit (rows of many columns).
      if (forced) ++k;
    }
    if (have_prev) WritePending(prev, cutter);
  }

  void PlaceRow(std::span<const ColumnSlice> all_columns, Placement placement, std::uint32_t chain_blocks,
                const Target& t, RowPlacement* rec) {
    const std::span<const ColumnSlice> columns = TrimTrailingNulls(all_columns);
    if (rec) rec->stored_columns = static_cast<std::uint16_t>(columns.size());
    const std::uint8_t member = MemberBit(t);
    OpenBlock* front = Open(0);
    if (!front) return;
    switch (placement) {
      case Placement::kFreeSlot: {
        if (front->b.FreeSpace(reserve_) == 0) {
          AdvanceFront(t.key);
          if (!(front = Open(0))) return;
        }
        const std::uint16_t index = front->b.AddFreeSlot(t.table);
        if (rec) rec->pieces.push_back({front->dba, index, t.table, 0, 0});
        return;
      }
      case Placement::kDeleted: {
        PieceHeader h;
        h.flag = static_cast<std::uint8_t>(member | rw::kHead | rw::kDeleted | rw::kFirst | rw::kLast);
        h.lock = front->b.deleting_itl();
        const std::size_t size = PieceHeaderSize(h.flag);
        if (!front->b.Fits(size, reserve_)) {
          AdvanceFront(t.key);
          if (!(front = Open(0))) return;
        }
        const auto slot = ReservePiece(*front, t, h, size, rec);
        if (!slot) return;
        WritePieceHeader(front->b.Row(*slot, size).data(), h);
        front->b.AddLockedRow();
        return;
      }
      case Placement::kMigrated: {
        Pending head;
        head.header.flag = static_cast<std::uint8_t>(member | rw::kHead);
        head.size = PieceHeaderSize(head.header.flag);
        if (Room(*front, t, member != 0, reserve_) < head.size) {
          AdvanceFront(t.key);
          if (!(front = Open(0))) return;
        }
        const auto slot = ReservePiece(*front, t, head.header, head.size, rec);
        if (!slot) return;
        head.block = front;
        head.slot = *slot;
        RowCutter cutter(columns);
        PlaceChain(cutter, static_cast<std::uint8_t>(member | rw::kFirst), 1, 0, t, rec, &head, 0);
        return;
      }
      case Placement::kChained: {
        RowCutter cutter(columns);
        if (cutter.RemainingUnits() < chain_blocks) {
          error_ = "segment " + m_.name + ": a row too short to be chained over " + std::to_string(chain_blocks) + " blocks";
          return;
        }
        PlaceChain(cutter, static_cast<std::uint8_t>(member | rw::kHead | rw::kFirst), 0, chain_blocks, t, rec,
                   nullptr, reserve_);
        return;
      }
      case Placement::kNormal:
      case Placement::kTailPiece:
        break;
    }
    // One piece when it fits, in this block or a fresh one.
    std::size_t body = 0;
    for (const auto& c : columns) body += EncodedColumnSize(c);
    const bool tail = placement == Placement::kTailPiece;
    const std::uint8_t flag = static_cast<std::uint8_t>(member | (tail ? rw::kLast : rw::kComplete));
    const std::size_t size = PieceHeaderSize(flag) + body;
    const std::size_t key_room = t.key ? KeyRowSize(*t.key) + format::data_header::kRowEntrySize : 0;
    const bool fits_fresh = size + key_room <= empty_capacity_ && columns.size() <= RowCutter::kMaxColumnsPerPiece;
    for (int tries = 0; fits_fresh && tries < 64 && Room(*front, t, member != 0, reserve_) < size; ++tries) {
      AdvanceFront(t.key);
      if (!(front = Open(0))) return;
    }
    if (fits_fresh && Room(*front, t, member != 0, reserve_) >= size) {
      PieceHeader h;
      h.flag = flag;
      h.column_count = static_cast<std::uint8_t>(columns.size());
      const auto slot = ReservePiece(*front, t, h, size, rec);
      if (!slot) return;
      std::uint8_t* out = WritePieceHeader(front->b.Row(*slot, size).data(), h);
      for (const auto& c : columns) out = WriteColumn(out, c);
      return;
    }
    if (tail) {
      error_ = "segment " + m_.name + ": a tail piece longer than a block";
      return;
    }
    // Too long for one block: a chain, started in a block with at least half
    // its room free.
    if (front->b.FreeSpace(reserve_) < empty_capacity_ / 2) {
      AdvanceFront(t.key);
      if (!Open(0)) return;
    }
    RowCutter cutter(columns);
    PlaceChain(cutter, static_cast<std::uint8_t>(member | rw::kHead | rw::kFirst), 0, 0, t, rec, nullptr, reserve_);
  }

  // ---------------------------------------------------------------- contents
  void PlaceHeapRows() {
    std::vector<ColumnSlice> cols;
    if (m_.record_rows) out_.rows.reserve(m_.rows.size());
    for (const Row& row : m_.rows) {
      if (!error_.empty()) return;
      cols.clear();
      for (const auto& c : row.columns) cols.push_back(SliceOf(c));
      RowPlacement* rec = nullptr;
      if (m_.record_rows) rec = &out_.rows.emplace_back();
      PlaceRow(cols, row.placement, row.chain_blocks, {}, rec);
      ++out_.row_count;
    }
    if (!m_.generator) return;
    RowBuffer buffer;
    for (std::uint64_t i = 0; error_.empty(); ++i) {
      buffer.Clear();
      if (!m_.generator(i, buffer)) break;
      buffer.Slices(cols);
      RowPlacement* rec = nullptr;
      if (m_.record_rows) rec = &out_.rows.emplace_back();
      PlaceRow(cols, buffer.placement, buffer.chain_blocks, {}, rec);
      ++out_.row_count;
    }
  }

  void PlaceClusterKeys() {
    std::vector<ColumnSlice> cols;
    out_.keys.resize(m_.keys.size());
    for (std::size_t key = 0; key < m_.keys.size() && error_.empty(); ++key) {
      KeyPlacement& kp = out_.keys[key];
      current_key_record_ = &kp;
      latest_key_dba_ = 0;
      // A new key goes into the current block while the block has room for
      // its key row and holds fewer keys than its SIZE allows.
      const std::size_t need = KeyRowSize(key) + format::data_header::kRowEntrySize;
      for (int tries = 0; tries < 8; ++tries) {
        OpenBlock* front = Open(0);
        if (!front) return;
        if (front->keys.size() < keys_per_block_ && front->b.FreeSpace(reserve_) >= need) break;
        CloseFront();
      }
      OpenBlock* front = Open(0);
      if (!front || !EnsureKey(*front, key)) {
        if (error_.empty()) error_ = "segment " + m_.name + ": a cluster key row does not fit in a block";
        return;
      }
      const ClusterKey& ck = m_.keys[key];
      kp.members.resize(m_.member_tables);
      for (std::size_t m = 0; m < ck.members.size(); ++m) {
        for (const Row& row : ck.members[m]) {
          if (!error_.empty()) return;
          cols.clear();
          for (const auto& c : row.columns) cols.push_back(SliceOf(c));
          RowPlacement* rec = m_.record_rows ? &kp.members[m].emplace_back() : nullptr;
          PlaceRow(cols, row.placement, row.chain_blocks, {static_cast<std::uint8_t>(m + 1), key}, rec);
          ++out_.row_count;
        }
      }
    }
    current_key_record_ = nullptr;
  }

  // ----------------------------------------------------------- index entries
  // Packs the leaf rows into leaf blocks in order, linked both ways; with
  // more than one leaf a branch block in front of them is the root, holding
  // the first key of every leaf but the first.
  void PlaceIndexEntries() {
    const IndexSegmentDescription& wanted = m_.index;
    const std::size_t capacity = IndexBlockBuilder::Capacity(c_.block_size, m_.space, m_.itl_count, reserve_);
    std::vector<std::pair<std::size_t, std::size_t>> leaves;  // entries [first, end)
    std::size_t first = 0, used = 0;
    for (std::size_t i = 0; i < wanted.entries.size(); ++i) {
      const std::size_t need = wanted.entries[i].row.size() + format::index_header::kRowEntrySize;
      if (need > capacity) {
        error_ = "segment " + m_.name + ": an index entry does not fit in a block";
        return;
      }
      if (used + need > capacity) {
        leaves.push_back({first, i});
        first = i;
        used = 0;
      }
      used += need;
    }
    leaves.push_back({first, wanted.entries.size()});
    std::vector<Bytes> branch_rows;
    std::size_t branch_bytes = 0;
    for (std::size_t l = 1; l < leaves.size(); ++l) {
      Bytes row(format::index_header::kBranchChildSize);
      const Bytes& key = wanted.entries[leaves[l].first].key;
      row.insert(row.end(), key.begin(), key.end());
      branch_bytes += row.size() + format::index_header::kRowEntrySize;
      branch_rows.push_back(std::move(row));
    }
    if (branch_bytes > IndexBlockBuilder::Capacity(c_.block_size, m_.space, m_.itl_count, 0)) {
      error_ = "segment " + m_.name + ": an index of more than two levels";
      return;
    }
    std::optional<std::uint32_t> root;
    if (leaves.size() > 1) {
      root = NextDataBlock();
      if (!root) return;
    }
    std::vector<std::uint32_t> leaf_blocks;
    for (std::size_t l = 0; l < leaves.size(); ++l) {
      const auto block = NextDataBlock();
      if (!block) return;
      leaf_blocks.push_back(*block);
    }
    IndexBlockBuilder b;
    if (root) {
      b.Reset(c_.block_size, m_.space, m_.itl_count, m_.object_number, 1, format::index_header::kFlagsNormal,
              wanted.key_columns);
      b.SetLeftmostChild(Dba(leaf_blocks.front()));
      for (std::size_t l = 1; l < leaves.size(); ++l) {
        PutU32BE(branch_rows[l - 1].data(), Dba(leaf_blocks[l]));
        b.Add(branch_rows[l - 1]);
      }
      WriteIndexBlock(b, *root);
    }
    for (std::size_t l = 0; l < leaves.size(); ++l) {
      b.Reset(c_.block_size, m_.space, m_.itl_count, m_.object_number, 0, wanted.leaf_flags, wanted.key_columns);
      b.SetLeafLinks(l + 1 < leaves.size() ? Dba(leaf_blocks[l + 1]) : 0, l > 0 ? Dba(leaf_blocks[l - 1]) : 0);
      for (std::size_t i = leaves[l].first; i < leaves[l].second; ++i) {
        b.Add(wanted.entries[i].row, reserve_);
        ++out_.row_count;
      }
      WriteIndexBlock(b, leaf_blocks[l]);
    }
  }

  void WriteIndexBlock(IndexBlockBuilder& b, std::uint32_t block) {
    if (assm_) b.SetBitmapBlock(L1For(block));
    b.Write(c_.file->Next(block, false), c_.format_byte, Dba(block), NextStamp());
    out_.data_blocks.push_back(Dba(block));
  }

  // --------------------------------------------------------------- metadata
  void FormatUnusedBlocks() {
    DataBlockBuilder empty(c_.block_size, m_.space, m_.itl_count, m_.object_number, tables_);
    if (next_data_ < data_end_) unused_.push_back({next_data_, data_end_});
    for (const auto& [first, end] : unused_) {
      for (std::uint32_t block = first; block < end; ++block) {
        if (assm_) empty.SetBitmapBlock(L1For(block));
        empty.Write(c_.file->Next(block, false), c_.format_byte, Dba(block), NextStamp());
        out_.data_blocks.push_back(Dba(block));
      }
    }
  }

  void WriteMetadata() {
    std::vector<std::uint8_t> block(c_.block_size);
    const BlockStamp stamp = NextStamp();
    // The high-water mark: its extent and block within the extent.
    ExtentControl control;
    control.tablespace_number = c_.tablespace_number;
    control.map_count = static_cast<std::uint32_t>(maps_.size() - 1);
    control.last_map = maps_.size() > 1 ? Dba(maps_.back().block) : 0;
    control.extents = static_cast<std::uint32_t>(extents_.size());
    control.blocks = static_cast<std::uint32_t>(allocated_blocks_);
    control.hwm_dba = hwm_dba_;
    std::uint32_t below = 0;
    for (std::size_t e = 0; e < extents_.size(); ++e) {
      const ExtentDescription& x = extents_[e];
      if (hwm_dba_ >= x.first_dba && hwm_dba_ <= x.first_dba + x.block_count) {
        control.hwm_extent = static_cast<std::uint32_t>(e);
        control.hwm_block = hwm_dba_ - x.first_dba;
        control.hwm_extent_size = x.block_count;
        below += hwm_dba_ - x.first_dba;
        break;
      }
      below += x.block_count;
    }
    control.blocks_below_hwm = below;

    out_.header_dba = Dba(header_block_);
    for (std::size_t i = 0; i < maps_.size(); ++i) {
      const Map& map = maps_[i];
      const bool header = i == 0;
      const std::uint32_t rdba = Dba(header ? header_block_ : map.block);
      const std::uint32_t next = i + 1 < maps_.size() ? Dba(maps_[i + 1].block) : 0;
      const std::span<const ExtentDescription> entries(extents_.data() + map.first_extent, map.count);
      WriteExtentMapBlock(block, header ? header_type_ : map_type_, c_.format_byte, rdba, m_.object_number, entries,
                          next, stamp, std::nullopt, control, c_.assm_order);
      c_.file->Put(format::DbaBlock(rdba), block);
      if (!header) out_.extent_map_dbas.push_back(rdba);
    }
    if (assm_) {
      for (const Bitmap& l1 : l1s_) {
        WriteBitmapBlock(block, bt::kFirstLevelBitmap, c_.format_byte, Dba(l1.block), m_.object_number,
                         Dba(l2_block_), stamp, Dba(l1.first_block), l1.count);
        c_.file->Put(l1.block, block);
        out_.bitmap_blocks.push_back(Dba(l1.block));
      }
      WriteBitmapBlock(block, bt::kSecondLevelBitmap, c_.format_byte, Dba(l2_block_), m_.object_number,
                       Dba(header_block_), stamp, Dba(l1s_.front().block), static_cast<std::uint32_t>(l1s_.size()));
      c_.file->Put(l2_block_, block);
      out_.bitmap_blocks.push_back(Dba(l2_block_));
    }
    out_.extents = extents_;
    for (const ExtentDescription& x : extents_) {
      for (std::uint32_t b = 0; b < x.block_count; ++b) out_.blocks.push_back(x.first_dba + b);
    }
  }

  const SegmentModel& m_;
  const SegmentContext& c_;
  Prng prng_;
  SegmentLayout& out_;
  std::string error_;

  bool assm_ = false;
  std::uint8_t header_type_ = 0;
  std::uint8_t map_type_ = 0;
  std::uint8_t tables_ = 1;
  std::size_t reserve_ = 0;
  std::size_t empty_capacity_ = 0;
  std::size_t keys_per_block_ = 255;
  std::uint32_t scn_ = 0;

  std::vector<ExtentDescription> extents_;
  std::uint64_t allocated_blocks_ = 0;
  std::vector<Map> maps_;
  std::vector<Bitmap> l1s_;
  std::uint32_t l1_left_ = 0;
  std::vector<Coverage> coverage_;
  std::size_t coverage_cursor_ = 0;
  std::uint32_t l2_block_ = 0;
  std::uint32_t header_block_ = 0;
  std::uint32_t next_data_ = 0;
  std::uint32_t data_end_ = 0;
  std::uint32_t hwm_dba_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> unused_;  // data blocks never used, [first, end)

  std::deque<std::unique_ptr<OpenBlock>> open_;
  std::vector<std::unique_ptr<OpenBlock>> pool_;
  std::vector<ColumnSlice> slices_;
  KeyPlacement* current_key_record_ = nullptr;
  std::uint32_t latest_key_dba_ = 0;
};

}  // namespace

FirstExtent FirstExtentOf(const SegmentModel& segment, std::uint32_t block_size) {
  FirstExtent f;
  f.blocks = ExtentSize(segment, 0, block_size);
  // ASSM: the level-1 bitmaps, the level-2 bitmap, then the header.
  if (segment.space == SpaceManagement::kAssm) f.header_offset = FirstExtentBitmaps(f.blocks, block_size) + 1;
  return f;
}

bool WriteSegment(const SegmentModel& model, const SegmentContext& context, Prng prng, SegmentLayout& out,
                  std::string& error) {
  SegmentWriter w(model, context, prng, out);
  return w.Run(error);
}

}  // namespace quillon::testdb
