// Which of the worker's frequent notifications are worth a trip to the GUI
// thread. Every notification the worker makes waits until the window has
// handled it; the record count and the datafile reader report once per
// block, so a table of fifty million rows would otherwise cost a million
// cross-thread round trips. The throttle lets a progress step through only
// when the bar's position moves by a visible amount, and the record count
// and the memory use only every so often; the last count held back is
// handed over before any other notification, so the window never shows a
// stale count next to a newer log line.
//
// Used on the worker thread only (one job at a time); the clock is passed in
// so the rules can be checked without waiting.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace quillon::app {

class NotificationThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  // Positions the progress bar distinguishes: one step in this many of the
  // phase is the smallest movement worth showing.
  static constexpr std::uint64_t kProgressResolution = 500;
  static constexpr Clock::duration kCountInterval = std::chrono::milliseconds(50);
  static constexpr Clock::duration kMemoryInterval = std::chrono::milliseconds(250);

  // A progress phase of total steps starts.
  void ProgressStarted(std::uint64_t total);
  // One step done: the position (steps done so far) to show, or nothing
  // when the bar would not move.
  std::optional<std::uint64_t> ProgressStepped();

  // A new running count: true when it is to be shown now; otherwise it is
  // held back until TakeHeldCount.
  bool CountDue(std::uint64_t count, Clock::time_point now);
  // The count held back, once.
  std::optional<std::uint64_t> TakeHeldCount();

  // True when the memory use is to be read and shown now.
  bool MemoryDue(Clock::time_point now);

 private:
  std::uint64_t progress_total_ = 0;
  std::uint64_t progress_done_ = 0;
  std::uint64_t progress_shown_bucket_ = 0;
  std::optional<std::uint64_t> held_count_;
  std::optional<Clock::time_point> last_count_;
  std::optional<Clock::time_point> last_memory_;
};

}  // namespace quillon::app
