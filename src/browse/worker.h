// CRecoverThread: the worker that runs one process of the application (a
// scan, later a repair and the record view) away from the front end.
//
// A front end creates the engine with its WorkerSink and StopFlag, creates a
// worker over them and runs Run() on a thread it owns (StartWorkerThread
// starts one). The worker and the front end share state only through the
// notifications: every WorkerSink call but ProcessEnded returns when the
// front end has handled it, so the worker never changes what the front end
// is still reading; the stop request travels the other way through the
// atomic StopFlag. ProcessEnded is the worker's last call, after a finished
// run and after a stop alike; the front end must not block in it. result()
// may be read once Run() has returned (after the thread has been joined).
//
// Which process runs: the one the request names (the record view names its
// record mode), else the catalogue decides:
// an empty catalogue is scanned (worker_scan.cpp), a filled one is repaired.
//
// The repair (worker_repair.cpp) writes the tables the request names into a
// target the front end has chosen and connected (dialogs never run on the
// worker); the worker disconnects it at the end and writes the Oracle texts
// the target cannot hold and the failed statements beside the output. A
// request without a target logs that the repair cannot run and ends.
//
// The scan, in order: the release and the datafiles (identify.h), the whole
// dictionary (dictionary_rebuild.h), the object tree handed to
// WorkerSink::BuildTree (the front end treats the scan's catalogue as
// complete from then on), the record counts of the shown tables
// (scan_counts.h) and the report's totals. The stop flag is polled at the
// start, after the dictionary reads, before every table, and by the readers
// after every block; a stopped scan ends without further lines (the front
// end writes the stop line, log_text.h StopLine).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "browse/record_view_state.h"
#include "browse/scan_counts.h"
#include "browse/worker_sink.h"
#include "reader/engine.h"
#include "repair/repair_process.h"
#include "repair/target.h"

namespace quillon {

enum class WorkerMode : std::uint8_t {
  kScan,
  kRepair,
  kRecords,  // one page of a table for the record view (record_view_worker.h)
};

// What the scan reads: the database folder as the user chose it (the tree's
// root caption and the report's "Selected Database") and its SYSTEM datafile.
struct ScanSource {
  std::string database_path;
  std::string system_datafile;
};

// kRepair: the target, connected by the front end, and the tables.
struct RepairRequest {
  repair::Target* target = nullptr;
  repair::TargetDialect dialect = repair::TargetDialect::kSqlite;
  // Object numbers, in the order of the repair's table list.
  std::vector<std::uint32_t> tables;
  // The Oracle texts the target cannot hold (empty path: not written).
  std::string side_file;
  // Every failed statement, appended (empty path: not written).
  std::string errors_file;
  // Oracle-dialect targets: where datafiles and query files go.
  repair::OracleRepairOptions oracle;
};

struct WorkerRequest {
  ScanSource source;
  std::optional<WorkerMode> mode;  // absent: from the catalogue
  // kRecords: the record view's state (table and page asked for); the worker
  // fills its page index and page count.
  RecordViewState* records = nullptr;
  // kRepair: what to write and where; outlives the run.
  const RepairRequest* repair_request = nullptr;
};

// What a run did, for front ends that report it once the worker has ended.
struct WorkerResult {
  WorkerMode mode = WorkerMode::kScan;
  bool stopped = false;        // a stop request ended the run at one of its polls
  bool unsupported = false;    // the release could not be identified
  bool tree_built = false;     // BuildTree was called: the catalogue is complete
  bool finished = false;       // the run reached its last line
  std::vector<TableCount> tables;
  std::optional<repair::RepairResult> repair_result;  // kRepair, when the repair ran
};

class CRecoverThread {
 public:
  // The engine must notify the same sink and poll the same stop flag.
  CRecoverThread(COracleRecoveryTools& engine, WorkerSink& sink, const StopFlag& stop, WorkerRequest request);
  CRecoverThread(const CRecoverThread&) = delete;
  CRecoverThread& operator=(const CRecoverThread&) = delete;

  // Runs the process on the calling thread; returns after ProcessEnded.
  void Run();

  const WorkerResult& result() const { return result_; }
  WorkerMode ChosenMode() const;

 private:
  // A new line of the report.
  void LogLine(const std::string& text);
  void LogBlank() { LogLine(""); }
  // True (and remembered in the result) when a stop has been requested.
  bool StopPolled();

  void RunScan();
  void RunRepair();
  void RunRecords();

  struct ModeEntry {
    WorkerMode mode;
    void (CRecoverThread::*run)();
  };
  static const ModeEntry kModes[];

  COracleRecoveryTools& engine_;
  WorkerSink& sink_;
  const StopFlag& stop_;
  WorkerRequest request_;
  WorkerResult result_;
};

// The value of a counter of the scan report's totals (the datafile count is
// the number of registered datafiles).
std::uint64_t ScanCounterValue(const COracleRecoveryTools& engine, Counter counter);

// Runs worker.Run() on a new thread; the thread joins when destroyed.
std::jthread StartWorkerThread(CRecoverThread& worker);

// Texts of the scan report.
namespace scan_text {
inline constexpr const char* kStarted = "Scanning Process Started On";
inline constexpr const char* kSelectedDatabase = "Selected Database For Repair  : ";
inline constexpr const char* kScanningDatabase = "Scanning Database......";
inline constexpr const char* kReleaseOpen = "( Major Version Of Selected  Database is Oracle ";
inline constexpr const char* kReleaseClose = " )";
inline constexpr const char* kUnsupported = "This Version not supported so scanning stopped On ";
inline constexpr const char* kTablesPresent = "Total Table(s) present  :";
inline constexpr const char* kCompleted = "Scanning Process completed On";
inline constexpr std::size_t kSeparatorDots = 75;
inline constexpr const char* kRepairUnavailable = "The repair process has no target to write to.";
}  // namespace scan_text

}  // namespace quillon
