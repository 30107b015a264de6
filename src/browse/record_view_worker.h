// The worker's record mode: one page of a table's rows for the record view.
//
// The worker reads the page the view state asks for (record_view_state.h)
// through the page index, and tells the front end through its WorkerSink:
// ShowRecordList when a view starts (not when it goes on with "Next" or
// "Previous"), one AddRecord per row with the row's DataView cells (the
// first row of the page flagged), ShowCount with the rows handed over so far,
// and RecordsComplete when the table has no further page. Then it records in
// the state how many pages are known.
#pragma once

#include <cstdint>

#include "browse/record_view_state.h"
#include "browse/worker_sink.h"
#include "reader/block_source.h"
#include "reader/engine.h"

namespace quillon {

struct RecordModeResult {
  bool table_found = false;
  std::uint64_t rows = 0;
  bool last_page = false;
  bool stopped = false;
};

RecordModeResult RunRecordMode(COracleRecoveryTools& engine, BlockSource& source, RecordViewState& state,
                               WorkerSink& sink);

}  // namespace quillon
