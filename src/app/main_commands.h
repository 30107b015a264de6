// The main window's commands: menu bar, toolbar and their actions. The window
// connects the actions and keeps them enabled according to its state.
#pragma once

class QAction;
class QDockWidget;
class QMainWindow;
class QToolBar;

namespace quillon::app {

struct MainCommands {
  QAction* open_database = nullptr;
  QAction* start_repair = nullptr;
  QAction* stop = nullptr;
  QAction* exit = nullptr;
  QAction* view_toolbar = nullptr;
  QAction* view_status_bar = nullptr;
  QAction* view_message_log = nullptr;
  QAction* view_search_bar = nullptr;
  QAction* save_log = nullptr;
  QAction* clear_log = nullptr;
  QAction* help = nullptr;
  QAction* about = nullptr;
  QToolBar* toolbar = nullptr;
};

// Builds the menus File, View, Tools and Help and the toolbar of window.
// message_log and search_bar are the panes the View menu shows and hides.
MainCommands BuildMainCommands(QMainWindow& window, QDockWidget& message_log, QToolBar& search_bar);

}  // namespace quillon::app
