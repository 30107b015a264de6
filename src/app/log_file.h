// Save Log: the ".log" ending, the overwrite question and the file itself,
// UTF-16 little-endian without byte-order mark, exactly the log's characters.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace quillon::app {

class UserPrompts;

// report -> report.log, REPORT.LOG unchanged, report.txt -> report.txt.log.
QString WithLogExtension(const QString& path);
// Two bytes per UTF-16 code unit, low byte first; no mark, no terminator.
QByteArray Utf16LeBytes(const QString& text);
// Creates or truncates the file and writes text; false with error set when
// the file cannot be created or written.
bool WriteLogFile(const QString& path, const QString& text, QString* error);

// The whole command: choose a name, confirm an overwrite, write. Returns the
// path written, or an empty text when cancelled or failed (failures are
// reported through prompts).
QString SaveLogInteractively(QWidget* parent, UserPrompts& prompts, const QString& text);

}  // namespace quillon::app
