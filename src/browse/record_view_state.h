// The paging state of the record view, kept apart from any window so that
// the desktop front end drives it and tests check it without one.
//
// A click on a table starts a view: page 0, no history, the pages of the
// previous table forgotten. "Next" goes one page on and remembers the page
// in the history; "Previous" goes back to the page before the last one the
// history holds. Each returns whether a worker is to be started in record
// mode for the new page: not while one runs (the press still clears the
// list, and a "Previous" still steps the history back). The worker reads the
// page (record_view_worker.h), fills the page index and reports how many
// pages are known and whether that is all of them.
//
// Threads: the front end calls Start, Next and Previous on its own thread
// and only while no worker runs does it read the page count; the worker
// writes the page index and the page count while it runs.
#pragma once

#include <cstdint>
#include <vector>

#include "rows/page_index.h"

namespace quillon {

class RecordViewState {
 public:
  // A record view of another (or the same) table starts.
  void Start(std::uint32_t table_object_number);
  // The "Next" and "Previous" buttons. True: start a worker in record mode.
  bool Next(bool worker_running);
  bool Previous(bool worker_running);
  // The worker has read a page: the pages known so far, and whether the
  // table has no page after the one read.
  void PagesRead(std::uint64_t known_pages, bool last_page);

  std::uint32_t table() const { return table_; }
  std::uint64_t page() const { return page_; }
  // The request continues an open record view (Next or Previous).
  bool continuing() const { return continuing_; }
  std::uint64_t page_count() const { return page_count_; }
  const std::vector<std::uint64_t>& history() const { return history_; }
  bool previous_enabled() const { return previous_enabled_; }
  bool next_enabled() const { return next_enabled_; }

  PageIndex& pages() { return pages_; }
  const PageIndex& pages() const { return pages_; }

 private:
  std::uint32_t table_ = 0;
  std::uint64_t page_ = 0;
  bool continuing_ = false;
  std::uint64_t page_count_ = 0;
  std::vector<std::uint64_t> history_;
  bool previous_enabled_ = false;
  bool next_enabled_ = true;
  PageIndex pages_;
};

}  // namespace quillon
