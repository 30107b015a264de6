// Helpers shared by the benchmark programs: wall-clock timing, peak memory,
// a plain sequential read of a file as the yardstick, and a big generated
// table.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <sys/resource.h>

#include "testdb/layout.h"
#include "testdb/model.h"

namespace quillon::bench {

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Peak resident memory of this process in MB.
inline double PeakMemoryMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// Seconds that `cat FILE... > /dev/null` takes: the plain sequential read
// every reader is compared with.
inline double CatSeconds(const std::vector<std::string>& paths) {
  std::string command = "cat";
  for (const auto& p : paths) command += " '" + p + "'";
  command += " > /dev/null";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cat failed: %s\n", command.c_str());
  return SecondsSince(start);
}
inline double CatSeconds(const std::string& path) { return CatSeconds(std::vector<std::string>{path}); }

// A database whose USERS datafile holds one heap table of about target_mb
// megabytes: rows of a NUMBER id, a short text and a date.
inline testdb::DatabaseModel BigTableModel(std::uint64_t target_mb, std::uint32_t block_size = 8192,
                                           std::uint32_t object_number = 70000) {
  testdb::DatabaseModel model = testdb::NewDatabaseModel("BENCH", "11.2", block_size, 1);
  testdb::SegmentModel table;
  table.name = "BIG";
  table.object_number = object_number;
  table.tablespace = "USERS";
  table.extent_policy = testdb::ExtentPolicy::kAutoAllocate;
  table.record_rows = false;
  const std::uint64_t row_bytes = 60;
  const std::uint64_t rows = target_mb * 1024 * 1024 / row_bytes * 9 / 10;
  table.generator = [rows](std::uint64_t i, testdb::RowBuffer& row) {
    if (i >= rows) return false;
    row.Clear();
    // NUMBER: exponent byte and base-100 digits of i + 1 (up to 10 digits).
    std::uint8_t digits[6];
    std::size_t n = 0;
    for (std::uint64_t v = i + 1; v > 0; v /= 100) digits[n++] = static_cast<std::uint8_t>(v % 100 + 1);
    std::uint8_t* p = row.AddSpace(n + 1);
    p[0] = static_cast<std::uint8_t>(0xC1 + n - 1);
    for (std::size_t k = 0; k < n; ++k) p[1 + k] = digits[n - 1 - k];
    char text[48];
    const int len = std::snprintf(text, sizeof text, "customer name %012llu and city",
                                  static_cast<unsigned long long>(i));
    row.AddText(std::string_view(text, static_cast<std::size_t>(len)));
    const std::uint8_t date[7] = {120, 124, static_cast<std::uint8_t>(1 + i % 12),
                                  static_cast<std::uint8_t>(1 + i % 28), 13, 5, 6};
    row.Add(date);
    return true;
  };
  model.segments.push_back(std::move(table));
  return model;
}

}  // namespace quillon::bench
