// The status bar's three panes (messages, record count, memory use) and the
// progress bar that a process shows inside it.
#pragma once

#include <QString>
#include <cstdint>

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace quillon::app {

class StatusPanes {
 public:
  explicit StatusPanes(QStatusBar& bar);

  void SetMessage(const QString& text);                    // pane 1
  void ShowCount(std::uint64_t count);                     // pane 2
  void ShowMemoryKb(std::uint64_t kb);                     // pane 3
  // Reads the resident memory; the pane stays unchanged when it cannot.
  void ShowMemory();

  // A new progress bar of steps steps with the text "Processing" (any
  // previous one removed), the steps done so far, and its removal.
  void StartProgress(std::uint64_t steps);
  void SetProgress(std::uint64_t done);
  void EndProgress();
  bool ProgressShown() const { return progress_shown_; }
  int ProgressValue() const;

  QString message() const;
  QString countText() const;
  QString memoryText() const;

 private:
  QStatusBar* bar_;
  QLabel* message_;
  QLabel* count_;
  QLabel* memory_;
  QWidget* progress_box_;
  QProgressBar* progress_;
  bool progress_shown_ = false;
  // The bar counts in int: a phase of more steps is shown scaled down.
  std::uint64_t progress_divisor_ = 1;
};

}  // namespace quillon::app
