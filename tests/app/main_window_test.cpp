// The main window: commands enabled and disabled while a job runs and after
// it, Exit and Stop, the end of a job, and Open Database with and without a
// SYSTEM datafile.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/app_texts.h"
#include "app/left_view.h"
#include "app/main_window.h"
#include "app/message_log.h"
#include "app/search_bar.h"
#include "app/worker_controller.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"

using namespace quillon;
using namespace quillon::app;
using quillon::app::testing::ScriptedPrompts;

namespace {

// A job that reports a little, then waits until released or stopped.
struct GatedJob {
  std::atomic<bool> release{false};
  std::atomic<bool> started{false};

  ScanJobFactory Factory() {
    return [this](COracleRecoveryTools&, const ScanRequest& request) -> Job {
      return [this, request](WorkerSink& sink, const StopFlag& stop) {
        started = true;
        sink.AppendLog("Selected Database For Repair  : " + request.source_path, LogMode::kNewLine);
        sink.Progress(ProgressStep::kStart, 10);
        sink.Progress(ProgressStep::kStep, 0);
        sink.ShowCount(1234);
        while (!release && !stop.requested()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      };
    };
  }
};

SourceSelection Chosen(const QString& folder = QStringLiteral("/data/oradata/ORCL")) {
  return SourceSelection{folder, folder + "/SYSTEM01.DBF"};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void startsIdleWithTitleRoot() {
    ScriptedPrompts prompts;
    GatedJob job;
    CMainFrame window(prompts, job.Factory());
    QCOMPARE(window.windowTitle(), QStringLiteral("Quillon"));
    QCOMPARE(window.tree().RootCaption(), QStringLiteral("Quillon v3.2"));
    QCOMPARE(window.logDock().windowTitle(), QStringLiteral("Quillon v3.2"));
    QCOMPARE(window.log().text(), QString::fromUtf8(text::kLogHeader));
    const MainCommands& c = window.commands();
    QVERIFY(c.open_database->isEnabled());
    QVERIFY(!c.stop->isEnabled());
    QVERIFY(!c.save_log->isEnabled());  // no database opened yet
    QVERIFY(!c.clear_log->isEnabled());
    QVERIFY(c.help->isEnabled() && c.about->isEnabled() && c.exit->isEnabled());
    QCOMPARE(c.open_database->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QVERIFY(c.stop->shortcut().isEmpty());  // "Ctrl+P" is menu text only
    QVERIFY(c.stop->text().endsWith("\tCtrl+P"));
    QVERIFY(window.searchToolBar().isHidden());
    QVERIFY(window.statusBar() != nullptr);
  }

  void commandsFollowTheRunningJob() {
    ScriptedPrompts prompts;
    GatedJob job;
    CMainFrame window(prompts, job.Factory());
    window.show();
    prompts.sources.push_back(Chosen());
    window.OpenDatabase();
    QVERIFY(window.ProcessRunning());
    QCOMPARE(window.tree().RootCaption(), QStringLiteral("/data/oradata/ORCL"));
    const MainCommands& c = window.commands();
    QTRY_VERIFY(window.log().text().contains("Selected Database For Repair  : /data/oradata/ORCL"));
    QTRY_COMPARE(window.status().countText(), QStringLiteral("Records : 1234"));
    QVERIFY(window.status().ProgressShown());
    QVERIFY(!c.open_database->isEnabled());
    QVERIFY(c.stop->isEnabled());
    QVERIFY(!c.save_log->isEnabled());
    QVERIFY(!c.clear_log->isEnabled());
    QVERIFY(!window.searchBar().edit()->isEnabled());

    // Exit is refused while the job runs.
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed[0].upper, QStringLiteral("Can not exit!"));
    QCOMPARE(prompts.informed[0].lower,
             QStringLiteral("Please first stop the current process before exiting Quillon ."));

    job.release = true;
    QTRY_VERIFY(!window.ProcessRunning());
    QVERIFY(c.open_database->isEnabled());
    QVERIFY(!c.stop->isEnabled());
    QVERIFY(c.save_log->isEnabled());
    QVERIFY(c.clear_log->isEnabled());
    QVERIFY(!window.status().ProgressShown());
    const auto* records = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusRecords"));
    QVERIFY(records != nullptr && records->isVisible());
    QCOMPARE(records->text(), QStringLiteral("Records : 1234"));
    // A tree of one node is not worth searching.
    QVERIFY(!window.searchBar().edit()->isEnabled());
    QCOMPARE(prompts.informed.size(), 1);  // a finished job says nothing

    window.ClearLog();
    QCOMPARE(window.log().text(), "\r\n" + QString::fromUtf8(text::kLogHeader));
    QVERIFY(!c.save_log->isEnabled());
    QVERIFY(!c.clear_log->isEnabled());

    // Exit asks; No keeps the window, Yes closes it.
    QVERIFY(!window.close());
    QCOMPARE(prompts.asked.last().lower, QStringLiteral("Do you want to exit Quillon ?"));
    QVERIFY(prompts.asked.last().upper.isEmpty());
    prompts.answers.push_back(true);
    QVERIFY(window.close());
  }

  void stopEndsTheJob() {
    ScriptedPrompts prompts;
    GatedJob job;
    CMainFrame window(prompts, job.Factory());
    prompts.sources.push_back(Chosen());
    window.OpenDatabase();
    QTRY_VERIFY(job.started);

    // No leaves the job running.
    window.StopProcess();
    QVERIFY(window.ProcessRunning());
    QCOMPARE(prompts.asked.last().lower, QStringLiteral("   Do you want to stop the current process ?"));
    QCOMPARE(prompts.asked.last().upper,
             QStringLiteral("This process can not be resumed from current\nstate and has to be restarted."));

    prompts.answers.push_back(true);
    window.StopProcess();  // returns when the job has ended
    QVERIFY(!window.ProcessRunning());
    QVERIFY(!job.release);
    QCOMPARE(prompts.informed.last().lower, QStringLiteral("Current  process stopped by user."));
    QVERIFY(prompts.informed.last().upper.isEmpty());
    const QString log = window.log().text();
    const qsizetype line = log.lastIndexOf("\r\nProcess stopped by user on ");
    QVERIFY(line > 0);
    // "%A, %B %d, %Y  %I:%M:%S  %p": two blanks before the time and before AM/PM.
    const QString date = log.mid(line + 29);
    QVERIFY2(QRegularExpression("^\\w+, \\w+ \\d\\d, \\d{4}  \\d\\d:\\d\\d:\\d\\d  \\w+$").match(date).hasMatch(),
             qPrintable(date));
    // Stopped before the scan completed: the tree is back to the title root.
    QCOMPARE(window.tree().RootCaption(), QStringLiteral("Quillon v3.2"));
    QVERIFY(window.commands().open_database->isEnabled());
  }

  void folderWithoutSystemDatafile() {
    ScriptedPrompts prompts;
    GatedJob job;
    CMainFrame window(prompts, job.Factory());
    prompts.sources.push_back(SourceSelection{QStringLiteral("/data/empty"), QString()});
    window.OpenDatabase();
    QVERIFY(!window.ProcessRunning());
    QVERIFY(!job.started);
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed[0].upper, QStringLiteral("Can't find System01.DBF at desired path. "));
    QCOMPARE(prompts.informed[0].lower, QStringLiteral("Please select valid path ."));
    QCOMPARE(window.tree().RootCaption(), QStringLiteral("Quillon v3.2"));
    QVERIFY(!window.state().database_opened);

    window.OpenDatabase();  // cancelled: nothing happens
    QCOMPARE(prompts.informed.size(), 1);
  }

  void searchBarIsResetWhenDatabaseOpens() {
    ScriptedPrompts prompts;
    GatedJob job;
    CMainFrame window(prompts, job.Factory());
    SearchBar& bar = window.searchBar();
    bar.edit()->setText("EMP");
    bar.matchCase()->setChecked(true);
    QVERIFY(bar.findButton()->isEnabled());
    prompts.sources.push_back(Chosen());
    window.OpenDatabase();
    QVERIFY(bar.edit()->text().isEmpty());
    QVERIFY(!bar.matchCase()->isChecked());
    QVERIFY(!bar.edit()->isEnabled() && !bar.matchCase()->isEnabled() && !bar.findButton()->isEnabled());
    QCOMPARE(bar.findButton()->text(), QStringLiteral("Find"));
    job.release = true;
    QTRY_VERIFY(!window.ProcessRunning());
  }

  void scanOfAnEmptyDictionaryWritesTheReport() {
    QTemporaryDir dir;
    const QString system = quillon::app::testing::WriteDatabaseFolder(dir.filePath("ORCL"));
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    prompts.sources.push_back(SourceSelection{dir.filePath("ORCL"), system});
    window.OpenDatabase();
    QTRY_VERIFY(!window.ProcessRunning());
    const QString log = window.log().text();
    QVERIFY2(log.contains("\r\nSelected Database For Repair  : " + dir.filePath("ORCL")), qPrintable(log));
    QVERIFY(log.contains("\r\nScanning Process Started On "));
    QVERIFY(log.contains("\r\n( Major Version Of Selected  Database is Oracle 10g  )"));
    QVERIFY(log.contains("Total DataFile in Database                      : 2"));
    QVERIFY(prompts.informed.isEmpty());
    QVERIFY(window.commands().save_log->isEnabled());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
