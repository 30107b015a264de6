#include "rows/page_index.h"

namespace quillon {

void PageIndex::Reset(std::uint32_t table_object_number) {
  table_ = table_object_number;
  starts_.clear();
  complete_ = false;
}

std::optional<RowPosition> PageIndex::Start(std::uint64_t page) const {
  if (page >= starts_.size()) return std::nullopt;
  return starts_[page];
}

bool PageIndex::Reach(TableRowReader& reader, std::uint64_t page) {
  if (starts_.empty()) {
    const RowPosition first = reader.Skip(TableRowReader::Begin(), 0);
    if (reader.stopped()) return false;
    starts_.push_back(first);  // an empty table still has its (empty) page 0
    if (first == reader.End()) complete_ = true;
  }
  while (starts_.size() <= page && !complete_) {
    const RowPosition next = reader.Skip(starts_.back(), kRecordsPerPage);
    if (reader.stopped()) return false;
    if (next == reader.End()) {
      complete_ = true;
      break;
    }
    starts_.push_back(next);
  }
  return true;
}

PageRead PageIndex::ReadPage(TableRowReader& reader, std::uint64_t page, RowConsumer& consumer) {
  PageRead result;
  if (!Reach(reader, page)) {
    result.stopped = true;
    return result;
  }
  if (page >= starts_.size()) {
    result.exists = false;
    result.last_page = true;
    return result;
  }
  const std::uint64_t before = reader.stats().rows;
  const RowPosition after = reader.Read(starts_[page], kRecordsPerPage, consumer);
  result.rows = reader.stats().rows - before;
  if (reader.stopped()) {
    result.stopped = true;
    return result;
  }
  // Where the next page starts: right after this one, when another row follows.
  const RowPosition next = reader.Skip(after, 0);
  if (reader.stopped()) {
    result.stopped = true;
    return result;
  }
  if (next == reader.End()) {
    complete_ = true;
    starts_.resize(page + 1);
    result.last_page = true;
  } else if (starts_.size() == page + 1) {
    starts_.push_back(next);
  }
  return result;
}

}  // namespace quillon
