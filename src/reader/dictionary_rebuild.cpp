#include "reader/dictionary_rebuild.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "reader/cluster_reader.h"
#include "reader/database_properties.h"
#include "reader/datafile.h"
#include "reader/dictionary_kinds.h"
#include "reader/extent_map.h"
#include "reader/partition_reader.h"
#include "reader/xml_repository.h"

namespace quillon {

namespace {

// The block address of block n of a datafile.
std::uint32_t BlockDba(const DatafileEntry& file, std::uint64_t n) {
  return (file.file_base_dba & format::kDbaFileMask) | (static_cast<std::uint32_t>(n) & format::kDbaBlockMask);
}

// Fills a list from the walk of a segment from its header.
void Fill(SegmentBlockList& list, std::uint32_t header_dba, const SegmentWalk& walk) {
  list.object_number = walk.object_number;
  list.header_dba = header_dba;
  list.space = walk.space;
  list.dbas = walk.blocks;
}

SegmentWalk WalkFrom(DictionaryReader& reader, std::uint32_t header_dba) {
  SegmentWalk walk = WalkSegment(reader.source, reader.engine.datafiles, header_dba, &reader.engine.stop());
  NoteExtentCountDisagreement(reader.engine, walk, header_dba);
  return walk;
}

// Fills a list from a segment header, following its extent map blocks.
void Collect(DictionaryReader& reader, SegmentBlockList& list, std::uint32_t header_dba) {
  if (list.found()) return;  // the first header with the number wins
  const SegmentWalk walk = WalkFrom(reader, header_dba);
  if (walk.header_found) Fill(list, header_dba, walk);
}

bool AllFound(const std::array<SegmentBlockList, kSystemSegmentCount>& lists, int release, bool alternative) {
  for (const auto& row : SystemSegmentTable()) {
    if (alternative && row.alternative == 0) continue;  // kept in the standard lists
    const auto& list = lists[static_cast<std::size_t>(row.segment)];
    if (!list.found() && SegmentNumber(row.segment, release, alternative) != 0) return false;
  }
  return true;
}

bool IsSysauxFile(const DatafileEntry& file, int release) {
  return EqualsIgnoreCase(file.tablespace_name, "SYSAUX") ||
         EqualsIgnoreCase(file.tablespace_name, LayoutFor(release).xml_tablespace);
}

bool StepStopped(DictionaryReader& reader, bool completed) { return !completed || reader.StopRequested(); }

// The cluster members of step 7, in reading order (TAB$ first: the others'
// positions come from it).
constexpr std::array kObjClusterMembers = {
    ClusterMember::kTab, ClusterMember::kClu, ClusterMember::kInd, ClusterMember::kIcol, ClusterMember::kCol,
    ClusterMember::kLob, ClusterMember::kColtype, ClusterMember::kNtab, ClusterMember::kOpqtype,
    ClusterMember::kAttrcol,
};

}  // namespace

bool ScanSystemSegments(DictionaryReader& reader) {
  COracleRecoveryTools& engine = reader.engine;
  const DatafileEntry* system = engine.datafiles.FindSystem();
  if (system == nullptr) return false;
  const auto blocks = reader.source.FileBlockCount(*system);
  if (!blocks) return false;
  const int release = reader.release();
  const bool has_alternative = LayoutFor(release).alternative_numbering;
  const std::uint32_t last_standard = SegmentNumber(SystemSegment::kSum, release, false);
  NotificationSink& sink = engine.sink();
  sink.Progress(ProgressStep::kStart, *blocks);
  for (std::uint64_t n = 0; n < *blocks; ++n) {
    const BlockResult r = reader.source.ReadBlock(*system, static_cast<std::uint32_t>(n));
    bool last = false;
    if (r.ok() && r.block.bytes().U8(format::block_header::kType) == format::block_type::kSegmentHeader) {
      if (const auto map = DecodeExtentMap(r.block.bytes())) {
        const std::uint32_t dba = BlockDba(*system, n);
        reader.system_headers.emplace(map->object_number, dba);
        if (const auto s = FindSystemSegment(map->object_number, release, false)) {
          Collect(reader, reader.standard[static_cast<std::size_t>(*s)], dba);
        }
        if (has_alternative) {
          const auto s = FindSystemSegment(map->object_number, release, true);
          if (s && SegmentInfo(*s).alternative == map->object_number) {
            Collect(reader, reader.alternative[static_cast<std::size_t>(*s)], dba);
          }
        }
        // The summaries are the last dictionary segment a database creates:
        // the scan ends at their header once it has found every other one.
        last = map->object_number == last_standard &&
               (AllFound(reader.standard, release, false) ||
                (has_alternative && AllFound(reader.alternative, release, true)));
      }
    }
    sink.Progress(ProgressStep::kStep, 0);
    if (engine.StopRequested()) return false;
    if (last) break;
  }
  sink.Progress(ProgressStep::kFinish, 0);
  reader.system_scanned = true;
  return true;
}

void ScanSysauxSegments(DictionaryReader& reader) {
  COracleRecoveryTools& engine = reader.engine;
  const int release = reader.release();
  const auto rows = XmlRepositoryTable();
  // Data object number -> slot in reader.xml: the release's numbers, and the
  // XDB tables OBJ$ names (their own numbers win).
  std::unordered_map<std::uint32_t, std::size_t> wanted;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ObjectRecord* table = reader.catalogue.FindObject(ObjectKind::kTable, "XDB", std::string(rows[i].table));
    const std::uint32_t number = table != nullptr && table->data_object_number
                                     ? *table->data_object_number
                                     : XmlRepositoryNumber(rows[i], release, reader.alternative_layout());
    if (number != 0) wanted.emplace(number, i);
  }
  for (const DatafileEntry& file : engine.datafiles) {
    if (!IsSysauxFile(file, release)) continue;
    const auto blocks = reader.source.FileBlockCount(file);
    if (!blocks) continue;
    engine.sink().Progress(ProgressStep::kStart, *blocks);
    for (std::uint64_t n = 0; n < *blocks; ++n) {
      const BlockResult r = reader.source.ReadBlock(file, static_cast<std::uint32_t>(n));
      if (r.ok() && r.block.bytes().U8(format::block_header::kType) == format::block_type::kAssmSegmentHeader) {
        // Where the header keeps its data object number is not certain:
        // a header any of whose candidate words is a wanted number is
        // walked, and the number its data blocks carry decides.
        const auto map = DecodeExtentMap(r.block.bytes());
        const bool candidate = map && std::any_of(map->object_candidates.begin(), map->object_candidates.end(),
                                                  [&](std::uint32_t o) { return wanted.count(o) != 0; });
        if (candidate) {
          const std::uint32_t dba = BlockDba(file, n);
          const SegmentWalk walk = WalkFrom(reader, dba);
          const auto it = walk.header_found ? wanted.find(walk.object_number) : wanted.end();
          if (it != wanted.end() && !reader.xml[it->second].found()) Fill(reader.xml[it->second], dba, walk);
        }
      }
      engine.sink().Progress(ProgressStep::kStep, 0);
      if (engine.StopRequested()) return;
    }
    engine.sink().Progress(ProgressStep::kFinish, 0);
  }
}

int RebuildDictionary(DictionaryReader& reader) {
  NotificationSink& sink = reader.engine.sink();
  reader.engine.layout_variant = 0;
  if (!ScanSystemSegments(reader)) return 1;
  ReadPropertiesEarly(reader);
  if (reader.StopRequested()) return 1;

  // 2. Tablespaces, then users and roles (they name their tablespaces).
  if (StepStopped(reader, ReadClusterMember(reader, ClusterMember::kTs))) return 1;
  if (StepStopped(reader, ReadClusterMember(reader, ClusterMember::kUser))) return 1;
  // 3. Objects (they name their owners).
  if (StepStopped(reader, ReadDictionaryRows(reader, reader.List(SystemSegment::kObj), RowKind::kObj))) return 1;
  // 4. The XML repository segments (read after COL$, below).
  ScanSysauxSegments(reader);
  if (reader.StopRequested()) return 1;
  // 5, 6. Typed views, grants, privilege names, links, materialized views.
  for (const SystemSegment s :
       {SystemSegment::kTypedView, SystemSegment::kObjAuth, SystemSegment::kSysAuth, SystemSegment::kSystemPrivilegeMap,
        SystemSegment::kTablePrivilegeMap, SystemSegment::kLink, SystemSegment::kSum, SystemSegment::kMlogRefcol,
        SystemSegment::kSnap}) {
    if (StepStopped(reader, ReadDictionaryRows(reader, reader.List(s), SegmentInfo(s).kind))) return 1;
  }
  // 7, 8. C_OBJ# and C_COBJ#.
  for (const ClusterMember m : kObjClusterMembers) {
    if (StepStopped(reader, ReadClusterMember(reader, m))) return 1;
  }
  if (!reader.catalogue.properties.found) ReadPropertiesThroughTab(reader);
  for (const ClusterMember m : {ClusterMember::kCdef, ClusterMember::kCcol}) {
    if (StepStopped(reader, ReadClusterMember(reader, m))) return 1;
  }
  // 9, 10. Object types and materialized view logs.
  for (const ClusterMember m : {ClusterMember::kType, ClusterMember::kCollection, ClusterMember::kAttribute,
                                ClusterMember::kMethod, ClusterMember::kMlog}) {
    if (StepStopped(reader, ReadClusterMember(reader, m))) return 1;
  }
  // 11, 12. View texts and partitions; then the XML repository.
  if (StepStopped(reader, ReadViewTexts(reader))) return 1;
  if (StepStopped(reader, ReadPartitionLists(reader))) return 1;
  if (StepStopped(reader, ReadXmlRepository(reader))) return 1;
  sink.Progress(ProgressStep::kFinish, 0);
  return 1;
}

DictionaryResult ReadDictionary(COracleRecoveryTools& engine) {
  DictionaryReader reader(engine);
  DictionaryResult result;
  RebuildDictionary(reader);
  result.system_read = reader.system_scanned;
  if (!reader.StopRequested()) {
    // The reads the scan process makes after the rebuild.
    for (const SystemSegment s : {SystemSegment::kCon, SystemSegment::kSyn, SystemSegment::kSeq,
                                  SystemSegment::kTrigger, SystemSegment::kSource}) {
      if (!ReadDictionaryRows(reader, reader.List(s), SegmentInfo(s).kind)) break;
    }
  }
  engine.catalogue.SetCounter(Counter::kDatafiles, engine.datafile_count());
  result.stopped = reader.StopRequested();
  result.properties_read = engine.catalogue.properties.found;
  result.blocks_read = reader.source.blocks_read();
  result.records = reader.record_counter;
  return result;
}

}  // namespace quillon
