// The rows of a small generated database (a heap with migrated and chained
// rows, a cluster of two tables) read and exported with one of their data
// blocks replaced by the fuzz input. The input is a block image: its rdba
// field chooses the block it replaces, and its block type and object number
// are set to the table's so that the row reader walks it. The reader follows
// row pieces from there into the other blocks; nothing may crash, hang or
// read outside a buffer, and every row read must be written.
//
// The database is generated, loaded into memory and identified once; an input
// patches the block in memory (memory_files.h), exports the tables and puts
// the block back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "fuzz/memory_files.h"
#include "rows/table_export.h"
#include "reader/identify.h"
#include "support/table_catalogue.h"
#include "testdb/layout.h"
#include "testdb/values.h"

using namespace quillon;

namespace {

constexpr std::uint32_t kBlockSize = 2048;
constexpr std::uint32_t kHeap = 71001;
constexpr std::uint32_t kCluster = 71002;

struct Target {
  std::uint32_t block;   // block number in the datafile
  std::uint32_t object;  // the segment's data object number
};

struct Database {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  std::vector<std::uint8_t>* users = nullptr;  // the image of the tables' datafile
  std::vector<Target> targets;
  std::vector<std::uint32_t> tables;
};

testdb::Bytes Text(const std::string& s) { return testdb::Bytes(s.begin(), s.end()); }

testdb::DatabaseModel Model() {
  auto model = testdb::NewDatabaseModel("FUZZ", "10.2", kBlockSize, 3);
  model.decoys = {false, false, false, false};
  testdb::SegmentModel heap;
  heap.name = "H";
  heap.object_number = kHeap;
  heap.space = SpaceManagement::kFreeList;
  for (int i = 0; i < 60; ++i) {
    testdb::Row r({testdb::EncodeNumber(i), Text(std::string(i % 7 == 1 ? 700 : 12, 'a')),
                   testdb::EncodeDate({2001, 1 + i % 12, 1, 0, 0, 0, 0})});
    if (i % 5 == 2) r.placement = testdb::Placement::kMigrated;
    if (i % 5 == 4) {
      r.placement = testdb::Placement::kChained;
      r.chain_blocks = 3;
    }
    heap.rows.push_back(std::move(r));
  }
  model.segments.push_back(std::move(heap));
  testdb::SegmentModel cluster;
  cluster.name = "C";
  cluster.object_number = kCluster;
  cluster.kind = testdb::SegmentKind::kCluster;
  cluster.member_tables = 2;
  for (int k = 0; k < 12; ++k) {
    testdb::ClusterKey key;
    key.key_columns = {testdb::EncodeNumber(k)};
    key.members.resize(2);
    for (std::size_t m = 0; m < 2; ++m) {
      for (int i = 0; i < 3; ++i) {
        testdb::Row r({Text(std::string(i == 1 ? 400 : 6, 'm'))});
        if (i == 2 && k % 2 == 0) {
          r.placement = testdb::Placement::kChained;
          r.chain_blocks = 2;
        }
        key.members[m].push_back(std::move(r));
      }
    }
    cluster.keys.push_back(std::move(key));
  }
  model.segments.push_back(std::move(cluster));
  return model;
}

Database& TheDatabase() {
  static Database db;
  static const bool ready = [] {
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("quillon-rows-fuzzer-" + std::to_string(::getpid()))).string();
    testdb::LayoutResult layout;
    std::string error;
    if (!testdb::WriteDatabase(Model(), folder, layout, error) || !fuzz::LoadFolder(folder)) std::abort();
    IdentifyRelease(db.engine, folder + "/SYSTEM01.DBF");
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);  // everything is in memory now
    const testdb::SegmentLayout* heap = layout.FindSegment(kHeap);
    const testdb::SegmentLayout* cluster = layout.FindSegment(kCluster);
    if (!heap || !cluster || heap->relative_file != cluster->relative_file) std::abort();
    db.users = fuzz::FileImage(layout.FindFileByNumber(heap->relative_file)->path);
    if (!db.users) std::abort();
    for (const auto* s : {heap, cluster}) {
      for (const std::uint32_t dba : s->data_blocks) db.targets.push_back({format::DbaBlock(dba), s->object_number});
    }
    auto& cat = db.engine.catalogue;
    cat.tables.Append(test::TableOnSegment(1, heap));
    test::DescribeTable(db.engine, 1, "FUZZ", "H", {{"ID", type_code::kNumber}, {"PAD"}, {"AT", type_code::kDate}});
    for (std::uint32_t m = 1; m <= 2; ++m) {
      TableRecord t = test::TableOnSegment(1 + m, cluster);
      t.cluster_position = m;
      t.cluster_column_count = 1;
      t.base_object = 9;
      cat.tables.Append(t);
      test::DescribeTable(db.engine, 1 + m, "FUZZ", "M" + std::to_string(m), {{"K", type_code::kNumber}, {"PAD"}});
    }
    db.tables = {1, 2, 3};
    return true;
  }();
  (void)ready;
  return db;
}

// Counts what the export writes and keeps none of it.
class CountingBuffer final : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TheDatabase();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Database& db = TheDatabase();
  if (size < 8) return 0;
  const std::uint32_t selector = static_cast<std::uint32_t>(data[4]) | (static_cast<std::uint32_t>(data[5]) << 8);
  const Target target = db.targets[selector % db.targets.size()];

  std::vector<std::uint8_t> image(kBlockSize, 0);
  std::copy(data, data + std::min<std::size_t>(size, kBlockSize), image.begin());
  image[format::block_header::kType] = format::block_type::kData;
  for (int i = 0; i < 4; ++i) {
    image[format::data_block::kObjectNumber + i] = static_cast<std::uint8_t>(target.object >> (8 * i));
  }
  const fuzz::PatchedBytes patch(*db.users, static_cast<std::size_t>(target.block) * kBlockSize, image.data(),
                                 kBlockSize);

  for (const std::uint32_t table : db.tables) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    auto writer = MakeRowWriter(RowFormat::kJson, out);
    // The tables take a few dozen blocks: a small read-ahead window.
    BlockSource source(db.engine.datafiles, 16 * kBlockSize);
    ExportOptions options;
    options.large = LargeValues::kContent;
    const ExportResult result = ExportTableRows(db.engine, source, table, *writer, options);
    if (result.rows > 0 && writer->bytes_written() == 0) std::abort();
  }
  return 0;
}
