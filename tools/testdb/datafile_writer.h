// Writes one file block by block through a large buffer: blocks handed out
// are collected in a window of several megabytes and written with one system
// call per run of blocks written in it; blocks outside the window are
// written in place, or the window moves to them. Only the blocks written
// through the window are written back, so blocks may come in any order (a
// layout that gives out first extents up front goes back and forth).
// Blocks never handed out stay holes and read as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillon::testdb {

class DatafileWriter {
 public:
  static constexpr std::size_t kDefaultWindowBytes = 8u << 20;

  DatafileWriter() = default;
  ~DatafileWriter();
  DatafileWriter(DatafileWriter&& other) noexcept;
  DatafileWriter& operator=(DatafileWriter&& other) noexcept;
  DatafileWriter(const DatafileWriter&) = delete;
  DatafileWriter& operator=(const DatafileWriter&) = delete;

  // Creates (or replaces) the file. std::nullopt with a message on failure.
  static std::optional<DatafileWriter> Create(const std::string& path, std::size_t block_size,
                                              std::string& error,
                                              std::size_t window_bytes = kDefaultWindowBytes);

  // A block to write into (the window moves when the block lies outside
  // it), zero-filled unless the caller overwrites all of it anyway (zeroed
  // false). Writing a block again replaces its content.
  std::span<std::uint8_t> Next(std::uint32_t block_no, bool zeroed = true);
  // Writes a whole block anywhere in the file.
  void Put(std::uint32_t block_no, std::span<const std::uint8_t> image);
  // Reads back a block written before (zeros where nothing was written).
  bool Get(std::uint32_t block_no, std::span<std::uint8_t> out);

  // Flushes, sets the file's size and closes it. False with the first error
  // met on the way.
  bool Finish(std::uint64_t total_blocks, std::string& error);

  const std::string& path() const { return path_; }
  std::size_t block_size() const { return block_size_; }
  std::uint64_t bytes_written() const { return bytes_written_; }

 private:
  struct FreeDeleter {
    void operator()(std::uint8_t* p) const;
  };

  void Flush();
  void Fail(const std::string& what);
  std::uint8_t* WindowBlock(std::uint64_t index) { return window_.get() + index * block_size_; }

  int fd_ = -1;
  std::string path_;
  std::size_t block_size_ = 0;
  // Allocated zeroed by the system (calloc): pages cost nothing until used.
  std::unique_ptr<std::uint8_t, FreeDeleter> window_;
  std::vector<bool> touched_;      // blocks of the window written since the last flush
  std::size_t window_blocks_ = 0;
  std::uint64_t window_first_ = 0;
  std::uint64_t bytes_written_ = 0;
  std::string error_;
};

}  // namespace quillon::testdb
