// Where the bytes of long values (LONG, LONG RAW, CLOB, NCLOB, BLOB) wait
// between the row reader and the target.
//
// A private folder made with mkdtemp under the user's cache folder
// ($XDG_CACHE_HOME, else ~/.cache; mode 0700), holding one spill file (mode
// 0600). Each value is appended to the file and keeps its own offset and
// length, so no value ever sees another's bytes, and targets that queue rows
// (parameter arrays) still find every queued value intact. The file is
// emptied when a table's rows begin; the folder and its file are removed
// when the SpillFolder goes away, whatever ended the repair.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "repair/statement.h"

namespace quillon::repair {

class SpillFolder {
 public:
  // The folder under cache_root (empty: the user's cache folder); nullptr,
  // with the reason in error, when it cannot be made.
  static std::unique_ptr<SpillFolder> Create(std::string* error, const std::string& cache_root = {});
  ~SpillFolder();
  SpillFolder(const SpillFolder&) = delete;
  SpillFolder& operator=(const SpillFolder&) = delete;

  const std::string& folder() const { return folder_; }
  const std::string& file() const { return file_; }

  // Empties the spill file: the values handed out before must no longer be
  // read (a table's rows have ended).
  void Reset();

  // A new value: Append its bytes (in as many pieces as come), then Finish
  // gives the value's bytes. Appending fails (false) when the disk refuses.
  void BeginValue();
  bool Append(std::span<const std::uint8_t> bytes);
  std::shared_ptr<const LongBytes> FinishValue();

 private:
  SpillFolder(std::string folder, std::string file, int fd);
  std::string folder_;
  std::string file_;
  std::shared_ptr<int> fd_;  // shared with the values, which read through it
  std::uint64_t end_ = 0;
  std::uint64_t value_start_ = 0;
  std::uint64_t generation_ = 0;
  std::shared_ptr<std::uint64_t> live_generation_;
};

// The user's cache folder: $XDG_CACHE_HOME, else $HOME/.cache.
std::string UserCacheFolder();

}  // namespace quillon::repair
