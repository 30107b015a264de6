// One running copy of the program per user: a lock file in the user's runtime
// folder, held with flock for the life of the process. The kernel drops the
// lock when the process ends, however it ends, so a crash never leaves a
// stale lock behind.
#pragma once

#include <string>

namespace quillon::app {

class SingleInstance {
 public:
  // Takes the lock at lock_path; see acquired().
  explicit SingleInstance(const std::string& lock_path);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another process holds the lock. A lock file that cannot be
  // made at all does not stop the program: it then runs unguarded.
  bool another_running() const { return another_running_; }

  // $XDG_RUNTIME_DIR/quillon.lock, or a per-user file in the temporary
  // folder when the runtime folder is not set.
  static std::string DefaultLockPath();

 private:
  int fd_ = -1;
  bool another_running_ = false;
};

}  // namespace quillon::app
