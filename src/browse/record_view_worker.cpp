#include "browse/record_view_worker.h"

#include <vector>

#include "browse/browse_cells.h"
#include "browse/log_text.h"
#include "rows/row_reader.h"

namespace quillon {

namespace {

// Hands every row to the front end as DataView cells.
class CellSender final : public RowConsumer {
 public:
  CellSender(const TableLayout& layout, DecodeContext& context, WorkerSink& sink)
      : layout_(layout), context_(context), sink_(sink) {}

  bool Row(const TableRow& row) override {
    MakeBrowseCells(row, layout_, context_, cells_);
    sink_.AddRecord(cells_, rows_ == 0);
    ++rows_;
    sink_.ShowCount(rows_);
    if (row.suspect) ++suspect_;
    return true;
  }
  std::uint64_t suspect() const { return suspect_; }

 private:
  const TableLayout& layout_;
  DecodeContext& context_;
  WorkerSink& sink_;
  std::vector<DataView> cells_;
  std::uint64_t rows_ = 0;
  std::uint64_t suspect_ = 0;
};

std::string TableText(const Catalogue& catalogue, std::uint32_t table) {
  const ObjectRecord* o = catalogue.Object(table);
  return o ? o->owner + "." + o->name : "#" + std::to_string(table);
}

}  // namespace

RecordModeResult RunRecordMode(COracleRecoveryTools& engine, BlockSource& source, RecordViewState& state,
                               WorkerSink& sink) {
  RecordModeResult result;
  PageIndex& pages = state.pages();
  if (pages.table() != state.table()) pages.Reset(state.table());
  if (!state.continuing()) sink.ShowRecordList();
  TableRowReader reader(engine, source, state.table());
  result.table_found = reader.table_found();
  CellSender sender(reader.layout(), engine.values, sink);
  const PageRead read = pages.ReadPage(reader, state.page(), sender);
  result.rows = read.rows;
  result.stopped = read.stopped;
  result.last_page = read.last_page;
  if (read.stopped) return result;
  // What the page cannot be trusted for goes to the log, next to the view.
  if (!state.continuing() && reader.stats().missing_blocks > 0) {
    sink.AppendLog(MissingTableLine(TableText(engine.catalogue, state.table()), reader.stats().missing_blocks),
                   LogMode::kNewLine);
  }
  if (sender.suspect() > 0) {
    sink.AppendLog(SuspectPageLine(TableText(engine.catalogue, state.table()), state.page() + 1, sender.suspect(),
                                   reader.stats().bad_checksum_blocks),
                   LogMode::kNewLine);
  }
  if (read.rows == 0) sink.ShowCount(0);
  if (read.last_page) sink.RecordsComplete();
  state.PagesRead(pages.known_pages(), read.last_page);
  return result;
}

}  // namespace quillon
