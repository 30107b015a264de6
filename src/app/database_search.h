// The folder search of the Select Database dialog, free of any window: walk
// one volume and report every database folder, that is every sub-folder of a
// folder named "oradata" whose files add up to more than 5000 bytes.
//
// The walk never follows symbolic links (so links cannot make it loop), never
// leaves the file system it started on, skips hidden and unreadable folders,
// and polls a stop flag before every folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon::app {

// Folders whose files add up to this many bytes or fewer are not listed.
inline constexpr std::uint64_t kMinDatabaseBytes = 5000;

struct FoundDatabase {
  std::string path;                     // the folder below "oradata"
  std::uint64_t bytes = 0;              // the sum of its files' sizes
  std::int64_t modified = 0;            // seconds since the epoch
  std::int64_t accessed = 0;
  std::optional<std::int64_t> created;  // when the file system records it
};

// The database folders directly below folder/oradata, in name order.
std::vector<FoundDatabase> ExamineFolder(const std::string& folder);

struct SearchProgress {
  std::uint64_t folders_visited = 0;
};

// Walks root and every folder below it (pre-order, children in name order),
// examining each one. on_found gets the rows of one folder as soon as it has
// been examined; on_progress is called every few hundred folders. Returns
// when the walk is complete or stop is set.
void SearchVolume(const std::string& root, const std::atomic<bool>& stop,
                  const std::function<void(std::vector<FoundDatabase>)>& on_found,
                  const std::function<void(const SearchProgress&)>& on_progress = {});

// "%.2lf" of the size in gigabytes (2^30 bytes).
std::string SizeInGigabytes(std::uint64_t bytes);

}  // namespace quillon::app
