// The engine's notifications, carried from the worker thread to the window.
//
// GuiSink is the WorkerSink the engine and the worker get while a job runs. Each call
// made on the worker thread is handed to the GUI thread and returns only when
// the window has handled it, so the worker never runs ahead of what the user
// sees and never changes state the window is still reading. Called on the
// GUI thread itself (a job run in place), it calls the window directly.
//
// Progress steps, record counts and memory readings come once per block;
// the sink forwards only those the window would show differently
// (notification_throttle.h), so a long count is not slowed down by the
// round trips. A held-back count reaches the window before the next
// notification of any kind, and at the latest with Flush.
#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "app/notification_throttle.h"
#include "browse/worker_sink.h"

namespace quillon::app {

// What the window does with each notification; runs on the GUI thread.
class NotificationTarget {
 public:
  virtual ~NotificationTarget() = default;
  // kStart: value is the number of steps; kStep: value is the number of
  // steps done so far (not every step is reported); kFinish: no value.
  virtual void OnProgress(ProgressStep step, std::uint64_t value) = 0;
  virtual void OnShowMemory() = 0;
  virtual void OnShowCount(std::uint64_t count) = 0;
  virtual void OnAppendLog(const QString& text, LogMode mode) = 0;
  virtual void OnMessage(const QString& text) = 0;
  // The worker's own notifications; a window without the matching pane
  // ignores them.
  virtual void OnBuildTree(const ObjectTree& /*tree*/) {}
  virtual void OnShowRecordList() {}
  virtual void OnAddRecord(std::span<const DataView> /*cells*/, bool /*first*/) {}
  virtual void OnRecordsComplete() {}
  virtual void OnUncheckTable(std::size_t /*position*/) {}
};

class GuiSink final : public WorkerSink {
 public:
  // context: a QObject living on the GUI thread.
  GuiSink(QObject& context, NotificationTarget& target) : context_(&context), target_(&target) {}

  void Progress(ProgressStep step, std::uint64_t value) override;
  void ShowMemory() override;
  void ShowCount(std::uint64_t count) override;
  void AppendLog(std::string_view text, LogMode mode) override;
  void Message(std::string_view text) override;
  void BuildTree(const ObjectTree& tree) override;
  void ShowRecordList() override;
  void AddRecord(std::span<const DataView> cells, bool first) override;
  void RecordsComplete() override;
  void UncheckTable(std::size_t position) override;
  // Nothing to do: WorkerController posts the end of a job itself when the
  // job returns, whether it called this or not (or threw).
  void ProcessEnded() override {}

  // Hands a held-back record count to the window. Called on the worker
  // thread when a job has returned.
  void Flush();

  // Runs fn on the GUI thread and returns when it has run. Further
  // notifications use this.
  void RunOnGui(const std::function<void()>& fn) const;

 private:
  // Runs fn on the GUI thread after the held-back count, if any.
  void Forward(const std::function<void()>& fn);

  QObject* context_;
  NotificationTarget* target_;
  NotificationThrottle throttle_;
};

}  // namespace quillon::app
