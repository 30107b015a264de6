#include "app/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "app/user_prompts.h"

namespace quillon::app {

QString HelpIndexPath() {
  const QString relative = QStringLiteral("quillon/help/index.html");
  const QString beside =
      QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/") + relative);
  if (QFileInfo::exists(beside)) return QDir::cleanPath(beside);
  return QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative);
}

void OpenHelpPage(QWidget* parent, UserPrompts& prompts, const QString& section) {
  const QString path = HelpIndexPath();
  if (path.isEmpty()) {
    prompts.Inform(parent, QStringLiteral("The help is not installed."),
                   QStringLiteral("quillon/help/index.html was not found beside the program."));
    return;
  }
  QUrl url = QUrl::fromLocalFile(path);
  if (!section.isEmpty()) url.setFragment(section);
  QDesktopServices::openUrl(url);
}

}  // namespace quillon::app
