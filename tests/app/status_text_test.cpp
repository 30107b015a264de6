// The status bar's texts: memory use grouped by thousands, record counts and
// the progress bar; which of the worker's frequent notifications reach it.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QtTest>

#include "app/memory_use.h"
#include "app/notification_throttle.h"
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
    panes.SetProgress(2);
    QCOMPARE(panes.ProgressValue(), 2);
    panes.SetProgress(5);
    QCOMPARE(panes.ProgressValue(), 3);  // never beyond the end
    // More steps than the bar counts: shown scaled, the end still the end.
    panes.StartProgress(std::uint64_t{1} << 40);
    panes.SetProgress(std::uint64_t{1} << 40);
    const int full = panes.ProgressValue();
    panes.SetProgress(std::uint64_t{1} << 39);
    QVERIFY(full > 0);
    QVERIFY(std::abs(panes.ProgressValue() * 2 - full) <= 2);
    panes.StartProgress(0);              // a new bar replaces the old one
    QCOMPARE(panes.ProgressValue(), 0);
    panes.EndProgress();
    QVERIFY(!panes.ProgressShown());
    panes.EndProgress();
    // The panes beside the bar stay visible.
    QVERIFY(records->isVisible());
  }

  // How many steps of a phase move the bar, and that the last one always does.
  void progressStepsShownOnlyWhenTheBarMoves_data() {
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("shown");
    QTest::newRow("short phase: every step") << quint64{3} << quint64{3};
    QTest::newRow("at the resolution") << quint64{NotificationThrottle::kProgressResolution}
                                       << quint64{NotificationThrottle::kProgressResolution};
    QTest::newRow("long phase") << quint64{100000} << quint64{NotificationThrottle::kProgressResolution};
    QTest::newRow("uneven") << quint64{1237} << quint64{NotificationThrottle::kProgressResolution};
  }
  void progressStepsShownOnlyWhenTheBarMoves() {
    QFETCH(quint64, total);
    QFETCH(quint64, shown);
    NotificationThrottle throttle;
    throttle.ProgressStarted(total);
    quint64 count = 0;
    quint64 last = 0;
    for (quint64 i = 1; i <= total; ++i) {
      if (const auto position = throttle.ProgressStepped()) {
        QCOMPARE(quint64{*position}, i);
        QVERIFY(i > last);
        last = i;
        ++count;
      }
    }
    QCOMPARE(count, shown);
    QCOMPARE(last, total);
    QVERIFY(!throttle.ProgressStepped());  // beyond the announced total
  }

  void absurdProgressTotalDoesNotOverflow() {
    NotificationThrottle throttle;
    throttle.ProgressStarted(UINT64_MAX);
    for (int i = 0; i < 1000; ++i) QVERIFY(!throttle.ProgressStepped());
  }

  void countsAndMemoryAreSpacedOut() {
    using namespace std::chrono_literals;
    NotificationThrottle throttle;
    const NotificationThrottle::Clock::time_point t0{};
    QVERIFY(throttle.CountDue(1, t0));
    QVERIFY(!throttle.TakeHeldCount());
    QVERIFY(!throttle.CountDue(2, t0 + 10ms));
    QVERIFY(!throttle.CountDue(3, t0 + 20ms));
    QCOMPARE(throttle.TakeHeldCount().value_or(0), std::uint64_t{3});  // the newest, once
    QVERIFY(!throttle.TakeHeldCount());
    QVERIFY(!throttle.CountDue(4, t0 + 30ms));
    QVERIFY(throttle.CountDue(5, t0 + NotificationThrottle::kCountInterval));
    QVERIFY(!throttle.TakeHeldCount());  // a shown count drops the held one

    QVERIFY(throttle.MemoryDue(t0));
    QVERIFY(!throttle.MemoryDue(t0 + 100ms));
    QVERIFY(throttle.MemoryDue(t0 + NotificationThrottle::kMemoryInterval));
  }
};

QTEST_MAIN(StatusTextTest)
#include "status_text_test.moc"
