// The worker plumbing: notifications made on the worker thread are handled on
// the GUI thread before the call returns; the end is posted; one job at a time.
#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "app/worker_controller.h"

using namespace quillon;
using namespace quillon::app;

namespace {

struct RecordingTarget : NotificationTarget {
  QStringList lines;
  QStringList messages;
  bool on_gui_thread = true;
  std::uint64_t count = 0;

  void Check() { on_gui_thread = on_gui_thread && QThread::currentThread() == qApp->thread(); }
  void OnProgress(ProgressStep, std::uint64_t) override { Check(); }
  void OnShowMemory() override { Check(); }
  void OnShowCount(std::uint64_t c) override {
    Check();
    count = c;
  }
  void OnAppendLog(const QString& text, LogMode) override {
    Check();
    lines.append(text);
  }
  void OnMessage(const QString& text) override {
    Check();
    messages.append(text);
  }
  void OnAddRecord(std::span<const DataView> cells, bool first) override {
    Check();
    lines.append(QStringLiteral("row %1 %2").arg(cells.size()).arg(first));
  }
  void OnRecordsComplete() override {
    Check();
    lines.append(QStringLiteral("complete"));
  }
  void OnUncheckTable(std::size_t position) override {
    Check();
    lines.append(QStringLiteral("uncheck %1").arg(position));
  }
};

}  // namespace

class WorkerControllerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void notificationsReturnAfterTheWindowHandledThem() {
    RecordingTarget target;
    WorkerController worker(target);
    QSignalSpy ended(&worker, &WorkerController::processEnded);
    std::atomic<int> seen_by_worker{-1};
    QVERIFY(worker.Start([&](WorkerSink& sink, const StopFlag&) {
      for (int i = 0; i < 50; ++i) sink.AppendLog(std::to_string(i), LogMode::kNewLine);
      // Every line has been appended by the time the call returned.
      seen_by_worker = static_cast<int>(target.lines.size());
      sink.ShowCount(77);
    }));
    QVERIFY(worker.ProcessRunning());
    QVERIFY(!worker.Start([](NotificationSink&, const StopFlag&) {}));  // one job at a time
    QTRY_VERIFY(!worker.ProcessRunning());
    QCOMPARE(ended.count(), 1);
    QCOMPARE(seen_by_worker.load(), 50);
    QCOMPARE(target.lines.size(), 50);
    QCOMPARE(target.lines.last(), QStringLiteral("49"));
    QCOMPARE(target.count, std::uint64_t{77});
    QVERIFY(target.on_gui_thread);
  }

  void workerNotificationsReachTheWindow() {
    RecordingTarget target;
    WorkerController worker(target);
    QVERIFY(worker.Start([](WorkerSink& sink, const StopFlag&) {
      const std::vector<DataView> cells(3);
      sink.ShowRecordList();  // a window without a record list ignores it
      sink.AddRecord(cells, true);
      sink.RecordsComplete();
      sink.UncheckTable(4);
      sink.ProcessEnded();  // the controller posts the end itself
    }));
    worker.WaitUntilIdle();
    QCOMPARE(target.lines, (QStringList{"row 3 1", "complete", "uncheck 4"}));
    QVERIFY(target.on_gui_thread);
  }

  void stopHandshake() {
    RecordingTarget target;
    WorkerController worker(target);
    std::atomic<bool> running{false};
    QVERIFY(worker.Start([&](WorkerSink& sink, const StopFlag& stop) {
      running = true;
      while (!stop.requested()) sink.ShowMemory();  // keeps the GUI thread busy too
    }));
    QTRY_VERIFY(running);
    bool running_during_end = false;
    connect(&worker, &WorkerController::processEnded, this,
            [&] { running_during_end = worker.ProcessRunning() && worker.StopRequested(); });
    worker.RequestStop();
    worker.WaitUntilIdle();
    QVERIFY(!worker.ProcessRunning());
    QVERIFY(running_during_end);
    QVERIFY(target.on_gui_thread);
    // The flag is cleared for the next job.
    std::atomic<bool> stopped_at_start{true};
    QVERIFY(worker.Start([&](NotificationSink&, const StopFlag& stop) { stopped_at_start = stop.requested(); }));
    worker.WaitUntilIdle();
    QVERIFY(!stopped_at_start);
  }

  void failingJobIsReported() {
    RecordingTarget target;
    WorkerController worker(target);
    QVERIFY(worker.Start([](NotificationSink&, const StopFlag&) { throw std::runtime_error("disk gone"); }));
    worker.WaitUntilIdle();
    QCOMPARE(target.messages.size(), 1);
    QVERIFY(target.messages[0].contains("disk gone"));
  }

  void destroyingStopsTheJob() {
    RecordingTarget target;
    std::atomic<bool> ended{false};
    {
      WorkerController worker(target);
      QVERIFY(worker.Start([&](WorkerSink& sink, const StopFlag& stop) {
        while (!stop.requested()) sink.ShowCount(1);
        ended = true;
      }));
      QTest::qWait(20);
    }
    QVERIFY(ended);
  }
};

QTEST_MAIN(WorkerControllerTest)
#include "worker_controller_test.moc"
