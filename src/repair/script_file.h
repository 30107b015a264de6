// The file a repair script is written into: a stream buffer whose full
// buffers are written to the file by a thread of its own.
//
// The script of a large table is several times the size of its datafile
// segment, and copying it into the kernel's page cache costs about a fifth
// of the repair's time. Handing each full buffer to a writing thread lets
// the rows of the next buffer be read and written out as text meanwhile.
// Memory stays flat: a fixed number of buffers goes round between the two
// threads. The buffers are small on purpose: a buffer filled on one
// processor is still in the caches when the kernel copies it out on the
// other. With buffers of some megabytes the kernel's copy read them from
// memory and took two to six times the processor time: slower than writing
// without a thread at all.
//
// Behind the writing, the file's pages leave the page cache: every 8 MB the
// thread starts the kernel writing the last 8 MB to the disk, waits for the
// 8 MB before them and drops them from the cache. A script of many
// gigabytes then does not push the datafiles being read out of the cache,
// and the kernel keeps reusing the same few pages instead of taking fresh
// ones: on the development machine, writing 1.9 GB took 0.2 to 3.4 s into
// the cache as it came, and 0.45 s every time this way.
//
// Write failures (a full disk) are kept and make the stream bad: the first
// overflow after the failure, or at the latest pubsync() (std::ostream's
// flush), which waits until every byte handed over has been written.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

namespace quillon::repair {

class ScriptFileBuffer final : public std::streambuf {
 public:
  explicit ScriptFileBuffer(std::size_t buffer_bytes = std::size_t{256} << 10, std::size_t buffers = 4);
  ~ScriptFileBuffer() override;
  ScriptFileBuffer(const ScriptFileBuffer&) = delete;
  ScriptFileBuffer& operator=(const ScriptFileBuffer&) = delete;

  // Makes (or empties) the file, mode 0666 less the umask; false, with the
  // system's reason in error(), when it cannot.
  bool Open(const std::string& path);
  // Writes what is left and closes the file; false when any write or the
  // close failed. Called by the destructor when not called before.
  bool Close();
  bool failed() const;
  std::string error() const;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  // Hands the buffer being filled to the writing thread and takes a free
  // one; false when the file has failed.
  bool HandOver();
  void WriteLoop();
  void WriteAll(const std::vector<char>& buffer, std::size_t size);
  // After each buffer written: the page cache behind the writing, as above.
  void DropBehind();
  void Fail(int error);

  const std::size_t buffer_bytes_;
  int fd_ = -1;
  // The writing thread's own: the file's length so far, where the range
  // being written to the disk starts, and up to where pages were dropped.
  bool drop_behind_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t flushing_ = 0;
  std::uint64_t dropped_ = 0;
  std::string error_;  // set once, by whichever thread fails first, under mutex_

  std::vector<std::vector<char>> buffers_;
  std::size_t filling_ = 0;  // index of the buffer the stream puts into

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  struct Full {
    std::size_t index;
    std::size_t size;
  };
  std::deque<Full> full_;          // handed over, in file order
  std::vector<std::size_t> free_;  // written (or never used)
  bool writing_ = false;           // the thread holds a buffer it writes
  bool failed_ = false;
  bool closing_ = false;
  std::thread writer_;
};

}  // namespace quillon::repair
