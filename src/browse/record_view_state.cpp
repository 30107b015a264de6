#include "browse/record_view_state.h"

namespace quillon {

void RecordViewState::Start(std::uint32_t table_object_number) {
  table_ = table_object_number;
  page_ = 0;
  continuing_ = false;
  page_count_ = 0;
  // A new view starts a new history: "Previous" must not lead to a page
  // visited in another table.
  history_.clear();
  pages_.Reset(table_object_number);
  previous_enabled_ = false;
  next_enabled_ = true;
}

bool RecordViewState::Next(bool worker_running) {
  if (worker_running) return false;
  ++page_;
  history_.push_back(page_);
  previous_enabled_ = true;
  next_enabled_ = page_ < page_count_;
  continuing_ = true;
  return true;
}

bool RecordViewState::Previous(bool worker_running) {
  const std::size_t h = history_.size();
  if (h >= 2) {
    page_ = history_[h - 2];
    history_.pop_back();
  } else {
    page_ = 0;
    history_.clear();
  }
  if (worker_running) return false;
  if (h >= 2) {
    previous_enabled_ = true;
    next_enabled_ = true;
  } else {
    previous_enabled_ = false;
    if (h == 1) next_enabled_ = true;
  }
  continuing_ = true;
  return true;
}

void RecordViewState::PagesRead(std::uint64_t known_pages, bool last_page) {
  page_count_ = known_pages;
  if (last_page) next_enabled_ = false;
}

}  // namespace quillon
