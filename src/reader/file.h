// Read-only access to files by position: the one place where the reader
// talks to the operating system's file calls.
//
// Source datafiles are opened read-only (O_RDONLY), so read-only datafiles
// can be rescued and the source can never be written by accident.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillon {

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Opens a regular file for reading; std::nullopt when it cannot be opened
  // or is not a regular file (folders, devices and sockets are refused).
  static std::optional<ReadOnlyFile> Open(const std::string& path);

  bool is_open() const { return fd_ >= 0; }
  std::uint64_t size() const { return size_; }
  const std::string& path() const { return path_; }

  // Reads up to out.size() bytes at offset (fewer at the end of the file);
  // returns the number of bytes read, or std::nullopt on an I/O error.
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

  // Tells the kernel that the file will be read front to back.
  void AdviseSequential() const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::string path_;
};

}  // namespace quillon
