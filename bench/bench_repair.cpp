// The repair into its two file targets, on a generated table of about 10
// million rows (ID NUMBER(10), NAME VARCHAR2(40), CREATED DATE):
//
// 1. into SQLite: rows per second of the repair (RunRepair into the SQLite
//    target, as `quillon repair --sqlite` runs it) against the sqlite3
//    shell's own `.import` of the same rows as CSV (the project's CSV export,
//    written beforehand) into a table of the same column types. Target: at
//    least 0.8 of the shell's rate;
// 2. into a SQL*Plus script: MB of the table's datafile segment per second
//    of writing the whole repair script. Target: at least 300 MB/s. Printed
//    with it, two floors under that time: the rows decoded alone, and a file
//    of the script's size written alone through the script's file writer;
// 3. peak memory (the child process's ru_maxrss) of both repairs for two
//    table sizes, and of both repairs of a table of a few rows whose BLOBs
//    (then CLOBs) are of two sizes; the ratio large / small should stay
//    about 1 (a CLOB goes into SQLite whole: there it grows with the CLOB).
//
// Every repair runs in a child process of its own (this program started
// again with --child), so its peak memory is its own and the page cache is
// warm from the generation.
//
//   bench_repair [ROWS] [SMALL_ROWS] [LOB_MB] [SMALL_LOB_MB] [--folder DIR]
//                                       (defaults 10,000,000, 1,000,000, 50, 1)
//   bench_repair --generate ROWS DIR    (only the database, e.g. to profile
//                                        bench_repair --child sqlite DIR OUT BENCH BIG)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "bench_lob_table.h"
#include "bench_support.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "repair/repair_process.h"
#include "repair/script_file.h"
#include "repair/target_choice.h"
#include "rows/row_writer.h"
#include "rows/table_export.h"

using namespace quillon;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kBigTable = 70000;
constexpr double kSqliteGoal = 0.8;
constexpr double kScriptGoalMbPerSecond = 300;

// ---------------------------------------------------------------- child side

// Opens the database in dir as `quillon repair` does: release, datafiles,
// dictionary.
bool OpenEngine(COracleRecoveryTools& engine, const std::string& dir) {
  const auto system = FindSystemDatafile(dir);
  if (!system) return false;
  IdentifyRelease(engine, *system);
  if (engine.identification.unsupported) return false;
  return ReadDictionary(engine).system_read;
}

std::uint32_t TableNamed(const Catalogue& catalogue, const std::string& owner, const std::string& name) {
  const ObjectRecord* o = catalogue.FindObject(ObjectKind::kTable, owner, name);
  return o ? o->object_number : 0;
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// --child sqlite|script|csv DIR OUT OWNER TABLE: one repair (or the CSV
// export) of one table; prints "rows N failed N seconds S cpu C" (the wall
// and processor time of RunRepair, or of the export).
int ChildMain(const std::string& what, const std::string& dir, const std::string& out, const std::string& owner,
              const std::string& name) {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  if (!OpenEngine(engine, dir)) {
    std::fprintf(stderr, "cannot open %s\n", dir.c_str());
    return 1;
  }
  bench::AddLobRecord(engine.catalogue, dir);
  const std::uint32_t table = TableNamed(engine.catalogue, owner, name);
  if (table == 0) {
    std::fprintf(stderr, "no table %s.%s\n", owner.c_str(), name.c_str());
    return 1;
  }
  if (what == "read") {  // the rows decoded and passed over, nothing written
    struct Count final : RowConsumer {
      std::uint64_t rows = 0;
      std::uint64_t bytes = 0;
      bool Row(const TableRow& row) override {
        ++rows;
        for (const StoredValue& v : row.values) bytes += v.bytes.size();
        return true;
      }
    } count;
    BlockSource source(engine.datafiles);
    TableRowReader reader(engine, source, table);
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    reader.Read(TableRowReader::Begin(), 0, count);
    std::printf("rows %llu failed 0 seconds %.6f cpu %.6f\n", static_cast<unsigned long long>(count.rows),
                bench::SecondsSince(start), CpuSeconds() - cpu);
    return count.bytes > 0 ? 0 : 1;
  }
  if (what == "csv") {
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    auto writer = MakeRowWriter(RowFormat::kCsv, file);
    BlockSource source(engine.datafiles);
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    const ExportResult r = ExportTableRows(engine, source, table, *writer, ExportOptions{LargeValues::kContent, std::nullopt, false});
    file.close();
    std::printf("rows %llu failed 0 seconds %.6f cpu %.6f\n", static_cast<unsigned long long>(r.rows),
                bench::SecondsSince(start), CpuSeconds() - cpu);
    return file ? 0 : 1;
  }
  repair::TargetChoice choice;
  choice.kind = what == "script" ? repair::TargetKind::kScriptFile : repair::TargetKind::kSqliteFile;
  choice.file_path = out;
  choice.target_folder = fs::path(out).parent_path().string();
  choice.database_name = engine.identification.database_name;
  std::error_code ec;
  fs::remove(out, ec);
  std::unique_ptr<repair::Target> target = repair::MakeTarget(choice);
  if (!target || !target->Connect()) {
    std::fprintf(stderr, "cannot open the target %s\n", out.c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  const double cpu = CpuSeconds();
  const repair::RepairResult r =
      repair::RunRepair(engine, *target, repair::DialectOf(choice.kind), {table}, repair::OracleOptionsOf(choice));
  target->Disconnect();  // the script's last lines and the file's close are part of writing it
  target.reset();
  const double seconds = bench::SecondsSince(start);
  std::printf("rows %llu failed %llu seconds %.6f cpu %.6f\n", static_cast<unsigned long long>(r.rows),
              static_cast<unsigned long long>(r.failed_rows + r.failed_statements + r.incomplete_lobs), seconds,
              CpuSeconds() - cpu);
  if (!r.errors_text.empty()) std::fprintf(stderr, "%s", r.errors_text.substr(0, 2000).c_str());
  return 0;
}

// ---------------------------------------------------------------- parent side

struct ChildRun {
  bool ok = false;
  std::uint64_t rows = 0;
  std::uint64_t failed = 0;
  double seconds = 0;      // as the child measured it
  double cpu = 0;          // processor seconds of the same
  double peak_mb = 0;      // the child's peak resident memory
};

// Runs this program again with args; its figures from its output, its peak
// memory from wait4.
ChildRun RunChild(const std::vector<std::string>& args) {
  ChildRun run;
  int fds[2];
  if (pipe(fds) != 0) return run;
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv;
    static std::string self = "/proc/self/exe";
    argv.push_back(self.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(fds[1]);
  std::string output;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  unsigned long long rows = 0, failed = 0;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
      std::sscanf(output.c_str(), "rows %llu failed %llu seconds %lf cpu %lf", &rows, &failed, &run.seconds,
                  &run.cpu) == 4) {
    run.ok = true;
    run.rows = rows;
    run.failed = failed;
  } else {
    std::fprintf(stderr, "child %s failed: %s\n", args.front().c_str(), output.c_str());
  }
  return run;
}

// Runs a shell command; its wall and processor seconds (its own and its
// children's, as wait4 reports them); false when it fails.
bool TimeCommand(const std::string& command, double& wall, double& cpu) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  wall = bench::SecondsSince(start);
  cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ChildRun Repair(const std::string& what, const std::string& dir, const std::string& out, const char* owner,
                const char* table) {
  sync();  // an earlier run's file is on the disk before this run starts writing
  return RunChild({"--child", what, dir, out, owner, table});
}

// Seconds (wall, processor) of writing `bytes` bytes of `pattern`, repeated,
// into a new file in 1 MB pieces through the script's own file writer (its
// writing thread and its page cache behind the writing) and closing it:
// what writing the script costs without making a single statement.
bool WriteSeconds(const std::string& path, std::uint64_t bytes, const std::string& pattern, double& wall, double& cpu) {
  if (pattern.empty()) return false;
  std::string chunk;
  while (chunk.size() < (1u << 20)) chunk += pattern;
  chunk.resize(1u << 20);
  sync();
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = CpuSeconds();
  bool ok = false;
  {
    repair::ScriptFileBuffer file;
    if (!file.Open(path)) return false;
    std::ostream out(&file);
    for (std::uint64_t left = bytes; left > 0 && out;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
      out.write(chunk.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
    ok = static_cast<bool>(out.flush()) && file.Close();
  }
  wall = bench::SecondsSince(start);
  cpu = CpuSeconds() - cpu_start;
  fs::remove(path);
  return ok;
}

// The first `bytes` bytes of a file.
std::string FileStart(const std::string& path, std::size_t bytes) {
  std::ifstream in(path, std::ios::binary);
  std::string out(bytes, '\0');
  in.read(out.data(), static_cast<std::streamsize>(bytes));
  out.resize(static_cast<std::size_t>(in.gcount()));
  return out;
}

// Output of a shell command (its first line).
std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (const char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

// MB of datafile of a table of this many rows in BigTableModel.
std::uint64_t TableMb(std::uint64_t rows) { return std::max<std::uint64_t>(1, rows * 60 * 10 / 9 / (1024 * 1024) + 1); }

double FileMb(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<double>(size) / 1048576.0;
}

struct SizeRun {
  bench::GeneratedBigTable table;
  ChildRun sqlite, script;
};

// Generates the big table with this many rows and repairs it into both
// targets; keep: the folder stays (and the SQLite file) for the comparison.
bool RunSize(std::uint64_t rows, const std::string& root, SizeRun& out) {
  const std::string dir = root + "/db";
  fs::remove_all(dir);
  if (!bench::GenerateBigTable(TableMb(rows), 0, dir, out.table)) {
    std::fprintf(stderr, "generation failed\n");
    return false;
  }
  bench::CatSeconds(dir + "/USERS01.DBF");  // from the page cache from here on
  out.sqlite = Repair("sqlite", dir, root + "/repaired.sqlite", "BENCH", "BIG");
  out.script = Repair("script", dir, root + "/repair.sql", "BENCH", "BIG");
  return out.sqlite.ok && out.script.ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 7 && std::strcmp(argv[1], "--child") == 0) return ChildMain(argv[2], argv[3], argv[4], argv[5], argv[6]);
  if (argc == 4 && std::strcmp(argv[1], "--generate") == 0) {  // a database to profile a child run on
    bench::GeneratedBigTable g;
    return bench::GenerateBigTable(TableMb(std::strtoull(argv[2], nullptr, 10)), 0, argv[3], g) ? 0 : 1;
  }
  std::vector<std::string> positional;
  std::string root = (fs::temp_directory_path() / "quillon-bench-repair").string();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--folder") == 0 && i + 1 < argc) {
      root = argv[++i];
    } else {
      positional.emplace_back(argv[i]);
    }
  }
  const auto arg = [&](std::size_t i, std::uint64_t fallback) {
    return positional.size() > i ? std::strtoull(positional[i].c_str(), nullptr, 10) : fallback;
  };
  const std::uint64_t rows = arg(0, 10'000'000);
  const std::uint64_t small_rows = arg(1, 1'000'000);
  const std::uint64_t lob_mb = arg(2, 50);
  const std::uint64_t small_lob_mb = arg(3, 1);
  fs::remove_all(root);
  fs::create_directories(root);
  bool all_ok = true;

  // 1 and 2: the big table.
  SizeRun big;
  if (!RunSize(rows, root, big)) return 1;
  const double segment_mb = static_cast<double>(big.table.segment_blocks) * 8192 / 1048576.0;
  std::printf("table BENCH.BIG: %llu rows, segment %.0f MB (generated in %.1f s)\n",
              static_cast<unsigned long long>(big.table.rows), segment_mb, big.table.seconds);
  all_ok = all_ok && big.sqlite.rows == big.table.rows && big.script.rows == big.table.rows &&
           big.sqlite.failed == 0 && big.script.failed == 0;

  // The same rows as CSV (outside any timing), imported by the shell into a
  // table declared as the repair declared its own.
  const std::string dir = root + "/db";
  const std::string csv = root + "/big.csv";
  const ChildRun exported = Repair("csv", dir, csv, "BENCH", "BIG");
  const std::string create =
      Capture("sqlite3 -batch " + Quote(root + "/repaired.sqlite") +
              " \"SELECT sql FROM sqlite_schema WHERE name = 'BENCH.BIG'\"");
  const std::string imported = root + "/imported.sqlite";
  {
    std::ofstream commands(root + "/import.txt");
    commands << create << ";\n.mode csv\n.import --skip 1 " << Quote(csv) << " BENCH.BIG\n";
  }
  double import_seconds = 0, import_cpu = 0;
  const bool shell_ok =
      TimeCommand("sqlite3 -batch " + Quote(imported) + " < " + Quote(root + "/import.txt"), import_seconds, import_cpu);
  const std::string imported_rows =
      Capture("sqlite3 -batch " + Quote(imported) + " 'SELECT count(*) FROM \"BENCH.BIG\"'");
  const std::string repaired_rows =
      Capture("sqlite3 -batch " + Quote(root + "/repaired.sqlite") + " 'SELECT count(*) FROM \"BENCH.BIG\"'");
  const double repair_rate = static_cast<double>(big.sqlite.rows) / big.sqlite.seconds;
  const double import_rate = static_cast<double>(big.table.rows) / import_seconds;
  const double repair_cpu_rate = static_cast<double>(big.sqlite.rows) / big.sqlite.cpu;
  const double import_cpu_rate = static_cast<double>(big.table.rows) / import_cpu;
  std::printf("\n1. into SQLite (rows per second of wall time, and of processor time: the machine may be shared)\n");
  std::printf("   declared as            : %s\n", create.c_str());
  std::printf("   repair (RunRepair)     : %7.2f s %10.0f rows/s, cpu %7.2f s %10.0f rows/s, %llu rows (file %.0f MB, "
              "counted %s)\n",
              big.sqlite.seconds, repair_rate, big.sqlite.cpu, repair_cpu_rate,
              static_cast<unsigned long long>(big.sqlite.rows), FileMb(root + "/repaired.sqlite"),
              repaired_rows.c_str());
  std::printf("   sqlite3 .import of CSV : %7.2f s %10.0f rows/s, cpu %7.2f s %10.0f rows/s, %s rows (CSV %.0f MB, file "
              "%.0f MB)%s\n",
              import_seconds, import_rate, import_cpu, import_cpu_rate, imported_rows.c_str(), FileMb(csv),
              FileMb(imported), shell_ok && exported.ok ? "" : " FAILED");
  const double ratio = repair_rate / import_rate;
  const double cpu_ratio = repair_cpu_rate / import_cpu_rate;
  std::printf("   ratio repair / import  : %7.2f (wall), %.2f (cpu); goal >= %.1f: %s\n", ratio, cpu_ratio, kSqliteGoal,
              std::min(ratio, cpu_ratio) >= kSqliteGoal ? "met" : "NOT met");
  all_ok = all_ok && shell_ok && imported_rows == repaired_rows;
  fs::remove(csv);
  fs::remove(imported);

  const double script_rate = segment_mb / big.script.seconds;
  const double script_cpu_rate = segment_mb / big.script.cpu;
  std::printf("\n2. into a SQL*Plus script\n");
  std::printf("   repair script          : %7.2f s %10.0f rows/s, cpu %7.2f s, %.0f MB of script\n",
              big.script.seconds, static_cast<double>(big.script.rows) / big.script.seconds, big.script.cpu,
              FileMb(root + "/repair.sql"));
  std::printf("   MB of datafile per s   : %7.0f (wall), %.0f (cpu); goal >= %.0f: %s\n", script_rate, script_cpu_rate,
              kScriptGoalMbPerSecond, script_rate >= kScriptGoalMbPerSecond ? "met" : "NOT met");
  // Two floors under the script's time on this machine: decoding the rows
  // without making statements, and writing a file of the script's size
  // through the script's file writer without making it. The repair does
  // both at once, on two threads: its time lies above the larger floor.
  const double script_bytes = FileMb(root + "/repair.sql") * 1048576.0;
  const std::string script_start = FileStart(root + "/repair.sql", 1u << 20);
  fs::remove(root + "/repair.sql");
  const ChildRun read_alone = Repair("read", dir, root + "/unused", "BENCH", "BIG");
  double write_wall = 0, write_cpu = 0;
  const bool write_ok = WriteSeconds(root + "/written.sql", static_cast<std::uint64_t>(script_bytes), script_start,
                                     write_wall, write_cpu);
  all_ok = all_ok && read_alone.ok && read_alone.rows == big.table.rows && write_ok;
  std::printf("   floor: rows decoded alone       : %7.2f s (cpu %.2f s): %.0f MB of datafile per s\n",
              read_alone.seconds, read_alone.cpu, segment_mb / read_alone.seconds);
  std::printf("   floor: script's bytes written alone: %.2f s (cpu %.2f s): %.0f MB of datafile per s%s\n", write_wall,
              write_cpu, segment_mb / write_wall, write_ok ? "" : " FAILED");
  fs::remove(root + "/repaired.sqlite");

  // 3. Peak memory: a smaller table, then BLOBs of two sizes.
  SizeRun small;
  if (!RunSize(small_rows, root, small)) return 1;
  all_ok = all_ok && small.sqlite.rows == small.table.rows && small.script.rows == small.table.rows;
  std::printf("\n3. peak memory of the repair process\n");
  const auto memory_line = [](const char* what, const std::string& small_name, const std::string& large_name,
                              const ChildRun& s, const ChildRun& l) {
    std::printf("   %-8s %16s: %7.1f MB  %16s: %7.1f MB  ratio %.2f\n", what, small_name.c_str(), s.peak_mb,
                large_name.c_str(), l.peak_mb, l.peak_mb / s.peak_mb);
  };
  const std::string small_name = std::to_string(small.table.rows) + " rows";
  const std::string big_name = std::to_string(big.table.rows) + " rows";
  memory_line("SQLite", small_name, big_name, small.sqlite, big.sqlite);
  memory_line("script", small_name, big_name, small.script, big.script);
  fs::remove_all(root + "/db");

  for (const bench::LobColumn kind : {bench::LobColumn::kBlob, bench::LobColumn::kClob}) {
    ChildRun lob_runs[2][2];  // [small, large][sqlite, script]
    const std::uint64_t lob_sizes[2] = {small_lob_mb, lob_mb};
    for (int s = 0; s < 2; ++s) {
      const std::string lob_dir = root + "/lobs";
      fs::remove_all(lob_dir);
      if (!bench::WriteLobTable(lob_dir, lob_sizes[s] << 20, kind)) return 1;
      lob_runs[s][0] = Repair("sqlite", lob_dir, root + "/lobs.sqlite", bench::kLobOwner, bench::kLobTable);
      lob_runs[s][1] = Repair("script", lob_dir, root + "/lobs.sql", bench::kLobOwner, bench::kLobTable);
      for (const ChildRun& r : lob_runs[s]) {
        all_ok = all_ok && r.ok && r.rows == bench::kLobRows && r.failed == 0;
      }
      fs::remove(root + "/lobs.sqlite");
      fs::remove(root + "/lobs.sql");
      fs::remove_all(lob_dir);
    }
    const std::string what = kind == bench::LobColumn::kBlob ? " MB BLOB" : " MB CLOB";
    const std::string small_lob = std::to_string(bench::kLobRows) + " x " + std::to_string(small_lob_mb) + what;
    const std::string large_lob = std::to_string(bench::kLobRows) + " x " + std::to_string(lob_mb) + what;
    memory_line("SQLite", small_lob, large_lob, lob_runs[0][0], lob_runs[1][0]);
    memory_line("script", small_lob, large_lob, lob_runs[0][1], lob_runs[1][1]);
  }

  fs::remove_all(root);
  if (!all_ok) std::printf("\nSOME RUN FAILED OR LOST ROWS (see above)\n");
  return all_ok ? 0 : 1;
}
