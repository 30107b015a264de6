#include "repair/spill_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace quillon::repair {

namespace {

// One value's bytes: a window of the spill file. A window from before the
// last Reset reads nothing (its bytes are gone).
class SpilledBytes final : public LongBytes {
 public:
  SpilledBytes(std::shared_ptr<int> fd, std::uint64_t offset, std::uint64_t size,
               std::shared_ptr<std::uint64_t> live, std::uint64_t generation)
      : fd_(std::move(fd)), offset_(offset), size_(size), live_(std::move(live)), generation_(generation) {}
  std::uint64_t size() const override { return size_; }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    if (*live_ != generation_ || *fd_ < 0 || offset >= size_) return 0;
    const std::uint64_t n = std::min<std::uint64_t>(into.size(), size_ - offset);
    std::size_t done = 0;
    while (done < n) {
      const ssize_t got = ::pread(*fd_, into.data() + done, n - done, static_cast<off_t>(offset_ + offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    return done;
  }

 private:
  std::shared_ptr<int> fd_;
  std::uint64_t offset_;
  std::uint64_t size_;
  std::shared_ptr<std::uint64_t> live_;
  std::uint64_t generation_;
};

}  // namespace

std::string UserCacheFolder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.cache";
  return std::filesystem::temp_directory_path().string();
}

std::unique_ptr<SpillFolder> SpillFolder::Create(std::string* error, const std::string& cache_root) {
  const std::string root = cache_root.empty() ? UserCacheFolder() : cache_root;
  std::error_code ec;
  std::filesystem::create_directories(root, ec);
  std::string pattern = root + "/quillon-spill-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) {
    if (error) *error = "cannot make a spill folder in " + root + ": " + std::strerror(errno);
    return nullptr;
  }
  const std::string folder(name.data());
  ::chmod(folder.c_str(), 0700);
  const std::string file = folder + "/values.spill";
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (error) *error = "cannot make the spill file " + file + ": " + std::strerror(errno);
    ::rmdir(folder.c_str());
    return nullptr;
  }
  return std::unique_ptr<SpillFolder>(new SpillFolder(folder, file, fd));
}

SpillFolder::SpillFolder(std::string folder, std::string file, int fd)
    : folder_(std::move(folder)),
      file_(std::move(file)),
      fd_(std::make_shared<int>(fd)),
      live_generation_(std::make_shared<std::uint64_t>(0)) {}

SpillFolder::~SpillFolder() {
  if (*fd_ >= 0) ::close(*fd_);
  *fd_ = -1;
  ::unlink(file_.c_str());
  ::rmdir(folder_.c_str());
}

void SpillFolder::Reset() {
  // An empty file needs no system call (a table's rows reset it row by row).
  if (end_ > 0 && *fd_ >= 0 && ::ftruncate(*fd_, 0) != 0) {
    // Nothing is read from before the reset anyway: the offsets move on.
    value_start_ = end_;
    *live_generation_ = ++generation_;
    return;
  }
  end_ = 0;
  value_start_ = 0;
  *live_generation_ = ++generation_;
}

void SpillFolder::BeginValue() { value_start_ = end_; }

bool SpillFolder::Append(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put =
        ::pwrite(*fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(end_ + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  end_ += done;
  return true;
}

std::shared_ptr<const LongBytes> SpillFolder::FinishValue() {
  auto bytes = std::make_shared<SpilledBytes>(fd_, value_start_, end_ - value_start_, live_generation_, generation_);
  value_start_ = end_;
  return bytes;
}

}  // namespace quillon::repair
