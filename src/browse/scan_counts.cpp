#include "browse/scan_counts.h"

#include "reader/block_source.h"
#include "reader/record_count.h"
#include "reader/table_blocks.h"

namespace quillon {

std::string RecordCountText(const TableCount& count) {
  return std::to_string(count.records) + " Record(s)" + count.suffix;
}

bool CountShownTables(COracleRecoveryTools& engine, const std::vector<ShownTable>& shown,
                      std::vector<TableCount>& out) {
  NotificationSink& sink = engine.sink();
  // One source for the whole phase: every datafile is opened once.
  BlockSource source(engine.datafiles);
  for (const ShownTable& table : shown) {
    if (engine.StopRequested()) return false;
    TableCount count;
    count.text = table.text;
    count.object_number = table.object_number;
    count.has_columns = !engine.catalogue.columns.All<0>(table.object_number).empty();
    sink.AppendLog(table.text + " : ", LogMode::kNewLine);

    // Extents only: the blocks are visited one by one while counting, so a
    // table of any size costs the same memory.
    TableBlocks blocks = CollectTableBlocks(engine, source, table.object_number, WalkListing::kExtentsOnly);
    count.suffix = blocks.suffix;
    count.blocks = blocks.BlockCount();
    sink.ShowCount(0);
    sink.Progress(ProgressStep::kStart, count.blocks);
    bool stopped = blocks.stopped;
    for (const TableSegment& segment : blocks.segments) {
      if (stopped) break;
      const CountResult r =
          CountRecords(source, segment.walk.extents, blocks.target, sink, engine.stop(), count.records);
      count.records += r.records;
      count.blocks_unreadable += r.blocks_unreadable;
      stopped = r.stopped;
    }
    blocks = TableBlocks{};
    count.complete = !stopped;
    // A count cut short by a stop is not a count of the table: the line
    // keeps no number.
    if (count.has_columns && count.complete) sink.AppendLog(RecordCountText(count), LogMode::kContinue);
    sink.Progress(ProgressStep::kFinish, 0);
    out.push_back(std::move(count));
    if (stopped) return false;
  }
  return true;
}

}  // namespace quillon
