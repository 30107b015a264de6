#include "repair/script_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace quillon::repair {

namespace {

// The page cache behind the writing: how much is written to the disk at a
// time, and how much may wait in the cache besides.
constexpr std::uint64_t kDropWindow = std::uint64_t{8} << 20;

}  // namespace

ScriptFileBuffer::ScriptFileBuffer(std::size_t buffer_bytes, std::size_t buffers)
    : buffer_bytes_(std::max<std::size_t>(buffer_bytes, 1)), buffers_(std::max<std::size_t>(buffers, 2)) {}

ScriptFileBuffer::~ScriptFileBuffer() { Close(); }

bool ScriptFileBuffer::Open(const std::string& path) {
  Close();
  {
    std::lock_guard lock(mutex_);
    failed_ = false;
    closing_ = false;
    error_.clear();
    full_.clear();
    free_.clear();
  }
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    Fail(errno);
    return false;
  }
  // Only a regular file's pages can be written out and dropped (not a pipe
  // or a device).
  struct stat st {};
  drop_behind_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  written_ = flushing_ = dropped_ = 0;
  for (std::size_t i = 0; i < buffers_.size(); ++i) {
    buffers_[i].resize(buffer_bytes_);
    if (i != 0) free_.push_back(i);
  }
  filling_ = 0;
  try {
    writer_ = std::thread([this] { WriteLoop(); });
  } catch (const std::system_error& e) {  // no thread to be had
    ::close(fd_);
    fd_ = -1;
    Fail(e.code().value());
    return false;
  }
  setp(buffers_[0].data(), buffers_[0].data() + buffers_[0].size());
  return true;
}

bool ScriptFileBuffer::Close() {
  if (fd_ < 0) return !failed();
  HandOver();
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  writer_.join();
  if (::close(fd_) != 0) Fail(errno);
  fd_ = -1;
  setp(nullptr, nullptr);
  return !failed();
}

bool ScriptFileBuffer::failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

std::string ScriptFileBuffer::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

bool ScriptFileBuffer::HandOver() {
  const auto size = static_cast<std::size_t>(pptr() - pbase());
  std::unique_lock lock(mutex_);
  if (failed_) return false;
  if (size == 0) return true;
  full_.push_back({filling_, size});
  changed_.notify_all();
  changed_.wait(lock, [this] { return !free_.empty() || failed_; });
  if (failed_) return false;
  filling_ = free_.back();
  free_.pop_back();
  std::vector<char>& next = buffers_[filling_];
  setp(next.data(), next.data() + next.size());
  return true;
}

ScriptFileBuffer::int_type ScriptFileBuffer::overflow(int_type c) {
  if (fd_ < 0 || !HandOver()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize ScriptFileBuffer::xsputn(const char* s, std::streamsize n) {
  if (fd_ < 0) return 0;
  std::streamsize done = 0;
  while (done < n) {
    std::streamsize room = epptr() - pptr();
    if (room == 0) {
      if (!HandOver()) break;
      room = epptr() - pptr();
    }
    const std::streamsize part = std::min(room, n - done);
    std::memcpy(pptr(), s + done, static_cast<std::size_t>(part));
    // pbump takes an int: a part is at most one buffer, far below INT_MAX
    // for the buffer sizes used.
    pbump(static_cast<int>(part));
    done += part;
  }
  return done;
}

int ScriptFileBuffer::sync() {
  if (fd_ < 0) return failed() ? -1 : 0;
  if (!HandOver()) return -1;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (full_.empty() && !writing_) || failed_; });
  return failed_ ? -1 : 0;
}

void ScriptFileBuffer::WriteLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !full_.empty() || closing_; });
    if (full_.empty()) return;  // closing, everything written
    const Full next = full_.front();
    full_.pop_front();
    const bool skip = failed_;  // after a failure, nothing more reaches the file
    writing_ = true;
    lock.unlock();
    if (!skip) {
      WriteAll(buffers_[next.index], next.size);
      DropBehind();
    }
    lock.lock();
    writing_ = false;
    free_.push_back(next.index);
    changed_.notify_all();
  }
}

void ScriptFileBuffer::WriteAll(const std::vector<char>& buffer, std::size_t size) {
  std::size_t at = 0;
  while (at < size) {
    const ssize_t n = ::write(fd_, buffer.data() + at, size - at);
    if (n > 0) {
      at += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return Fail(n < 0 ? errno : ENOSPC);  // a write of nothing: the file takes no more
  }
  written_ += size;
}

void ScriptFileBuffer::DropBehind() {
#if defined(__linux__)
  if (!drop_behind_ || written_ - flushing_ < kDropWindow) return;
  // The last window goes to the disk in the background; the one before it
  // is waited for (a failed write of it shows here) and leaves the cache.
  if (::sync_file_range(fd_, static_cast<off_t>(flushing_), static_cast<off_t>(written_ - flushing_),
                        SYNC_FILE_RANGE_WRITE) != 0) {
    if (errno == EIO || errno == ENOSPC) return Fail(errno);
    drop_behind_ = false;  // not supported here: the cache keeps the file
    return;
  }
  if (flushing_ > dropped_) {
    const auto from = static_cast<off_t>(dropped_);
    const auto length = static_cast<off_t>(flushing_ - dropped_);
    if (::sync_file_range(fd_, from, length,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) != 0) {
      if (errno == EIO || errno == ENOSPC) return Fail(errno);
      drop_behind_ = false;
      return;
    }
    ::posix_fadvise(fd_, from, length, POSIX_FADV_DONTNEED);
    dropped_ = flushing_;
  }
  flushing_ = written_;
#endif
}

void ScriptFileBuffer::Fail(int error) {
  std::lock_guard lock(mutex_);
  if (!failed_) {
    error_ = std::strerror(error);
    failed_ = true;
  }
}

}  // namespace quillon::repair
