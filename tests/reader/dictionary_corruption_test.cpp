// Random damage to the dictionary segments' data blocks of the sample
// database's SYSTEM datafile (zeroed blocks, flipped bits; the segment headers
// and extent maps stay intact): the rebuild completes, invents or misattributes
// no object, and keeps every object whose OBJ$ row lies in undamaged blocks.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "reader/value_number.h"
#include "support/generated_schema_db.h"
#include "testdb/block_writer.h"

namespace quillon {
namespace {

constexpr std::uint32_t kObjDataObject = 18;  // OBJ$ in every release and numbering
constexpr std::uint32_t kBlockMask = 0x3FFFFF;

struct ObjectKey {
  std::string owner, name;
  int kind = -1;
  bool operator==(const ObjectKey&) const = default;
};

using Objects = std::map<std::uint32_t, ObjectKey>;

Objects RebuiltObjects(const std::string& system_path) {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, system_path);
  ReadDictionary(engine);
  Objects out;
  for (const ObjectRecord& o : engine.catalogue.objects.records()) {
    out[o.object_number] = {o.owner, o.name, o.kind ? static_cast<int>(*o.kind) : -1};
  }
  return out;
}

// OBJ# of every OBJ$ row the generator wrote, with the blocks its pieces went to.
std::vector<std::pair<std::uint32_t, std::set<std::uint32_t>>> ObjRows(const test::GeneratedSchemaDb& db) {
  std::vector<std::pair<std::uint32_t, std::set<std::uint32_t>>> out;
  const testdb::SegmentLayout* layout = nullptr;
  const testdb::SegmentModel* model = nullptr;
  for (std::size_t i = 0; i < db.layout.segments.size(); ++i) {
    const auto& s = db.layout.segments[i];
    if (s.object_number == kObjDataObject && s.tablespace == "SYSTEM") {
      layout = &s;
      model = &db.db.model.segments[i];
    }
  }
  if (!layout || !model || !model->generator) return out;
  testdb::RowBuffer buffer;
  std::vector<testdb::ColumnSlice> columns;
  for (std::size_t i = 0; i < layout->rows.size(); ++i) {
    buffer.Clear();
    if (!model->generator(i, buffer)) break;
    buffer.Slices(columns);
    if (columns.empty() || columns[0].is_null) continue;
    const auto number = NumberToInteger(ByteView(columns[0].data, columns[0].size));
    if (!number) continue;
    std::set<std::uint32_t> blocks;
    for (const auto& piece : layout->rows[i].pieces) blocks.insert(piece.dba);
    out.emplace_back(static_cast<std::uint32_t>(*number), std::move(blocks));
  }
  return out;
}

enum class Harm { kZero, kFlipBits, kFlipBitsChecksumMatching };

// A copy of the database's folder with some of the SYSTEM datafile's
// dictionary data blocks harmed; returns their addresses.
std::set<std::uint32_t> DamageCopy(const test::GeneratedSchemaDb& db, Harm harm, std::uint32_t seed,
                                   const std::string& folder) {
  std::filesystem::copy(db.folder, folder, std::filesystem::copy_options::recursive);
  std::vector<std::uint32_t> candidates;
  for (const auto& s : db.layout.segments) {
    if (s.tablespace == "SYSTEM") candidates.insert(candidates.end(), s.data_blocks.begin(), s.data_blocks.end());
  }
  std::mt19937 random(seed);
  std::shuffle(candidates.begin(), candidates.end(), random);
  candidates.resize(std::min<std::size_t>(candidates.size(), 4 + seed % 5));
  // One block of OBJ$ always among them.
  const auto* obj = db.layout.FindSegment(kObjDataObject);
  if (obj && !obj->data_blocks.empty()) {
    const std::uint32_t dba = obj->data_blocks[seed % obj->data_blocks.size()];
    if (std::find(candidates.begin(), candidates.end(), dba) == candidates.end()) candidates.push_back(dba);
  }
  const std::uint32_t size = db.layout.block_size;
  std::fstream file(folder + "/SYSTEM01.DBF", std::ios::in | std::ios::out | std::ios::binary);
  std::vector<std::uint8_t> block(size);
  for (const std::uint32_t dba : candidates) {
    const std::streamoff at = static_cast<std::streamoff>(dba & kBlockMask) * size;
    file.seekg(at);
    file.read(reinterpret_cast<char*>(block.data()), size);
    if (harm == Harm::kZero) {
      std::fill(block.begin(), block.end(), 0);
    } else {
      for (int flip = 0; flip < 24; ++flip) block[random() % size] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      if (harm == Harm::kFlipBitsChecksumMatching) testdb::RefreshChecksum(block);
    }
    file.seekp(at);
    file.write(reinterpret_cast<const char*>(block.data()), size);
  }
  return {candidates.begin(), candidates.end()};
}

TEST(DictionaryCorruption, RandomDataBlocksOfTheSystemDatafile) {
  struct Case {
    const char* name;
    Harm harm;
    // Whether every object found must be the clean one. Bits flipped under a
    // matching checksum (damage in memory before the write) can turn one
    // stored name or number into another that is just as plausible: nothing
    // in the block tells them apart, so only completion and what the
    // undamaged blocks hold are checked.
    bool exact;
  };
  const Case cases[] = {
      {"zeroed", Harm::kZero, true},
      {"bits flipped", Harm::kFlipBits, true},
      {"bits flipped, checksum matching", Harm::kFlipBitsChecksumMatching, false},
  };
  for (const char* release : {"9i", "11.2"}) {
    const auto& db = test::SampleDb(release, 8192);
    const Objects clean = RebuiltObjects(db.system_path());
    const auto rows = ObjRows(db);
    ASSERT_GT(rows.size(), 100u) << release;
    for (const Case& c : cases) {
      for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(std::string(release) + " " + c.name + " seed " + std::to_string(seed));
        const std::string folder = test::FreshFolder(std::string("corrupt-") + release + "-" + std::to_string(seed));
        std::filesystem::remove_all(folder);
        const auto damaged_blocks = DamageCopy(db, c.harm, seed, folder);
        const Objects damaged = RebuiltObjects(folder + "/SYSTEM01.DBF");

        // Nothing invented or attached to another object; an owner may be
        // unknown when USER$ was hit.
        for (const auto& [number, o] : damaged) {
          if (!c.exact) break;
          const auto it = clean.find(number);
          if (it == clean.end()) {
            ADD_FAILURE() << "invented object " << number << " " << o.owner << "." << o.name;
            continue;
          }
          EXPECT_EQ(o.name, it->second.name) << number;
          EXPECT_EQ(o.kind, it->second.kind) << number;
          if (o.owner != kUnknownOwnerName) {
            EXPECT_EQ(o.owner, it->second.owner) << number;
          }
        }
        // Every object whose OBJ$ row is intact is still there.
        std::size_t kept = 0;
        for (const auto& [number, blocks] : rows) {
          if (!clean.contains(number)) continue;
          bool hit = false;
          for (std::uint32_t b : blocks) hit = hit || damaged_blocks.contains(b);
          if (hit) continue;
          ++kept;
          EXPECT_TRUE(damaged.contains(number)) << "lost object " << number << " " << clean.at(number).name;
        }
        EXPECT_GT(kept, 0u);
        EXPECT_LT(kept, rows.size());
        std::filesystem::remove_all(folder);
      }
    }
  }
}

}  // namespace
}  // namespace quillon
