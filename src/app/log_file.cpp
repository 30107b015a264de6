#include "app/log_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include "app/app_texts.h"
#include "app/user_prompts.h"

namespace quillon::app {

QString WithLogExtension(const QString& path) {
  if (path.right(4).compare(QStringLiteral(".log"), Qt::CaseInsensitive) == 0) return path;
  return path + QStringLiteral(".log");
}

QByteArray Utf16LeBytes(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size() * 2);
  for (const QChar c : text) {
    const char16_t unit = c.unicode();
    bytes.append(static_cast<char>(unit & 0xFF));
    bytes.append(static_cast<char>(unit >> 8));
  }
  return bytes;
}

bool WriteLogFile(const QString& path, const QString& text, QString* error) {
  // Written to a temporary file and renamed, so a failed save never leaves
  // a truncated log where a good one was.
  QSaveFile file(path);
  const QByteArray bytes = Utf16LeBytes(text);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  if (error != nullptr) *error = QString::fromUtf8(text::kUnableToWrite).arg(path);
  return false;
}

QString SaveLogInteractively(QWidget* parent, UserPrompts& prompts, const QString& text) {
  QString proposed = QString::fromUtf8(text::kProposedLogName);
  for (;;) {
    const std::optional<QString> chosen = prompts.ChooseLogFile(parent, proposed);
    if (!chosen) return {};
    const QString path = WithLogExtension(*chosen);
    if (QFileInfo::exists(path) && !prompts.ConfirmOverwrite(parent)) {
      proposed = *chosen;
      continue;
    }
    QString error;
    if (!WriteLogFile(path, text, &error)) {
      prompts.Inform(parent, error, QString());
      return {};
    }
    return path;
  }
}

}  // namespace quillon::app
