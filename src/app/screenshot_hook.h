// A test hook for the documentation's screenshots. With
// QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_SEARCH set, the program
// searches the given folder in the Select Database dialog, saves pictures of
// the dialog and of the main window (after scanning the first result, with
// the tree opened at a table and that table's rows shown) into the
// directory, then of the script previews of a view and of a trigger, of
// both pages of the repair wizard and of the window after a repair of the
// checked tables into a SQLite file (written in a temporary folder), and
// quits.
#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

class QTimer;

namespace quillon::app {

class CMainFrame;

class ScreenshotHook : public QObject {
  Q_OBJECT

 public:
  // Installs the hook when the environment asks for it; nullptr otherwise.
  static ScreenshotHook* InstallFromEnvironment(CMainFrame& window);

 private:
  ScreenshotHook(CMainFrame& window, QString out_dir, QString search_folder);
  void Tick();
  void Save(QWidget& widget, const char* name) const;

  CMainFrame* window_;
  QString out_dir_;
  QString search_folder_;
  QTimer* timer_;
  int step_ = 0;
  int settle_ticks_ = 0;
  QTemporaryDir repair_dir_;
};

}  // namespace quillon::app
