#include "testdb/dictionary_writer.h"

#include <algorithm>
#include <stdexcept>

#include "reader/charset.h"
#include "testdb/dictionary_rows.h"
#include "testdb/layout.h"
#include "testdb/row_encoder.h"
#include "testdb/segment_content.h"

namespace quillon::testdb {

namespace {

bool IsDictionaryCluster(const std::string& name) {
  for (const DictCluster& c : DictClusters()) {
    if (c.name == name) return true;
  }
  return false;
}

// The shape of a resolved segment's model: kind, space management, extents.
SegmentModel Shape(const ResolvedSchema& r, const RSegment& s, DictVersion version) {
  SegmentModel m;
  m.name = s.name;
  m.object_number = s.data_object;
  m.tablespace = r.Tablespace(s.ts)->name;
  m.space = s.space;
  const RTablespace& ts = *r.Tablespace(s.ts);
  m.extent_policy = ts.uniform_extent_blocks == 0 ? ExtentPolicy::kAutoAllocate : ExtentPolicy::kUniform;
  m.extent_blocks = ts.uniform_extent_blocks;
  switch (s.content) {
    case SegmentContent::kTableRows:
    case SegmentContent::kOverflowRows:
    case SegmentContent::kXmlRows:
      m.kind = SegmentKind::kHeap;
      if (s.table >= 0) m.pct_free = static_cast<std::uint8_t>(r.tables[static_cast<std::size_t>(s.table)].pct_free);
      break;
    case SegmentContent::kClusterRows:
      m.kind = SegmentKind::kCluster;
      m.member_tables = static_cast<std::uint8_t>(
          std::max<std::size_t>(1, r.clusters[static_cast<std::size_t>(s.cluster)].member_tables.size()));
      break;
    case SegmentContent::kIotRows:
    case SegmentContent::kIndexKeys:
      m.kind = SegmentKind::kIndex;
      break;
    case SegmentContent::kEmpty:
      if (s.lob) {
        m.kind = SegmentKind::kHeap;
        // A LOB segment of a free-list tablespace has a header of its own type.
        if (s.space == SpaceManagement::kFreeList) m.header_type = format::block_type::kLobSegmentHeader;
      } else {
        m.kind = SegmentKind::kIndex;
        m.index.key_columns = 2;
      }
      break;
    case SegmentContent::kDictionary:
      if (IsDictionaryCluster(s.name)) {
        m.kind = SegmentKind::kCluster;
        m.member_tables = static_cast<std::uint8_t>(ClusterMembers(s.name, version).size());
      }
      break;
  }
  return m;
}

}  // namespace

GeneratedDatabase BuildDatabase(Schema description, const GeneratorRelease& release, std::uint32_t block_size,
                                std::uint64_t seed, bool with_rows, const std::string& name) {
  auto owned = std::make_shared<const Schema>(std::move(description));
  const Schema& schema = *owned;
  auto resolved = std::make_shared<ResolvedSchema>(Resolve(schema, release));
  resolved->owned_schema = owned;
  const ResolvedSchema& r = *resolved;
  GeneratedDatabase g;
  g.schema = resolved;
  DatabaseModel& m = g.model;
  m.name = name;
  m.release = release.model_release;
  m.block_size = block_size;
  m.seed = seed;
  m.first_extents_up_front = true;
  // A database folder holds its control files and redo logs besides the datafiles.
  m.decoys = DecoyOptions{true, true, false, false};
  for (const RTablespace& t : r.tablespaces) {
    for (std::size_t i = 0; i < t.relative_files.size(); ++i) {
      DatafileModel f;
      f.file_name = t.file_names[i];
      f.tablespace = t.name;
      f.relative_file = t.relative_files[i];
      f.tablespace_number = t.number;
      m.datafiles.push_back(std::move(f));
    }
  }
  for (const RSegment& s : r.segments) m.segments.push_back(Shape(r, s, release.version));
  g.headers = PlanSegmentHeaders(m);
  if (!with_rows) return g;

  const CharsetInfo* database = FindCharset(schema.character_set);
  const CharsetInfo* national = FindCharset(schema.national_character_set);
  if (!database || !national) throw std::invalid_argument("unknown character set");
  auto encoder = std::make_shared<RowEncoder>(*database, *national, &schema.types);
  DictionaryRows dictionary(r, g.headers, block_size);
  SegmentFiller filler(resolved, encoder);
  for (std::size_t i = 0; i < r.segments.size(); ++i) {
    const RSegment& s = r.segments[i];
    SegmentModel& sm = m.segments[i];
    if (s.content != SegmentContent::kDictionary) {
      filler.Fill(i, sm);
    } else if (sm.kind == SegmentKind::kCluster) {
      sm.keys = dictionary.TakeClusterKeys(s.name);
    } else {
      auto rows = dictionary.TakeHeapRows(s.name);
      sm.generator = rows->Generator(rows);
    }
  }
  return g;
}

}  // namespace quillon::testdb
