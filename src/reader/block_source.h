// BlockSource: data block address in, whole block image out.
//
// Each datafile is opened once (read-only) and kept open for the life of the
// source. A block is read with one positioned read; when blocks are asked for
// in file order the source reads ahead a window of consecutive blocks, so a
// segment walk costs about as much as reading the file sequentially. A Block
// keeps its window alive, so it stays valid while the source reads others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reader/bytes.h"
#include "reader/datafile.h"
#include "reader/file.h"

namespace quillon {

enum class ReadStatus : std::uint8_t {
  kOk,
  kUnknownFile,   // no registered datafile holds the DBA
  kOpenFailed,    // the datafile cannot be opened
  kBeyondEnd,     // the block lies past the end of the file
  kIoError,
};
const char* ToString(ReadStatus status);

class Block {
 public:
  Block() = default;
  ByteView bytes() const { return ByteView(data_, size_); }
  std::uint32_t dba() const { return dba_; }
  // The file ended inside the block; the missing bytes read as zeros.
  bool truncated() const { return truncated_; }

 private:
  friend class BlockSource;
  std::shared_ptr<const std::vector<std::uint8_t>> window_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::uint32_t dba_ = 0;
  bool truncated_ = false;
};

struct BlockResult {
  ReadStatus status = ReadStatus::kUnknownFile;
  Block block;
  bool ok() const { return status == ReadStatus::kOk; }
};

class BlockSource {
 public:
  explicit BlockSource(const DatafileList& files, std::size_t window_bytes = kDefaultWindow);

  // The block at a DBA, resolved through the registered datafiles.
  BlockResult Read(std::uint32_t dba);
  // Block number block_no of a registered datafile.
  BlockResult ReadBlock(const DatafileEntry& file, std::uint32_t block_no);

  // Number of whole or partial blocks in a registered datafile; std::nullopt
  // when it cannot be opened.
  std::optional<std::uint64_t> FileBlockCount(const DatafileEntry& file);

  std::uint64_t blocks_read() const { return blocks_read_; }
  std::uint64_t bytes_read() const { return bytes_read_; }

  static constexpr std::size_t kDefaultWindow = 1 << 20;

 private:
  struct OpenFile {
    std::optional<ReadOnlyFile> file;  // empty: the open failed
    std::shared_ptr<std::vector<std::uint8_t>> window;
    std::uint64_t window_first = 0;    // first block number in the window
    std::uint64_t window_blocks = 0;   // whole or partial blocks in the window
    std::size_t window_bytes = 0;      // bytes actually read into the window
    std::uint64_t last_block = UINT64_MAX;
  };
  OpenFile& Open(const DatafileEntry& file);

  const DatafileList& files_;
  std::size_t window_bytes_;
  std::map<std::string, OpenFile> open_;
  std::uint64_t blocks_read_ = 0;
  std::uint64_t bytes_read_ = 0;
};

}  // namespace quillon
