// What the engine tells the front end while it works.
//
// The engine never prints and never shows anything: it calls a
// NotificationSink, which the command line, the desktop application and the
// tests implement. A sink call returns when the front end has handled the
// notification, so the worker never changes state the front end is still
// reading. Stop requests travel the other way through a StopFlag.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

enum class ProgressStep : std::uint8_t {
  kStart = 1,   // value: the number of steps to come
  kStep = 2,    // one step done
  kFinish = 3,  // the phase is over
};

enum class LogMode : std::uint8_t {
  kNewLine = 0,   // the text starts a new line
  kContinue = 1,  // the text continues the current line
};

class NotificationSink {
 public:
  virtual ~NotificationSink() = default;

  virtual void Progress(ProgressStep /*step*/, std::uint64_t /*value*/) {}
  // The process's memory use may have changed.
  virtual void ShowMemory() {}
  // The running record count changed.
  virtual void ShowCount(std::uint64_t /*count*/) {}
  virtual void AppendLog(std::string_view /*text*/, LogMode /*mode*/) {}
  // A message for the user (an information box in the desktop application).
  virtual void Message(std::string_view /*text*/) {}
  // The repair has written the table at this place of its list: its check
  // mark in the object tree is cleared.
  virtual void UncheckTable(std::size_t /*index*/) {}
};

// A sink that ignores everything.
class NullSink final : public NotificationSink {};

// Set by the front end, polled by the worker.
class StopFlag {
 public:
  void Request() { requested_.store(true, std::memory_order_release); }
  void Clear() { requested_.store(false, std::memory_order_release); }
  bool requested() const { return requested_.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> requested_{false};
};

}  // namespace quillon
