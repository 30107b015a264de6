// The engine's notifications, carried from the worker thread to the window.
//
// GuiSink is the NotificationSink the engine gets while a job runs. Each call
// made on the worker thread is handed to the GUI thread and returns only when
// the window has handled it, so the worker never runs ahead of what the user
// sees and never changes state the window is still reading. Called on the
// GUI thread itself (a job run in place), it calls the window directly.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "reader/notify.h"

namespace quillon::app {

// What the window does with each notification; runs on the GUI thread.
class NotificationTarget {
 public:
  virtual ~NotificationTarget() = default;
  virtual void OnProgress(ProgressStep step, std::uint64_t value) = 0;
  virtual void OnShowMemory() = 0;
  virtual void OnShowCount(std::uint64_t count) = 0;
  virtual void OnAppendLog(const QString& text, LogMode mode) = 0;
  virtual void OnMessage(const QString& text) = 0;
};

class GuiSink final : public NotificationSink {
 public:
  // context: a QObject living on the GUI thread.
  GuiSink(QObject& context, NotificationTarget& target) : context_(&context), target_(&target) {}

  void Progress(ProgressStep step, std::uint64_t value) override;
  void ShowMemory() override;
  void ShowCount(std::uint64_t count) override;
  void AppendLog(std::string_view text, LogMode mode) override;
  void Message(std::string_view text) override;

  // Runs fn on the GUI thread and returns when it has run. Further
  // notifications use this.
  void RunOnGui(const std::function<void()>& fn) const;

 private:
  QObject* context_;
  NotificationTarget* target_;
};

}  // namespace quillon::app
