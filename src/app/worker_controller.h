// Runs one job at a time on a worker thread: the scan, and later the record
// view, the script preview and the repair.
//
// The controller sets ProcessRunning before the thread starts and keeps it set
// until the window has handled the end of the job. The job reports through
// the controller's GuiSink and polls its StopFlag. When the job returns (or
// throws), the end is posted to the GUI thread (never waited for by the
// worker); there the thread is joined, processEnded() is emitted for the
// window, and only then ProcessRunning is cleared and idle() emitted.
#pragma once

#include <QObject>
#include <functional>
#include <thread>

#include "app/gui_sink.h"
#include "reader/notify.h"

namespace quillon::app {

// A job: everything it reports goes to the sink, and it returns soon after
// the stop flag has been set.
using Job = std::function<void(WorkerSink& sink, const StopFlag& stop)>;

class WorkerController : public QObject {
  Q_OBJECT

 public:
  explicit WorkerController(NotificationTarget& target, QObject* parent = nullptr);
  // Stops a running job and waits for it.
  ~WorkerController() override;

  // Starts job on a new thread; false (nothing started) while a job runs.
  bool Start(Job job);
  bool ProcessRunning() const { return running_; }
  bool StopRequested() const { return stop_.requested(); }
  // Sets the stop flag; the job notices it at its next poll.
  void RequestStop() { stop_.Request(); }
  // Handles window events until the running job has ended and its end has
  // been handled; returns at once when no job runs.
  void WaitUntilIdle();

  WorkerSink& sink() { return sink_; }
  const StopFlag& stop_flag() const { return stop_; }

 Q_SIGNALS:
  // The job has ended (finished or stopped); ProcessRunning is still set.
  void processEnded();
  // ProcessRunning has been cleared.
  void idle();

 private:
  void OnThreadEnded();

  GuiSink sink_;
  StopFlag stop_;
  std::thread thread_;
  bool running_ = false;
};

}  // namespace quillon::app
