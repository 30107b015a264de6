#include "app/message_log.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/app_texts.h"

namespace quillon::app {

MessageLog::MessageLog(QWidget* parent) : QWidget(parent), edit_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("MessageLog"));
  setWindowTitle(QString::fromUtf8(text::kMessageLog));
  edit_->setObjectName(QStringLiteral("MessageLogText"));
  edit_->setReadOnly(true);
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit_->setUndoRedoEnabled(false);
  QPalette palette = edit_->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  edit_->setPalette(palette);
  QFont font(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  edit_->setFont(font);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->addWidget(edit_);
}

void MessageLog::Append(const QString& text, bool new_line) {
  const QString piece = new_line ? QStringLiteral("\r\n") + text : text;
  text_ += piece;
  QString shown = piece;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextCursor cursor(edit_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(shown);
  edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->maximum());
}

void MessageLog::Clear() {
  text_.clear();
  edit_->clear();
}

MessageLogDock::MessageLogDock(QWidget* parent)
    : QDockWidget(QString::fromUtf8(text::kAppTitle), parent), log_(new MessageLog(this)) {
  setObjectName(QStringLiteral("MessageLogDock"));
  setWidget(log_);
  setAllowedAreas(Qt::AllDockWidgetAreas);
}

}  // namespace quillon::app
