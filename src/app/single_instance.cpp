#include "app/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillon::app {

SingleInstance::SingleInstance(const std::string& lock_path) {
  const int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    another_running_ = errno == EWOULDBLOCK;
    ::close(fd);
    return;
  }
  fd_ = fd;
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

std::string SingleInstance::DefaultLockPath() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
    return std::string(runtime) + "/quillon.lock";
  }
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  return folder + "/quillon-" + std::to_string(::getuid()) + ".lock";
}

}  // namespace quillon::app
