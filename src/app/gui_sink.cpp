#include "app/gui_sink.h"

#include <QMetaObject>
#include <QThread>

namespace quillon::app {

void GuiSink::RunOnGui(const std::function<void()>& fn) const {
  if (QThread::currentThread() == context_->thread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(context_, fn, Qt::BlockingQueuedConnection);
}

void GuiSink::Forward(const std::function<void()>& fn) {
  if (const std::optional<std::uint64_t> held = throttle_.TakeHeldCount()) {
    RunOnGui([&] {
      target_->OnShowCount(*held);
      fn();
    });
    return;
  }
  RunOnGui(fn);
}

void GuiSink::Flush() {
  if (const std::optional<std::uint64_t> held = throttle_.TakeHeldCount()) {
    RunOnGui([&] { target_->OnShowCount(*held); });
  }
}

void GuiSink::Progress(ProgressStep step, std::uint64_t value) {
  switch (step) {
    case ProgressStep::kStart:
      throttle_.ProgressStarted(value);
      break;
    case ProgressStep::kStep:
      if (const std::optional<std::uint64_t> position = throttle_.ProgressStepped()) {
        value = *position;
      } else {
        return;
      }
      break;
    case ProgressStep::kFinish:
      break;
  }
  Forward([&] { target_->OnProgress(step, value); });
}

void GuiSink::ShowMemory() {
  if (!throttle_.MemoryDue(NotificationThrottle::Clock::now())) return;
  Forward([&] { target_->OnShowMemory(); });
}

void GuiSink::ShowCount(std::uint64_t count) {
  if (!throttle_.CountDue(count, NotificationThrottle::Clock::now())) return;
  RunOnGui([&] { target_->OnShowCount(count); });
}

void GuiSink::AppendLog(std::string_view text, LogMode mode) {
  const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  Forward([&] { target_->OnAppendLog(line, mode); });
}

void GuiSink::BuildTree(const ObjectTree& tree) {
  Forward([&] { target_->OnBuildTree(tree); });
}

void GuiSink::ShowRecordList() {
  Forward([&] { target_->OnShowRecordList(); });
}

void GuiSink::AddRecord(std::span<const DataView> cells, bool first) {
  Forward([&] { target_->OnAddRecord(cells, first); });
}

void GuiSink::RecordsComplete() {
  Forward([&] { target_->OnRecordsComplete(); });
}

void GuiSink::UncheckTable(std::size_t position) {
  Forward([&] { target_->OnUncheckTable(position); });
}

void GuiSink::Message(std::string_view text) {
  const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  Forward([&] { target_->OnMessage(message); });
}

}  // namespace quillon::app
