#include "app/worker_controller.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <exception>
#include <string>

namespace quillon::app {

namespace {
constexpr std::chrono::milliseconds kPumpInterval(5);
}  // namespace

WorkerController::WorkerController(NotificationTarget& target, QObject* parent)
    : QObject(parent), sink_(*this, target) {}

WorkerController::~WorkerController() {
  if (!running_) return;
  RequestStop();
  // The worker may be waiting for the GUI thread inside a notification, so
  // keep handling events until it has posted its end.
  WaitUntilIdle();
}

bool WorkerController::Start(Job job) {
  if (running_) return false;
  running_ = true;
  stop_.Clear();
  thread_ = std::thread([this, job = std::move(job)] {
    try {
      job(sink_, stop_);
    } catch (const std::exception& e) {
      sink_.Message(std::string("The process ended with an error: ") + e.what());
    } catch (...) {
      sink_.Message("The process ended with an unknown error.");
    }
    sink_.Flush();
    QMetaObject::invokeMethod(this, [this] { OnThreadEnded(); }, Qt::QueuedConnection);
  });
  return true;
}

void WorkerController::OnThreadEnded() {
  if (thread_.joinable()) thread_.join();
  Q_EMIT processEnded();
  running_ = false;
  Q_EMIT idle();
}

void WorkerController::WaitUntilIdle() {
  if (!running_) return;
  QEventLoop loop;
  connect(this, &WorkerController::idle, &loop, &QEventLoop::quit);
  // A wait that starts while a posted event is being handled (a queued
  // call, a zero timer) is not handed the events posted after it; the
  // worker's notifications and its end are posted to this object, so a
  // timer hands them over as well.
  QTimer pump;
  connect(&pump, &QTimer::timeout, this, [this] { QCoreApplication::sendPostedEvents(this); });
  pump.start(kPumpInterval);
  while (running_) loop.exec();
}

}  // namespace quillon::app
