// The database folder search and the Select Database dialog.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "app/database_search.h"
#include "app/mount_points.h"
#include "app/select_database_dialog.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"

using namespace quillon::app;
using quillon::app::testing::ScriptedPrompts;
using quillon::app::testing::WriteDatabaseFolder;
using quillon::app::testing::WriteFileOfSize;

namespace {

// root/
//   u01/app/oradata/ORCL        a real database folder (SYSTEM and USERS datafiles)
//   u02/oradata/SMALL           5000 bytes: too small
//   u02/oradata/JUST            5001 bytes: listed, 0.00 GB
//   u03/oradata/LINKED -> ORCL  a link: not a folder of its own
//   .hidden/oradata/HIDDEN      hidden: not searched
//   loop -> root                a link back up: never followed
struct Tree {
  QTemporaryDir dir;
  QString root;
  QString orcl;
  QString just;

  Tree() {
    root = dir.path();
    orcl = root + "/u01/app/oradata/ORCL";
    WriteDatabaseFolder(orcl);
    QDir().mkpath(root + "/u02/oradata/SMALL");
    WriteFileOfSize(root + "/u02/oradata/SMALL/a.dbf", 5000);
    just = root + "/u02/oradata/JUST";
    QDir().mkpath(just);
    WriteFileOfSize(just + "/a.dbf", 4000);
    WriteFileOfSize(just + "/b.dbf", 1001);
    QDir().mkpath(root + "/u03/oradata");
    QFile::link(orcl, root + "/u03/oradata/LINKED");
    QDir().mkpath(root + "/.hidden/oradata/HIDDEN");
    WriteFileOfSize(root + "/.hidden/oradata/HIDDEN/a.dbf", 100000);
    QFile::link(root, root + "/loop");
  }
};

std::vector<std::string> SearchPaths(const QString& root) {
  std::atomic<bool> stop{false};
  std::vector<std::string> paths;
  SearchVolume(root.toStdString(), stop, [&](std::vector<FoundDatabase> found) {
    for (const auto& f : found) paths.push_back(f.path);
  });
  return paths;
}

}  // namespace

class DatabaseSearchTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void findsOradataFoldersWithoutFollowingLinks() {
    Tree tree;
    const std::vector<std::string> expected{tree.orcl.toStdString(), tree.just.toStdString()};
    QCOMPARE(SearchPaths(tree.root), expected);
  }

  void sizesAndDates() {
    Tree tree;
    const std::vector<FoundDatabase> found = ExamineFolder((tree.root + "/u02").toStdString());
    QCOMPARE(found.size(), std::size_t{1});
    QCOMPARE(found[0].bytes, std::uint64_t{5001});
    QCOMPARE(SizeInGigabytes(found[0].bytes), std::string("0.00"));
    QVERIFY(found[0].modified > 0);
    QCOMPARE(SizeInGigabytes(3ULL << 29), std::string("1.50"));
  }

  void stopsWhenAsked() {
    Tree tree;
    std::atomic<bool> stop{true};
    int calls = 0;
    SearchVolume(tree.root.toStdString(), stop, [&](std::vector<FoundDatabase>) { ++calls; });
    QCOMPARE(calls, 0);
  }

  void mountPointsOfRealFileSystems() {
    const char* table =
        "/dev/sda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "sysfs /sys sysfs rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /mnt/ora\\040data xfs rw 0 0\n"
        "/dev/sda1 / ext4 rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "server:/export /net/backup nfs4 rw 0 0\n";
    const std::vector<std::string> expected{"/", "/mnt/ora data", "/net/backup"};
    QCOMPARE(ParseMountPoints(table), expected);
    QVERIFY(!ListMountPoints().empty());
  }

  void dialogListsResultsAndCounts() {
    Tree tree;
    ScriptedPrompts prompts;
    CSelectOracleDataBase dialog(prompts, nullptr, {tree.root});
    QVERIFY(!dialog.scanFileButton()->isEnabled());
    QVERIFY(!dialog.clearListButton()->isEnabled());
    QSignalSpy finished(&dialog, &CSelectOracleDataBase::searchFinished);
    dialog.StartSearch();
    QVERIFY(dialog.Searching());
    QVERIFY(!dialog.lookIn()->isEnabled());
    QVERIFY(finished.wait(20000));
    QCOMPARE(dialog.results()->rowCount(), 2);
    QCOMPARE(dialog.results()->item(0, 0)->text(), tree.orcl);
    QCOMPARE(dialog.results()->item(1, 1)->text(), QStringLiteral("0.00"));
    QVERIFY(!dialog.results()->item(0, 2)->text().isEmpty());  // modified
    QVERIFY(!dialog.results()->item(0, 4)->text().isEmpty());  // accessed
    QCOMPARE(dialog.resultCount()->text(), QStringLiteral("Total Database is :  2"));
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed[0].upper, QStringLiteral("Search process complete!"));
    QCOMPARE(prompts.informed[0].lower, QStringLiteral("2 Oracle database found."));
    QVERIFY(dialog.clearListButton()->isEnabled());
    QVERIFY(dialog.lookIn()->isEnabled());

    dialog.ChooseRow(7);  // beyond the rows: nothing
    QVERIFY(!dialog.scanFileButton()->isEnabled());
    dialog.ChooseRow(0);
    QCOMPARE(dialog.chosenFolder()->text(), tree.orcl);
    QVERIFY(dialog.scanFileButton()->isEnabled());
    dialog.ScanFile();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.selection().folder, tree.orcl);
    QCOMPARE(dialog.selection().system_datafile, tree.orcl + "/SYSTEM01.DBF");

    dialog.ClearList();
    QCOMPARE(dialog.results()->rowCount(), 0);
    QCOMPARE(dialog.resultCount()->text(), QStringLiteral("Total Database is : 0"));
    QVERIFY(!dialog.clearListButton()->isEnabled());
  }

  void emptySearchReportsZero() {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    CSelectOracleDataBase dialog(prompts, nullptr, {dir.path()});
    QSignalSpy finished(&dialog, &CSelectOracleDataBase::searchFinished);
    dialog.StartSearch();
    QVERIFY(finished.wait(20000));
    QCOMPARE(prompts.informed[0].lower, QStringLiteral("0 Oracle database found."));
    QCOMPARE(dialog.resultCount()->text(), QStringLiteral("Total Database is :  0"));
    QVERIFY(!dialog.clearListButton()->isEnabled());
  }

  void pickedFileWithoutSystemDatafile() {
    QTemporaryDir dir;
    WriteFileOfSize(dir.filePath("notes.txt"), 10);
    ScriptedPrompts prompts;
    prompts.files.push_back(dir.filePath("notes.txt"));
    CSelectOracleDataBase dialog(prompts, nullptr, {dir.path()});
    dialog.SelectFile();
    QCOMPARE(dialog.chosenFolder()->text(), dir.path());
    QVERIFY(dialog.scanFileButton()->isEnabled());
    dialog.ScanFile();
    QCOMPARE(dialog.selection().folder, dir.path());
    QVERIFY(dialog.selection().system_datafile.isEmpty());
  }
};

QTEST_MAIN(DatabaseSearchTest)
#include "database_search_test.moc"
