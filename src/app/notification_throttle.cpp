#include "app/notification_throttle.h"

#include <cstdint>

namespace quillon::app {

void NotificationThrottle::ProgressStarted(std::uint64_t total) {
  progress_total_ = total;
  progress_done_ = 0;
  progress_shown_bucket_ = 0;
}

std::optional<std::uint64_t> NotificationThrottle::ProgressStepped() {
  ++progress_done_;
  // A step beyond the announced total finds the bar full already; short
  // phases show every step.
  if (progress_done_ > progress_total_) return std::nullopt;
  if (progress_total_ <= kProgressResolution) return progress_done_;
  // done times the resolution cannot overflow for any real table, but a
  // damaged extent map can announce an absurd total.
  constexpr std::uint64_t kLargest = UINT64_MAX / kProgressResolution;
  const std::uint64_t bucket = progress_total_ <= kLargest
                                   ? progress_done_ * kProgressResolution / progress_total_
                                   : progress_done_ / (progress_total_ / kProgressResolution);
  if (bucket == progress_shown_bucket_ && progress_done_ != progress_total_) return std::nullopt;
  progress_shown_bucket_ = bucket;
  return progress_done_;
}

bool NotificationThrottle::CountDue(std::uint64_t count, Clock::time_point now) {
  if (last_count_ && now - *last_count_ < kCountInterval) {
    held_count_ = count;
    return false;
  }
  last_count_ = now;
  held_count_.reset();
  return true;
}

std::optional<std::uint64_t> NotificationThrottle::TakeHeldCount() {
  const std::optional<std::uint64_t> held = held_count_;
  held_count_.reset();
  return held;
}

bool NotificationThrottle::MemoryDue(Clock::time_point now) {
  if (last_memory_ && now - *last_memory_ < kMemoryInterval) return false;
  last_memory_ = now;
  return true;
}

}  // namespace quillon::app
