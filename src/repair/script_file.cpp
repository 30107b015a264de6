#include "repair/script_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillon::repair {

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
    const int e = errno;
    std::lock_guard lock(mutex_);
    error_ = std::strerror(e);
    failed_ = true;
    return false;
  }
  for (std::size_t i = 0; i < buffers_.size(); ++i) {
    buffers_[i].resize(buffer_bytes_);
    if (i != 0) free_.push_back(i);
  }
  filling_ = 0;
  setp(buffers_[0].data(), buffers_[0].data() + buffers_[0].size());
  writer_ = std::thread([this] { WriteLoop(); });
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
  const int closed = ::close(fd_);
  const int e = errno;
  fd_ = -1;
  setp(nullptr, nullptr);
  std::lock_guard lock(mutex_);
  if (closed != 0 && !failed_) {
    error_ = std::strerror(e);
    failed_ = true;
  }
  return !failed_;
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
    if (!skip) WriteAll(buffers_[next.index], next.size);
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
    const int e = n < 0 ? errno : ENOSPC;  // a write of nothing: the file takes no more
    std::lock_guard lock(mutex_);
    if (!failed_) {
      error_ = std::strerror(e);
      failed_ = true;
    }
    return;
  }
}

}  // namespace quillon::repair
