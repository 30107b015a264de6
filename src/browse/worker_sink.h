// What the worker tells the front end beyond the datafile reader's progress
// and log notifications: the object tree after a scan, the rows of a record
// view, a table to uncheck, and the end of the process.
//
// Every call but ProcessEnded returns only when the front end has handled it,
// so the worker never changes what the front end is still reading (the tree
// and the row are valid only during the call). ProcessEnded is the last call
// of a process; the front end must not block the worker in it.
#pragma once

#include <cstddef>
#include <span>

#include "reader/catalogue_columns.h"
#include "reader/notify.h"

namespace quillon {

class ObjectTree;

class WorkerSink : public NotificationSink {
 public:
  // The scan has filled the catalogue; the tree built from it.
  virtual void BuildTree(const ObjectTree& /*tree*/) {}
  // A record view starts: the front end shows an empty record list.
  virtual void ShowRecordList() {}
  // One row of the record view; first is set for the first row of a page.
  virtual void AddRecord(std::span<const DataView> /*cells*/, bool /*first*/) {}
  // The table has no further page.
  virtual void RecordsComplete() {}
  // The repair finished a table: clear the check mark of entry position of
  // the repair's table list.
  virtual void UncheckTable(std::size_t /*position*/) {}
  // The worker has ended, finished or stopped.
  virtual void ProcessEnded() {}
};

}  // namespace quillon
