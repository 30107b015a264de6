// The statements to run once more: a sink that executes statements keeps
// here those marked retry_when_failed that failed (a view over a view made
// later, a trigger on a table of a later phase, a package that calls a
// procedure made after it), and on StatementSink::RetryFailed takes them out
// and runs them again, once, in their order. What fails the second time is
// a lost object and is reported as any failure.
//
//   void MyTarget::Accept(const Statement& s) {
//     if (!Execute(s)) { retries_.Failed(s); Report(s); }
//   }
//   void MyTarget::RetryFailed() {
//     for (const Statement& s : retries_.Take()) if (!Execute(s)) Report(s);
//   }
#pragma once

#include <vector>

#include "repair/statement.h"

namespace quillon::repair {

class RetryList {
 public:
  // Keeps the statement when it is one to retry; returns whether it was kept.
  bool Failed(const Statement& statement) {
    if (!statement.retry_when_failed) return false;
    failed_.push_back(statement);
    return true;
  }
  // The kept statements, in the order they failed; the list is empty after.
  std::vector<Statement> Take() {
    std::vector<Statement> out;
    out.swap(failed_);
    return out;
  }
  bool empty() const { return failed_.empty(); }

 private:
  std::vector<Statement> failed_;
};

}  // namespace quillon::repair
