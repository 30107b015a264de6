#include "app/status_panes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>
#include <limits>

#include "app/app_texts.h"
#include "app/memory_use.h"

namespace quillon::app {

namespace {

QLabel* MakePane(QStatusBar& bar, int width, const char* name) {
  auto* pane = new QLabel(&bar);
  pane->setObjectName(QString::fromLatin1(name));
  pane->setMinimumWidth(width);
  pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return pane;
}

}  // namespace

StatusPanes::StatusPanes(QStatusBar& bar)
    : bar_(&bar),
      message_(MakePane(bar, 200, "StatusMessage")),
      count_(MakePane(bar, 110, "StatusRecords")),
      memory_(MakePane(bar, 135, "StatusMemory")) {
  message_->setFrameStyle(QFrame::NoFrame);
  bar.addWidget(message_, 1);
  bar.addPermanentWidget(count_);
  bar.addPermanentWidget(memory_);
  SetMessage(QString::fromUtf8(text::kReady));

  // The progress bar stays in the status bar and is shown and hidden, as
  // Qt 6.4's QStatusBar::removeWidget hides the widget after the removed one.
  progress_box_ = new QWidget(&bar);
  progress_box_->setObjectName(QStringLiteral("StatusProgress"));
  auto* layout = new QHBoxLayout(progress_box_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QString::fromUtf8(text::kProcessing), progress_box_));
  progress_ = new QProgressBar(progress_box_);
  progress_->setTextVisible(false);
  progress_->setFixedWidth(260);
  layout->addWidget(progress_);
  bar.insertWidget(1, progress_box_);
  progress_box_->hide();
}

void StatusPanes::SetMessage(const QString& text) { message_->setText(text); }

void StatusPanes::ShowCount(std::uint64_t count) {
  count_->setText(QString::fromUtf8(text::kRecordsPrefix) + QString::number(count));
}

void StatusPanes::ShowMemoryKb(std::uint64_t kb) {
  memory_->setText(QString::fromUtf8(text::kMemoryPrefix) + QString::fromStdString(KilobytesText(kb)));
}

void StatusPanes::ShowMemory() {
  if (const auto kb = ReadResidentKb()) ShowMemoryKb(*kb);
}

void StatusPanes::StartProgress(std::uint64_t steps) {
  constexpr std::uint64_t kTop = std::numeric_limits<int>::max();
  steps = std::max<std::uint64_t>(steps, 1);
  progress_divisor_ = steps > kTop ? steps / kTop + 1 : 1;
  progress_->setRange(0, static_cast<int>(steps / progress_divisor_));
  progress_->setValue(0);
  progress_box_->show();
  progress_shown_ = true;
}

void StatusPanes::SetProgress(std::uint64_t done) {
  if (!progress_shown_) return;
  const std::uint64_t value = std::min<std::uint64_t>(done / progress_divisor_, progress_->maximum());
  progress_->setValue(static_cast<int>(value));
}

void StatusPanes::EndProgress() {
  progress_box_->hide();
  progress_shown_ = false;
}

int StatusPanes::ProgressValue() const { return progress_shown_ ? progress_->value() : -1; }
QString StatusPanes::message() const { return message_->text(); }
QString StatusPanes::countText() const { return count_->text(); }
QString StatusPanes::memoryText() const { return memory_->text(); }

}  // namespace quillon::app
