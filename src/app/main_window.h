// The main window: menus and toolbar, the search bar, the object tree and the
// right pane side by side, the docked message log and the status bar. It
// starts the jobs, keeps the commands enabled to match, and shows what the
// worker reports.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "app/app_state.h"
#include "app/gui_sink.h"
#include "app/main_commands.h"
#include "app/scan_job.h"
#include "app/script_preview.h"
#include "app/status_panes.h"
#include "app/user_prompts.h"
#include "browse/object_tree.h"

class QSplitter;

namespace quillon::app {

class CLeftView;
class CQuillonView;
class MessageLog;
class MessageLogDock;
class SearchBar;
class WorkerController;

class CMainFrame : public QMainWindow, private NotificationTarget {
  Q_OBJECT

 public:
  CMainFrame(UserPrompts& prompts, ScanJobFactory scan_job, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Shows the window with its remembered geometry, or maximized.
  void ShowAtStart();

  // The commands.
  void OpenDatabase();
  // Start Repair: the wizard, then the repair on the worker.
  void StartRepair();
  // The repair into the chosen target: the target is made and connected
  // here (a failure is shown, nothing starts), then the worker writes the
  // checked tables into it. False when nothing was started.
  bool StartRepairWith(repair::TargetChoice choice);
  void StopProcess();
  void SaveLog();
  void ClearLog();
  void OpenHelp();
  void ShowAbout();

  bool ProcessRunning() const;
  // Start Repair's rule: no process runs, a database was opened and
  // scanned, and the tree's root is not unchecked.
  bool RepairAllowed() const;
  const AppState& state() const { return state_; }
  const MainCommands& commands() const { return commands_; }
  MessageLog& log() const;
  MessageLogDock& logDock() const { return *log_dock_; }
  StatusPanes& status() { return *status_; }
  CLeftView& tree() const { return *tree_; }
  CQuillonView& rightPane() const { return *right_; }
  SearchBar& searchBar() const { return *search_bar_; }
  QToolBar& searchToolBar() const { return *search_toolbar_; }
  QSplitter& splitter() const { return *splitter_; }
  WorkerController& worker() const { return *worker_; }
  // LastFoundItem: where the last Find stopped (none before the first match
  // in the current tree).
  std::optional<NodeId> lastFoundItem() const { return last_found_item_; }

  // Sets the enabled state of every command from the application state.
  void UpdateCommands();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // NotificationTarget: the worker's reports, on the GUI thread.
  void OnProgress(ProgressStep step, std::uint64_t value) override;
  void OnShowMemory() override;
  void OnShowCount(std::uint64_t count) override;
  void OnAppendLog(const QString& text, LogMode mode) override;
  void OnMessage(const QString& text) override;
  void OnBuildTree(const ObjectTree& tree) override;
  void OnShowRecordList() override;
  void OnAddRecord(std::span<const DataView> cells, bool first) override;
  void OnRecordsComplete() override;
  void OnUncheckTable(std::size_t position) override;

  void OnProcessEnded();
  // A press on a caption of the object tree.
  void OnCaptionPressed(NodeId node);
  // The search bar's Find button and the change of its text.
  void OnFind(const QString& text, bool match_case, bool whole_word);
  void OnSearchTextChanged(const QString& text);
  // A click on a table: its first page of records (table_index: position in
  // the catalogue's table list).
  void StartRecordView(std::size_t table_index);
  // A click on another object: its script, generated on the worker, in the
  // right pane's script view.
  void StartScriptPreview(ScriptTarget target);
  // The record list with the current table's column captions, no rows.
  void ShowRecordColumns();
  // The worker in record mode for the page the record view state names.
  void StartRecordJob();
  // The "Next" and "Previous" buttons of the right pane.
  void NextPage();
  void PreviousPage();
  // The buttons as the record view state says.
  void ShowPagingButtons();
  // The window after a new choice in the Select Database dialog.
  void ResetForNewSource(const SourceSelection& selection);
  void ResetSearchBar(bool enabled);
  void SaveGeometry() const;

  UserPrompts* prompts_;
  ScanJobFactory scan_job_;
  AppState state_;
  MainCommands commands_;
  MessageLogDock* log_dock_;
  SearchBar* search_bar_;
  QToolBar* search_toolbar_;
  QSplitter* splitter_;
  CLeftView* tree_;
  CQuillonView* right_;
  std::unique_ptr<StatusPanes> status_;
  WorkerController* worker_;
  std::optional<NodeId> last_found_item_;
};

}  // namespace quillon::app
