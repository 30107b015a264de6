#include "testdb/model.h"

#include <iterator>
#include <set>

#include "reader/datafile.h"
#include "testdb/prng.h"
#include "testdb/release_profile.h"

namespace quillon::testdb {

Damage Damage::ZeroBlock(std::uint32_t object, BlockRole role, std::uint32_t index) {
  Damage d;
  d.kind = DamageKind::kZeroBlock;
  d.object_number = object;
  d.role = role;
  d.index = index;
  return d;
}

Damage Damage::GarbleBlock(std::uint32_t object, BlockRole role, std::uint32_t index) {
  Damage d = ZeroBlock(object, role, index);
  d.kind = DamageKind::kGarbleBlock;
  return d;
}

Damage Damage::ExtentCount(std::uint32_t object, BlockRole role, std::uint32_t index, std::uint32_t count) {
  Damage d = ZeroBlock(object, role, index);
  d.kind = DamageKind::kExtentCount;
  d.value = count;
  return d;
}

Damage Damage::MapLoop(std::uint32_t object) {
  Damage d = ZeroBlock(object, BlockRole::kLastMap);
  d.kind = DamageKind::kMapNext;
  d.target = Target::kSegmentHeader;
  return d;
}

Damage Damage::MapOutside(std::uint32_t object) {
  Damage d = MapLoop(object);
  d.target = Target::kOutsideFiles;
  return d;
}

Damage Damage::RowEntry(std::uint32_t object, std::uint32_t row, std::uint16_t raw) {
  Damage d = ZeroBlock(object, BlockRole::kDataBlock, row);
  d.kind = DamageKind::kRowEntry;
  d.value = raw;
  return d;
}

Damage Damage::RowNextOutside(std::uint32_t object, std::uint32_t row) {
  Damage d = ZeroBlock(object, BlockRole::kDataBlock, row);
  d.kind = DamageKind::kRowNext;
  d.target = Target::kOutsideFiles;
  return d;
}

AssmHeaderOrder ResolvedAssmHeaderOrder(const DatabaseModel& model) {
  if (!model.assm_order_from_seed) return model.assm_header_order;
  // A stream of its own, so the choice draws nothing from the content's.
  Prng prng(model.seed ^ 0xA55A0023u);
  return kAssmHeaderOrders[prng.Below(static_cast<std::uint32_t>(std::size(kAssmHeaderOrders)))];
}

DatabaseModel NewDatabaseModel(std::string name, std::string release, std::uint32_t block_size,
                               std::uint64_t seed) {
  DatabaseModel m;
  m.name = std::move(name);
  m.release = std::move(release);
  m.block_size = block_size;
  m.seed = seed;
  const auto profile = FindReleaseProfile(m.release);
  const bool sysaux = profile && profile->has_sysaux;
  // Tablespace and file numbers as a fresh database of the release has them.
  m.datafiles.push_back({"SYSTEM01.DBF", "SYSTEM", 1, 0, 0, 16, false});
  m.datafiles.push_back({"UNDOTBS01.DBF", "UNDOTBS1", 2, 1, 0, 16, false});
  if (sysaux) m.datafiles.push_back({"SYSAUX01.DBF", "SYSAUX", 3, 2, 0, 16, false});
  m.datafiles.push_back({"USERS01.DBF", "USERS", sysaux ? 4u : 3u, sysaux ? 4u : 2u, 0, 16, false});
  return m;
}

const DatafileModel* FindDatafile(const DatabaseModel& model, const SegmentModel& segment) {
  for (const auto& f : model.datafiles) {
    if (!EqualsIgnoreCase(f.tablespace, segment.tablespace)) continue;
    if (!segment.relative_file || *segment.relative_file == f.relative_file) return &f;
  }
  return nullptr;
}

namespace {

std::string CheckRow(const Row& row, const std::string& where) {
  if (row.placement == Placement::kChained && row.chain_blocks < 2) {
    return where + ": a chained row needs chain_blocks of at least 2";
  }
  for (const auto& c : row.columns) {
    if (c && c->size() > 0xFFFF) return where + ": a column value is longer than 65535 bytes";
  }
  return {};
}

std::string CheckSegment(const DatabaseModel& model, const SegmentModel& s) {
  const std::string where = "segment " + s.name + " (object " + std::to_string(s.object_number) + ")";
  if (!FindDatafile(model, s)) return where + ": no datafile of tablespace " + s.tablespace;
  const std::uint32_t minimum = s.space == SpaceManagement::kAssm ? 5 : 2;
  if (s.extent_policy == ExtentPolicy::kUniform && s.extent_blocks < minimum) {
    return where + ": extents need at least " + std::to_string(minimum) + " blocks";
  }
  if (s.max_extents_per_map && *s.max_extents_per_map == 0) return where + ": max_extents_per_map is 0";
  if (s.itl_count == 0 || s.itl_count > 255) return where + ": itl_count must be 1..255";
  if (s.pct_free > 90) return where + ": pct_free above 90";
  if (s.kind == SegmentKind::kIndex) {
    if (s.index.key_columns == 0) return where + ": an index needs key columns";
  } else if (s.kind == SegmentKind::kCluster) {
    if (s.member_tables == 0 || s.member_tables > 254) return where + ": a cluster needs 1..254 member tables";
    for (std::size_t k = 0; k < s.keys.size(); ++k) {
      const ClusterKey& key = s.keys[k];
      if (key.key_columns.empty()) return where + ": key " + std::to_string(k) + " has no columns";
      if (key.members.size() > s.member_tables) {
        return where + ": key " + std::to_string(k) + " has rows for more member tables than the cluster";
      }
      for (const auto& rows : key.members) {
        for (const auto& r : rows) {
          if (auto e = CheckRow(r, where); !e.empty()) return e;
        }
      }
    }
  } else {
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
      if (auto e = CheckRow(s.rows[i], where + " row " + std::to_string(i)); !e.empty()) return e;
    }
  }
  return {};
}

}  // namespace

std::string ValidateModel(const DatabaseModel& model) {
  if (model.name.empty() || model.name.size() > 8) return "the database name must have 1 to 8 characters";
  if (!FindReleaseProfile(model.release)) return "unknown release " + model.release;
  const auto bs = model.block_size;
  if (bs != 2048 && bs != 4096 && bs != 8192 && bs != 16384 && bs != 32768) {
    return "the block size must be 2048, 4096, 8192, 16384 or 32768";
  }
  std::set<std::uint32_t> files;
  std::set<std::string> names;
  bool system = false;
  for (const auto& f : model.datafiles) {
    if (f.relative_file == 0 || f.relative_file > 1023) return f.file_name + ": relative file must be 1..1023";
    if (!files.insert(f.relative_file).second) return f.file_name + ": relative file number used twice";
    if (!names.insert(AsciiUpper(f.file_name)).second) return f.file_name + ": file name used twice";
    if (f.file_name.empty() || f.file_name.find('/') != std::string::npos) return "bad datafile name " + f.file_name;
    if (f.tablespace.empty() || f.tablespace.size() > 30) return f.file_name + ": tablespace name must have 1 to 30 characters";
    if (f.relative_file == 1 && EqualsIgnoreCase(f.tablespace, "SYSTEM")) system = true;
  }
  if (!system) return "the database needs relative file 1 in tablespace SYSTEM";
  std::set<std::uint32_t> objects;
  for (const auto& s : model.segments) {
    if (s.object_number == 0) return "segment " + s.name + ": object number 0";
    if (!objects.insert(s.object_number).second) {
      return "segment " + s.name + ": data object number " + std::to_string(s.object_number) + " used twice";
    }
    if (auto e = CheckSegment(model, s); !e.empty()) return e;
  }
  for (const auto& d : model.damage) {
    if (!objects.count(d.object_number)) return "damage names object " + std::to_string(d.object_number) + ", which has no segment";
  }
  return {};
}

}  // namespace quillon::testdb
