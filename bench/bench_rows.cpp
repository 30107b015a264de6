// The table row reader on a large generated table (default 50 million rows):
//
// 1. the record view: the time of page 1 and of page 10,000 as the worker's
//    record mode reads them (the table opened, the page read and its cells
//    made), and of "Next" from there; the one walk that first learns where
//    page 10,000 starts is timed on its own;
// 2. the export to CSV on one core: rows per second and MB of datafile per
//    second, against a plain read of the same blocks through the block
//    source (target: at least 300 MB of datafile per second), with the time
//    of its stages (rows assembled; value texts made) to show where it goes.
//
//   bench_rows [ROWS] [FOLDER]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "rows/page_index.h"
#include "browse/record_view_worker.h"
#include "rows/table_export.h"
#include "reader/block_view.h"
#include "reader/identify.h"
#include "reader/packed_codes.h"

using namespace quillon;

namespace {

constexpr std::uint32_t kTable = 100;
constexpr std::uint32_t kSegment = 70000;
constexpr double kTargetMbPerSecond = 300;

class QuietSink final : public WorkerSink {
 public:
  void AddRecord(std::span<const DataView> cells, bool) override { cells_ += cells.size(); }
  std::uint64_t cells_ = 0;
};

class Discard final : public RowConsumer {
 public:
  bool Row(const TableRow&) override { return true; }
};

void Describe(COracleRecoveryTools& engine, std::uint32_t header_dba) {
  TableRecord t;
  t.object_number = kTable;
  t.data_object_number = kSegment;
  t.relative_file_number = format::DbaFile(header_dba);
  t.header_block = format::DbaBlock(header_dba);
  engine.catalogue.tables.Append(t);
  const std::pair<const char*, std::uint32_t> columns[] = {
      {"ID", type_code::kNumber}, {"NAME", type_code::kVarchar2}, {"CREATED", type_code::kDate}};
  std::uint32_t n = 0;
  for (const auto& [name, type] : columns) {
    ColumnInfo c;
    c.object_number = kTable;
    c.name = name;
    c.type_code = type;
    c.column_number = c.segment_column = c.internal_column = ++n;
    engine.catalogue.columns.Append(c);
  }
}

// The value texts of every row, as the export makes them, without writing.
class TextsOnly final : public RowConsumer {
 public:
  TextsOnly(COracleRecoveryTools& engine, const TableLayout& layout)
      : texts_(engine, kTable, LargeValues::kPlaceholder), layout_(layout), columns_(ExportColumns(layout)) {}
  bool Row(const TableRow& row) override {
    texts_.Fill(row, layout_, columns_, values_);
    return true;
  }

 private:
  RowValueTexts texts_;
  const TableLayout& layout_;
  std::vector<std::size_t> columns_;
  std::vector<ValueText> values_;
};

double Time(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return bench::SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 50'000'000;
  const std::string folder = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "quillon-bench-rows").string();
  // BigTableModel sizes its table in MB: about 60 bytes a row, 90 % of it rows.
  const std::uint64_t mb = std::max<std::uint64_t>(1, rows * 60 * 10 / 9 / (1024 * 1024) + 1);
  const auto model = bench::BigTableModel(mb, 8192, kSegment);
  testdb::LayoutResult layout;
  std::string error;
  const double generate = Time([&] {
    if (!testdb::WriteDatabase(model, folder, layout, error)) {
      std::fprintf(stderr, "generation failed: %s\n", error.c_str());
      std::exit(1);
    }
  });
  const testdb::SegmentLayout* segment = layout.FindSegment(kSegment);
  std::printf("generated %llu rows (%.0f MB) in %.1f s\n", static_cast<unsigned long long>(segment->row_count),
              static_cast<double>(segment->blocks.size()) * 8192 / 1048576.0, generate);

  NullSink null_sink;
  StopFlag stop;
  COracleRecoveryTools engine(null_sink, stop);
  IdentifyRelease(engine, (std::filesystem::path(folder) / "SYSTEM01.DBF").string());
  Describe(engine, segment->header_dba);
  const std::string users = (std::filesystem::path(folder) / "USERS01.DBF").string();
  bench::CatSeconds(users);  // from the page cache from here on

  // 1. Pages.
  BlockSource source(engine.datafiles);
  RecordViewState state;
  state.Start(kTable);
  QuietSink sink;
  const double page1 = Time([&] { RunRecordMode(engine, source, state, sink); });
  const std::uint64_t target = 9'999;  // page 10,000 counted from 1
  double walk = 0;
  {
    TableRowReader reader(engine, source, kTable);
    Discard discard;
    walk = Time([&] { state.pages().ReadPage(reader, target - 1, discard); });
  }
  while (state.page() < target) state.Next(false);
  const double page10000 = Time([&] { RunRecordMode(engine, source, state, sink); });
  state.Next(false);
  const double next = Time([&] { RunRecordMode(engine, source, state, sink); });
  std::printf("record view, page 1               : %8.3f ms\n", page1 * 1e3);
  std::printf("record view, page 10,000          : %8.3f ms (%.2fx page 1)\n", page10000 * 1e3, page10000 / page1);
  std::printf("record view, Next on page 10,000  : %8.3f ms\n", next * 1e3);
  std::printf("first walk to page 10,000 (once)  : %8.3f ms, counting rows without decoding them\n", walk * 1e3);

  // 2. Export to CSV against a plain read of the same blocks.
  const std::vector<std::uint32_t> blocks = [&] {
    BlockSource s(engine.datafiles);
    return CollectTableBlocks(engine, s, kTable).AllBlocks();
  }();
  const double table_mb = static_cast<double>(blocks.size()) * 8192 / 1048576.0;
  std::uint64_t checksum = 0;
  const double plain = Time([&] {
    BlockSource s(engine.datafiles);
    for (const std::uint32_t dba : blocks) {
      const BlockResult r = s.Read(dba);
      if (r.ok()) checksum += r.block.bytes().data()[0];
    }
  });
  // Each stage below is run three times and the best time counts (the
  // machine may be shared); the slowest is shown too.
  const auto best_of_three = [](const std::function<void()>& f) {
    double best = 1e9, worst = 0;
    for (int i = 0; i < 3; ++i) {
      const double t = Time(f);
      best = std::min(best, t);
      worst = std::max(worst, t);
    }
    return std::pair{best, worst};
  };
  // The checksum check the row reader and the record count make on every
  // block: the same read with one XOR pass over each block, against the
  // plain read (both warm).
  std::uint64_t bad_checksums = 0;
  const auto [reread, reread_worst] = best_of_three([&] {
    BlockSource s(engine.datafiles);
    for (const std::uint32_t dba : blocks) {
      const BlockResult r = s.Read(dba);
      if (r.ok()) checksum += r.block.bytes().data()[0];
    }
  });
  const auto [verified, verified_worst] = best_of_three([&] {
    BlockSource s(engine.datafiles);
    for (const std::uint32_t dba : blocks) {
      const BlockResult r = s.Read(dba);
      if (r.ok()) bad_checksums += BlockView(r.block.bytes()).ChecksumContradicted();
    }
  });
  // The export, and the two stages under it on their own: the rows read and
  // assembled, then their value texts made.
  const auto [assemble, assemble_worst] = best_of_three([&] {
    BlockSource s(engine.datafiles);
    TableRowReader reader(engine, s, kTable);
    Discard discard;
    reader.Read(TableRowReader::Begin(), 0, discard);
  });
  const auto [texts, texts_worst] = best_of_three([&] {
    BlockSource s(engine.datafiles);
    TableRowReader reader(engine, s, kTable);
    TextsOnly consumer(engine, reader.layout());
    reader.Read(TableRowReader::Begin(), 0, consumer);
  });
  std::ofstream devnull("/dev/null", std::ios::binary);
  ExportResult result;
  std::uint64_t csv_bytes = 0;
  const auto [exported, exported_worst] = best_of_three([&] {
    auto writer = MakeRowWriter(RowFormat::kCsv, devnull);
    BlockSource s(engine.datafiles);
    result = ExportTableRows(engine, s, kTable, *writer, ExportOptions{});
    csv_bytes = writer->bytes_written();
  });
  const auto line = [&](const char* what, double best, double worst) {
    std::printf("%-34s: %8.3f s (slowest of 3: %.3f s), %.0f rows/s, %.0f MB/s of datafile\n", what, best, worst,
                static_cast<double>(result.rows) / best, table_mb / best);
  };
  std::printf("plain read of the table's blocks  : %8.3f s (%.0f MB/s)\n", plain, table_mb / plain);
  std::printf("warm read / with checksums checked: %8.3f s / %.3f s (slowest %.3f / %.3f): +%.3f s, %.1f%% of the "
              "export, %llu bad\n",
              reread, verified, reread_worst, verified_worst, verified - reread,
              100.0 * (verified - reread) / exported, static_cast<unsigned long long>(bad_checksums));
  line("rows read and assembled", assemble, assemble_worst);
  line("... and their value texts made", texts, texts_worst);
  line("export to CSV", exported, exported_worst);
  std::printf("rows exported                     : %llu\n", static_cast<unsigned long long>(result.rows));
  std::printf("ratio export / plain read         : %8.2f\n", exported / plain);
  std::printf("target                            : %.0f MB/s per core: %s\n", kTargetMbPerSecond,
              table_mb / exported >= kTargetMbPerSecond ? "met" : "NOT met");
  std::printf("CSV bytes                         : %.0f MB\n", static_cast<double>(csv_bytes) / 1048576.0);
  std::printf("peak memory                       : %.1f MB\n", bench::PeakMemoryMb());
  std::printf("(type byte sum %llu)\n", static_cast<unsigned long long>(checksum));
  std::filesystem::remove_all(folder);
  return 0;
}
