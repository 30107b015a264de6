#include "browse/scan_counts.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "browse/log_text.h"
#include "reader/block_source.h"
#include "reader/record_count.h"
#include "reader/table_blocks.h"

namespace quillon {

std::string RecordCountText(const TableCount& count) {
  return std::to_string(count.records) + " Record(s)" + count.suffix;
}

std::vector<std::string> DamageReportLines(const std::vector<TableCount>& counts) {
  std::set<std::uint32_t> bad_blocks;
  std::uint64_t suspect = 0;
  std::vector<std::string> bad_tables;
  // Missing ranges by file and first block: tables of one cluster name the
  // same ranges. (Ranges, not blocks: a missing datafile may hold millions.)
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> missing_ranges;
  std::vector<std::string> missing_tables;
  for (const TableCount& c : counts) {
    if (!c.bad_checksum_blocks.empty()) {
      bad_blocks.insert(c.bad_checksum_blocks.begin(), c.bad_checksum_blocks.end());
      suspect += c.suspect_records;
      bad_tables.push_back(c.text);
    }
    if (c.blocks_missing > 0) {
      for (const MissingBlocks& m : c.missing) {
        auto& count = missing_ranges[{m.file, m.first_block}];
        count = std::max(count, m.block_count);
      }
      missing_tables.push_back(c.text);
    }
  }
  std::vector<std::string> lines;
  if (!bad_blocks.empty()) lines.push_back(BadChecksumLine(bad_blocks.size(), suspect, bad_tables));
  std::uint64_t missing = 0;
  for (const auto& [start, count] : missing_ranges) missing += count;
  if (missing > 0) lines.push_back(MissingBlocksLine(missing, missing_tables));
  return lines;
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
    count.missing = blocks.Missing();
    count.blocks_missing = blocks.MissingBlockCount();
    sink.ShowCount(0);
    sink.Progress(ProgressStep::kStart, count.blocks);
    bool stopped = blocks.stopped;
    for (const TableSegment& segment : blocks.segments) {
      if (stopped) break;
      const CountResult r =
          CountRecords(source, segment.walk.extents, blocks.target, sink, engine.stop(), count.records);
      count.records += r.records;
      count.blocks_unreadable += r.blocks_unreadable;
      count.bad_checksum_blocks.insert(count.bad_checksum_blocks.end(), r.bad_checksum_blocks.begin(),
                                       r.bad_checksum_blocks.end());
      count.suspect_records += r.suspect_records;
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
