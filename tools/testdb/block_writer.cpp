#include "testdb/block_writer.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "reader/bytes.h"
#include "reader/release.h"

namespace quillon::testdb {

namespace bh = format::block_header;
namespace bt = format::block_type;
namespace db = format::data_block;
namespace dh = format::data_header;
namespace rw = format::row;

std::uint16_t BlockXor(std::span<const std::uint8_t> block) {
  // Eight bytes at a time: the XOR of the four 16-bit lanes folds to the XOR
  // of every 16-bit word.
  std::uint64_t wide = 0;
  std::size_t i = 0;
  for (; i + 8 <= block.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, block.data() + i, 8);
    wide ^= w;
  }
  std::uint16_t x = static_cast<std::uint16_t>(wide ^ (wide >> 16) ^ (wide >> 32) ^ (wide >> 48));
  if constexpr (std::endian::native == std::endian::big) {
    x = static_cast<std::uint16_t>((x >> 8) | (x << 8));
  }
  for (; i + 1 < block.size(); i += 2) x ^= static_cast<std::uint16_t>(block[i] | (block[i + 1] << 8));
  return x;
}

void FinishBlock(std::span<std::uint8_t> block, std::uint8_t type, std::uint8_t format_byte,
                 std::uint32_t rdba, const BlockStamp& stamp) {
  std::uint8_t* p = block.data();
  p[bh::kType] = type;
  p[bh::kFormat] = format_byte;
  p[2] = 0;
  p[3] = 0;
  PutU32LE(p + bh::kRdba, rdba);
  PutU32LE(p + bh::kScnBase, stamp.scn_base);
  PutU16LE(p + bh::kScnWrap, stamp.scn_wrap);
  p[bh::kSequence] = stamp.sequence;
  p[bh::kFlags] = stamp.checksum ? bh::kFlagChecksum : 0;
  PutU16LE(p + bh::kChecksum, 0);
  PutU16LE(p + 18, 0);
  const std::uint32_t tail = ((stamp.scn_base & 0xFFFFu) << 16) | (static_cast<std::uint32_t>(type) << 8) |
                             stamp.sequence;
  PutU32LE(p + block.size() - bh::kTailSize, tail);
  if (stamp.checksum) PutU16LE(p + bh::kChecksum, BlockXor(block));
}

void RefreshChecksum(std::span<std::uint8_t> block) {
  if (block.size() < bh::kSize || (block[bh::kFlags] & bh::kFlagChecksum) == 0) return;
  PutU16LE(block.data() + bh::kChecksum, 0);
  PutU16LE(block.data() + bh::kChecksum, BlockXor(block));
}

void WriteOsHeaderBlock(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t block_size,
                        std::uint32_t block_count) {
  std::fill(block.begin(), block.end(), 0);
  block[bh::kFormat] = format_byte;
  PutU32LE(block.data() + format::os_header::kBlockSize, block_size);
  PutU32LE(block.data() + format::os_header::kBlockCount, block_count);
  PutU32LE(block.data() + format::os_header::kMagic, format::os_header::kMagicValue);
}

namespace {

void PutAscii(std::span<std::uint8_t> block, std::size_t offset, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width && i < text.size(); ++i) {
    block[offset + i] = static_cast<std::uint8_t>(text[i]);
  }
}

// Offsets of the generic file header and of the datafile header fields the
// reader does not use (block dumps call them kccfh and kcvfh).
namespace kcc {
constexpr std::size_t kSoftwareVersion = 20;
constexpr std::size_t kCompatibilityVersion = 24;
constexpr std::size_t kDatabaseId = 28;
constexpr std::size_t kControlSequence = 40;
constexpr std::size_t kFileBlocks = 44;
constexpr std::size_t kBlockSize = 48;
constexpr std::size_t kFileNumber = 52;
constexpr std::size_t kFileType = 54;
constexpr std::size_t kCreationScn = 100;
constexpr std::size_t kCreationTime = 108;
constexpr std::size_t kStatus = 138;
constexpr std::size_t kCheckpointCount = 140;
// The tablespace number and the name's length stand just before the name.
constexpr std::size_t kTablespaceNumberBeforeName = 6;
constexpr std::size_t kTablespaceLengthBeforeName = 2;
constexpr std::size_t kCheckpointScn = 484;
}  // namespace kcc

namespace ktech = format::extent_control;
// The flag word of every map follows its data object number.
constexpr std::size_t kMapFlagAfterObject = 4;

const format::ExtentMapLayout& LayoutOf(std::uint8_t block_type) {
  return block_type == bt::kSegmentHeader || block_type == bt::kLobSegmentHeader
             ? format::extent_map::kFreeListHeader
         : block_type == bt::kAssmSegmentHeader ? format::extent_map::kAssmHeader
                                                : format::extent_map::kContinuation;
}

}  // namespace

void WriteGenericFileHeader(std::span<std::uint8_t> block, const GenericFileHeader& h) {
  std::uint8_t* p = block.data();
  PutU32LE(p + kcc::kSoftwareVersion, h.software_version);
  PutU32LE(p + kcc::kCompatibilityVersion, h.compatibility_version);
  PutU32LE(p + kcc::kDatabaseId, h.database_id);
  PutAscii(block, format::file_header::kDatabaseName, h.database_name, format::file_header::kDatabaseNameSize);
  PutU32LE(p + kcc::kControlSequence, h.control_sequence);
  PutU32LE(p + kcc::kFileBlocks, h.file_blocks);
  PutU32LE(p + kcc::kBlockSize, h.block_size);
  PutU16LE(p + kcc::kFileNumber, h.file_number);
  PutU16LE(p + kcc::kFileType, h.file_type);
}

void WriteFileHeaderBlock(std::span<std::uint8_t> block, const FileHeaderDescription& wanted) {
  namespace fh = format::file_header;
  std::fill(block.begin(), block.end(), 0);
  std::uint8_t* p = block.data();
  const bool legacy = ClassifyHeaderFormat(wanted.format_byte) == HeaderFormat::kLegacy;
  GenericFileHeader g;
  if (legacy) {
    // 8.1.7.4 or 9.2.0.1: the major release is the top byte (offset 23).
    g.software_version = wanted.software_version != 0
                             ? wanted.software_version
                             : (static_cast<std::uint32_t>(wanted.major_release) << 24) | 0x00100000;
    g.compatibility_version = (static_cast<std::uint32_t>(wanted.major_release) << 24) | 0x00100000;
  } else {
    g.software_version = wanted.software_version != 0
                             ? wanted.software_version
                             : (static_cast<std::uint32_t>(wanted.compatibility_code) << 16) | 0x0100;
    g.compatibility_version = static_cast<std::uint32_t>(wanted.compatibility_code) << 16;
  }
  g.database_id = wanted.database_id;
  g.database_name = wanted.database_name;
  g.file_blocks = wanted.block_count;
  g.block_size = static_cast<std::uint32_t>(block.size());
  g.file_number = static_cast<std::uint16_t>(wanted.relative_file);
  g.file_type = 3;
  WriteGenericFileHeader(block, g);
  PutU32LE(p + kcc::kCreationTime, 0x2A5C6E7B ^ wanted.relative_file);
  PutU16LE(p + kcc::kStatus, 0x0004);
  PutU32LE(p + kcc::kCheckpointCount, 0x40 + wanted.relative_file);
  const std::size_t name_at = legacy ? fh::kLegacyTablespaceName : fh::kTablespaceName;
  PutU32LE(p + name_at - kcc::kTablespaceNumberBeforeName, wanted.tablespace_number);
  PutU16LE(p + name_at - kcc::kTablespaceLengthBeforeName,
           static_cast<std::uint16_t>(std::min(wanted.tablespace_name.size(), fh::kTablespaceNameSize)));
  PutAscii(block, name_at, wanted.tablespace_name, fh::kTablespaceNameSize);
  if (legacy) {
    // The creation SCN is the word the reader takes as the acceptance word.
    PutU32LE(p + fh::kLegacyAcceptance, wanted.acceptance);
    PutU32LE(p + fh::kLegacyRelativeFile, wanted.relative_file);
  } else {
    PutU32LE(p + kcc::kCreationScn, wanted.creation_scn);
    PutU32LE(p + fh::kRelativeFile, wanted.relative_file);
    PutU32LE(p + kcc::kCheckpointScn, wanted.checkpoint_scn);
    PutU32LE(p + fh::kAcceptance, wanted.acceptance);
  }
  FinishBlock(block, bt::kFileHeader, wanted.format_byte, format::MakeDba(wanted.relative_file, 1), wanted.stamp);
}

std::size_t ExtentMapCapacity(std::size_t block_size, std::uint8_t block_type) {
  if (block_type == bt::kAssmSegmentHeader) return format::AssmHeaderCapacity(block_size);
  const std::size_t first = LayoutOf(block_type).first_entry;
  const std::size_t limit = block_size - bh::kTailSize;
  return limit > first ? (limit - first) / format::extent_map::kEntrySize : 0;
}

std::size_t DefaultExtentsPerMap(std::size_t block_size, std::uint8_t block_type) {
  const std::size_t room = ExtentMapCapacity(block_size, block_type);
  // The capacity of an ASSM header already leaves room for its bitmap
  // directory.
  return block_type == bt::kExtentMap || block_type == bt::kAssmSegmentHeader ? room : room / 2;
}

const format::AssmMapOrder& MapOrderOf(AssmHeaderOrder order) {
  switch (order) {
    case AssmHeaderOrder::kNextCountObject: return format::assm_header::kNextCountObject;
    case AssmHeaderOrder::kNextAt260: return format::assm_header::kNextAt260;
    case AssmHeaderOrder::kCountNextObject: break;
  }
  return format::assm_header::kCountNextObject;
}

void WriteExtentMapBlock(std::span<std::uint8_t> block, std::uint8_t block_type, std::uint8_t format_byte,
                         std::uint32_t rdba, std::uint32_t object_number, std::span<const ExtentDescription> entries,
                         std::uint32_t next_map, const BlockStamp& stamp,
                         std::optional<std::uint32_t> extent_count_override, const ExtentControl& control,
                         AssmHeaderOrder order) {
  std::fill(block.begin(), block.end(), 0);
  const format::ExtentMapLayout& layout = LayoutOf(block_type);
  std::uint8_t* p = block.data();
  const std::size_t capacity = ExtentMapCapacity(block.size(), block_type);
  const std::size_t written = std::min(entries.size(), capacity);
  if (block_type == bt::kSegmentHeader || block_type == bt::kAssmSegmentHeader ||
      block_type == bt::kLobSegmentHeader) {
    PutU32LE(p + ktech::kTablespace, control.tablespace_number);
    PutU32LE(p + ktech::kLastMap, control.last_map);
    PutU32LE(p + ktech::kMapCount, control.map_count);
    PutU32LE(p + ktech::kExtents, control.extents);
    PutU32LE(p + ktech::kBlocks, control.blocks);
    PutU16LE(p + ktech::kMapEnd,
             static_cast<std::uint16_t>(layout.first_entry + DefaultExtentsPerMap(block.size(), block_type) *
                                                                 format::extent_map::kEntrySize));
    PutU32LE(p + ktech::kHwmExtent, control.hwm_extent);
    PutU32LE(p + ktech::kHwmBlock, control.hwm_block);
    PutU32LE(p + ktech::kHwmExtentSize, control.hwm_extent_size);
    PutU32LE(p + ktech::kHwmDba, control.hwm_dba);
    PutU32LE(p + ktech::kBlocksBelow, control.blocks_below_hwm);
  }
  const std::uint32_t count = extent_count_override.value_or(static_cast<std::uint32_t>(entries.size()));
  const bool assm = block_type == bt::kAssmSegmentHeader || block_type == bt::kAssmExtentMap;
  const std::uint32_t flag = assm ? format::extent_map::kAssmMapFlag : format::extent_map::kFreeListMapFlag;
  if (block_type == bt::kAssmSegmentHeader) {
    const format::AssmMapOrder& o = MapOrderOf(order);
    PutU32LE(p + o.next_map, next_map);
    PutU32LE(p + o.extent_count, count);
    PutU32LE(p + o.object_number, object_number);
    PutU32LE(p + o.flag, flag);
  } else {
    PutU32LE(p + layout.extent_count, count);
    PutU32LE(p + layout.next_map, next_map);
    PutU32LE(p + layout.object_number, object_number);
    PutU32LE(p + layout.object_number + kMapFlagAfterObject, flag);
  }
  for (std::size_t i = 0; i < written; ++i) {
    const std::size_t at = layout.first_entry + i * format::extent_map::kEntrySize;
    PutU32LE(p + at + format::extent_map::kEntryFirstDba, entries[i].first_dba);
    PutU32LE(p + at + format::extent_map::kEntryBlockCount, entries[i].block_count);
  }
  FinishBlock(block, block_type, format_byte, rdba, stamp);
}

void WriteBitmapBlock(std::span<std::uint8_t> block, std::uint8_t block_type, std::uint8_t format_byte,
                      std::uint32_t rdba, std::uint32_t object_number, std::uint32_t parent_dba,
                      const BlockStamp& stamp, std::uint32_t range_first_dba, std::uint32_t range_blocks) {
  std::fill(block.begin(), block.end(), 0);
  PutU32LE(block.data() + 24, parent_dba);
  PutU32LE(block.data() + 40, object_number);
  PutU32LE(block.data() + 48, range_first_dba);
  PutU32LE(block.data() + 52, range_blocks);
  FinishBlock(block, block_type, format_byte, rdba, stamp);
}

ColumnSlice SliceOf(const ColumnBytes& column) {
  if (!column) return {nullptr, 0, true};
  return {column->data(), static_cast<std::uint32_t>(column->size()), false};
}

std::size_t EncodedColumnSize(bool is_null, std::size_t length) {
  if (is_null) return 1;
  return length + (length <= rw::kMaxShortLength ? 1 : 3);
}

std::size_t PieceHeaderSize(std::uint8_t flag) {
  if (flag & rw::kDeleted) return 2;
  if (flag & rw::kClusterKey) return rw::kKeyRowHeaderSize;
  std::size_t n = rw::kHeaderSize;
  if (flag & rw::kClusterMember) n += rw::kMemberKeyIndexSize;
  if ((flag & rw::kFirst) && !(flag & rw::kHead)) n += rw::kRowAddressSize;
  if (!(flag & rw::kLast)) n += rw::kRowAddressSize;
  return n;
}

namespace {

std::uint8_t* PutAddress(std::uint8_t* out, const RowAddress& a) {
  PutU32BE(out, a.dba);
  PutU16BE(out + 4, a.slot);
  return out + rw::kRowAddressSize;
}

}  // namespace

std::uint8_t* WritePieceHeader(std::uint8_t* out, const PieceHeader& h) {
  *out++ = h.flag;
  *out++ = h.lock;
  if (h.flag & rw::kDeleted) return out;  // a deleted piece keeps only flag and lock
  *out++ = h.column_count;
  if (h.flag & rw::kClusterKey) {
    PutU16LE(out, h.key_rows);      // rows under the key
    PutU16LE(out + 2, h.key_rows);  // of which committed
    out = PutAddress(out + 4, h.key_prev);
    return PutAddress(out, h.key_next);
  }
  if (h.flag & rw::kClusterMember) *out++ = h.key_index;
  if ((h.flag & rw::kFirst) && !(h.flag & rw::kHead)) out = PutAddress(out, h.head);
  if (!(h.flag & rw::kLast)) out = PutAddress(out, h.next);
  return out;
}

std::uint8_t* WriteColumn(std::uint8_t* out, const ColumnSlice& c) {
  if (c.is_null) {
    *out++ = rw::kNullLength;
    return out;
  }
  if (c.size <= rw::kMaxShortLength) {
    *out++ = static_cast<std::uint8_t>(c.size);
  } else {
    *out++ = rw::kLongLength;
    *out++ = static_cast<std::uint8_t>(c.size >> 8);
    *out++ = static_cast<std::uint8_t>(c.size);
  }
  if (c.size != 0) std::memcpy(out, c.data, c.size);
  return out + c.size;
}

void AppendColumn(Bytes& out, const ColumnBytes& column) {
  const ColumnSlice c = SliceOf(column);
  const std::size_t at = out.size();
  out.resize(at + EncodedColumnSize(c));
  WriteColumn(out.data() + at, c);
}

Bytes EncodeRowPiece(const PieceDescription& piece) {
  PieceHeader h;
  h.flag = piece.flag;
  h.lock = piece.lock;
  h.column_count = static_cast<std::uint8_t>(piece.columns.size());
  h.head = piece.head.value_or(RowAddress{});
  h.next = piece.next.value_or(RowAddress{});
  h.key_index = piece.key_index.value_or(0);
  h.key_rows = piece.key_row_count;
  Bytes out(PieceHeaderSize(piece.flag));
  WritePieceHeader(out.data(), h);
  if (piece.flag & rw::kDeleted) return out;
  for (const auto& c : piece.columns) AppendColumn(out, c);
  return out;
}

std::size_t EncodedPieceSize(const PieceDescription& piece) {
  std::size_t n = PieceHeaderSize(piece.flag);
  if (piece.flag & rw::kDeleted) return n;
  for (const auto& c : piece.columns) n += EncodedColumnSize(!c.has_value(), c ? c->size() : 0);
  return n;
}

void WriteTransactionHeader(std::span<std::uint8_t> block, const TransactionHeader& t, std::uint32_t rdba,
                            const BlockStamp& stamp) {
  std::uint8_t* p = block.data();
  p[db::kKind] = t.kind;
  PutU32LE(p + db::kObjectNumber, t.object_number);
  PutU32LE(p + db::kCleanoutScn, stamp.scn_base - 1);
  PutU16LE(p + db::kItlCount, t.itl_count);
  p[db::kFlags] = t.space == SpaceManagement::kAssm ? db::kFlagsAssm : db::kFlagsFreeList;
  PutU32LE(p + db::kFreeListNext, t.space == SpaceManagement::kAssm ? t.bitmap_dba : 0);
  for (std::size_t i = 0; i < t.itl_count; ++i) {
    std::uint8_t* itl = p + db::kItlStart + i * db::kItlSize;
    const bool loader = i == 0;
    const bool deleter = t.locked_rows != 0 && i + 1 == t.deleting_itl;
    if (!loader && !deleter) continue;
    // The first slot holds the committed transaction that loaded the block,
    // the deleting one a committed transaction not yet cleaned out.
    const std::uint32_t salt = rdba + static_cast<std::uint32_t>(i) * 7;
    PutU16LE(itl + format::itl::kXidUsn, static_cast<std::uint16_t>(1 + (t.object_number + i) % 10));
    PutU16LE(itl + format::itl::kXidSlot, static_cast<std::uint16_t>(salt % 48));
    PutU32LE(itl + format::itl::kXidSequence, 0x100 + (salt & 0xFFF));
    PutU32LE(itl + format::itl::kUbaDba, 0x00800000 | (salt & 0x3FF));
    PutU16LE(itl + format::itl::kUbaSequence, static_cast<std::uint16_t>(salt & 0xFFFF));
    itl[format::itl::kUbaRecord] = static_cast<std::uint8_t>(1 + i);
    if (loader) {
      PutU16LE(itl + format::itl::kFlagsAndLocks, format::itl::kFlagCommitted);
      PutU32LE(itl + format::itl::kScnBase, stamp.scn_base - 1);
    } else {
      // "--U-": committed with an upper-bound SCN, rows still locked.
      PutU16LE(itl + format::itl::kFlagsAndLocks,
               static_cast<std::uint16_t>(0x2000 | std::min<std::uint32_t>(t.locked_rows, 0xFFF)));
      PutU32LE(itl + format::itl::kScnBase, stamp.scn_base);
    }
  }
}

DataBlockBuilder::DataBlockBuilder(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                                   std::uint32_t object_number, std::uint8_t table_count) {
  Reset(block_size, space, itl_count, object_number, table_count);
}

void DataBlockBuilder::Reset(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                             std::uint32_t object_number, std::uint8_t table_count) {
  // Every reserved byte is written before the block is, so the row area
  // needs no clearing between blocks.
  if (rows_.size() != block_size) rows_.assign(block_size, 0);
  block_size_ = block_size;
  space_ = space;
  itl_count_ = itl_count;
  object_number_ = object_number;
  table_count_ = table_count;
  header_ = DataBlock::HeaderOffset(itl_count, space);
  if (tables_.size() < table_count) tables_.resize(table_count);
  for (auto& t : tables_) t.clear();
  entries_ = 0;
  row_top_ = block_size - bh::kTailSize;
  used_from_ = row_top_;
  bitmap_dba_ = 0;
  locked_rows_ = 0;
}

std::uint16_t DataBlockBuilder::row_count() const { return static_cast<std::uint16_t>(entries_); }

std::size_t DataBlockBuilder::DirectoryEnd(std::size_t extra_rows) const {
  return header_ + dh::kTableDirectory + dh::kTableEntrySize * table_count_ +
         dh::kRowEntrySize * (entries_ + extra_rows);
}

std::size_t DataBlockBuilder::FreeSpace(std::size_t reserve) const {
  const std::size_t end = DirectoryEnd(1) + reserve;
  return row_top_ > end ? row_top_ - end : 0;
}

std::optional<RowSlot> DataBlockBuilder::Reserve(std::size_t table, std::size_t size) {
  if (table >= table_count_ || !Fits(size)) return std::nullopt;
  row_top_ -= size;
  used_from_ = std::min(used_from_, row_top_);
  tables_[table].push_back(static_cast<std::uint32_t>(row_top_ - header_));
  ++entries_;
  return RowSlot{static_cast<std::uint16_t>(tables_[table].size() - 1), row_top_};
}

std::optional<std::uint16_t> DataBlockBuilder::AddRow(std::size_t table, std::span<const std::uint8_t> piece) {
  const auto slot = Reserve(table, piece.size());
  if (!slot) return std::nullopt;
  if (!piece.empty()) std::memcpy(rows_.data() + slot->offset, piece.data(), piece.size());
  return slot->index;
}

std::uint16_t DataBlockBuilder::AddFreeSlot(std::size_t table) {
  tables_[table].push_back(kFreeSlotMark);
  ++entries_;
  return static_cast<std::uint16_t>(tables_[table].size() - 1);
}

std::uint16_t DataBlockBuilder::AddFreeSlot(std::size_t table, std::uint16_t link) {
  tables_[table].push_back(link);
  ++entries_;
  return static_cast<std::uint16_t>(tables_[table].size() - 1);
}

void DataBlockBuilder::SetRowEntry(std::size_t table, std::uint16_t index, std::uint16_t raw) {
  if (table < table_count_ && index < tables_[table].size()) tables_[table][index] = raw;
}

void DataBlockBuilder::Write(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t rdba,
                             const BlockStamp& stamp) const {
  assert(block.size() == block_size_);
  std::uint8_t* p = block.data();
  const std::size_t directory_end = DirectoryEnd(0);
  std::memset(p, 0, row_top_);
  std::memcpy(p + row_top_, rows_.data() + row_top_, block_size_ - row_top_);

  WriteTransactionHeader(block, {db::kKindData, space_, itl_count_, object_number_, bitmap_dba_, locked_rows_,
                                 deleting_itl()},
                         rdba, stamp);

  // Data header.
  const std::size_t h = header_;
  p[h + dh::kFlags] = 0;
  p[h + dh::kTableCount] = table_count_;
  PutU16LE(p + h + dh::kRowCount, static_cast<std::uint16_t>(entries_));
  PutU16LE(p + h + dh::kFreeSpaceBegin, static_cast<std::uint16_t>(directory_end - h));
  PutU16LE(p + h + dh::kFreeSpaceEnd, static_cast<std::uint16_t>(row_top_ - h));
  const std::size_t avail = row_top_ > directory_end ? row_top_ - directory_end : 0;
  PutU16LE(p + h + dh::kAvailableSpace, static_cast<std::uint16_t>(avail));
  PutU16LE(p + h + dh::kTotalSpace, static_cast<std::uint16_t>(avail));
  std::size_t index = 0;
  std::uint16_t first_free = dh::kNoOffset;
  std::size_t last_free_at = 0;
  const std::size_t rows_at = h + dh::kTableDirectory + dh::kTableEntrySize * table_count_;
  for (std::size_t t = 0; t < table_count_; ++t) {
    const std::size_t at = h + dh::kTableDirectory + t * dh::kTableEntrySize;
    PutU16LE(p + at + dh::kTableEntryFirstRow, static_cast<std::uint16_t>(index));
    PutU16LE(p + at + dh::kTableEntryRowCount, static_cast<std::uint16_t>(tables_[t].size()));
    for (const std::uint32_t e : tables_[t]) {
      std::uint8_t* entry = p + rows_at + dh::kRowEntrySize * index;
      if (e == kFreeSlotMark) {
        // Free slots form a list: the header names the first, each names the
        // next, the last holds 0xFFFF.
        PutU16LE(entry, dh::kNoOffset);
        if (first_free == dh::kNoOffset) {
          first_free = static_cast<std::uint16_t>(index);
        } else {
          PutU16LE(p + last_free_at, static_cast<std::uint16_t>(index));
        }
        last_free_at = rows_at + dh::kRowEntrySize * index;
      } else {
        PutU16LE(entry, static_cast<std::uint16_t>(e));
      }
      ++index;
    }
  }
  PutU16LE(p + h + dh::kFirstFreeRow, first_free);
  FinishBlock(block, bt::kData, format_byte, rdba, stamp);
}

}  // namespace quillon::testdb
