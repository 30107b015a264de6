#include "app/main_commands.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <utility>

#include "app/icons.h"

namespace quillon::app {

namespace {

// Text after a tab shows in the menu as the key, without binding it.
QAction* MakeAction(QMainWindow& window, const char* text, const char* icon, const char* tip) {
  auto* action = new QAction(QString::fromUtf8(text), &window);
  if (icon != nullptr) action->setIcon(MenuIcon(QString::fromLatin1(icon)));
  if (tip != nullptr) {
    action->setToolTip(QString::fromUtf8(tip));
    action->setStatusTip(QString::fromUtf8(tip));
  }
  return action;
}

}  // namespace

MainCommands BuildMainCommands(QMainWindow& window, QDockWidget& message_log, QToolBar& search_bar) {
  MainCommands c;
  c.open_database = MakeAction(window, "&Open Database", "open-database", "Open Database");
  c.open_database->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  c.start_repair = MakeAction(window, "Start &Repair\tCtrl+R", "start-repair",
                              "Repair the checked tables into a target database");
  c.stop = MakeAction(window, "Sto&p\tCtrl+P", "stop", "Stop the current process");
  c.exit = MakeAction(window, "Exit", "exit", "Quit the application");
  c.save_log = MakeAction(window, "Save Log", "save-log", "Save the message log to a file");
  c.clear_log = MakeAction(window, "Clear Log", "clear-log", "Clear the message log");
  c.help = MakeAction(window, "Quillon help", "help", "Help");
  c.about = MakeAction(window, "About Quillon...", "about", "About Quillon");

  c.toolbar = new QToolBar(QStringLiteral("Toolbar"), &window);
  c.toolbar->setObjectName(QStringLiteral("MainToolbar"));
  c.toolbar->setIconSize(QSize(48, 48));
  c.toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  c.toolbar->setAllowedAreas(Qt::AllToolBarAreas);
  window.addToolBar(Qt::TopToolBarArea, c.toolbar);
  // One action serves menu and toolbar: its icon holds the 16-pixel menu
  // artwork and the 48-pixel toolbar images.
  for (const auto& [action, artwork] : {std::pair{c.open_database, "open-database"},
                                        std::pair{c.start_repair, "start-repair"}, std::pair{c.stop, "stop"},
                                        std::pair{c.help, "help"}, std::pair{c.about, "about"}}) {
    action->setIcon(CommandIcon(QString::fromLatin1(artwork)));
    c.toolbar->addAction(action);
  }

  c.view_toolbar = c.toolbar->toggleViewAction();
  c.view_toolbar->setText(QStringLiteral("Toolbar"));
  c.view_status_bar = new QAction(QStringLiteral("StatusBar"), &window);
  c.view_status_bar->setCheckable(true);
  c.view_status_bar->setChecked(true);
  QObject::connect(c.view_status_bar, &QAction::toggled, window.statusBar(), &QStatusBar::setVisible);
  c.view_message_log = message_log.toggleViewAction();
  c.view_message_log->setText(QStringLiteral("MessageLog"));
  c.view_search_bar = search_bar.toggleViewAction();
  c.view_search_bar->setText(QStringLiteral("Search Bar"));

  QMenuBar* bar = window.menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->addAction(c.open_database);
  file->addAction(c.start_repair);
  file->addAction(c.stop);
  file->addSeparator();
  file->addAction(c.exit);
  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->addAction(c.view_toolbar);
  view->addAction(c.view_status_bar);
  view->addAction(c.view_message_log);
  view->addAction(c.view_search_bar);
  QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
  tools->addAction(c.save_log);
  tools->addAction(c.clear_log);
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->addAction(c.help);
  help->addSeparator();
  help->addAction(c.about);
  return c;
}

}  // namespace quillon::app
