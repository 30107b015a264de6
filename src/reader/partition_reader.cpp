#include "reader/partition_reader.h"

#include <algorithm>
#include <array>
#include <optional>


namespace quillon {

namespace {

namespace partobj {
constexpr std::size_t kObj = 1, kType = 2, kCount = 3, kKeyCols = 4, kFlags = 5, kDefTs = 6, kSpare2 = 21;
}
namespace partcol {
constexpr std::size_t kObj = 1, kIntcol = 2, kCol = 3, kPos = 4, kType = 7;
}
// Stored positions of the partitions with a segment of their own: TABPART$
// and INDPART$ (HIBOUNDVAL, a LONG, last: its position is the column count of
// a complete row).
struct SegmentPartitionLayout {
  std::size_t obj, data_obj, bo, part, flags, ts, file, block, columns;
};
constexpr SegmentPartitionLayout kTabPart{1, 2, 3, 4, 13, 6, 7, 8, 26};
constexpr SegmentPartitionLayout kIndPart{1, 2, 3, 4, 6, 7, 8, 9, 28};
namespace indpart {
constexpr std::size_t kPctThres = 11, kInclCol = 26;
}
// TABCOMPART$ in stored order (its complete column count by release).
namespace tabcompart {
constexpr std::size_t kObj = 1, kBo = 3, kPart = 4, kSubpartCount = 6, kFlags = 7, kDefTs = 8;
}
// TABSUBPART$ in stored order (its complete column count by release).
namespace tabsubpart {
constexpr std::size_t kObj = 1, kDataObj = 2, kPobj = 3, kSubpart = 4, kFlags = 5, kTs = 6, kFile = 7,
                      kBlock = 8;
}
namespace lobfrag {
constexpr std::size_t kFragObj = 1, kParentObj = 2, kTabFragObj = 3, kFrag = 5, kType = 6, kTs = 7, kFile = 8,
                      kBlock = 9, kChunk = 10;
}
namespace lobcomppart {
constexpr std::size_t kPartObj = 1, kLobj = 2, kTabPartObj = 3, kPart = 5, kDefTs = 6;
}

constexpr std::array kSegments = {
    SystemSegment::kPartObj,    SystemSegment::kPartCol,    SystemSegment::kTabPart,
    SystemSegment::kSubpartCol, SystemSegment::kTabSubpart, SystemSegment::kTabCompart,
    SystemSegment::kLobFrag,    SystemSegment::kLobCompPart, SystemSegment::kIndPart,
};

std::string SubnameOf(const Catalogue& c, std::uint32_t object) {
  const ObjectRecord* o = c.Object(object);
  return o ? o->subname : std::string();
}
std::string NameOf(const Catalogue& c, std::uint32_t object) {
  const ObjectRecord* o = c.Object(object);
  return o ? o->name : std::string();
}

void ParsePartitionedObject(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < partobj::kKeyCols || row.IsNull(partobj::kObj)) return;
  PartitionedObjectRecord p;
  p.object_number = row.Unsigned(partobj::kObj);
  p.partitioning_type = row.Unsigned(partobj::kType);
  p.partition_count = row.Unsigned(partobj::kCount);
  p.key_column_count = row.Unsigned(partobj::kKeyCols);
  p.flags = row.Bits(partobj::kFlags);
  p.default_tablespace_number = row.OptionalUnsigned(partobj::kDefTs);
  if (p.default_tablespace_number) p.default_tablespace = reader.catalogue.TablespaceName(*p.default_tablespace_number);
  const std::uint64_t spare2 = row.Bits(partobj::kSpare2);
  p.subpartitioning_type = static_cast<std::uint32_t>(spare2 & 0xFF);
  p.subpartition_key_column_count = static_cast<std::uint32_t>((spare2 >> 8) & 0xFF);
  p.default_subpartition_count = static_cast<std::uint32_t>((spare2 >> 16) & 0xFFFF);
  if (const std::size_t interval = LayoutFor(reader.release()).partobj_interval) {
    p.interval = reader.Text(row, interval);
  }
  reader.catalogue.partitioned_objects.Append(std::move(p));
}

void ParsePartitionColumn(DictionaryReader& reader, const DictionaryRow& row, bool subpartition) {
  if (row.column_count() < partcol::kType || row.IsNull(partcol::kObj)) return;
  PartitionColumnRecord c;
  c.object_number = row.Unsigned(partcol::kObj);
  c.internal_column = row.Unsigned(partcol::kIntcol);
  c.column_number = row.Unsigned(partcol::kCol);
  c.position = row.Unsigned(partcol::kPos);
  c.type_code = row.Packed(partcol::kType);
  c.subpartition_key = subpartition;
  reader.catalogue.partition_columns.Append(c);
}

std::optional<e6struct> SegmentPartition(DictionaryReader& reader, const DictionaryRow& row,
                                         const SegmentPartitionLayout& at) {
  if (row.column_count() < std::max(at.flags, at.block) || row.IsNull(at.obj)) return std::nullopt;
  const Catalogue& c = reader.catalogue;
  e6struct p;
  p.object_number = row.Unsigned(at.obj);
  p.name = SubnameOf(c, p.object_number);
  p.base_object = row.Unsigned(at.bo);
  p.header_block = row.Bits(at.block);
  p.relative_file_number = row.Unsigned(at.file);
  p.tablespace_number = row.Unsigned(at.ts);
  p.tablespace = c.TablespaceName(p.tablespace_number);
  if (row.column_count() == at.columns) p.high_value = reader.Text(row, at.columns);
  p.base_name = NameOf(c, p.base_object);
  p.partition_number = row.Unsigned(at.part);
  p.data_object_number = row.OptionalUnsigned(at.data_obj);
  p.flags = static_cast<std::uint32_t>(row.Bits(at.flags));
  return p;
}

void ParseTablePartition(DictionaryReader& reader, const DictionaryRow& row) {
  if (auto p = SegmentPartition(reader, row, kTabPart)) reader.catalogue.table_partitions.Append(std::move(*p));
}

void ParseIndexPartition(DictionaryReader& reader, const DictionaryRow& row) {
  auto p = SegmentPartition(reader, row, kIndPart);
  if (!p) return;
  p->overflow_threshold = row.Unsigned(indpart::kPctThres);
  p->including_column = row.Unsigned(indpart::kInclCol);
  reader.catalogue.index_partitions.Append(std::move(*p));
}

void ParseCompositePartition(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < tabcompart::kFlags || row.IsNull(tabcompart::kObj)) return;
  const Catalogue& c = reader.catalogue;
  F9struct p;
  p.object_number = row.Unsigned(tabcompart::kObj);
  p.name = SubnameOf(c, p.object_number);
  p.base_object = row.Unsigned(tabcompart::kBo);
  p.flags = row.Bits(tabcompart::kFlags);
  p.subpartition_count = row.Unsigned(tabcompart::kSubpartCount);
  if (const auto ts = row.OptionalUnsigned(tabcompart::kDefTs)) p.default_tablespace = c.TablespaceName(*ts);
  const std::size_t complete = LayoutFor(reader.release()).tabcompart_columns;
  if (row.column_count() == complete) p.high_value = reader.Text(row, complete);
  p.base_name = NameOf(c, p.base_object);
  p.partition_number = row.Unsigned(tabcompart::kPart);
  reader.catalogue.composite_partitions.Append(std::move(p));
}

void ParseSubpartition(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < tabsubpart::kBlock || row.IsNull(tabsubpart::kObj)) return;
  const Catalogue& c = reader.catalogue;
  F0struct p;
  p.object_number = row.Unsigned(tabsubpart::kObj);
  p.name = SubnameOf(c, p.object_number);
  p.parent_partition = row.Unsigned(tabsubpart::kPobj);
  p.header_block = row.Bits(tabsubpart::kBlock);
  p.relative_file_number = row.Unsigned(tabsubpart::kFile);
  p.tablespace_number = row.Unsigned(tabsubpart::kTs);
  p.tablespace = c.TablespaceName(p.tablespace_number);
  const std::size_t complete = LayoutFor(reader.release()).tabsubpart_columns;
  if (complete != 0 && row.column_count() == complete) p.high_value = reader.Text(row, complete);
  p.base_name = NameOf(c, p.object_number);
  p.subpartition_number = row.Unsigned(tabsubpart::kSubpart);
  p.data_object_number = row.OptionalUnsigned(tabsubpart::kDataObj);
  p.flags = static_cast<std::uint32_t>(row.Bits(tabsubpart::kFlags));
  reader.catalogue.subpartitions.Append(std::move(p));
}

void ParseLobFragment(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < lobfrag::kBlock || row.IsNull(lobfrag::kFragObj)) return;
  LobFragmentRecord f;
  f.fragment_object_number = row.Unsigned(lobfrag::kFragObj);
  f.parent_object_number = row.Unsigned(lobfrag::kParentObj);
  f.table_fragment_object = row.Unsigned(lobfrag::kTabFragObj);
  f.fragment_number = row.Unsigned(lobfrag::kFrag);
  f.fragment_type = reader.Text(row, lobfrag::kType);
  f.tablespace_number = row.Unsigned(lobfrag::kTs);
  f.tablespace = reader.catalogue.TablespaceName(f.tablespace_number);
  f.relative_file_number = row.Unsigned(lobfrag::kFile);
  f.header_block = row.Bits(lobfrag::kBlock);
  f.chunk = row.Unsigned(lobfrag::kChunk);
  reader.catalogue.lob_fragments.Append(std::move(f));
}

void ParseLobCompositePartition(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < lobcomppart::kPart || row.IsNull(lobcomppart::kPartObj)) return;
  LobCompositePartitionRecord p;
  p.partition_object_number = row.Unsigned(lobcomppart::kPartObj);
  p.lob_object_number = row.Unsigned(lobcomppart::kLobj);
  p.table_partition_object = row.Unsigned(lobcomppart::kTabPartObj);
  p.partition_number = row.Unsigned(lobcomppart::kPart);
  p.default_tablespace_number = row.OptionalUnsigned(lobcomppart::kDefTs);
  reader.catalogue.lob_composite_partitions.Append(p);
}

}  // namespace

std::span<const SystemSegment> PartitionSegments() { return kSegments; }

bool ReadPartitionList(DictionaryReader& reader, SystemSegment segment) {
  return reader.ForEachRow(reader.List(segment), [&](const DictionaryRow& row) {
    switch (segment) {
      case SystemSegment::kPartObj: ParsePartitionedObject(reader, row); break;
      case SystemSegment::kPartCol: ParsePartitionColumn(reader, row, false); break;
      case SystemSegment::kTabPart: ParseTablePartition(reader, row); break;
      case SystemSegment::kSubpartCol: ParsePartitionColumn(reader, row, true); break;
      case SystemSegment::kTabSubpart: ParseSubpartition(reader, row); break;
      case SystemSegment::kTabCompart: ParseCompositePartition(reader, row); break;
      case SystemSegment::kLobFrag: ParseLobFragment(reader, row); break;
      case SystemSegment::kLobCompPart: ParseLobCompositePartition(reader, row); break;
      case SystemSegment::kIndPart: ParseIndexPartition(reader, row); break;
      default: break;
    }
  });
}

bool ReadPartitionLists(DictionaryReader& reader) {
  for (const SystemSegment segment : kSegments) {
    if (!ReadPartitionList(reader, segment)) return false;
  }
  return true;
}

}  // namespace quillon
