#include "testdb/datafile_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::testdb {

void DatafileWriter::FreeDeleter::operator()(std::uint8_t* p) const { std::free(p); }

DatafileWriter::~DatafileWriter() {
  if (fd_ >= 0) ::close(fd_);
}

DatafileWriter::DatafileWriter(DatafileWriter&& o) noexcept { *this = std::move(o); }

DatafileWriter& DatafileWriter::operator=(DatafileWriter&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = o.fd_;
    o.fd_ = -1;
    path_ = std::move(o.path_);
    block_size_ = o.block_size_;
    window_ = std::move(o.window_);
    touched_ = std::move(o.touched_);
    window_blocks_ = o.window_blocks_;
    window_first_ = o.window_first_;
    bytes_written_ = o.bytes_written_;
    error_ = std::move(o.error_);
  }
  return *this;
}

std::optional<DatafileWriter> DatafileWriter::Create(const std::string& path, std::size_t block_size,
                                                     std::string& error, std::size_t window_bytes) {
  // A read-only file left by an earlier run is replaced, not opened.
  ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  DatafileWriter w;
  w.fd_ = fd;
  w.path_ = path;
  w.block_size_ = block_size;
  w.window_blocks_ = std::max<std::size_t>(1, window_bytes / block_size);
  w.window_.reset(static_cast<std::uint8_t*>(std::calloc(w.window_blocks_, block_size)));
  if (!w.window_) {
    error = "out of memory for " + path;
    return std::nullopt;
  }
  w.touched_.assign(w.window_blocks_, false);
  return w;
}

void DatafileWriter::Fail(const std::string& what) {
  if (error_.empty()) error_ = what + " " + path_ + ": " + std::strerror(errno);
}

void DatafileWriter::Flush() {
  // Every run of written blocks with one system call; the blocks are zeroed
  // again for their next use.
  for (std::size_t i = 0; i < window_blocks_;) {
    if (!touched_[i]) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < window_blocks_ && touched_[end]) touched_[end++] = false;
    const std::size_t bytes = (end - i) * block_size_;
    std::size_t done = 0;
    while (done < bytes) {
      const ssize_t n = ::pwrite(fd_, WindowBlock(i) + done, bytes - done,
                                 static_cast<off_t>((window_first_ + i) * block_size_ + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        Fail("cannot write");
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    bytes_written_ += done;
    std::memset(WindowBlock(i), 0, bytes);
    i = end;
  }
}

std::span<std::uint8_t> DatafileWriter::Next(std::uint32_t block_no, bool zeroed) {
  if (block_no < window_first_ || block_no >= window_first_ + window_blocks_) {
    Flush();
    window_first_ = block_no;
  }
  const std::uint64_t i = block_no - window_first_;
  // Blocks not written since the last flush are zero already.
  if (touched_[i] && zeroed) std::memset(WindowBlock(i), 0, block_size_);
  touched_[i] = true;
  return {WindowBlock(i), block_size_};
}

void DatafileWriter::Put(std::uint32_t block_no, std::span<const std::uint8_t> image) {
  if (block_no >= window_first_ && block_no < window_first_ + window_blocks_) {
    auto out = Next(block_no, false);
    std::memcpy(out.data(), image.data(), std::min(out.size(), image.size()));
    return;
  }
  const ssize_t n = ::pwrite(fd_, image.data(), image.size(), static_cast<off_t>(std::uint64_t{block_no} * block_size_));
  if (n != static_cast<ssize_t>(image.size())) Fail("cannot write");
  bytes_written_ += image.size();
}

bool DatafileWriter::Get(std::uint32_t block_no, std::span<std::uint8_t> out) {
  if (block_no >= window_first_ && block_no < window_first_ + window_blocks_ && touched_[block_no - window_first_]) {
    std::memcpy(out.data(), WindowBlock(block_no - window_first_), out.size());
    return true;
  }
  std::memset(out.data(), 0, out.size());
  const ssize_t n = ::pread(fd_, out.data(), out.size(), static_cast<off_t>(std::uint64_t{block_no} * block_size_));
  return n >= 0;
}

bool DatafileWriter::Finish(std::uint64_t total_blocks, std::string& error) {
  if (fd_ >= 0) {
    Flush();
    if (::ftruncate(fd_, static_cast<off_t>(total_blocks * block_size_)) != 0) Fail("cannot size");
    if (::close(fd_) != 0) Fail("cannot close");
    fd_ = -1;
  }
  window_.reset();
  touched_.clear();
  error = error_;
  return error_.empty();
}

}  // namespace quillon::testdb
