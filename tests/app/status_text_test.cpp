// The status bar's texts: memory use grouped by thousands, record counts and
// the progress bar.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QtTest>

#include "app/memory_use.h"
#include "app/status_panes.h"

using namespace quillon::app;

class StatusTextTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void groupsThousands_data() {
    QTest::addColumn<quint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << quint64{0} << "0";
    QTest::newRow("three digits") << quint64{999} << "999";
    QTest::newRow("four digits") << quint64{1000} << "1,000";
    QTest::newRow("seven digits") << quint64{1234567} << "1,234,567";
    QTest::newRow("six digits") << quint64{123456} << "123,456";
    QTest::newRow("largest") << quint64{18446744073709551615ULL} << "18,446,744,073,709,551,615";
  }
  void groupsThousands() {
    QFETCH(quint64, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(GroupThousands(value)), text);
  }

  void memoryPaneText() {
    QCOMPARE(QString::fromStdString(KilobytesText(1234567)), QStringLiteral("1,234,567 KB"));
    QMainWindow window;
    StatusPanes panes(*window.statusBar());
    panes.ShowMemoryKb(1234567);
    QCOMPARE(panes.memoryText(), QStringLiteral("Memory Use : 1,234,567 KB"));
    panes.ShowMemory();  // this process's own resident size
    QVERIFY(panes.memoryText().startsWith("Memory Use : "));
    QVERIFY(panes.memoryText().endsWith(" KB"));
  }

  void readsResidentSize() {
    QCOMPARE(ParseResidentKb("Name:\tx\nVmPeak:\t  100 kB\nVmRSS:\t   20480 kB\n"), std::optional<std::uint64_t>(20480));
    QCOMPARE(ParseResidentKb("Name:\tx\n"), std::optional<std::uint64_t>());
    QCOMPARE(ParseResidentKb("VmRSS:\tnone\n"), std::optional<std::uint64_t>());
    QVERIFY(ReadResidentKb().value_or(0) > 0);
  }

  void countAndProgress() {
    QMainWindow window;
    StatusPanes panes(*window.statusBar());
    window.show();
    const auto* records = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusRecords"));
    panes.ShowCount(1234);
    QCOMPARE(panes.countText(), QStringLiteral("Records : 1234"));
    panes.StartProgress(3);
    QVERIFY(panes.ProgressShown());
    for (int i = 0; i < 5; ++i) panes.StepProgress();
    QCOMPARE(panes.ProgressValue(), 3);  // never beyond the end
    panes.StartProgress(0);              // a new bar replaces the old one
    QCOMPARE(panes.ProgressValue(), 0);
    panes.EndProgress();
    QVERIFY(!panes.ProgressShown());
    panes.EndProgress();
    // The panes beside the bar stay visible.
    QVERIFY(records->isVisible());
  }
};

QTEST_MAIN(StatusTextTest)
#include "status_text_test.moc"
