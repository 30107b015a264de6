#include "cli/interrupt.h"

#include <atomic>

namespace quillon::cli {

namespace {

// The flag the handler sets. StopFlag::Request is a lock-free atomic store,
// which a signal handler may make.
std::atomic<StopFlag*> g_stop{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<StopFlag*>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
  if (StopFlag* stop = g_stop.load()) stop->Request();
}

}  // namespace

StopOnInterrupt::StopOnInterrupt(StopFlag& stop) {
  g_stop.store(&stop);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // The handler is used once; the next Ctrl-C gets the default action.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

StopOnInterrupt::~StopOnInterrupt() {
  if (installed_) sigaction(SIGINT, &previous_, nullptr);
  g_stop.store(nullptr);
}

}  // namespace quillon::cli
