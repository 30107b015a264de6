#include "testdb/block_writer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "reader/bytes.h"
#include "reader/release.h"

namespace quillon::testdb {

namespace bh = format::block_header;
namespace db = format::data_block;
namespace dh = format::data_header;
namespace rw = format::row;

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
  p[bh::kFlags] = bh::kFlagChecksum;
  PutU16LE(p + bh::kChecksum, 0);
  PutU16LE(p + 18, 0);
  const std::uint32_t tail = ((stamp.scn_base & 0xFFFFu) << 16) | (static_cast<std::uint32_t>(type) << 8) |
                             stamp.sequence;
  PutU32LE(p + block.size() - bh::kTailSize, tail);
  std::uint16_t x = 0;
  for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
    x ^= static_cast<std::uint16_t>(p[i] | (p[i + 1] << 8));
  }
  PutU16LE(p + bh::kChecksum, x);
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

}  // namespace

void WriteFileHeaderBlock(std::span<std::uint8_t> block, const FileHeaderSpec& spec) {
  namespace fh = format::file_header;
  std::fill(block.begin(), block.end(), 0);
  std::uint8_t* p = block.data();
  const std::uint32_t rdba = format::MakeDba(spec.relative_file, 1);
  PutAscii(block, fh::kDatabaseName, spec.database_name, fh::kDatabaseNameSize);
  // Database id and creation SCN: values of no meaning to the reader.
  PutU32LE(p + 28, 0x5A17C0DE ^ spec.relative_file);
  PutU32LE(p + 44, spec.block_count);
  PutU32LE(p + 48, static_cast<std::uint32_t>(block.size()));
  PutU16LE(p + 52, 3);  // file type: datafile
  if (ClassifyHeaderFormat(spec.format_byte) == HeaderFormat::kLegacy) {
    p[fh::kLegacyMajorRelease] = spec.major_release;
    PutU32LE(p + fh::kLegacyAcceptance, spec.acceptance);
    PutU32LE(p + fh::kLegacyWord, spec.legacy_word);
    PutAscii(block, fh::kLegacyTablespaceName, spec.tablespace_name, fh::kTablespaceNameSize);
    PutU32LE(p + fh::kLegacyRelativeFile, spec.relative_file);
  } else {
    PutU32LE(p + fh::kSoftwareVersion, static_cast<std::uint32_t>(spec.compatibility_code) << 16);
    PutAscii(block, fh::kTablespaceName, spec.tablespace_name, fh::kTablespaceNameSize);
    PutU32LE(p + fh::kRelativeFile, spec.relative_file);
    PutU32LE(p + fh::kAcceptance, spec.acceptance);
  }
  FinishBlock(block, format::block_type::kFileHeader, spec.format_byte, rdba, spec.stamp);
}

std::size_t ExtentMapCapacity(std::size_t block_size, std::uint8_t block_type) {
  const format::ExtentMapLayout& layout =
      block_type == format::block_type::kSegmentHeader       ? format::extent_map::kFreeListHeader
      : block_type == format::block_type::kAssmSegmentHeader ? format::extent_map::kAssmHeader
                                                             : format::extent_map::kContinuation;
  const std::size_t limit = block_size - bh::kTailSize;
  return limit > layout.first_entry ? (limit - layout.first_entry) / format::extent_map::kEntrySize : 0;
}

void WriteExtentMapBlock(std::span<std::uint8_t> block, std::uint8_t block_type, std::uint8_t format_byte,
                         std::uint32_t rdba, std::uint32_t object_number, std::span<const ExtentSpec> entries,
                         std::uint32_t next_map, const BlockStamp& stamp,
                         std::optional<std::uint32_t> extent_count_override) {
  std::fill(block.begin(), block.end(), 0);
  const format::ExtentMapLayout& layout =
      block_type == format::block_type::kSegmentHeader       ? format::extent_map::kFreeListHeader
      : block_type == format::block_type::kAssmSegmentHeader ? format::extent_map::kAssmHeader
                                                             : format::extent_map::kContinuation;
  std::uint8_t* p = block.data();
  std::uint32_t total_blocks = 0;
  for (const auto& e : entries) total_blocks += e.block_count;
  // The extent control header of a segment header starts after the block
  // header: extent count and block total (what a block dump prints as
  // "#extents" and "#blocks").
  if (block_type == format::block_type::kSegmentHeader || block_type == format::block_type::kAssmSegmentHeader) {
    PutU32LE(p + 20, static_cast<std::uint32_t>(entries.size()));
    PutU32LE(p + 24, total_blocks);
  }
  PutU32LE(p + layout.extent_count, extent_count_override.value_or(static_cast<std::uint32_t>(entries.size())));
  PutU32LE(p + layout.next_map, next_map);
  PutU32LE(p + layout.object_number, object_number);
  const std::size_t capacity = ExtentMapCapacity(block.size(), block_type);
  for (std::size_t i = 0; i < entries.size() && i < capacity; ++i) {
    const std::size_t at = layout.first_entry + i * format::extent_map::kEntrySize;
    PutU32LE(p + at + format::extent_map::kEntryFirstDba, entries[i].first_dba);
    PutU32LE(p + at + format::extent_map::kEntryBlockCount, entries[i].block_count);
  }
  FinishBlock(block, block_type, format_byte, rdba, stamp);
}

void WriteBitmapBlock(std::span<std::uint8_t> block, std::uint8_t block_type, std::uint8_t format_byte,
                      std::uint32_t rdba, std::uint32_t object_number, std::uint32_t parent_dba,
                      const BlockStamp& stamp) {
  std::fill(block.begin(), block.end(), 0);
  PutU32LE(block.data() + 24, parent_dba);
  PutU32LE(block.data() + 40, object_number);
  FinishBlock(block, block_type, format_byte, rdba, stamp);
}

void AppendColumn(Bytes& out, const ColumnBytes& column) {
  if (!column) {
    out.push_back(rw::kNullLength);
    return;
  }
  const std::size_t n = column->size();
  if (n <= rw::kMaxShortLength) {
    out.push_back(static_cast<std::uint8_t>(n));
  } else {
    out.push_back(rw::kLongLength);
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(n));
  }
  out.insert(out.end(), column->begin(), column->end());
}

namespace {

void AppendAddress(Bytes& out, const RowAddress& a) {
  std::uint8_t buf[6];
  PutU32BE(buf, a.dba);
  PutU16BE(buf + 4, a.slot);
  out.insert(out.end(), buf, buf + 6);
}

}  // namespace

Bytes EncodeRowPiece(const PieceSpec& piece) {
  Bytes out;
  out.push_back(piece.flag);
  out.push_back(piece.lock);
  if (piece.flag & rw::kDeleted) return out;  // a deleted piece keeps only flag and lock
  out.push_back(static_cast<std::uint8_t>(piece.columns.size()));
  if (piece.flag & rw::kClusterKey) {
    Bytes counters(4, 0);
    PutU16LE(counters.data(), piece.key_row_count);
    out.insert(out.end(), counters.begin(), counters.end());
    AppendAddress(out, {});  // links to the key's rows in other blocks: none
    AppendAddress(out, {});
  } else {
    if (piece.flag & rw::kClusterMember) out.push_back(piece.key_index.value_or(0));
    if ((piece.flag & rw::kFirst) && !(piece.flag & rw::kHead)) AppendAddress(out, piece.head.value_or(RowAddress{}));
    if (!(piece.flag & rw::kLast)) AppendAddress(out, piece.next.value_or(RowAddress{}));
  }
  for (const auto& c : piece.columns) AppendColumn(out, c);
  return out;
}

std::size_t EncodedPieceSize(const PieceSpec& piece) { return EncodeRowPiece(piece).size(); }

DataBlockBuilder::DataBlockBuilder(std::size_t block_size, SpaceManagement space, std::uint16_t itl_count,
                                   std::uint32_t object_number, std::uint8_t table_count)
    : block_size_(block_size),
      space_(space),
      itl_count_(itl_count),
      object_number_(object_number),
      table_count_(table_count),
      header_(DataBlock::HeaderOffset(itl_count, space)),
      table_first_(table_count, 0),
      table_rows_(table_count, 0),
      row_top_(block_size - bh::kTailSize),
      rows_(block_size, 0) {}

std::size_t DataBlockBuilder::DirectoryEnd(std::size_t extra_rows) const {
  return header_ + dh::kTableDirectory + dh::kTableEntrySize * table_count_ +
         dh::kRowEntrySize * (entries_.size() + extra_rows);
}

bool DataBlockBuilder::Fits(std::size_t piece_size, std::size_t reserve) const {
  return row_top_ >= piece_size && DirectoryEnd(1) + reserve <= row_top_ - piece_size;
}

std::optional<std::uint16_t> DataBlockBuilder::AddRow(std::size_t table, std::span<const std::uint8_t> piece) {
  if (table >= table_count_ || table < current_table_ || !Fits(piece.size())) return std::nullopt;
  if (table != current_table_ || table_rows_[table] == 0) {
    for (std::size_t t = current_table_ + 1; t <= table; ++t) table_first_[t] = static_cast<std::uint16_t>(entries_.size());
    if (table_rows_[table] == 0) table_first_[table] = static_cast<std::uint16_t>(entries_.size());
    current_table_ = table;
  }
  row_top_ -= piece.size();
  std::memcpy(rows_.data() + row_top_, piece.data(), piece.size());
  entries_.push_back(static_cast<std::uint16_t>(row_top_ - header_));
  ++table_rows_[table];
  return static_cast<std::uint16_t>(entries_.size() - 1);
}

std::uint16_t DataBlockBuilder::AddFreeSlot(std::size_t table, std::uint16_t link) {
  if (table > current_table_) {
    for (std::size_t t = current_table_ + 1; t <= table && t < table_count_; ++t) {
      table_first_[t] = static_cast<std::uint16_t>(entries_.size());
    }
    current_table_ = table;
  }
  entries_.push_back(link);
  if (table < table_count_) ++table_rows_[table];
  const auto slot = static_cast<std::uint16_t>(entries_.size() - 1);
  if (free_head_ == dh::kNoOffset) free_head_ = slot;
  return slot;
}

void DataBlockBuilder::SetRowEntry(std::uint16_t slot, std::uint16_t raw) {
  if (slot < entries_.size()) entries_[slot] = raw;
}

void DataBlockBuilder::Write(std::span<std::uint8_t> block, std::uint8_t format_byte, std::uint32_t rdba,
                             const BlockStamp& stamp) const {
  assert(block.size() == block_size_);
  std::copy(rows_.begin(), rows_.end(), block.begin());
  std::fill(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(std::min(row_top_, block.size())), 0);
  std::uint8_t* p = block.data();

  // Transaction header.
  p[db::kKind] = db::kKindData;
  PutU32LE(p + db::kObjectNumber, object_number_);
  PutU32LE(p + db::kCleanoutScn, stamp.scn_base - 1);
  PutU16LE(p + db::kItlCount, itl_count_);
  p[db::kFlags] = space_ == SpaceManagement::kAssm ? db::kFlagsAssm : db::kFlagsFreeList;
  // ASSM blocks name their level-1 bitmap block here; the previous block is
  // as good a stand-in as any.
  PutU32LE(p + db::kFreeListNext, space_ == SpaceManagement::kAssm ? rdba - 1 : 0);
  for (std::size_t i = 0; i < itl_count_; ++i) {
    std::uint8_t* itl = p + db::kItlStart + i * db::kItlSize;
    if (i == 0) {
      // The first slot holds the committed transaction that loaded the block.
      PutU16LE(itl + format::itl::kXidUsn, static_cast<std::uint16_t>(1 + object_number_ % 10));
      PutU16LE(itl + format::itl::kXidSlot, static_cast<std::uint16_t>(rdba % 48));
      PutU32LE(itl + format::itl::kXidSequence, 0x100 + (rdba & 0xFFF));
      PutU32LE(itl + format::itl::kUbaDba, 0x00800000 | (rdba & 0x3FF));
      PutU16LE(itl + format::itl::kUbaSequence, static_cast<std::uint16_t>(rdba & 0xFFFF));
      itl[format::itl::kUbaRecord] = 1;
      PutU16LE(itl + format::itl::kFlagsAndLocks, format::itl::kFlagCommitted);
      PutU32LE(itl + format::itl::kScnBase, stamp.scn_base - 1);
    }
  }

  // Data header.
  const std::size_t h = header_;
  const std::size_t directory_end = DirectoryEnd(0);
  p[h + dh::kFlags] = 0;
  p[h + dh::kTableCount] = table_count_;
  PutU16LE(p + h + dh::kRowCount, static_cast<std::uint16_t>(entries_.size()));
  PutU16LE(p + h + dh::kFirstFreeRow, free_head_);
  PutU16LE(p + h + dh::kFreeSpaceBegin, static_cast<std::uint16_t>(directory_end - h));
  PutU16LE(p + h + dh::kFreeSpaceEnd, static_cast<std::uint16_t>(row_top_ - h));
  const std::size_t avail = row_top_ > directory_end ? row_top_ - directory_end : 0;
  PutU16LE(p + h + dh::kAvailableSpace, static_cast<std::uint16_t>(avail));
  PutU16LE(p + h + dh::kTotalSpace, static_cast<std::uint16_t>(avail));
  for (std::size_t t = 0; t < table_count_; ++t) {
    const std::size_t at = h + dh::kTableDirectory + t * dh::kTableEntrySize;
    PutU16LE(p + at + dh::kTableEntryFirstRow, table_rows_[t] ? table_first_[t] : static_cast<std::uint16_t>(entries_.size()));
    PutU16LE(p + at + dh::kTableEntryRowCount, table_rows_[t]);
  }
  const std::size_t rows_at = h + dh::kTableDirectory + dh::kTableEntrySize * table_count_;
  for (std::size_t i = 0; i < entries_.size(); ++i) PutU16LE(p + rows_at + 2 * i, entries_[i]);
  FinishBlock(block, format::block_type::kData, format_byte, rdba, stamp);
}

}  // namespace quillon::testdb
