#include "reader/block_source.h"

#include <algorithm>
#include <cstring>

namespace quillon {

const char* ToString(ReadStatus status) {
  switch (status) {
    case ReadStatus::kOk: return "ok";
    case ReadStatus::kUnknownFile: return "no registered datafile holds the block address";
    case ReadStatus::kOpenFailed: return "the datafile cannot be opened";
    case ReadStatus::kBeyondEnd: return "the block lies past the end of the datafile";
    case ReadStatus::kIoError: return "read error";
  }
  return "unknown";
}

BlockSource::BlockSource(const DatafileList& files, std::size_t window_bytes)
    : files_(files), window_bytes_(window_bytes) {}

BlockSource::OpenFile& BlockSource::Open(const DatafileEntry& file) {
  auto [it, inserted] = open_.try_emplace(file.full_path);
  if (inserted) {
    it->second.file = ReadOnlyFile::Open(file.full_path);
    if (it->second.file) it->second.file->AdviseSequential();
  }
  return it->second;
}

std::optional<std::uint64_t> BlockSource::FileBlockCount(const DatafileEntry& file) {
  if (file.block_size == 0) return std::nullopt;
  OpenFile& of = Open(file);
  if (!of.file) return std::nullopt;
  return (of.file->size() + file.block_size - 1) / file.block_size;
}

BlockResult BlockSource::Read(std::uint32_t dba) {
  const DatafileEntry* file = files_.FindByDba(dba);
  if (!file) return {ReadStatus::kUnknownFile, {}};
  BlockResult r = ReadBlock(*file, format::DbaBlock(dba));
  r.block.dba_ = dba;
  return r;
}

BlockResult BlockSource::ReadBlock(const DatafileEntry& entry, std::uint32_t block_no) {
  const std::size_t block_size = entry.block_size;
  if (block_size == 0) return {ReadStatus::kIoError, {}};
  OpenFile& of = Open(entry);
  if (!of.file) return {ReadStatus::kOpenFailed, {}};
  const std::uint64_t offset = static_cast<std::uint64_t>(block_no) * block_size;
  if (offset >= of.file->size()) return {ReadStatus::kBeyondEnd, {}};

  const bool in_window = of.window && block_no >= of.window_first &&
                         block_no < of.window_first + of.window_blocks;
  if (!in_window) {
    // Read ahead only when the walk goes forward block by block; a jump reads
    // just the block asked for.
    const bool sequential = of.last_block != UINT64_MAX && block_no == of.last_block + 1;
    std::uint64_t want = sequential ? std::max<std::size_t>(1, window_bytes_ / block_size) : 1;
    const std::uint64_t blocks_left = (of.file->size() - offset + block_size - 1) / block_size;
    want = std::min(want, blocks_left);
    const std::size_t bytes = static_cast<std::size_t>(want * block_size);
    // A window still held by a Block handed out earlier is left to it.
    if (!of.window || of.window.use_count() > 1) {
      of.window = std::make_shared<std::vector<std::uint8_t>>();
    }
    of.window->resize(bytes);
    const auto got = of.file->ReadAt(offset, *of.window);
    if (!got) {
      of.window_blocks = 0;
      return {ReadStatus::kIoError, {}};
    }
    // Zero what the file did not hold (a truncated last block).
    std::memset(of.window->data() + *got, 0, bytes - *got);
    of.window_first = block_no;
    of.window_blocks = want;
    of.window_bytes = *got;
    bytes_read_ += *got;
  }
  of.last_block = block_no;
  ++blocks_read_;

  Block b;
  const std::size_t start = static_cast<std::size_t>((block_no - of.window_first) * block_size);
  b.window_ = of.window;
  b.data_ = of.window->data() + start;
  b.size_ = block_size;
  b.dba_ = (entry.file_base_dba & format::kDbaFileMask) | block_no;
  b.truncated_ = start + block_size > of.window_bytes;
  return {ReadStatus::kOk, std::move(b)};
}

}  // namespace quillon
