#include "app/screenshot_hook.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <vector>

#include "app/about_dialog.h"
#include "app/left_view.h"
#include "app/main_window.h"
#include "app/message_log.h"
#include "app/object_tree_model.h"
#include "app/message_box.h"
#include "app/repair_wizard.h"
#include "app/select_database_dialog.h"
#include "app/user_prompts.h"

namespace quillon::app {

namespace {

// Wide enough for the captions of a table's columns.
constexpr int kTreeWidth = 400;

template <typename T>
T* VisibleTopLevel() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* t = qobject_cast<T*>(w); t != nullptr && t->isVisible()) return t;
  }
  return nullptr;
}

// The first table of the first application owner that has one, or nothing.
std::optional<NodeId> FirstTable(const ObjectTree& tree) {
  const std::optional<NodeId> schema = tree.Child(tree.root(), tree_caption::kSchema);
  if (!schema) return std::nullopt;
  for (const NodeId owner : tree.node(*schema).children) {
    const std::string& name = tree.node(owner).caption;
    if (name == "SYS" || name == "SYSTEM") continue;
    const std::optional<NodeId> tables = tree.Child(owner, tree_caption::kTables);
    if (tables && !tree.node(*tables).children.empty()) return tree.node(*tables).children.front();
  }
  return std::nullopt;
}

// Opens the tree down to the columns of its first table, selects it and
// presses its caption (its rows are read into the record list).
void ShowFirstTable(CLeftView& view) {
  const std::optional<NodeId> table = FirstTable(view.objectTree());
  if (!table) return;
  const QModelIndex index = view.treeModel().IndexOf(*table);
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) view.expand(up);
  view.expand(index);
  const std::vector<NodeId>& folders = view.objectTree().node(*table).children;
  if (!folders.empty()) view.expand(view.treeModel().IndexOf(folders.front()));
  view.setCurrentIndex(index);
  view.scrollTo(index.parent().parent(), QAbstractItemView::PositionAtTop);  // the owner
  view.horizontalScrollBar()->setValue(0);
  Q_EMIT view.captionPressed(*table);
}

// Opens the tree down to the node at path, selects it and presses its
// caption (a script preview starts for objects other than tables).
void PressNode(CLeftView& view, std::initializer_list<std::string_view> path) {
  const std::optional<NodeId> node = view.objectTree().Find(path);
  if (!node) return;
  view.SelectNode(*node);
  view.horizontalScrollBar()->setValue(0);
  Q_EMIT view.captionPressed(*node);
}

}  // namespace

ScreenshotHook* ScreenshotHook::InstallFromEnvironment(CMainFrame& window) {
  const QString out_dir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
  const QString search = qEnvironmentVariable("QUILLON_SCREENSHOT_SEARCH");
  if (out_dir.isEmpty() || search.isEmpty()) return nullptr;
  return new ScreenshotHook(window, out_dir, search);
}

ScreenshotHook::ScreenshotHook(CMainFrame& window, QString out_dir, QString search_folder)
    : QObject(&window), window_(&window), out_dir_(std::move(out_dir)), search_folder_(std::move(search_folder)),
      timer_(new QTimer(this)) {
  QDir().mkpath(out_dir_);
  window.resize(1180, 760);
  connect(timer_, &QTimer::timeout, this, &ScreenshotHook::Tick);
  timer_->start(250);
}

void ScreenshotHook::Save(QWidget& widget, const char* name) const {
  const QString path = QDir(out_dir_).filePath(QString::fromLatin1(name));
  if (!widget.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// One step per tick, each waiting for what the previous one started.
void ScreenshotHook::Tick() {
  if (settle_ticks_ > 0) {
    --settle_ticks_;
    return;
  }
  auto* dialog = VisibleTopLevel<CSelectOracleDataBase>();
  switch (step_) {
    case 0:  // the dialog is up: search the folder
      if (dialog == nullptr) return;
      dialog->SetLookIn(search_folder_);
      dialog->StartSearch();
      ++step_;
      break;
    case 1:  // the search is complete: picture the results, dismiss the box
      if (auto* box = VisibleTopLevel<MessageBoxDialog>(); box != nullptr && dialog != nullptr) {
        dialog->results()->selectRow(0);
        dialog->ChooseRow(0);
        Save(*dialog, "select-database.png");
        box->accept();
        ++step_;
      }
      break;
    case 2:  // scan the first database found
      if (dialog == nullptr) return;
      dialog->ScanFile();
      ++step_;
      settle_ticks_ = 2;
      break;
    case 3:  // the scan has ended: open the tree at a table, show its rows
      if (window_->ProcessRunning() || QApplication::activeModalWidget() != nullptr) return;
      if (auto* splitter = window_->findChild<QSplitter*>(); splitter != nullptr) {
        splitter->setSizes({kTreeWidth, window_->width() - kTreeWidth});
      }
      ShowFirstTable(window_->tree());
      ++step_;
      settle_ticks_ = 1;
      break;
    case 4:  // the rows are in: picture the window and the About box
      if (window_->ProcessRunning()) return;
      Save(*window_, "main-window.png");
      {
        AboutDialog about(window_);
        about.show();
        about.adjustSize();
        Save(about, "about.png");
      }
      ++step_;
      break;
    case 5:  // a view's script
      PressNode(window_->tree(), {tree_caption::kSchema, "HR", "Views", "EMP_V"});
      ++step_;
      settle_ticks_ = 1;
      break;
    case 6:
      if (window_->ProcessRunning()) return;
      Save(*window_, "script-preview-view.png");
      PressNode(window_->tree(), {tree_caption::kSchema, "HR", "Triggers", "EMP_BI_TRG"});
      ++step_;
      settle_ticks_ = 1;
      break;
    case 7:  // a trigger's script; then the table's rows again for the repair
      if (window_->ProcessRunning()) return;
      Save(*window_, "script-preview-trigger.png");
      ShowFirstTable(window_->tree());
      ++step_;
      settle_ticks_ = 1;
      break;
    case 8: {  // both pages of the repair wizard, the second with a SQLite file
      if (window_->ProcessRunning()) return;
      DialogPrompts prompts;
      CFirstStep first(prompts, window_);
      first.show();
      first.adjustSize();
      Save(first, "repair-wizard-1.png");
      first.hide();
      const RepairWizardContext context{window_->state().source_database_path,
                                        QString::fromStdString(window_->state().engine->identification.database_name)};
      CDataBaseNameField page(prompts, context, window_);
      page.SetKind(repair::TargetKind::kSqliteFile);
      page.fileEdit()->setText(repair_dir_.filePath(QFileInfo(page.DefaultFile(repair::TargetKind::kSqliteFile)).fileName()));
      page.show();
      page.adjustSize();
      Save(page, "repair-wizard-2.png");
      page.hide();
      ++step_;
      break;
    }
    case 9: {  // the repair of the checked tables into that file
      repair::TargetChoice choice;
      choice.kind = repair::TargetKind::kSqliteFile;
      choice.file_path = repair_dir_.filePath(QStringLiteral("SAMPLE.sqlite")).toStdString();
      choice.target_folder = repair_dir_.path().toStdString();
      window_->resizeDocks({&window_->logDock()}, {window_->height() / 2}, Qt::Vertical);
      if (!window_->StartRepairWith(std::move(choice))) {
        std::fprintf(stderr, "the repair did not start\n");
        QCoreApplication::exit(1);
        return;
      }
      ++step_;
      settle_ticks_ = 1;
      break;
    }
    case 10:  // the repair has ended: picture the window with its log
      if (window_->ProcessRunning()) return;
      Save(*window_, "repair-log.png");
      timer_->stop();
      QCoreApplication::exit(0);
      break;
    default:
      break;
  }
}

}  // namespace quillon::app
