#include "app/main_window.h"
#include "app/qt_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <optional>

#include "app/about_dialog.h"
#include "app/app_texts.h"
#include "app/help.h"
#include "app/left_view.h"
#include "app/log_file.h"
#include "app/message_log.h"
#include "app/right_pane.h"
#include "app/script_preview.h"
#include "app/search_bar.h"
#include "app/tree_find.h"
#include "app/user_prompts.h"
#include "app/worker_controller.h"
#include "browse/log_text.h"
#include "browse/repair_tables.h"
#include "browse/record_columns.h"
#include "browse/tree_click.h"

namespace quillon::app {

namespace {


QSettings WindowSettings() { return QSettings(QStringLiteral("Brackwater"), QStringLiteral("Quillon")); }

constexpr int kTreeWidth = 230;
constexpr int kRightWidth = 190;
// More nodes than this make the tree worth searching.
constexpr int kSearchableNodeCount = 4;

}  // namespace

CMainFrame::CMainFrame(UserPrompts& prompts, ScanJobFactory scan_job, QWidget* parent)
    : QMainWindow(parent),
      prompts_(&prompts),
      scan_job_(std::move(scan_job)),
      log_dock_(new MessageLogDock(this)),
      search_bar_(new SearchBar(this)),
      search_toolbar_(new QToolBar(QStringLiteral("Search Bar"), this)),
      splitter_(new QSplitter(Qt::Horizontal, this)),
      tree_(new CLeftView(splitter_)),
      right_(new CQuillonView(splitter_)),
      worker_(new WorkerController(*this, this)) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowTitle(Text(text::kWindowTitle));

  status_ = std::make_unique<StatusPanes>(*statusBar());

  // The search bar sits at the top, fixed, hidden until there is a tree.
  search_toolbar_->setObjectName(QStringLiteral("SearchToolBar"));
  search_toolbar_->setMovable(false);
  search_toolbar_->setFloatable(false);
  search_toolbar_->setAllowedAreas(Qt::TopToolBarArea);
  search_toolbar_->addWidget(search_bar_);

  commands_ = BuildMainCommands(*this, *log_dock_, *search_toolbar_);
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, search_toolbar_);
  search_toolbar_->hide();

  splitter_->addWidget(tree_);
  splitter_->addWidget(right_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({kTreeWidth, kRightWidth});
  setCentralWidget(splitter_);

  addDockWidget(Qt::BottomDockWidgetArea, log_dock_);
  log().Append(Text(text::kLogHeader), false);

  connect(commands_.open_database, &QAction::triggered, this, &CMainFrame::OpenDatabase);
  connect(commands_.start_repair, &QAction::triggered, this, &CMainFrame::StartRepair);
  connect(commands_.stop, &QAction::triggered, this, &CMainFrame::StopProcess);
  connect(commands_.exit, &QAction::triggered, this, &QWidget::close);
  connect(commands_.save_log, &QAction::triggered, this, &CMainFrame::SaveLog);
  connect(commands_.clear_log, &QAction::triggered, this, &CMainFrame::ClearLog);
  connect(commands_.help, &QAction::triggered, this, &CMainFrame::OpenHelp);
  connect(commands_.about, &QAction::triggered, this, &CMainFrame::ShowAbout);
  connect(worker_, &WorkerController::processEnded, this, &CMainFrame::OnProcessEnded);
  connect(worker_, &WorkerController::idle, this, &CMainFrame::UpdateCommands);
  connect(search_bar_, &SearchBar::findRequested, this, &CMainFrame::OnFind);
  connect(search_bar_, &SearchBar::searchTextChanged, this, &CMainFrame::OnSearchTextChanged);
  connect(right_, &CQuillonView::nextClicked, this, &CMainFrame::NextPage);
  connect(right_, &CQuillonView::previousClicked, this, &CMainFrame::PreviousPage);
  tree_->SetBusyCheck([this] { return ProcessRunning(); });
  connect(tree_, &CLeftView::captionPressed, this, &CMainFrame::OnCaptionPressed);
  connect(tree_, &CLeftView::checkStatesChanged, this, &CMainFrame::UpdateCommands);
  // A node id of another tree would select some unrelated node.
  connect(tree_, &CLeftView::treeReplaced, this, [this] { last_found_item_.reset(); });

  status_->ShowMemory();
  UpdateCommands();
}

CMainFrame::~CMainFrame() {
  // A job still running reports to this window: stop it while the window
  // is whole.
  if (worker_->ProcessRunning()) {
    worker_->RequestStop();
    worker_->WaitUntilIdle();
  }
}

void CMainFrame::ShowAtStart() {
  QSettings settings = WindowSettings();
  const QByteArray geometry = settings.value(QStringLiteral("MainWindow/geometry")).toByteArray();
  const QByteArray layout = settings.value(QStringLiteral("MainWindow/state")).toByteArray();
  if (!layout.isEmpty()) restoreState(layout);
  search_toolbar_->hide();  // shown again only when a tree has been built
  if (!geometry.isEmpty() && restoreGeometry(geometry)) {
    show();
  } else {
    showMaximized();
  }
}

void CMainFrame::SaveGeometry() const {
  QSettings settings = WindowSettings();
  settings.setValue(QStringLiteral("MainWindow/geometry"), saveGeometry());
  settings.setValue(QStringLiteral("MainWindow/state"), saveState());
}

MessageLog& CMainFrame::log() const { return log_dock_->log(); }

bool CMainFrame::ProcessRunning() const { return worker_->ProcessRunning(); }

bool CMainFrame::RepairAllowed() const {
  const ObjectTree& tree = tree_->objectTree();
  return !ProcessRunning() && state_.database_opened && state_.scan_completed && state_.engine != nullptr &&
         tree.node(tree.root()).state != CheckState::kUnchecked;
}

void CMainFrame::UpdateCommands() {
  const bool running = ProcessRunning();
  commands_.open_database->setEnabled(!running);
  commands_.start_repair->setEnabled(RepairAllowed());
  commands_.stop->setEnabled(running);
  const bool log_commands = !running && state_.database_opened && state_.log_has_text;
  commands_.save_log->setEnabled(log_commands);
  commands_.clear_log->setEnabled(log_commands);
}

void CMainFrame::OpenDatabase() {
  if (ProcessRunning()) return;
  const std::optional<SourceSelection> selection = prompts_->SelectSource(this);
  if (!selection) return;
  ResetForNewSource(*selection);
  if (selection->system_datafile.isEmpty()) {
    prompts_->Inform(this, Text(text::kNoSystemDatafile), Text(text::kSelectValidPath));
    state_.source_database_path = Text(text::kAppTitle);
    tree_->ResetRoot(state_.source_database_path);
    UpdateCommands();
    return;
  }
  state_.database_opened = true;
  state_.scan_completed = false;
  state_.view_only = false;
  // The previous database's engine goes with everything it read.
  state_.engine.reset();
  state_.engine = std::make_unique<COracleRecoveryTools>(worker_->sink(), worker_->stop_flag());
  const ScanRequest request{state_.source_database_path.toStdString(), state_.system_datafile.toStdString()};
  worker_->Start(scan_job_(*state_.engine, request));
  ResetSearchBar(false);
  UpdateCommands();
}

void CMainFrame::StartRepair() {
  if (!RepairAllowed()) return;
  state_.view_only = false;
  const RepairWizardContext context{state_.source_database_path,
                                    QString::fromStdString(state_.engine->identification.database_name)};
  std::optional<repair::TargetChoice> choice = prompts_->ChooseRepairTarget(this, context);
  // Either page cancelled: the repair ends before it began, without a line.
  if (!choice) return;
  StartRepairWith(std::move(*choice));
}

bool CMainFrame::StartRepairWith(repair::TargetChoice choice) {
  if (!RepairAllowed()) {
    repair::WipePassword(choice.password);
    return false;
  }
  if (choice.kind == repair::TargetKind::kSqliteFile && !choice.file_path.empty()) {
    // A new file: the tables are created, not added to an older repair's.
    QFile::remove(QString::fromStdString(choice.file_path));
  }
  auto setup = std::make_shared<RepairSetup>();
  setup->target = repair::MakeTarget(choice);
  repair::WipePassword(choice.password);
  if (!setup->target) {
    prompts_->ShowError(this, QString::fromUtf8(repair::kTargetNotAvailable.data(),
                                                 static_cast<qsizetype>(repair::kTargetNotAvailable.size())));
    return false;
  }
  if (!setup->target->Connect()) {
    const QString error = QString::fromStdString(setup->target->DescribeError());
    prompts_->ShowError(this, error.isEmpty() ? Text(text::kUnknownError) : error);
    if (choice.kind == repair::TargetKind::kOracleDataSource) {
      prompts_->Inform(this, QString(), Text(text::kRetryConnection));
    }
    return false;
  }
  RepairTables tables = SelectRepairTables(tree_->objectTree(), state_.engine->catalogue);
  state_.repair_tables = std::move(tables.names);
  setup->request.dialect = repair::DialectOf(choice.kind);
  setup->request.tables = std::move(tables.objects);
  setup->request.side_file = repair::SideFilePath(choice);
  setup->request.errors_file = repair::ErrorsFilePath(choice);
  setup->request.oracle = repair::OracleOptionsOf(choice);
  const ScanRequest request{state_.source_database_path.toStdString(), state_.system_datafile.toStdString()};
  ResetSearchBar(false);
  right_->Clear();
  const bool started = worker_->Start(MakeRepairJob(*state_.engine, request, std::move(setup)));
  UpdateCommands();
  return started;
}

void CMainFrame::ResetForNewSource(const SourceSelection& selection) {
  state_.source_database_path = selection.folder;
  state_.system_datafile = selection.system_datafile;
  if (selection.system_datafile.isEmpty()) {
    state_.database_opened = false;
    tree_->ResetRoot(Text(text::kAppTitle));
  } else {
    tree_->ResetRoot(selection.folder);
  }
  right_->Clear();
}

void CMainFrame::ResetSearchBar(bool enabled) {
  search_bar_->Reset();
  search_bar_->SetControlsEnabled(enabled);
}

void CMainFrame::StopProcess() {
  const QString lower = Text(state_.view_only ? text::kAskStopView : text::kAskStop);
  if (!prompts_->Ask(this, Text(text::kStopNotResumable), lower)) return;
  if (!ProcessRunning()) return;
  if (!state_.scan_completed) tree_->ResetRoot(Text(text::kAppTitle));
  worker_->RequestStop();
  worker_->WaitUntilIdle();
}

void CMainFrame::OnProcessEnded() {
  status_->EndProgress();
  status_->ShowMemory();
  status_->SetMessage(Text(text::kReady));
  if (worker_->StopRequested()) {
    prompts_->Inform(this, QString(), Text(text::kStoppedByUser));
    OnAppendLog(QString::fromStdString(StopLine()), LogMode::kNewLine);
  }
  if (!state_.search_started) search_bar_->Reset();
  search_bar_->SetControlsEnabled(tree_->NodeCount() > kSearchableNodeCount);
  // The record job has written how many pages there are.
  if (right_->recordList() != nullptr) ShowPagingButtons();
}

void CMainFrame::StartRecordView(std::size_t table_index) {
  if (ProcessRunning() || !state_.engine) return;
  const Catalogue& catalogue = state_.engine->catalogue;
  std::optional<std::uint32_t> table;
  std::size_t position = 0;
  for (const ObjectRecord& object : catalogue.ObjectsOfKind(ObjectKind::kTable)) {
    if (position++ == table_index) {
      table = object.object_number;
      break;
    }
  }
  if (!table) {
    right_->Clear();
    return;
  }
  state_.record_view.Start(*table);
  state_.record_columns = BuildRecordColumns(catalogue, *table);
  ShowRecordColumns();
  StartRecordJob();
}

// The generators only read the catalogue (no process changes it while the
// job runs) and build text; the text goes back to the GUI thread, which
// alone touches the script view.
void CMainFrame::StartScriptPreview(ScriptTarget target) {
  if (ProcessRunning() || !state_.engine) return;
  right_->PrepareScriptView();
  const Catalogue* catalogue = &state_.engine->catalogue;
  worker_->Start([this, catalogue, target = std::move(target)](WorkerSink& /*sink*/, const StopFlag& /*stop*/) {
    QString script = QString::fromStdString(GenerateScriptPreview(*catalogue, target));
    QMetaObject::invokeMethod(
        this, [this, script = std::move(script)] { right_->ShowScript(script); }, Qt::QueuedConnection);
  });
  UpdateCommands();
}

void CMainFrame::ShowRecordColumns() {
  QStringList captions;
  for (const RecordListColumn& column : state_.record_columns.list) captions << QString::fromStdString(column.name);
  right_->ShowRecordList();
  right_->SetColumns(captions);
}

void CMainFrame::StartRecordJob() {
  if (ProcessRunning() || !state_.engine) return;
  state_.view_only = true;
  const ScanRequest request{state_.source_database_path.toStdString(), state_.system_datafile.toStdString()};
  worker_->Start(MakeRecordJob(*state_.engine, request, state_.record_view));
  UpdateCommands();
}

// While a worker runs the press only empties the list: the worker reads the
// paging state, so it is not changed under it.
void CMainFrame::NextPage() {
  right_->ClearRows();
  if (ProcessRunning() || !state_.record_view.Next(false)) return;
  ShowPagingButtons();
  StartRecordJob();
}

void CMainFrame::PreviousPage() {
  right_->ClearRows();
  if (ProcessRunning() || !state_.record_view.Previous(false)) return;
  ShowPagingButtons();
  StartRecordJob();
}

void CMainFrame::ShowPagingButtons() {
  right_->SetPreviousEnabled(state_.record_view.previous_enabled());
  right_->SetNextEnabled(state_.record_view.next_enabled());
}

void CMainFrame::SaveLog() {
  if (!commands_.save_log->isEnabled()) return;
  SaveLogInteractively(this, *prompts_, log().text());
}

void CMainFrame::ClearLog() {
  if (!commands_.clear_log->isEnabled()) return;
  state_.log_has_text = false;
  log().Clear();
  log().Append(Text(text::kLogHeader), true);
  UpdateCommands();
}

void CMainFrame::OpenHelp() { OpenHelpPage(this, *prompts_, QString()); }

void CMainFrame::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (ProcessRunning()) {
    prompts_->Inform(this, Text(text::kCanNotExit), Text(text::kStopBeforeExit));
    event->ignore();
    return;
  }
  if (!prompts_->Ask(this, QString(), Text(text::kAskExit))) {
    event->ignore();
    return;
  }
  SaveGeometry();
  event->accept();
}

void CMainFrame::OnProgress(ProgressStep step, std::uint64_t value) {
  switch (step) {
    case ProgressStep::kStart:
      status_->StartProgress(value);
      break;
    case ProgressStep::kStep:
      status_->SetProgress(value);
      break;
    case ProgressStep::kFinish:
      status_->EndProgress();
      break;
  }
}

void CMainFrame::OnShowMemory() { status_->ShowMemory(); }

void CMainFrame::OnShowCount(std::uint64_t count) { status_->ShowCount(count); }

void CMainFrame::OnAppendLog(const QString& text, LogMode mode) {
  if (!log_dock_->isVisible()) log_dock_->show();
  log().Append(text, mode != LogMode::kContinue);
  state_.log_has_text = true;
  UpdateCommands();
}

void CMainFrame::OnMessage(const QString& text) { prompts_->Inform(this, text, QString()); }

void CMainFrame::OnBuildTree(const ObjectTree& tree) {
  status_->SetMessage(Text(text::kGeneratingTree));
  tree_->ShowTree(tree);
  // The catalogue is complete from here on, whatever happens to the counts.
  state_.scan_completed = true;
  search_toolbar_->show();
  status_->SetMessage(Text(text::kProcessing));
  UpdateCommands();
}

void CMainFrame::OnShowRecordList() { ShowRecordColumns(); }

void CMainFrame::OnAddRecord(std::span<const DataView> cells, bool first) {
  QStringList texts;
  for (const std::string& text : PlaceCells(state_.record_columns, cells)) texts << QString::fromStdString(text);
  right_->AddRow(texts, first);
}

void CMainFrame::OnRecordsComplete() { right_->SetNextEnabled(false); }

void CMainFrame::OnUncheckTable(std::size_t position) { tree_->UncheckTable(state_.repair_tables, position); }

void CMainFrame::OnFind(const QString& text, bool match_case, bool whole_word) {
  state_.search_started = true;
  if (!text.isEmpty()) search_bar_->findButton()->setText(Text(text::kFindNext));
  const ObjectTree& tree = tree_->objectTree();
  const std::optional<NodeId> found =
      FindTreeItem(tree, tree_->SelectedNode(), text.toStdString(), match_case, whole_word, last_found_item_);
  if (found) {
    if (*found != tree.root()) tree_->SelectNode(*found);
    return;
  }
  // Blanks alone are no search text: nothing was searched, nothing ended.
  if (!SearchPattern(text.toStdString(), true).empty()) prompts_->Inform(this, QString(), Text(text::kSearchFinished));
  if (last_found_item_) tree_->SelectNode(*last_found_item_);
}

// A new text starts again from the top.
void CMainFrame::OnSearchTextChanged(const QString& text) {
  if (text.isEmpty()) return;
  last_found_item_ = tree_->objectTree().root();
  tree_->SelectNode(tree_->objectTree().root());
}

void CMainFrame::OnCaptionPressed(NodeId node) {
  if (ProcessRunning() || !state_.engine) return;
  const ClickRequest request = RequestForClick(tree_->objectTree(), node, state_.engine->catalogue);
  switch (request.kind) {
    case ClickRequest::Kind::kNothing:
      return;
    case ClickRequest::Kind::kClearPane:
      right_->Clear();
      return;
    case ClickRequest::Kind::kScriptPreview:
      StartScriptPreview(ResolveScriptTarget(tree_->objectTree(), node, request, state_.engine->catalogue));
      return;
    case ClickRequest::Kind::kRecordView:
      StartRecordView(request.table_index);
      return;
  }
}

}  // namespace quillon::app
