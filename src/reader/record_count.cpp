#include "reader/record_count.h"

#include "reader/row_starts.h"

namespace quillon {

std::uint64_t CountBlockRecords(ByteView block, const CountTarget& target) {
  thread_local std::vector<RowStart> starts;
  FindRowStarts(block, target, starts);
  return starts.size();
}

namespace {

// Counts block after block as for_each_dba hands them over.
template <typename ForEachDba>
CountResult CountBlocks(BlockSource& source, ForEachDba&& for_each_dba, const CountTarget& target,
                        NotificationSink& sink, const StopFlag& stop, std::uint64_t counted_before) {
  CountResult result;
  for_each_dba([&](std::uint32_t dba) {
    if (stop.requested()) {
      result.stopped = true;
      return false;
    }
    const BlockResult r = source.Read(dba);
    if (r.ok()) {
      ++result.blocks_read;
      const std::uint64_t n = CountBlockRecords(r.block.bytes(), target);
      if (BlockView(r.block.bytes()).ChecksumContradicted()) {
        result.bad_checksum_blocks.push_back(dba);
        result.suspect_records += n;
      }
      if (n) {
        result.records += n;
        sink.ShowCount(counted_before + result.records);
      }
    } else {
      ++result.blocks_unreadable;
    }
    sink.Progress(ProgressStep::kStep, 0);
    return true;
  });
  return result;
}

}  // namespace

CountResult CountRecords(BlockSource& source, const std::vector<std::uint32_t>& dbas,
                         const CountTarget& target, NotificationSink& sink, const StopFlag& stop,
                         std::uint64_t counted_before) {
  const auto each = [&](auto&& visit) {
    for (const std::uint32_t dba : dbas) {
      if (!visit(dba)) return;
    }
  };
  return CountBlocks(source, each, target, sink, stop, counted_before);
}

CountResult CountRecords(BlockSource& source, const std::vector<ExtentEntry>& extents,
                         const CountTarget& target, NotificationSink& sink, const StopFlag& stop,
                         std::uint64_t counted_before) {
  const auto each = [&](auto&& visit) { ForEachExtentBlock(extents, visit); };
  return CountBlocks(source, each, target, sink, stop, counted_before);
}

}  // namespace quillon
