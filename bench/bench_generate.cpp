// How fast the test database generator writes: a database whose USERS
// datafile holds one table of about 1 GB (automatic extent sizes, ASSM),
// rows produced on demand. Prints seconds and MB/s.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "testdb/default_database.h"
#include "testdb/layout.h"
#include "testdb/prng.h"

namespace {

// A non-negative integer as NUMBER bytes, without allocating.
void AppendNumber(quillon::testdb::RowBuffer& row, std::uint64_t value) {
  if (value == 0) {
    *row.AddSpace(1) = 0x80;
    return;
  }
  std::uint8_t digits[12] = {};
  std::size_t n = 0;
  for (std::uint64_t v = value; v != 0; v /= 100) digits[n++] = static_cast<std::uint8_t>(v % 100);
  std::size_t low = 0;
  while (digits[low] == 0) ++low;
  std::uint8_t* out = row.AddSpace(1 + n - low);
  *out++ = static_cast<std::uint8_t>(0xC0 + n);
  for (std::size_t i = n; i-- > low;) *out++ = static_cast<std::uint8_t>(digits[i] + 1);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillon::testdb;
  const std::string folder = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "quillon-bench-generate").string();
  const std::uint64_t target_bytes = argc > 2 ? std::stoull(argv[2]) << 20 : std::uint64_t{1} << 30;

  DatabaseModel model = NewDatabaseModel("BENCH", "10.2", 8192, 42);
  model.decoys = {false, false, false, false};
  SegmentModel big;
  big.name = "BIG";
  big.object_number = 70000;
  big.extent_policy = ExtentPolicy::kAutoAllocate;
  big.record_rows = false;
  // Rows until their stored bytes fill about 90 % of the target (blocks keep
  // 10 % free); values are written straight into the row buffer.
  Bytes letters(4096);
  Prng fill(7);
  for (auto& c : letters) c = static_cast<std::uint8_t>('A' + fill.Below(26));
  big.generator = [target_bytes, letters, prng = Prng(9), stored = std::uint64_t{0}](std::uint64_t i,
                                                                                     RowBuffer& row) mutable {
    if (stored >= target_bytes / 10 * 9) return false;
    const std::size_t before = row.column_count();
    AppendNumber(row, i + 1);
    const std::size_t name = 20 + (i % 40);
    row.Add({letters.data() + (i * 37) % (letters.size() - 64), name});
    AppendNumber(row, prng.Below(1000000));
    static const std::uint8_t date[7] = {120, 124, 6, 15, 13, 31, 1};
    row.Add(date);
    if (i % 7 == 0) {
      row.AddNull();
    } else {
      row.AddText("ACTIVE");
    }
    stored += 3 + 2 + (row.column_count() - before) + name + 4 + 4 + 7 + (i % 7 == 0 ? 0 : 6);
    return true;
  };
  model.segments.push_back(std::move(big));

  LayoutResult result;
  std::string error;
  const auto start = std::chrono::steady_clock::now();
  if (!WriteDatabase(model, folder, result, error)) {
    std::fprintf(stderr, "bench_generate: %s\n", error.c_str());
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto* users = result.FindFile("USERS01.DBF");
  const double mb = static_cast<double>(users->block_count) * result.block_size / (1 << 20);
  const auto* seg = result.FindSegment(70000);
  std::printf("rows            : %llu\n", static_cast<unsigned long long>(seg->row_count));
  std::printf("extents         : %zu (%zu extent map blocks)\n", seg->extents.size(), seg->extent_map_dbas.size());
  std::printf("USERS01.DBF     : %.0f MB\n", mb);
  std::printf("seconds         : %.2f\n", seconds);
  std::printf("MB/s            : %.0f\n", mb / seconds);
  std::filesystem::remove_all(folder);
  return 0;
}
