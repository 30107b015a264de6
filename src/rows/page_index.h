// Pages of a table's rows for the record view: where each page starts.
//
// A page holds kRecordsPerPage rows. The index remembers the start of every
// page it has passed (a RowPosition: segment, block and slot), so reading a
// page whose start is known reads its blocks and nothing before them: Next
// and Previous cost the same on page 10,000 as on page 1. A page further on
// than any known start is reached from the last known one by counting row
// starts block by block, without decoding a row, and every page start passed
// on the way is kept. The index belongs to one table; it is emptied when the
// record view turns to another table.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "rows/row_reader.h"

namespace quillon {

inline constexpr std::uint64_t kRecordsPerPage = 100;

struct PageRead {
  bool exists = true;      // the table has this page (page 0 always exists)
  std::uint64_t rows = 0;  // rows read
  bool last_page = false;  // the table has no further page
  bool stopped = false;    // a stop request ended the reading
};

class PageIndex {
 public:
  // Empties the index and ties it to a table.
  void Reset(std::uint32_t table_object_number);
  std::uint32_t table() const { return table_; }

  // Reads page `page` (from 0) of the reader's table into consumer.
  PageRead ReadPage(TableRowReader& reader, std::uint64_t page, RowConsumer& consumer);

  // Pages whose start is known: the number of pages so far, and the number
  // of pages once complete() is set.
  std::uint64_t known_pages() const { return starts_.size(); }
  bool complete() const { return complete_; }
  std::optional<RowPosition> Start(std::uint64_t page) const;

 private:
  // Learns the start of `page` from the last known start on.
  bool Reach(TableRowReader& reader, std::uint64_t page);

  std::uint32_t table_ = 0;
  std::vector<RowPosition> starts_;  // starts_[p]: the first row of page p
  bool complete_ = false;
};

}  // namespace quillon
