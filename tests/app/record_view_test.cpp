// The record view: a press on a table's caption reads its first page on the
// worker and shows it in the right pane's record list; "Next" and "Previous"
// page through it; presses on other nodes empty the pane.
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/left_view.h"
#include "app/main_window.h"
#include "app/object_tree_model.h"
#include "app/record_list_model.h"
#include "app/right_pane.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"
#include "support/tree_presses.h"

using namespace quillon;
using namespace quillon::app;
using namespace quillon::app::testing;

namespace {

constexpr int kTimeoutMs = 120000;
// The extra table's rows: two full pages and half a page.
constexpr int kTrailRows = 250;

QString Cell(const CQuillonView& pane, int row, int column) {
  return pane.records()->index(row, column).data().toString();
}

QStringList Headers(const CQuillonView& pane) {
  QStringList headers;
  const RecordListModel& model = *pane.records();
  for (int c = 0; c < model.columnCount(); ++c) headers << model.headerData(c, Qt::Horizontal).toString();
  return headers;
}

}  // namespace

class RecordViewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString folder_;
  QString system_;

  QModelIndex Node(const CMainFrame& window, const QStringList& path) const {
    return window.tree().treeModel().Find(path);
  }

  void Scan(CMainFrame& window, ScriptedPrompts& prompts) {
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
  }

  // A press on the caption, then the record job it started runs to its end.
  void Open(CMainFrame& window, const QStringList& path) {
    const QModelIndex node = Node(window, path);
    QVERIFY2(node.isValid(), qPrintable(path.join('/')));
    PressCaption(window.tree(), node);
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
  }

  // A press on one of the pane's buttons; the page it asked for is read.
  static void Press(CMainFrame& window, QPushButton* button) {
    QVERIFY(button->isVisible() && button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
  }

  // The page shows rows first .. first + count - 1 of the extra table (the
  // number texts carry a leading zero digit: 1 reads "01").
  static void ExpectTrailPage(const CQuillonView& pane, int first, int count) {
    QCOMPARE(pane.records()->rowCount(), count);
    QCOMPARE(Cell(pane, 0, 0).toInt(), first);
    QCOMPARE(Cell(pane, 0, 2), QStringLiteral("entry %1 of the audit trail").arg(first));
    QCOMPARE(Cell(pane, count - 1, 0).toInt(), first + count - 1);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    folder_ = dir_.filePath(QStringLiteral("oradata/SAMPLE"));
    system_ = WriteSampleDatabase(folder_, kTrailRows);
    QVERIFY(!system_.isEmpty());
  }

  void tableCaptionShowsItsRowsPageByPage() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.resize(1000, 700);
    window.show();
    Scan(window, prompts);
    CQuillonView& pane = window.rightPane();

    Open(window, {"Schema", "HR", "Tables", "AUDIT_TRAIL"});
    QVERIFY(pane.recordList() != nullptr);
    QCOMPARE(Headers(pane), (QStringList{kAuditTrailColumns[0], kAuditTrailColumns[1], kAuditTrailColumns[2]}));
    ExpectTrailPage(pane, 1, 100);
    QCOMPARE(Cell(pane, 2, 1), QStringLiteral("DELETE"));
    QCOMPARE(window.status().countText(), QStringLiteral("Records : 100"));
    QVERIFY(!pane.previousButton()->isEnabled());
    QVERIFY(pane.nextButton()->isEnabled());
    QVERIFY(window.state().view_only);

    // Odd rows tinted, whole rows selected, each cell's text as its tip.
    QCOMPARE(pane.records()->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(184, 214, 205));
    QVERIFY(!pane.records()->index(2, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(pane.records()->index(4, 2).data(Qt::ToolTipRole).toString(), Cell(pane, 4, 2));
    QTableView& list = *pane.recordList();
    QCOMPARE(list.horizontalHeader()->sectionSize(0), CQuillonView::kColumnWidth);
    list.scrollTo(pane.records()->index(3, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, list.visualRect(pane.records()->index(3, 1)).center());
    QVERIFY(list.selectionModel()->isRowSelected(3, QModelIndex()));

    Press(window, pane.nextButton());
    ExpectTrailPage(pane, 101, 100);
    QVERIFY(pane.previousButton()->isEnabled() && pane.nextButton()->isEnabled());
    Press(window, pane.nextButton());
    ExpectTrailPage(pane, 201, 50);
    QVERIFY(pane.previousButton()->isEnabled());
    QVERIFY(!pane.nextButton()->isEnabled());  // the table has no further page

    // Back through the pages visited.
    Press(window, pane.previousButton());
    ExpectTrailPage(pane, 101, 100);
    QVERIFY(pane.previousButton()->isEnabled() && pane.nextButton()->isEnabled());
    Press(window, pane.previousButton());
    ExpectTrailPage(pane, 1, 100);
    QVERIFY(!pane.previousButton()->isEnabled());
    QVERIFY(pane.nextButton()->isEnabled());
  }

  void shortTableAndPanesCleared() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.resize(1000, 700);
    window.show();
    Scan(window, prompts);
    CQuillonView& pane = window.rightPane();

    // One page only: "Next" goes off when the rows are in.
    Open(window, {"Schema", "HR", "Tables", "REGIONS"});
    QVERIFY(pane.recordList() != nullptr);
    QVERIFY(pane.records()->rowCount() > 0 && pane.records()->rowCount() < 100);
    QVERIFY(!pane.nextButton()->isEnabled());
    QVERIFY(!pane.previousButton()->isEnabled());

    // The root, a folder, an owner and a column empty the pane.
    const QStringList column = {"Schema", "HR", "Tables", "REGIONS", "Columns",
                                "REGION_NAME VARCHAR2(25)"};
    for (const QStringList& path : {QStringList{}, QStringList{"Schema", "HR", "Tables"}, QStringList{"Schema", "HR"},
                                    column}) {
      Open(window, {"Schema", "HR", "Tables", "REGIONS"});
      QVERIFY(pane.recordList() != nullptr);
      Open(window, path);
      QVERIFY2(pane.recordList() == nullptr, qPrintable(path.join('/')));
      QVERIFY(!pane.nextButton()->isVisible() && !pane.previousButton()->isVisible());
    }
  }
};

QTEST_MAIN(RecordViewTest)
#include "record_view_test.moc"
