#include "testdb/default_database.h"

#include <algorithm>

#include "testdb/prng.h"
#include "testdb/release_profile.h"

namespace quillon::testdb {

Bytes SmallNumber(std::uint64_t value) {
  if (value == 0) return {0x80};
  std::uint8_t digits[10];  // base-100 digits, least significant first
  std::size_t count = 0;
  for (std::uint64_t v = value; v != 0; v /= 100) digits[count++] = static_cast<std::uint8_t>(v % 100);
  std::size_t low = 0;
  while (digits[low] == 0) ++low;  // trailing zero digits are not stored
  Bytes out(1 + count - low);
  out[0] = static_cast<std::uint8_t>(0xC0 + count);
  for (std::size_t i = count, o = 1; i-- > low;) out[o++] = static_cast<std::uint8_t>(digits[i] + 1);
  return out;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

namespace {

constexpr const char* kNames[] = {"SMITH", "ALLEN", "WARD",  "JONES", "MARTIN", "BLAKE", "CLARK",
                                  "SCOTT", "KING",  "TURNER", "ADAMS", "JAMES", "FORD",   "MILLER"};

Bytes Filler(Prng& prng, std::size_t n) {
  Bytes b(n);
  for (auto& c : b) c = static_cast<std::uint8_t>('A' + prng.Below(26));
  return b;
}

Row Person(Prng& prng, std::uint64_t id) {
  Row r;
  r.columns.push_back(SmallNumber(id));
  r.columns.push_back(Text(kNames[prng.Below(std::size(kNames))]));
  r.columns.push_back(prng.Chance(1, 4) ? ColumnBytes{} : ColumnBytes{SmallNumber(prng.Between(800, 5000))});
  r.columns.push_back(Filler(prng, prng.Between(0, 30)));
  return r;
}

// A row of about 450 bytes, so that segments of many blocks stay cheap.
Row Padded(Prng& prng, std::uint64_t id) {
  Row r = Person(prng, id);
  r.columns[3] = Filler(prng, 400);
  return r;
}

SegmentModel Segment(std::string name, std::uint32_t object, std::string tablespace, SpaceManagement space) {
  SegmentModel s;
  s.name = std::move(name);
  s.object_number = object;
  s.tablespace = std::move(tablespace);
  s.space = space;
  return s;
}

// Rows of every placement, with NULLs inside and at the end, and long values.
std::vector<Row> MixedRows(Prng& prng, std::uint32_t block_size, std::uint64_t first_id) {
  std::vector<Row> rows;
  std::uint64_t id = first_id;
  for (int i = 0; i < 40; ++i) rows.push_back(Person(prng, id++));
  Row nulls = Person(prng, id++);
  nulls.columns[1].reset();
  nulls.columns.push_back(std::nullopt);  // trailing NULLs are not stored
  nulls.columns.push_back(std::nullopt);
  rows.push_back(nulls);
  Row long_value = Person(prng, id++);
  long_value.columns[3] = Filler(prng, 300 + prng.Below(400));  // a 0xFE length
  rows.push_back(long_value);
  Row migrated = Person(prng, id++);
  migrated.placement = Placement::kMigrated;
  rows.push_back(migrated);
  Row chained = Person(prng, id++);
  chained.placement = Placement::kChained;
  chained.chain_blocks = 3;
  rows.push_back(chained);
  rows.push_back(Row({}, Placement::kDeleted));
  rows.push_back(Row({}, Placement::kFreeSlot));
  rows.push_back(Row({}, Placement::kFreeSlot));
  // Longer than a block: chained automatically, one value split over pieces.
  Row huge = Person(prng, id++);
  huge.columns[3] = Filler(prng, block_size + block_size / 2);
  rows.push_back(huge);
  for (int i = 0; i < 20; ++i) rows.push_back(Person(prng, id++));
  Row wide;  // more than 255 columns: several pieces
  for (int c = 0; c < 300; ++c) wide.columns.push_back(SmallNumber(static_cast<std::uint64_t>(c)));
  rows.push_back(wide);
  return rows;
}

SegmentModel Cluster(std::string name, std::uint32_t object, std::string tablespace, SpaceManagement space,
                     std::uint8_t members, std::size_t keys, Prng& prng) {
  SegmentModel s = Segment(std::move(name), object, std::move(tablespace), space);
  s.kind = SegmentKind::kCluster;
  s.member_tables = members;
  for (std::size_t k = 0; k < keys; ++k) {
    ClusterKey key;
    key.key_columns.push_back(SmallNumber(k + 1));
    key.members.resize(members);
    for (std::uint8_t m = 0; m < members; ++m) {
      const std::uint32_t n = prng.Between(0, 4);
      for (std::uint32_t i = 0; i < n; ++i) key.members[m].push_back(Person(prng, k * 100 + m * 10 + i));
    }
    s.keys.push_back(std::move(key));
  }
  // One key with enough member rows to fill more than a block, a migrated
  // member row and a deleted one.
  ClusterKey big;
  big.key_columns.push_back(SmallNumber(keys + 1));
  big.members.resize(members);
  for (int i = 0; i < 400; ++i) big.members[0].push_back(Person(prng, 9000 + static_cast<std::uint64_t>(i)));
  Row migrated = Person(prng, 9999);
  migrated.placement = Placement::kMigrated;
  big.members[members - 1].push_back(migrated);
  big.members[members - 1].push_back(Row({}, Placement::kDeleted));
  s.keys.push_back(std::move(big));
  return s;
}

}  // namespace

DatabaseModel DefaultDatabaseModel(const std::string& release, std::uint32_t block_size, std::uint64_t seed) {
  DatabaseModel m = NewDatabaseModel("QUILLON", release, block_size, seed);
  const auto profile = FindReleaseProfile(release);
  const bool sysaux = profile && profile->has_sysaux;
  const std::uint32_t read_only_file = sysaux ? 5 : 4;
  m.datafiles.push_back({"RDONLY01.DBF", "RDONLY", read_only_file, read_only_file + 1, 0, 8, true});
  Prng prng(seed);

  SegmentModel sys_heap = Segment("SYS_HEAP", default_db::kSystemHeap, "SYSTEM", SpaceManagement::kFreeList);
  sys_heap.extent_blocks = 5;  // an 8i-style 40 KB initial extent
  sys_heap.rows = MixedRows(prng, block_size, 1);
  m.segments.push_back(std::move(sys_heap));
  m.segments.push_back(Cluster("SYS_CLUSTER", default_db::kSystemCluster, "SYSTEM", SpaceManagement::kFreeList, 2, 30, prng));

  SegmentModel users = Segment("USERS_HEAP", default_db::kUsersHeap, "USERS", SpaceManagement::kAssm);
  users.rows = MixedRows(prng, block_size, 1000);
  m.segments.push_back(std::move(users));

  SegmentModel maps = Segment("USERS_MAPS", default_db::kUsersMaps, "USERS", SpaceManagement::kAssm);
  maps.max_extents_per_map = 3;
  maps.extent_gap_blocks = 2;
  // About 60 data blocks of 8-block extents: the header's map and several
  // extent map blocks of three extents each.
  for (std::uint64_t i = 0; i < 60u * block_size / 450; ++i) maps.rows.push_back(Padded(prng, 20000 + i));
  m.segments.push_back(std::move(maps));

  m.segments.push_back(Cluster("USERS_CLUSTER", default_db::kUsersCluster, "USERS", SpaceManagement::kAssm, 3, 40, prng));

  SegmentModel fl = Segment("USERS_FREELIST", default_db::kUsersFreeList, "USERS", SpaceManagement::kFreeList);
  fl.extent_blocks = 4;
  fl.max_extents_per_map = 2;
  for (std::uint64_t i = 0; i < 20u * block_size / 450; ++i) fl.rows.push_back(Padded(prng, 30000 + i));
  m.segments.push_back(std::move(fl));

  if (sysaux) {
    SegmentModel aux = Segment("SYSAUX_HEAP", default_db::kSysauxHeap, "SYSAUX", SpaceManagement::kAssm);
    aux.rows = MixedRows(prng, block_size, 40000);
    m.segments.push_back(std::move(aux));
  }

  SegmentModel ro = Segment("READONLY_HEAP", default_db::kReadOnlyHeap, "RDONLY",
                            sysaux ? SpaceManagement::kAssm : SpaceManagement::kFreeList);
  for (std::uint64_t i = 0; i < 50; ++i) ro.rows.push_back(Person(prng, 50000 + i));
  m.segments.push_back(std::move(ro));
  return m;
}

}  // namespace quillon::testdb
