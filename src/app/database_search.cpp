#include "app/database_search.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::app {

namespace {

bool IsHiddenOrDots(const char* name) { return name[0] == '.'; }

// An open directory that closes itself.
struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Opens a folder without following a symbolic link at its last component.
DirHandle OpenFolder(const std::string& path, struct stat* info) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (info != nullptr && ::fstat(fd, info) != 0) {
    ::close(fd);
    return nullptr;
  }
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) ::close(fd);
  return DirHandle(dir);
}

struct Entry {
  std::string name;
  bool is_folder = false;  // a real folder, not a link to one
};

// The visible entries of an open folder, in name order.
std::vector<Entry> ReadEntries(DIR* dir) {
  std::vector<Entry> out;
  const int fd = ::dirfd(dir);
  while (const dirent* e = ::readdir(dir)) {
    if (IsHiddenOrDots(e->d_name)) continue;
    Entry entry{e->d_name, false};
    if (e->d_type == DT_DIR) {
      entry.is_folder = true;
    } else if (e->d_type == DT_UNKNOWN) {
      struct stat st {};
      entry.is_folder = ::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    }
    out.push_back(std::move(entry));
  }
  std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return out;
}

// The sizes of the regular files directly in a folder; a file that cannot
// be examined adds nothing.
std::uint64_t SumFileSizes(const std::string& folder) {
  DirHandle dir = OpenFolder(folder, nullptr);
  if (!dir) return 0;
  const int fd = ::dirfd(dir.get());
  std::uint64_t sum = 0;
  while (const dirent* e = ::readdir(dir.get())) {
    if (e->d_name[0] == '.' && (e->d_name[1] == '\0' || (e->d_name[1] == '.' && e->d_name[2] == '\0'))) continue;
    struct stat st {};
    if (::fstatat(fd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
      sum += static_cast<std::uint64_t>(st.st_size);
    }
  }
  return sum;
}

std::optional<std::int64_t> BirthTime(const std::string& path) {
  struct statx stx {};
  if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &stx) != 0) return std::nullopt;
  if ((stx.stx_mask & STATX_BTIME) == 0) return std::nullopt;
  return static_cast<std::int64_t>(stx.stx_btime.tv_sec);
}

}  // namespace

std::vector<FoundDatabase> ExamineFolder(const std::string& folder) {
  std::vector<FoundDatabase> out;
  const std::string oradata = (folder == "/" ? std::string() : folder) + "/oradata";
  DirHandle dir = OpenFolder(oradata, nullptr);
  if (!dir) return out;
  for (const Entry& entry : ReadEntries(dir.get())) {
    if (!entry.is_folder) continue;
    const std::string candidate = oradata + "/" + entry.name;
    const std::uint64_t bytes = SumFileSizes(candidate);
    if (bytes <= kMinDatabaseBytes) continue;
    struct stat st {};
    if (::lstat(candidate.c_str(), &st) != 0) continue;
    out.push_back(FoundDatabase{candidate, bytes, static_cast<std::int64_t>(st.st_mtim.tv_sec),
                                static_cast<std::int64_t>(st.st_atim.tv_sec), BirthTime(candidate)});
  }
  return out;
}

void SearchVolume(const std::string& root, const std::atomic<bool>& stop,
                  const std::function<void(std::vector<FoundDatabase>)>& on_found,
                  const std::function<void(const SearchProgress&)>& on_progress) {
  constexpr std::uint64_t kProgressEvery = 256;
  struct stat root_info {};
  if (::lstat(root.c_str(), &root_info) != 0 || !S_ISDIR(root_info.st_mode)) return;
  const dev_t device = root_info.st_dev;

  SearchProgress progress;
  // Pre-order walk with an explicit stack, so depth costs no call stack.
  std::vector<std::string> pending{root};
  while (!pending.empty() && !stop.load(std::memory_order_acquire)) {
    std::string folder = std::move(pending.back());
    pending.pop_back();
    struct stat info {};
    DirHandle dir = OpenFolder(folder, &info);
    if (!dir || info.st_dev != device) continue;  // unreadable, or another file system

    std::vector<FoundDatabase> found = ExamineFolder(folder);
    if (!found.empty()) on_found(std::move(found));
    if (++progress.folders_visited % kProgressEvery == 0 && on_progress) on_progress(progress);

    const std::vector<Entry> entries = ReadEntries(dir.get());
    const std::string prefix = folder == "/" ? std::string("/") : folder + "/";
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
      if (it->is_folder) pending.push_back(prefix + it->name);
    }
  }
  if (on_progress) on_progress(progress);
}

std::string SizeInGigabytes(std::uint64_t bytes) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2lf", static_cast<double>(bytes) / 1073741824.0);
  return buffer;
}

}  // namespace quillon::app
