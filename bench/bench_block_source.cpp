// Reads every block of a generated datafile of about 1 GB through the
// BlockSource and compares the time with a plain sequential read of the same
// file (cat), in one run. Target: at most 1.5 times the plain read.
//
//   bench_block_source [MB] [FOLDER]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "reader/block_source.h"
#include "reader/identify.h"

using namespace quillon;

int main(int argc, char** argv) {
  const std::uint64_t mb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::string folder = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "quillon-bench-blocks").string();

  const auto model = bench::BigTableModel(mb);
  testdb::LayoutResult layout;
  std::string error;
  auto start = std::chrono::steady_clock::now();
  if (!testdb::WriteDatabase(model, folder, layout, error)) {
    std::fprintf(stderr, "generation failed: %s\n", error.c_str());
    return 1;
  }
  std::printf("generated %s in %.2f s\n", folder.c_str(), bench::SecondsSince(start));

  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, (std::filesystem::path(folder) / "SYSTEM01.DBF").string());
  const DatafileEntry* users = nullptr;
  for (const auto& f : engine.datafiles) {
    if (f.tablespace_name == "USERS") users = &f;
  }
  if (!users) {
    std::fprintf(stderr, "no USERS datafile registered\n");
    return 1;
  }
  const std::uint64_t size = std::filesystem::file_size(users->full_path);

  // Warm the page cache once, so both runs read from memory.
  bench::CatSeconds(users->full_path);
  const double cat_seconds = bench::CatSeconds(users->full_path);

  start = std::chrono::steady_clock::now();
  BlockSource source(engine.datafiles);
  const std::uint64_t blocks = size / users->block_size;
  std::uint64_t checksum = 0;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    const BlockResult r = source.ReadBlock(*users, b);
    if (r.ok()) checksum += r.block.bytes().data()[0];
  }
  const double source_seconds = bench::SecondsSince(start);

  std::printf("file                 : %s (%.0f MB, %llu blocks of %u bytes)\n", users->full_path.c_str(),
              static_cast<double>(size) / 1048576.0, static_cast<unsigned long long>(blocks), users->block_size);
  std::printf("cat                  : %.3f s (%.0f MB/s)\n", cat_seconds, size / 1048576.0 / cat_seconds);
  std::printf("block source         : %.3f s (%.0f blocks/s, %.0f MB/s)\n", source_seconds,
              blocks / source_seconds, size / 1048576.0 / source_seconds);
  std::printf("ratio to cat         : %.2f (target <= 1.5)\n", source_seconds / cat_seconds);
  std::printf("peak memory          : %.1f MB\n", bench::PeakMemoryMb());
  std::printf("(type byte sum %llu)\n", static_cast<unsigned long long>(checksum));
  std::filesystem::remove_all(folder);
  return 0;
}
