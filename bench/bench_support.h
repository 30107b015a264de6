// Helpers shared by the benchmark programs: wall-clock timing, peak memory,
// a plain sequential read of a file as the yardstick, and a big generated
// table.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "reader/format.h"
#include "testdb/layout.h"
#include "testdb/mini_dictionary.h"
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

// The dictionary of BigTableModel's database: user BENCH and its table BIG
// (ID NUMBER(10) NOT NULL, NAME VARCHAR2(40), CREATED DATE), whose segment
// header is at header_dba.
inline testdb::MiniDictionary BigTableDictionary(std::uint32_t header_dba, std::uint32_t object_number = 70000) {
  testdb::MiniDictionary d("11.2");
  d.AddTablespace(0, "SYSTEM");
  d.AddTablespace(4, "USERS");
  d.AddUser(0, "SYS", 0);
  d.AddUser(90, "BENCH", 4);
  d.AddTable(object_number, 90, "BIG", 4, object_number, format::DbaFile(header_dba), format::DbaBlock(header_dba));
  testdb::MiniDictionary::Column id;
  id.name = "ID";
  id.precision = 10;
  id.scale = 0;
  id.nullable = false;
  d.AddColumn(object_number, 1, id);
  testdb::MiniDictionary::Column name;
  name.name = "NAME";
  name.type = 1;
  name.length = 40;
  name.charset = 178;
  d.AddColumn(object_number, 2, name);
  testdb::MiniDictionary::Column when;
  when.name = "CREATED";
  when.type = 12;
  when.length = 7;
  d.AddColumn(object_number, 3, when);
  return d;
}

// What GenerateBigTable wrote.
struct GeneratedBigTable {
  std::uint32_t header_dba = 0;
  std::uint64_t rows = 0;
  std::uint64_t segment_blocks = 0;  // blocks of the table's segment
  double seconds = 0;
};

// Writes BigTableModel's database (USERS holding about users_mb MB, SYSTEM
// system_mb MB when not 0) with its dictionary into folder, in a child
// process so that the generator's memory is not the caller's. The table's
// segment header lies at the start of the USERS datafile whatever the
// table's size: a small dry run finds it for the dictionary.
inline bool GenerateBigTable(std::uint64_t users_mb, std::uint64_t system_mb, const std::string& folder,
                             GeneratedBigTable& out, std::uint32_t block_size = 8192,
                             std::uint32_t object_number = 70000) {
  const auto model_of = [&](std::uint64_t mb, std::uint64_t system) {
    testdb::DatabaseModel model = BigTableModel(mb, block_size, object_number);
    for (auto& f : model.datafiles) {
      if (f.tablespace == "SYSTEM" && system > 0) f.blocks = static_cast<std::uint32_t>(system * 1024 * 1024 / block_size);
    }
    return model;
  };
  const std::string info = folder + ".info";
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    testdb::LayoutResult layout;
    std::string error;
    if (!testdb::WriteDatabase(model_of(1, 16), folder, layout, error)) {
      std::fprintf(stderr, "generation failed: %s\n", error.c_str());
      _exit(1);
    }
    const std::uint32_t header = layout.FindSegment(object_number)->header_dba;
    std::filesystem::remove_all(folder);
    testdb::DatabaseModel model = model_of(users_mb, system_mb);
    BigTableDictionary(header, object_number).AddSegments(model);
    if (!testdb::WriteDatabase(model, folder, layout, error)) {
      std::fprintf(stderr, "generation failed: %s\n", error.c_str());
      _exit(1);
    }
    const testdb::SegmentLayout* s = layout.FindSegment(object_number);
    if (s->header_dba != header) _exit(1);
    std::ofstream(info) << s->header_dba << " " << s->row_count << " " << s->blocks.size() << "\n";
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  out.seconds = SecondsSince(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  std::ifstream in(info);
  in >> out.header_dba >> out.rows >> out.segment_blocks;
  std::filesystem::remove(info);
  return static_cast<bool>(in);
}

}  // namespace quillon::bench
