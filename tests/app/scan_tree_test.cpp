// Open Database on a generated database: the real scan on the worker thread,
// its report in the log (the same as the command line's), the object tree it
// builds, the commands while it runs and after, Stop before and after the
// tree, the tree's check boxes, folder icons and caption presses, and the
// frozen tree while a process runs.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolBar>
#include <QTextEdit>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "app/app_texts.h"
#include "app/left_view.h"
#include "app/main_window.h"
#include "app/message_log.h"
#include "app/object_tree_model.h"
#include "app/right_pane.h"
#include "app/search_bar.h"
#include "app/worker_controller.h"
#include "browse/tree_icons.h"
#include "cli/cli.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"
#include "support/tree_presses.h"

using namespace quillon;
using namespace quillon::app;
using namespace quillon::app::testing;

namespace {

constexpr int kScanTimeoutMs = 120000;

QStringList CliOutputLines(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  cli::Io io{out, err};
  cli::Run(args, io);
  QStringList lines = QString::fromStdString(out.str()).split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

// The report's dates ("Monday, March 01, 2010, 09:05:01 AM") as one word.
QStringList MaskDates(QStringList lines) {
  static const QRegularExpression date(QStringLiteral("\\w+, \\w+ \\d\\d, \\d{4}, \\d\\d:\\d\\d:\\d\\d [AP]M"));
  for (QString& line : lines) line.replace(date, QStringLiteral("<date>"));
  return lines;
}

// The log's lines after its header.
QStringList LogLines(const CMainFrame& window) {
  QStringList lines = window.log().text().split(QStringLiteral("\r\n"));
  lines.removeFirst();
  return lines;
}

// The tree as the view's model shows it, in the outline form of the
// command line's tree command.
void Outline(const QAbstractItemModel& model, const QModelIndex& parent, int depth, QString& out) {
  for (int row = 0; row < model.rowCount(parent); ++row) {
    const QModelIndex index = model.index(row, 0, parent);
    static const char* const kBoxes[] = {"", "[ ] ", "[x] ", "[~] "};
    out += QString(depth * 2, QLatin1Char(' '));
    out += QString::fromLatin1(kBoxes[index.data(ObjectTreeModel::kCheckStateRole).toInt()]);
    out += index.data().toString() + QLatin1Char('\n');
    Outline(model, index, depth + 1, out);
  }
}

int StateOf(const QModelIndex& index) { return index.data(ObjectTreeModel::kCheckStateRole).toInt(); }

// The first Open Database runs the real scan; later ones a job that builds
// a small tree and waits until released or stopped.
struct Jobs {
  std::atomic<bool> release{false};
  std::atomic<bool> gated_started{false};
  int calls = 0;

  ScanJobFactory Factory() {
    return [this](COracleRecoveryTools& engine, const ScanRequest& request) -> Job {
      if (calls++ == 0) return MakeScanJob(engine, request);
      return [this](WorkerSink& sink, const StopFlag& stop) {
        ObjectTree tree("ROOT");
        const NodeId schema = tree.Add(tree.root(), "Schema", tree_icon::kSchema, CheckState::kChecked);
        const NodeId owner = tree.Add(schema, "SCOTT", tree_icon::kOwner, CheckState::kChecked);
        const NodeId tables = tree.Add(owner, "Tables", tree_icon::kFolderClosed, CheckState::kChecked);
        tree.Add(tables, "EMP", tree_icon::kTable, CheckState::kChecked);
        tree.SetExpandedFlag(tree.root(), true);
        tree.SetExpandedFlag(schema, true);
        tree.SetExpandedFlag(owner, true);
        tree.SetExpandedFlag(tables, true);
        sink.BuildTree(tree);
        gated_started = true;
        while (!release && !stop.requested()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      };
    };
  }
};

}  // namespace

class ScanTreeTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString folder_;
  QString system_;

  void Scan(CMainFrame& window, ScriptedPrompts& prompts) {
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kScanTimeoutMs);
  }

  // The node reached from the root through these captions.
  QModelIndex Node(const CMainFrame& window, const QStringList& path) const {
    return window.tree().treeModel().Find(path);
  }

  // Scans and, once the report shows a line holding text, the user stops:
  // the flag is set at once (the worker is waiting for this very line), the
  // Stop command follows as soon as the line has been handled, from a queued
  // call (its wait must still get the worker's notifications).
  void ScanAndStopAt(CMainFrame& window, ScriptedPrompts& prompts, const QString& text) {
    bool asked = false;
    const QMetaObject::Connection watch =
        connect(window.log().control()->document(), &QTextDocument::contentsChanged, this, [&] {
          if (asked || !window.log().text().contains(text)) return;
          asked = true;
          window.worker().RequestStop();
          prompts.answers.push_back(true);
          QMetaObject::invokeMethod(&window, [&window] { window.StopProcess(); }, Qt::QueuedConnection);
        });
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kScanTimeoutMs);
    disconnect(watch);
    QVERIFY(asked);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    folder_ = dir_.filePath(QStringLiteral("oradata/SAMPLE"));
    system_ = quillon::app::testing::WriteSampleDatabase(folder_);
    QVERIFY(!system_.isEmpty());
  }

  void scanFillsTheLogAndTheTree() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.show();
    const MainCommands& c = window.commands();
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    // While the scan runs.
    QVERIFY(window.ProcessRunning());
    QVERIFY(!c.open_database->isEnabled());
    QVERIFY(c.stop->isEnabled());
    QVERIFY(!c.save_log->isEnabled() && !c.clear_log->isEnabled());
    QVERIFY(c.help->isEnabled() && c.about->isEnabled() && c.exit->isEnabled());
    QVERIFY(!window.searchBar().edit()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kScanTimeoutMs);

    // After it.
    QVERIFY(c.open_database->isEnabled());
    QVERIFY(!c.stop->isEnabled());
    QVERIFY(c.save_log->isEnabled() && c.clear_log->isEnabled());
    QVERIFY(window.state().scan_completed);
    QVERIFY(prompts.informed.isEmpty());
    QVERIFY(!window.status().ProgressShown());
    QVERIFY(window.status().countText().startsWith(QStringLiteral("Records : ")));
    QVERIFY(window.status().memoryText().startsWith(QStringLiteral("Memory Use : ")));
    QVERIFY(window.searchToolBar().isVisible());
    QVERIFY(window.searchBar().edit()->isEnabled());

    // The log holds the report the command line prints for the same folder.
    const QStringList gui = MaskDates(LogLines(window));
    const QStringList cli = MaskDates(CliOutputLines({"scan", folder_.toStdString()}));
    QCOMPARE(gui, cli);
    QVERIFY(gui.contains(QStringLiteral("( Major Version Of Selected  Database is Oracle 11g R2 )")) ||
            gui.join(QLatin1Char('\n')).contains(QStringLiteral("( Major Version Of Selected  Database is Oracle ")));
    QVERIFY(gui.contains(QStringLiteral("Scanning Process completed On <date>")));
    QVERIFY(gui.join(QLatin1Char('\n')).contains(QStringLiteral("HR.EMPLOYEES : 20 Record(s)")));

    // The view shows the tree the command line prints.
    QString outline;
    Outline(window.tree().treeModel(), QModelIndex(), 0, outline);
    const QStringList tree_lines = CliOutputLines({"tree", folder_.toStdString()});
    QCOMPARE(outline, tree_lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(window.tree().RootCaption(), folder_);

    // Expanded as the tree says: the root, Security and Storage; owners not.
    CLeftView& tree = window.tree();
    QVERIFY(tree.isExpanded(Node(window, {})));
    QVERIFY(tree.isExpanded(Node(window, {"Security"})));
    QVERIFY(tree.isExpanded(Node(window, {"Storage"})));
    QVERIFY(!tree.isExpanded(Node(window, {"Schema", "HR"})));
    QCOMPARE(Node(window, {}).data(Qt::DecorationRole).value<QIcon>().isNull(), false);
  }

  void folderIconsFollowExpansion() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.show();
    Scan(window, prompts);
    CLeftView& tree = window.tree();
    const QModelIndex folder = Node(window, {"Schema", "HR", "Tables"});
    const QModelIndex table_folder = Node(window, {"Schema", "HR", "Tables", "EMPLOYEES", "Columns"});
    QVERIFY(folder.isValid() && table_folder.isValid());
    const NodeId id = tree.treeModel().NodeOf(folder);
    QCOMPARE(tree.objectTree().node(id).icon, tree_icon::kFolderClosed);
    ShowNode(tree, table_folder);  // expands Tables and EMPLOYEES on the way
    QCOMPARE(tree.objectTree().node(id).icon, tree_icon::kFolderOpen);
    QCOMPARE(tree.objectTree().node(tree.treeModel().NodeOf(table_folder)).icon, tree_icon::kFolderClosed);
    tree.expand(table_folder);
    QCOMPARE(tree.objectTree().node(tree.treeModel().NodeOf(table_folder)).icon, tree_icon::kFolderOpen);
    tree.collapse(folder);
    QCOMPARE(tree.objectTree().node(id).icon, tree_icon::kFolderClosed);
    // Nodes that are no folders keep their icon.
    const QModelIndex owner = Node(window, {"Schema", "HR"});
    tree.collapse(owner);
    QCOMPARE(tree.objectTree().node(tree.treeModel().NodeOf(owner)).icon, tree_icon::kOwner);
  }

  void checkBoxesFollowTheTreeRules() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.resize(900, 700);
    window.show();
    Scan(window, prompts);
    CLeftView& tree = window.tree();
    const QModelIndex root = Node(window, {});
    const QModelIndex schema = Node(window, {"Schema"});
    const QModelIndex hr = Node(window, {"Schema", "HR"});
    const QModelIndex sales = Node(window, {"Schema", "SALES"});
    const QModelIndex hr_tables = Node(window, {"Schema", "HR", "Tables"});
    const QModelIndex employees = Node(window, {"Schema", "HR", "Tables", "EMPLOYEES"});
    const QModelIndex regions = Node(window, {"Schema", "HR", "Tables", "REGIONS"});
    QVERIFY(employees.isValid() && regions.isValid() && sales.isValid());
    for (const QModelIndex& i : {root, schema, hr, hr_tables, employees, regions}) QCOMPARE(StateOf(i), 2);
    QCOMPARE(StateOf(Node(window, {"Security"})), 0);

    // One table unchecked: its folder, owner, Schema and root are partial;
    // the press neither selects nor opens anything.
    PressBox(tree, employees);
    QCOMPARE(StateOf(employees), 1);
    QCOMPARE(StateOf(regions), 2);
    for (const QModelIndex& i : {hr_tables, hr, schema, root}) QCOMPARE(StateOf(i), 3);
    QCOMPARE(StateOf(sales), 2);
    QVERIFY(!tree.selectionModel()->isSelected(employees));
    QVERIFY(window.rightPane().recordList() == nullptr);

    // The owner's box: unchecked, down to every table of the owner.
    PressBox(tree, hr);
    QCOMPARE(StateOf(hr), 1);
    QCOMPARE(StateOf(hr_tables), 1);
    QCOMPARE(StateOf(regions), 1);
    QCOMPARE(StateOf(schema), 3);
    PressBox(tree, hr);
    QCOMPARE(StateOf(hr), 2);
    QCOMPARE(StateOf(employees), 2);
    QCOMPARE(StateOf(schema), 2);

    // Schema: every owner, Tables folder and table below it.
    PressBox(tree, schema);
    for (const QModelIndex& i : {schema, hr, sales, hr_tables, employees, regions, root}) QCOMPARE(StateOf(i), 1);
    PressBox(tree, employees);  // one table back: partial up to the root
    QCOMPARE(StateOf(employees), 2);
    for (const QModelIndex& i : {hr_tables, hr, schema, root}) QCOMPARE(StateOf(i), 3);
    QCOMPARE(StateOf(sales), 1);
    PressBox(tree, schema);  // partial becomes unchecked
    QCOMPARE(StateOf(schema), 1);
    QCOMPARE(StateOf(employees), 1);
    PressBox(tree, schema);
    for (const QModelIndex& i : {schema, hr, sales, hr_tables, employees, regions, root}) QCOMPARE(StateOf(i), 2);

    // The partial state is drawn with its own image.
    PressBox(tree, employees);
    const QRect box = tree.StateBoxRect(hr_tables);
    const QImage partial = tree.viewport()->grab(box).toImage();
    const QRect full_box = tree.StateBoxRect(regions);
    const QImage checked = tree.viewport()->grab(full_box).toImage();
    const QRect empty_box = tree.StateBoxRect(employees);
    const QImage unchecked = tree.viewport()->grab(empty_box).toImage();
    QVERIFY(partial != checked);
    QVERIFY(partial != unchecked);
    QVERIFY(checked != unchecked);
  }

  void captionPressesAskForPanes() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.resize(900, 700);
    window.show();
    Scan(window, prompts);
    CLeftView& tree = window.tree();
    CQuillonView& pane = window.rightPane();

    // Another object: the script view headed by the object's label; the
    // node is selected.
    const QModelIndex index = Node(window, {"Schema", "HR", "Indexes", "EMP_NAME_IX"});
    QVERIFY(index.isValid());
    PressCaption(tree, index);
    QVERIFY(tree.selectionModel()->isSelected(index));
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kScanTimeoutMs);
    QVERIFY(pane.scriptView() != nullptr);
    const QString script = pane.scriptView()->toPlainText();
    QVERIFY2(script.startsWith(QStringLiteral("-- DDL script for Index HR.EMP_NAME_IX \n\nCREATE INDEX ")),
             qPrintable(script));
    QVERIFY2(script.endsWith(QStringLiteral("\n/\n")), qPrintable(script));

    // A folder, a column, the root: the pane is cleared, nothing starts.
    for (const QStringList& path : {QStringList{"Schema", "HR", "Tables"},
                                    QStringList{"Schema", "HR", "Tables", "REGIONS", "Columns", "REGION_NAME VARCHAR2(25)"},
                                    QStringList{}}) {
      PressCaption(tree, Node(window, {"Schema", "HR", "Indexes", "EMP_NAME_IX"}));
      QVERIFY(pane.scriptView() != nullptr);
      QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kScanTimeoutMs);
      const QModelIndex node = Node(window, path);
      QVERIFY2(node.isValid(), qPrintable(path.join('/')));
      PressCaption(tree, node);
      QVERIFY2(pane.scriptView() == nullptr && pane.note() == nullptr && pane.recordList() == nullptr,
               qPrintable(path.join('/')));
      QVERIFY(!window.ProcessRunning());
      QVERIFY(tree.selectionModel()->isSelected(node));
    }
  }

  void stopBeforeTheTreeResetsIt() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    ScanAndStopAt(window, prompts, QStringLiteral("Scanning Database......"));
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window.tree().RootCaption(), QStringLiteral("Quillon v3.2"));
    QCOMPARE(window.tree().NodeCount(), 1);
    QVERIFY(!window.state().scan_completed);
    QCOMPARE(prompts.asked.size(), 1);
    QCOMPARE(prompts.asked[0].lower, QStringLiteral("   Do you want to stop the current process ?"));
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed[0].lower, QStringLiteral("Current  process stopped by user."));
    const QStringList lines = LogLines(window);
    QVERIFY(lines.last().startsWith(QStringLiteral("Process stopped by user on ")));
    QVERIFY(!window.log().text().contains(QStringLiteral("Total Table(s) present")));
    QVERIFY(window.commands().open_database->isEnabled());
    QVERIFY(!window.commands().stop->isEnabled());
  }

  void stopWhileCountingKeepsTheTree() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    ScanAndStopAt(window, prompts, QStringLiteral("Total Table(s) present"));
    if (QTest::currentTestFailed()) return;
    QVERIFY(window.state().scan_completed);
    QCOMPARE(window.tree().RootCaption(), folder_);
    QVERIFY(Node(window, {"Schema", "HR", "Tables", "EMPLOYEES"}).isValid());
    QVERIFY(!window.log().text().contains(QStringLiteral("Scanning Process completed On")));
    QVERIFY(LogLines(window).last().startsWith(QStringLiteral("Process stopped by user on ")));
  }

  void treeIsFrozenWhileAProcessRuns() {
    ScriptedPrompts prompts;
    Jobs jobs;
    CMainFrame window(prompts, jobs.Factory());
    window.resize(900, 700);
    window.show();
    Scan(window, prompts);  // the real scan first
    CLeftView& tree = window.tree();
    const QModelIndex index = Node(window, {"Schema", "HR", "Indexes", "EMP_NAME_IX"});
    PressCaption(tree, index);
    QVERIFY(tree.selectionModel()->isSelected(index));
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kScanTimeoutMs);  // the index's script
    QVERIFY(window.rightPane().scriptView() != nullptr);

    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY(jobs.gated_started);
    QVERIFY(window.ProcessRunning());
    QVERIFY(window.rightPane().scriptView() == nullptr);  // a new source clears the pane
    const QModelIndex emp = window.tree().treeModel().Find({"Schema", "SCOTT", "Tables", "EMP"});
    const QModelIndex scott = emp.parent().parent();
    QVERIFY(emp.isValid());
    const QModelIndex before = tree.currentIndex();

    // Presses on captions and boxes, keys and programmatic selection: refused.
    PressCaption(tree, scott);
    PressBox(tree, emp);
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down);
    tree.setCurrentIndex(emp);
    tree.selectionModel()->select(scott, QItemSelectionModel::ClearAndSelect);
    QVERIFY(tree.selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(tree.currentIndex(), before);
    QCOMPARE(StateOf(emp), 2);
    QVERIFY(window.rightPane().note() == nullptr);

    jobs.release = true;
    QTRY_VERIFY(!window.ProcessRunning());
    PressBox(tree, emp);
    QCOMPARE(StateOf(emp), 1);
    QCOMPARE(StateOf(scott), 1);
    PressCaption(tree, scott);
    QVERIFY(tree.selectionModel()->isSelected(scott));
  }
};

QTEST_MAIN(ScanTreeTest)
#include "scan_tree_test.moc"
