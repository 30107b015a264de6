// Release identification and datafile registration on databases written by
// the test database generator, for every release and block size.
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "reader/block_source.h"
#include "reader/datafile.h"
#include "reader/file.h"
#include "reader/identify.h"
#include "support/generated_db.h"

namespace quillon {
namespace {

constexpr std::uint32_t kBlockSizes[] = {2048, 4096, 8192, 16384, 32768};

struct ReleaseExpectation {
  const char* release;
  int code;
  const char* text;
};
constexpr ReleaseExpectation kReleases[] = {
    {"8i", 8, "8i"},          {"9i", 9, "9i"},
    {"10.1", 16, ""},         {"10.2", 16, "10g "},
    {"11.1", 17, "11g Release 1"}, {"11.2", 18, "11g Release 2"},
};

TEST(GeneratedIdentify, EveryReleaseAndBlockSizeRegistersExactlyItsDatafiles) {
  for (const auto& r : kReleases) {
    for (const std::uint32_t bs : kBlockSizes) {
      SCOPED_TRACE(std::string(r.release) + " " + std::to_string(bs));
      const auto& db = test::DefaultDb(r.release, bs);
      NullSink sink;
      StopFlag stop;
      COracleRecoveryTools engine(sink, stop);
      ASSERT_EQ(IdentifyRelease(engine, db.system_path()), 1);
      const Identification& id = engine.identification;
      EXPECT_TRUE(id.header_found);
      EXPECT_FALSE(id.unsupported);
      EXPECT_EQ(id.release.code, r.code);
      EXPECT_EQ(id.release.text, r.text);
      EXPECT_EQ(id.database_name, "QUILLON");
      EXPECT_EQ(id.block_size, bs);

      // Exactly the model's datafiles: no control file, redo log, foreign
      // datafile or file of the sub-folder; the read-only one included.
      std::set<std::string> expected, registered;
      for (const auto& f : db.layout.files) expected.insert(f.file_name);
      for (const auto& e : engine.datafiles) {
        registered.insert(std::filesystem::path(e.full_path).filename().string());
        const auto* f = db.layout.FindFileByNumber(e.relative_file_number);
        ASSERT_NE(f, nullptr) << e.full_path;
        EXPECT_EQ(e.tablespace_name, f->tablespace);
        EXPECT_EQ(e.file_base_dba, f->base_dba);
        EXPECT_EQ(e.block_size, bs);
        EXPECT_EQ(e.block0_word, f->block_count);
      }
      EXPECT_EQ(registered, expected);
      EXPECT_EQ(db.layout.decoys.size(), 7u);
      EXPECT_EQ(FindSystemDatafile(db.folder), db.system_path());
    }
  }
}

// The open flags of the descriptor that holds path open in this process.
std::optional<int> OpenFlagsOf(const std::string& path) {
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(fd.path(), ec);
    if (ec || target != std::filesystem::path(path)) continue;
    std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
    std::string key;
    while (info >> key) {
      if (key == "flags:") {
        std::string octal;
        info >> octal;
        return static_cast<int>(std::stol(octal, nullptr, 8));
      }
    }
  }
  return std::nullopt;
}

TEST(GeneratedIdentify, ReadOnlyDatafileIsRegisteredAndOpenedForReadingOnly) {
  const auto& db = test::DefaultDb("10.2", 8192);
  const auto* ro = db.layout.FindFile("RDONLY01.DBF");
  ASSERT_NE(ro, nullptr);
  struct stat st {};
  ASSERT_EQ(::stat(ro->path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);

  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, db.system_path());
  ASSERT_NE(engine.datafiles.FindByRelativeFile(ro->relative_file), nullptr);

  BlockSource source(engine.datafiles);
  ASSERT_TRUE(source.Read(format::MakeDba(ro->relative_file, 1)).ok());
  const auto flags = OpenFlagsOf(std::filesystem::canonical(ro->path).string());
  ASSERT_TRUE(flags.has_value());
  EXPECT_EQ(*flags & O_ACCMODE, O_RDONLY);

  const auto file = ReadOnlyFile::Open(ro->path);
  ASSERT_TRUE(file.has_value());
  const auto direct = OpenFlagsOf(std::filesystem::canonical(ro->path).string());
  ASSERT_TRUE(direct.has_value());
  EXPECT_EQ(*direct & O_ACCMODE, O_RDONLY);
}

// The block size probe with a wrong candidate in block 0.
TEST(GeneratedIdentify, BlockSizeProbeWithWrongCandidate) {
  struct Case {
    std::uint32_t block_size;
    std::uint16_t candidate;
    std::uint16_t probed;
    bool header_found;
  };
  const Case cases[] = {
      {8192, 4096, 8192, true},     // found by the 512-byte steps
      {16384, 2048, 16384, true},   // the last step reaches 16384
      {32768, 8192, 8192, false},   // beyond 16384: the candidate stays, unconfirmed
      {32768, 32768, 32768, true},  // a right candidate needs no probe
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.block_size) + " candidate " + std::to_string(c.candidate));
    auto model = testdb::NewDatabaseModel("PROBE", "11.2", c.block_size, 3);
    model.decoys = {false, false, false, false};
    const auto db = test::Generate(model, "probe-" + std::to_string(c.block_size) + "-" + std::to_string(c.candidate));
    {
      std::fstream f(db->system_path(), std::ios::in | std::ios::out | std::ios::binary);
      f.seekp(format::os_header::kBlockSize);
      const char bytes[2] = {static_cast<char>(c.candidate & 0xFF), static_cast<char>(c.candidate >> 8)};
      f.write(bytes, 2);
    }
    const auto file = ReadOnlyFile::Open(db->system_path());
    ASSERT_TRUE(file.has_value());
    const auto probed = ProbeFile(*file);
    ASSERT_TRUE(probed.has_value());
    EXPECT_EQ(probed->block_size, c.probed);
    EXPECT_EQ(probed->header.has_value(), c.header_found);
    EXPECT_EQ(InspectDatafile(db->system_path(), "", "PROBE").has_value(), c.header_found);
  }
}

}  // namespace
}  // namespace quillon
