// A WorkerSink for tests: it keeps the log as the message log would show it
// (one string per line), every notification in order, a copy of the tree,
// and can request a stop when a chosen notification arrives.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browse/object_tree.h"
#include "browse/worker_sink.h"

namespace quillon::test {

struct SinkEvent {
  enum class Kind { kProgress, kShowMemory, kShowCount, kAppendLog, kMessage, kBuildTree, kProcessEnded };
  Kind kind = Kind::kProgress;
  ProgressStep step = ProgressStep::kStart;
  std::uint64_t value = 0;
  std::string text;
  LogMode mode = LogMode::kNewLine;
};

class RecordingSink : public WorkerSink {
 public:
  // Called with every notification, after it has been recorded; a test
  // requests its stop here.
  std::function<void(const SinkEvent&)> on_event;

  std::vector<std::string> lines;   // the log, line by line
  std::vector<SinkEvent> events;
  std::vector<std::string> messages;
  std::optional<ObjectTree> tree;
  int process_ended = 0;
  std::uint64_t last_count = 0;
  std::uint64_t count_notifications = 0;

  // Forgets everything recorded so far.
  void Reset() {
    lines.clear();
    events.clear();
    messages.clear();
    tree.reset();
    process_ended = 0;
    last_count = 0;
    count_notifications = 0;
  }

  void Progress(ProgressStep step, std::uint64_t value) override {
    SinkEvent e = Event(SinkEvent::Kind::kProgress);
    e.step = step;
    e.value = value;
    Record(std::move(e));
  }
  void ShowMemory() override { Record(Event(SinkEvent::Kind::kShowMemory)); }
  void ShowCount(std::uint64_t count) override {
    last_count = count;
    ++count_notifications;
    SinkEvent e = Event(SinkEvent::Kind::kShowCount);
    e.value = count;
    Record(std::move(e));
  }
  void AppendLog(std::string_view text, LogMode mode) override {
    if (mode == LogMode::kNewLine || lines.empty()) {
      lines.emplace_back(text);
    } else {
      lines.back() += text;
    }
    SinkEvent e = Event(SinkEvent::Kind::kAppendLog);
    e.text = text;
    e.mode = mode;
    Record(std::move(e));
  }
  void Message(std::string_view text) override {
    messages.emplace_back(text);
    SinkEvent e = Event(SinkEvent::Kind::kMessage);
    e.text = text;
    Record(std::move(e));
  }
  void BuildTree(const ObjectTree& t) override {
    tree = t;
    Record(Event(SinkEvent::Kind::kBuildTree));
  }
  void ProcessEnded() override {
    ++process_ended;
    Record(Event(SinkEvent::Kind::kProcessEnded));
  }

 private:
  static SinkEvent Event(SinkEvent::Kind kind) {
    SinkEvent e;
    e.kind = kind;
    return e;
  }
  void Record(SinkEvent e) {
    events.push_back(std::move(e));
    if (on_event) on_event(events.back());
  }
};

}  // namespace quillon::test
