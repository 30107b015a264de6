// Ctrl-C as a stop request: while a StopOnInterrupt lives, SIGINT sets the
// stop flag instead of ending the program, so the worker stops at its next
// poll and the command can still write what it has and exit with 130. A
// second Ctrl-C ends the program the usual way.
#pragma once

#include <csignal>

#include "reader/notify.h"

namespace quillon::cli {

class StopOnInterrupt {
 public:
  explicit StopOnInterrupt(StopFlag& stop);
  ~StopOnInterrupt();
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

 private:
  struct sigaction previous_ {};
  bool installed_ = false;
};

}  // namespace quillon::cli
