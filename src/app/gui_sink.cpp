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

void GuiSink::Progress(ProgressStep step, std::uint64_t value) {
  RunOnGui([&] { target_->OnProgress(step, value); });
}

void GuiSink::ShowMemory() {
  RunOnGui([&] { target_->OnShowMemory(); });
}

void GuiSink::ShowCount(std::uint64_t count) {
  RunOnGui([&] { target_->OnShowCount(count); });
}

void GuiSink::AppendLog(std::string_view text, LogMode mode) {
  const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  RunOnGui([&] { target_->OnAppendLog(line, mode); });
}

void GuiSink::BuildTree(const ObjectTree& tree) {
  RunOnGui([&] { target_->OnBuildTree(tree); });
}

void GuiSink::ShowRecordList() {
  RunOnGui([&] { target_->OnShowRecordList(); });
}

void GuiSink::AddRecord(std::span<const DataView> cells, bool first) {
  RunOnGui([&] { target_->OnAddRecord(cells, first); });
}

void GuiSink::RecordsComplete() {
  RunOnGui([&] { target_->OnRecordsComplete(); });
}

void GuiSink::UncheckTable(std::size_t position) {
  RunOnGui([&] { target_->OnUncheckTable(position); });
}

void GuiSink::Message(std::string_view text) {
  const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  RunOnGui([&] { target_->OnMessage(message); });
}

}  // namespace quillon::app
