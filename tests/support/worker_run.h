// Running the worker in tests: a worker on its own thread over a recording
// sink, and the report's lines with their dates masked.
#pragma once

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "browse/worker.h"
#include "support/recording_sink.h"

namespace quillon::test {

inline constexpr const char* kDateMask = "<date>";

// Lines that end in a report date get the date replaced by the mask; a date
// that does not match the report's pattern is left as it is (and so fails
// the comparison).
inline std::vector<std::string> MaskDates(const std::vector<std::string>& lines) {
  static const std::regex kDate(
      "(.*) ((Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, (January|February|March|April|May|June|July|August|"
      "September|October|November|December) [0-3][0-9], [0-9]{4}, [01][0-9]:[0-5][0-9]:[0-5][0-9] [AP]M)");
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    std::smatch m;
    out.push_back(std::regex_match(line, m, kDate) ? m[1].str() + " " + kDateMask : line);
  }
  return out;
}

struct WorkerRun {
  RecordingSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  WorkerResult result;

  void Start(const std::string& folder, const std::string& system, std::optional<WorkerMode> mode = std::nullopt) {
    CRecoverThread worker(engine, sink, stop, WorkerRequest{{folder, system}, mode});
    {
      const std::jthread thread = StartWorkerThread(worker);
    }
    result = worker.result();
  }
};

}  // namespace quillon::test
