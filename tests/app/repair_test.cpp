// Start Repair: its enable rule, the wizard's two pages and their rules
// (the password rule for Connect, the folder check, file targets never in
// the source folder), the target made and connected before the worker
// starts, the repair of the sample database into SQLite on the worker with
// its log lines and the tree's boxes cleared table by table, a failed
// connection, and a stop during the repair.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>
#include <sqlite3.h>

#include "app/app_texts.h"
#include "app/qt_text.h"
#include "app/left_view.h"
#include "app/main_window.h"
#include "app/message_log.h"
#include "app/object_tree_model.h"
#include "app/repair_wizard.h"
#include "app/worker_controller.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"

using namespace quillon;
using namespace quillon::app;
using namespace quillon::app::testing;

namespace {

constexpr int kTimeoutMs = 120000;


QStringList LogLines(const CMainFrame& window) {
  QStringList lines = window.log().text().split(QStringLiteral("\r\n"));
  lines.removeFirst();
  return lines;
}

// Every label's text on a page.
QStringList Labels(const QWidget& page) {
  QStringList texts;
  for (const QLabel* label : page.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

QStringList ButtonTexts(const QWidget& page) {
  QStringList texts;
  for (const QPushButton* button : page.findChildren<QPushButton*>()) texts << button->text();
  return texts;
}

std::int64_t SqliteCount(const QString& file, const QString& table) {
  sqlite3* db = nullptr;
  std::int64_t count = -1;
  if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
      count = sqlite3_column_int64(st, 0);
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return count;
}

repair::TargetChoice SqliteChoice(const QString& file) {
  repair::TargetChoice choice;
  choice.kind = repair::TargetKind::kSqliteFile;
  choice.file_path = file.toStdString();
  choice.target_folder = QFileInfo(file).absolutePath().toStdString();
  return choice;
}

// The state of the tree's node at this caption path.
int StateAt(const CMainFrame& window, const QStringList& path) {
  return window.tree().treeModel().Find(path).data(ObjectTreeModel::kCheckStateRole).toInt();
}

}  // namespace

class RepairTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString folder_;
  QString system_;

  void Scan(CMainFrame& window, ScriptedPrompts& prompts) {
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
    QVERIFY(window.state().scan_completed);
  }

  QString OutFolder(const QString& name) const {
    const QString path = dir_.filePath(name);
    QDir().mkpath(path);
    return path;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    folder_ = dir_.filePath(QStringLiteral("oradata/SAMPLE"));
    system_ = WriteSampleDatabase(folder_);
    QVERIFY(!system_.isEmpty());
  }

  void firstPageTexts() {
    ScriptedPrompts prompts;
    CFirstStep page(prompts);
    QCOMPARE(page.windowTitle(), Text(text::kAppTitle));
    const QStringList labels = Labels(page);
    for (const char* t : {text::kFirstStepIntro, text::kFirstStepCreate, text::kFirstStepSelect}) {
      QVERIFY2(labels.contains(Text(t)), t);
    }
    QCOMPARE(ButtonTexts(page), (QStringList{Text(text::kNext), Text(text::kHelp), Text(text::kCancel)}));
    QVERIFY(page.nextButton()->isDefault());
  }

  void targetPageRules() {
    ScriptedPrompts prompts;
    CDataBaseNameField page(prompts, RepairWizardContext{folder_, QStringLiteral("SAMPLE")});
    QCOMPARE(page.windowTitle(), Text(text::kAppTitle));
    const QStringList labels = Labels(page);
    for (const char* t : {text::kTargetIntro, text::kEnterUserName, text::kEnterPassword, text::kServerRunning}) {
      QVERIFY2(labels.contains(Text(t)), t);
    }
    QCOMPARE(page.connectButton()->text(), Text(text::kConnect));
    QCOMPARE(page.folderEdit()->placeholderText(), Text(text::kFolderPrompt));
    QVERIFY(page.folderEdit()->isReadOnly());
    QCOMPARE(page.userEdit()->placeholderText(), Text(text::kSystemUser));
    QVERIFY(!page.userEdit()->isEnabled());
    QCOMPARE(page.passwordEdit()->echoMode(), QLineEdit::Password);

    // SQLite is proposed, as NAME.sqlite beside the source folder.
    QCOMPARE(page.kind(), repair::TargetKind::kSqliteFile);
    QVERIFY(page.kindButton(repair::TargetKind::kSqliteFile)->isChecked());
    const QString beside = dir_.filePath(QStringLiteral("oradata"));
    QCOMPARE(page.fileEdit()->text(), QDir(beside).filePath(QStringLiteral("SAMPLE.sqlite")));
    QVERIFY(page.connectButton()->isEnabled());
    // The script proposes its own ending; a file the user typed stays.
    page.SetKind(repair::TargetKind::kScriptFile);
    QCOMPARE(page.fileEdit()->text(), QDir(beside).filePath(QStringLiteral("SAMPLE.sql")));
    page.fileEdit()->setText(QStringLiteral("/tmp/mine.sql"));
    page.SetKind(repair::TargetKind::kSqliteFile);
    QCOMPARE(page.fileEdit()->text(), QStringLiteral("/tmp/mine.sql"));
    page.fileEdit()->clear();
    QVERIFY(!page.connectButton()->isEnabled());

    // The data source: name, password and folder, each required.
    page.SetKind(repair::TargetKind::kOracleDataSource);
    QVERIFY(!page.connectButton()->isEnabled());
    QVERIFY(!page.fileEdit()->isEnabled() && page.passwordEdit()->isEnabled());
    const QString target = OutFolder(QStringLiteral("oradata/SAMPLE2"));  // shares the source's name as a prefix
    struct Refused {
      QString folder;
      const char* why;
    };
    for (const Refused& r : {Refused{folder_, "the source folder itself"},
                             Refused{folder_ + QStringLiteral("/"), "the source folder with a separator"},
                             Refused{OutFolder(QStringLiteral("oradata/SAMPLE/sub")), "a folder inside it"},
                             Refused{folder_ + QStringLiteral("/../SAMPLE/sub"), "inside it through .."}}) {
      prompts.errors.clear();
      page.ChooseFolder(r.folder);
      QVERIFY2(prompts.errors == QStringList{Text(text::kFolderNotValid)}, r.why);
      QVERIFY2(page.folderEdit()->text().isEmpty(), r.why);
      QVERIFY2(page.dataSourceEdit()->text().isEmpty(), r.why);
    }
    prompts.errors.clear();
    page.ChooseFolder(QString());  // the folder browser cancelled
    QVERIFY(prompts.errors.isEmpty() && page.folderEdit()->text().isEmpty());
    page.ChooseFolder(target);
    QVERIFY(prompts.errors.isEmpty());
    QCOMPARE(page.folderEdit()->text(), target);
    QCOMPARE(page.dataSourceEdit()->text(), QStringLiteral("SAMPLE2"));  // the folder's last component
    QVERIFY(!page.connectButton()->isEnabled());  // no password yet
    page.passwordEdit()->setText(QStringLiteral("pw;Extra=1"));
    QVERIFY(page.connectButton()->isEnabled());
    page.dataSourceEdit()->setText(QStringLiteral("  "));
    QVERIFY(!page.connectButton()->isEnabled());
    page.dataSourceEdit()->setText(QStringLiteral("ORCL"));
    page.passwordEdit()->clear();
    QVERIFY(!page.connectButton()->isEnabled());
    page.Connect();  // refused while disabled
    QVERIFY(!page.TakeChoice());
    page.passwordEdit()->setText(QStringLiteral("pw;Extra=1"));

    page.Connect();
    QCOMPARE(page.result(), int(QDialog::Accepted));
    QVERIFY(page.passwordEdit()->text().isEmpty());  // the page keeps no copy
    const std::optional<repair::TargetChoice> choice = page.TakeChoice();
    QVERIFY(choice);
    QCOMPARE(choice->kind, repair::TargetKind::kOracleDataSource);
    QCOMPARE(choice->data_source, std::string("ORCL"));
    QCOMPARE(choice->user, std::string("SYSTEM"));
    QCOMPARE(choice->password, std::string("pw;Extra=1"));
    QCOMPARE(QString::fromStdString(choice->target_folder), target);
    QCOMPARE(repair::DialectOf(choice->kind), repair::TargetDialect::kOracle);
    QCOMPARE(QString::fromStdString(repair::ErrorsFilePath(*choice)), QDir(target).filePath("RepairErrors.log"));
  }

  void fileTargetNeverInsideTheSource() {
    ScriptedPrompts prompts;
    CDataBaseNameField page(prompts, RepairWizardContext{folder_, QStringLiteral("SAMPLE")});
    page.fileEdit()->setText(QDir(folder_).filePath(QStringLiteral("out.sqlite")));
    page.Connect();
    QCOMPARE(prompts.errors, QStringList{Text(text::kFileNotValid)});
    QVERIFY(page.result() != QDialog::Accepted);
    QVERIFY(!page.TakeChoice());

    // An existing file: replaced only when the user agrees.
    const QString existing = QDir(OutFolder(QStringLiteral("exists"))).filePath(QStringLiteral("old.sqlite"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    page.fileEdit()->setText(existing);
    prompts.overwrite_answers = {false};
    page.Connect();
    QCOMPARE(prompts.overwrite_questions, 1);
    QVERIFY(!page.TakeChoice());
    prompts.overwrite_answers = {true};
    page.Connect();
    const std::optional<repair::TargetChoice> choice = page.TakeChoice();
    QVERIFY(choice);
    QCOMPARE(QString::fromStdString(choice->file_path), existing);
    QCOMPARE(QString::fromStdString(repair::SideFilePath(*choice)),
             QDir(OutFolder(QStringLiteral("exists"))).filePath(QStringLiteral("old.oracle.sql")));
    QVERIFY(choice->password.empty());
  }

  void startRepairEnableRuleAndCancel() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.show();
    QAction* start = window.commands().start_repair;
    QVERIFY(!start->isEnabled());  // nothing opened
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QVERIFY(!start->isEnabled());  // while the scan runs
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
    QVERIFY(start->isEnabled());

    // The root unchecked disables it; any table checked again enables it.
    ObjectTreeModel& model = window.tree().treeModel();
    const NodeId root = window.tree().objectTree().root();
    model.ToggleCheck(root);
    Q_EMIT window.tree().checkStatesChanged();
    QCOMPARE(int(window.tree().objectTree().node(root).state), int(CheckState::kUnchecked));
    QVERIFY(!start->isEnabled());
    window.StartRepair();
    QVERIFY(prompts.wizard_contexts.isEmpty());
    model.ToggleCheck(root);
    Q_EMIT window.tree().checkStatesChanged();
    QVERIFY(start->isEnabled());

    // Cancelled wizard: nothing runs, the log stays as it was.
    const QString before = window.log().text();
    window.StartRepair();
    QCOMPARE(prompts.wizard_contexts.size(), 1);
    QCOMPARE(prompts.wizard_contexts.front().source_folder, folder_);
    QCOMPARE(prompts.wizard_contexts.front().database_name,
             QString::fromStdString(window.state().engine->identification.database_name));
    QVERIFY(!prompts.wizard_contexts.front().database_name.isEmpty());
    QVERIFY(!window.ProcessRunning());
    QCOMPARE(window.log().text(), before);
    QVERIFY(prompts.errors.isEmpty() && prompts.informed.isEmpty());

    // A data source that does not exist, and a file that cannot be
    // created: the error box (then, for the data source, the retry text),
    // nothing started, no password anywhere.
    repair::TargetChoice oracle;
    oracle.kind = repair::TargetKind::kOracleDataSource;
    oracle.data_source = "ORCL";
    oracle.password = "Secret-Pw-4711";
    oracle.target_folder = OutFolder(QStringLiteral("target")).toStdString();
    prompts.targets.push_back(oracle);
    window.StartRepair();
    QCOMPARE(prompts.errors.size(), 1);
    QVERIFY(!prompts.errors.front().isEmpty());
    QVERIFY(!prompts.errors.front().contains(QStringLiteral("Secret-Pw-4711")));
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed.front().lower, Text(text::kRetryConnection));
    QVERIFY(!window.ProcessRunning());
    prompts.targets.push_back(SqliteChoice(dir_.filePath(QStringLiteral("missing/folder/x.sqlite"))));
    window.StartRepair();
    QCOMPARE(prompts.errors.size(), 2);
    QVERIFY(!prompts.errors.back().isEmpty());
    QCOMPARE(prompts.informed.size(), 1);  // the Oracle retry text is for data sources only
    QVERIFY(!window.ProcessRunning());
    QCOMPARE(window.log().text(), before);
    QVERIFY(!window.log().text().contains(QStringLiteral("Secret-Pw-4711")));
  }

  void repairIntoSqlite() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.show();
    Scan(window, prompts);
    // One table left out: it keeps its (empty) box and is not written.
    const QModelIndex regions = window.tree().treeModel().Find(
        {QStringLiteral("Schema"), QStringLiteral("HR"), QStringLiteral("Tables"), QStringLiteral("REGIONS")});
    QVERIFY(regions.isValid());
    window.tree().treeModel().ToggleCheck(window.tree().treeModel().NodeOf(regions));
    const std::vector<std::string> expected = window.tree().objectTree().CollectRepairTableList();
    QVERIFY(expected.size() > 2);

    const QString out = OutFolder(QStringLiteral("sqlite"));
    const QString file = QDir(out).filePath(QStringLiteral("SAMPLE.sqlite"));
    prompts.targets.push_back(SqliteChoice(file));
    const int log_lines_before = LogLines(window).size();
    window.StartRepair();
    QVERIFY(window.ProcessRunning());
    QVERIFY(!window.commands().start_repair->isEnabled());
    QVERIFY(!window.commands().open_database->isEnabled());
    QVERIFY(window.commands().stop->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
    QCOMPARE(window.state().repair_tables, expected);
    QVERIFY(prompts.errors.isEmpty() && prompts.informed.isEmpty());

    const QStringList lines = LogLines(window).mid(log_lines_before);
    QVERIFY(lines.size() > 8);
    QCOMPARE(lines[0], QString());
    QVERIFY(lines[1].startsWith(QStringLiteral("Repair Process Started On ")));
    QCOMPARE(lines[2], QString(59, QLatin1Char('.')));
    QCOMPARE(lines.at(lines.indexOf(QStringLiteral("Repairing Index ")) + 1),
             QStringLiteral("Total table(s) selected : %1").arg(expected.size()));
    QStringList repaired;
    for (const QString& line : lines) {
      if (line.startsWith(QStringLiteral("Repairing Table....."))) repaired << line;
    }
    QStringList expected_lines;
    for (const std::string& t : expected) {
      expected_lines << QStringLiteral("Repairing Table.....%1  ").arg(QString::fromStdString(t));
    }
    QCOMPARE(repaired, expected_lines);  // tree order, the skipped table left out
    const int employees = lines.indexOf(QStringLiteral("Repairing Table.....HR.EMPLOYEES  "));
    QVERIFY(employees > 0);
    QVERIFY(lines.mid(employees).contains(QStringLiteral("Total record(s) recovered : 20")));
    QCOMPARE(lines[lines.size() - 2], QString(72, QLatin1Char('.')));
    QVERIFY(lines.last().startsWith(QStringLiteral("Repairing process completed on.....")));
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QStringLiteral("stopped")));

    // The rows are in the file; every written table's box is cleared, the
    // skipped one stays unchecked, so Start Repair is off until a box is
    // checked again.
    QCOMPARE(SqliteCount(file, QStringLiteral("HR.EMPLOYEES")), std::int64_t{20});
    QCOMPARE(SqliteCount(file, QStringLiteral("HR.REGIONS")), std::int64_t{-1});
    QCOMPARE(StateAt(window, {QStringLiteral("Schema"), QStringLiteral("HR"), QStringLiteral("Tables"),
                              QStringLiteral("EMPLOYEES")}),
             int(CheckState::kUnchecked));
    QCOMPARE(StateAt(window, {QStringLiteral("Schema")}), int(CheckState::kUnchecked));
    QVERIFY(window.tree().objectTree().CollectRepairTableList().empty());
    QVERIFY(!window.commands().start_repair->isEnabled());
    QVERIFY(window.commands().open_database->isEnabled());
    QVERIFY(window.status().countText().startsWith(QStringLiteral("Records : ")));
    QVERIFY(!window.status().ProgressShown());
  }

  void stopDuringTheRepair() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.show();
    Scan(window, prompts);
    const std::vector<std::string> tables = window.tree().objectTree().CollectRepairTableList();
    QVERIFY(tables.size() > 2);
    const QString file = QDir(OutFolder(QStringLiteral("stopped"))).filePath(QStringLiteral("SAMPLE.sqlite"));
    prompts.targets.push_back(SqliteChoice(file));
    const QString first = QStringLiteral("Repairing Table.....%1  ").arg(QString::fromStdString(tables.front()));
    bool asked = false;
    const QMetaObject::Connection watch =
        connect(window.log().control()->document(), &QTextDocument::contentsChanged, this, [&] {
          if (asked || !window.log().text().contains(first)) return;
          asked = true;
          window.worker().RequestStop();
          prompts.answers.push_back(true);
          QMetaObject::invokeMethod(&window, [&window] { window.StopProcess(); }, Qt::QueuedConnection);
        });
    window.StartRepair();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
    disconnect(watch);
    QVERIFY(asked);

    // The question, the stop box and line; the first table was finished
    // and unchecked, the others keep their boxes; the tree stays.
    QCOMPARE(prompts.asked.size(), 1);
    QCOMPARE(prompts.asked.front().lower, Text(text::kAskStop));
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed.front().lower, Text(text::kStoppedByUser));
    const QStringList lines = LogLines(window);
    QVERIFY(lines.last().startsWith(QStringLiteral("Process stopped by user on ")));
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QStringLiteral("Repairing process completed on")));
    int repaired = 0;
    for (const QString& line : lines) repaired += line.startsWith(QStringLiteral("Repairing Table.....")) ? 1 : 0;
    QCOMPARE(repaired, 1);
    const std::vector<std::string> left = window.tree().objectTree().CollectRepairTableList();
    QCOMPARE(left, std::vector<std::string>(tables.begin() + 1, tables.end()));
    QVERIFY(window.commands().start_repair->isEnabled());
    QCOMPARE(window.tree().RootCaption(), folder_);
  }
};

QTEST_MAIN(RepairTest)
#include "repair_test.moc"
