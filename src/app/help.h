// The bundled user guide (share/quillon/help/index.html beside the program),
// opened in the desktop's browser.
#pragma once

#include <QString>

class QWidget;

namespace quillon::app {

class UserPrompts;

// The guide's index page, or an empty text when it is not installed.
QString HelpIndexPath();
// Opens the guide at the given section (empty: the start).
void OpenHelpPage(QWidget* parent, UserPrompts& prompts, const QString& section);

}  // namespace quillon::app
