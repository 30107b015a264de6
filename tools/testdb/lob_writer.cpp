#include "testdb/lob_writer.h"

#include <algorithm>
#include <fstream>

#include "reader/format.h"

namespace quillon::testdb {

namespace {

namespace bt = format::block_type;
namespace loc = format::lob_locator;
namespace lp = format::lob_page;

void PutId(std::uint8_t* p, std::uint32_t page_key, std::uint16_t id_high) {
  const auto id = LobIdentifier(page_key, id_high);
  std::copy(id.begin(), id.end(), p);
}

// The locator's fixed part and, when it has one, the inode's header; total
// is the stored length.
Bytes LocatorHead(const LocatorDescription& wanted, std::size_t total, bool inode) {
  Bytes out(total, 0);
  PutU16BE(out.data() + loc::kLength, loc::kLengthWord);
  PutU16BE(out.data() + loc::kLocatorVersion, 1);
  out[loc::kTypeFlag] = wanted.character ? loc::kTypeClob : loc::kTypeBlob;
  out[loc::kStorageFlag] = static_cast<std::uint8_t>(loc::kStorageInitBit | (wanted.storage_in_row ? loc::kStorageInRowBit : 0));
  PutU16BE(out.data() + loc::kByteLength, wanted.byte_length);
  PutId(out.data() + loc::kLobId, wanted.page_key, wanted.id_high);
  if (inode) {
    PutU16BE(out.data() + loc::kInodeSize, static_cast<std::uint16_t>(total - loc::kHeadSize));
    PutU16BE(out.data() + loc::kVersionWrap, static_cast<std::uint16_t>(wanted.version >> 32));
    PutU32BE(out.data() + loc::kVersionBase, static_cast<std::uint32_t>(wanted.version));
  }
  return out;
}

class SegmentWriter {
 public:
  SegmentWriter(std::fstream* file, std::uint32_t relative_file, std::uint32_t block_size, std::uint8_t format_byte,
                std::uint32_t first_block, const LobSegmentDescription& wanted, LobSegmentWritten& out)
      : file_(file), file_no_(relative_file), bs_(block_size), format_(format_byte), wanted_(wanted), out_(out),
        next_block_(first_block), image_(block_size) {}

  bool Run(std::string& error) {
    const bool assm = wanted_.space == SpaceManagement::kAssm;
    for (const LobValue& lob : wanted_.lobs) {
      if (lob.data.empty()) {
        error = "an out-of-line LOB needs at least one byte";
        return false;
      }
      WriteLob(lob);
      if (wanted_.decoy && &lob == &wanted_.lobs.front()) {
        // Another segment's page with the same identifier and a higher version.
        WritePage(Next(1), wanted_.object_number + 1, lob, lob.version + 7, 0, {}, 0x5A);
      }
    }
    if (extents_.empty()) AllocateExtent();
    WriteMaps(assm ? bt::kAssmSegmentHeader : bt::kLobSegmentHeader, assm ? bt::kAssmExtentMap : bt::kExtentMap);
    out_.extents = extents_;
    out_.end_block = next_block_;
    if (file_ == nullptr) return true;  // a plan: nothing was written
    file_->flush();
    if (!*file_) error = "cannot write the LOB segment";
    return static_cast<bool>(*file_);
  }

 private:
  std::uint32_t Dba(std::uint32_t block) const { return format::MakeDba(file_no_, block); }

  void AllocateExtent() {
    const std::uint32_t start = next_block_;
    next_block_ += wanted_.extent_blocks + wanted_.gap_blocks;
    const std::size_t index = extents_.size();
    extents_.push_back({Dba(start), wanted_.extent_blocks});
    std::uint32_t data = start;
    if (index == 0) {
      header_block_ = data++;
    } else if (index % wanted_.extents_per_map == 0) {
      map_blocks_.push_back(data++);
    }
    free_ = data;
    end_ = start + wanted_.extent_blocks;
  }

  // n consecutive blocks of one extent.
  std::uint32_t Next(std::uint32_t n) {
    if (extents_.empty() || free_ + n > end_) AllocateExtent();
    const std::uint32_t first = free_;
    free_ += n;
    return first;
  }

  void Put(std::uint32_t block) {
    if (file_ == nullptr) return;
    file_->seekp(static_cast<std::streamoff>(block) * bs_);
    file_->write(reinterpret_cast<const char*>(image_.data()), static_cast<std::streamsize>(image_.size()));
  }

  // One LOB data block; filler (when not 0) is xored into the data (an
  // older copy, a decoy).
  void WritePage(std::uint32_t block, std::uint32_t object, const LobValue& lob, std::uint32_t version,
                 std::uint32_t page, ByteView data, std::uint8_t filler) {
    std::fill(image_.begin(), image_.end(), 0);
    std::uint8_t* p = image_.data();
    PutU32LE(p + lp::kObjectNumber, object);
    PutId(p + lp::kLobId, lob.page_key, lob.id_high);
    PutU32LE(p + lp::kVersion, version);
    PutU32LE(p + lp::kPageNumber, page);
    const std::size_t room = LobPageBytes(bs_);
    for (std::size_t i = 0; i < room; ++i) {
      const std::uint8_t byte = i < data.size() ? data.data()[i] : static_cast<std::uint8_t>(0xE0 + i % 16);
      p[lp::kData + i] = static_cast<std::uint8_t>(byte ^ filler);
    }
    BlockStamp stamp;
    stamp.scn_base = 0x00200000 + block;
    FinishBlock(image_, wanted_.space == SpaceManagement::kAssm ? lp::kTypeAssm : lp::kType, format_, Dba(block), stamp);
    Put(block);
  }

  // Returns the DBA of the chunk's first block.
  std::uint32_t WriteChunk(const LobValue& lob, std::uint32_t page, std::uint32_t version, std::uint8_t filler) {
    const std::uint32_t chunk = std::max<std::uint32_t>(1, wanted_.chunk);
    const std::uint32_t first = Next(chunk);
    const std::size_t room = LobPageBytes(bs_);
    for (std::uint32_t place = 0; place < chunk; ++place) {
      const std::size_t from = (static_cast<std::size_t>(page) * chunk + place) * room;
      const std::size_t n = from < lob.data.size() ? std::min(room, lob.data.size() - from) : 0;
      WritePage(first + place, wanted_.object_number, lob, version, page,
                ByteView(lob.data.data() + std::min(from, lob.data.size()), n), filler);
    }
    return Dba(first);
  }

  void WriteLob(const LobValue& lob) {
    const std::size_t per_chunk = LobPageBytes(bs_) * std::max<std::uint32_t>(1, wanted_.chunk);
    const auto pages = static_cast<std::uint32_t>((lob.data.size() + per_chunk - 1) / per_chunk);
    auto& chunks = out_.chunk_dbas.emplace_back();
    for (std::uint32_t page = 0; page < pages; ++page) {
      const bool rewritten =
          std::find(lob.rewritten_pages.begin(), lob.rewritten_pages.end(), page) != lob.rewritten_pages.end();
      if (rewritten && lob.old_copy_first) WriteChunk(lob, page, lob.version - 1, 0x33);
      chunks.push_back(WriteChunk(lob, page, lob.version, 0));
      if (rewritten && !lob.old_copy_first) WriteChunk(lob, page, lob.version - 1, 0x33);
    }
  }

  void WriteMaps(std::uint8_t header_type, std::uint8_t map_type) {
    ExtentControl control;
    control.extents = static_cast<std::uint32_t>(extents_.size());
    control.map_count = static_cast<std::uint32_t>(map_blocks_.size());
    control.last_map = map_blocks_.empty() ? 0 : Dba(map_blocks_.back());
    for (const auto& e : extents_) control.blocks += e.block_count;
    const std::size_t maps = 1 + map_blocks_.size();
    for (std::size_t m = 0; m < maps; ++m) {
      const std::size_t first = m * wanted_.extents_per_map;
      const std::size_t count = std::min<std::size_t>(wanted_.extents_per_map, extents_.size() - first);
      const std::uint32_t block = m == 0 ? header_block_ : map_blocks_[m - 1];
      const std::uint32_t next = m + 1 < maps ? Dba(map_blocks_[m]) : 0;
      std::fill(image_.begin(), image_.end(), 0);
      WriteExtentMapBlock(image_, m == 0 ? header_type : map_type, format_, Dba(block), wanted_.object_number,
                          std::span<const ExtentDescription>(extents_.data() + first, count), next, BlockStamp{}, std::nullopt,
                          control, wanted_.assm_order);
      Put(block);
      if (m > 0) out_.map_dbas.push_back(Dba(block));
    }
    out_.header_dba = Dba(header_block_);
  }

  std::fstream* file_;  // nullptr: plan only
  std::uint32_t file_no_;
  std::uint32_t bs_;
  std::uint8_t format_;
  const LobSegmentDescription& wanted_;
  LobSegmentWritten& out_;
  std::uint32_t next_block_;
  std::uint32_t free_ = 0;
  std::uint32_t end_ = 0;
  std::uint32_t header_block_ = 0;
  std::vector<std::uint32_t> map_blocks_;
  std::vector<ExtentDescription> extents_;
  Bytes image_;
};

}  // namespace

std::array<std::uint8_t, 10> LobIdentifier(std::uint32_t page_key, std::uint16_t id_high) {
  static_assert(loc::kLobIdSize == 10 && lp::kLobIdSize == 10);
  std::array<std::uint8_t, 10> id{};
  id[3] = 0x01;
  PutU16BE(id.data() + 4, id_high);
  PutU32LE(id.data() + (loc::kPageKey - loc::kLobId), page_key);
  return id;
}

std::size_t LobPageBytes(std::uint32_t block_size) {
  return block_size > lp::kOverhead ? block_size - lp::kOverhead : 0;
}

Bytes OutOfLineLobLocator(const LocatorDescription& wanted, std::size_t length, std::uint32_t block_size,
                          std::span<const std::uint32_t> chunk_dbas) {
  const std::size_t room = LobPageBytes(block_size);
  const std::size_t blocks = length == 0 || room == 0 ? 0 : (length + room - 1) / room;
  if (!wanted.storage_in_row) {
    // No inode: the LOB's size is kept in its LOB index, not here.
    return LocatorHead(wanted, loc::kHeadSize, false);
  }
  const std::size_t listed = std::min(chunk_dbas.size(), loc::kMaxChunkDbas);
  Bytes out = LocatorHead(wanted, loc::kChunkDbas + listed * loc::kChunkDbaSize, true);
  out[loc::kInodeFlag] = loc::kInodeValid | loc::kInodeOutOfLineBit;
  PutU32BE(out.data() + loc::kBlocks, static_cast<std::uint32_t>(blocks));
  PutU16BE(out.data() + loc::kLastBlockBytes, static_cast<std::uint16_t>(blocks == 0 ? 0 : length - (blocks - 1) * room));
  for (std::size_t i = 0; i < listed; ++i) PutU32BE(out.data() + loc::kChunkDbas + i * loc::kChunkDbaSize, chunk_dbas[i]);
  return out;
}

Bytes OutOfLineLobLocator(std::uint32_t page_key, std::size_t length, std::uint32_t block_size, bool character) {
  LocatorDescription wanted;
  wanted.page_key = page_key;
  wanted.character = character;
  wanted.byte_length = 0;  // not said: the reader's character set rule decides
  return OutOfLineLobLocator(wanted, length, block_size);
}

Bytes InRowLobLocator(const LocatorDescription& wanted, const Bytes& data) {
  Bytes out = LocatorHead(wanted, loc::kInRowData + data.size(), true);
  out[loc::kInodeFlag] = loc::kInodeValid | loc::kInodeDataInRow;
  PutU32BE(out.data() + loc::kBlocks, 0);
  PutU16BE(out.data() + loc::kLastBlockBytes, static_cast<std::uint16_t>(data.size()));
  std::copy(data.begin(), data.end(), out.begin() + loc::kInRowData);
  return out;
}

Bytes InRowLobLocator(std::uint32_t page_key, const Bytes& data, bool character) {
  LocatorDescription wanted;
  wanted.page_key = page_key;
  wanted.character = character;
  wanted.byte_length = 0;  // not said: the reader's character set rule decides
  return InRowLobLocator(wanted, data);
}

bool WriteLobSegment(const std::string& path, std::uint32_t relative_file, std::uint32_t block_size,
                     std::uint32_t first_block, const LobSegmentDescription& wanted, LobSegmentWritten& out,
                     std::string& error) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  // Blocks take the format byte of the file's header block.
  char format_byte = 0;
  file.seekg(static_cast<std::streamoff>(block_size) + format::block_header::kFormat);
  file.read(&format_byte, 1);
  if (!file || wanted.extent_blocks < 2 + wanted.chunk || wanted.extents_per_map == 0) {
    error = "cannot write a LOB segment into " + path;
    return false;
  }
  out = LobSegmentWritten{};
  SegmentWriter writer(&file, relative_file, block_size, static_cast<std::uint8_t>(format_byte), first_block, wanted, out);
  return writer.Run(error);
}

}  // namespace quillon::testdb

namespace quillon::testdb {

LobSegmentWritten PlanLobSegment(std::uint32_t relative_file, std::uint32_t block_size, std::uint32_t first_block,
                                 const LobSegmentDescription& wanted) {
  LobSegmentWritten out;
  SegmentWriter writer(nullptr, relative_file, block_size, 0, first_block, wanted, out);
  std::string error;
  writer.Run(error);
  return out;
}

}  // namespace quillon::testdb
