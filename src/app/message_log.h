// The message log: the docked pane at the bottom of the main window where
// every process writes its report, line by line.
//
// The log's text is kept exactly as appended, with "\r\n" between lines, and
// that is what Save Log writes; the read-only text control shows the same
// characters with each "\r\n" as a line break.
#pragma once

#include <QDockWidget>
#include <QString>

class QPlainTextEdit;

namespace quillon::app {

class MessageLog : public QWidget {
  Q_OBJECT

 public:
  explicit MessageLog(QWidget* parent = nullptr);

  // Appends text at the end; with new_line, "\r\n" goes in front of it.
  void Append(const QString& text, bool new_line);
  // Empties the log.
  void Clear();
  const QString& text() const { return text_; }
  QPlainTextEdit* control() const { return edit_; }

 private:
  QPlainTextEdit* edit_;
  QString text_;
};

// The dockable pane captioned with the application title that holds the log.
class MessageLogDock : public QDockWidget {
  Q_OBJECT

 public:
  explicit MessageLogDock(QWidget* parent = nullptr);
  MessageLog& log() const { return *log_; }

 private:
  MessageLog* log_;
};

}  // namespace quillon::app
