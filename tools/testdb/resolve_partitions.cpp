// Partitioned tables and local indexes: PARTOBJ$ and the key columns, the
// partitions, composite partitions and subpartitions with their objects and
// segments, and the LOB fragments of LOB columns of partitioned tables.
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

std::uint32_t PartitionType(PartitionKind kind) {
  switch (kind) {
    case PartitionKind::kRange: return 1;
    case PartitionKind::kHash: return 2;
    case PartitionKind::kList: return 4;
    case PartitionKind::kNone: return 0;
  }
  return 0;
}

// PART# of the n-th partition (from 0): Oracle numbers them 10, 20, 30 ...
std::uint32_t PartitionNumber(std::size_t n) { return static_cast<std::uint32_t>(10 * (n + 1)); }

// TABPART$.FLAGS of a list partition holding the DEFAULT value.
constexpr std::uint64_t kDefaultListPartition = 0x4000;

}  // namespace

void Resolver::Partitions(const TableDescription& wanted, RTable& table, std::size_t table_index) {
  const PartitioningDescription& p = wanted.partitioning;
  const std::uint32_t owner = UserNumber(wanted.owner);
  const std::uint32_t table_object = table.object;
  const std::uint32_t table_ts = table.ts;
  RPartitionedObject po;
  po.object = table_object;
  po.type = PartitionType(p.kind);
  po.count = static_cast<std::uint32_t>(p.partitions.size());
  for (const auto& c : p.columns) {
    const RColumn& rc = ColumnNamed(table, c);
    po.columns.push_back({rc.column_number, rc.internal_column});
    po.column_types.push_back(rc.type_number);
  }
  for (const auto& c : p.subpartition_columns) {
    const RColumn& rc = ColumnNamed(table, c);
    po.subcolumns.push_back({rc.column_number, rc.internal_column});
    po.subcolumn_types.push_back(rc.type_number);
  }
  po.subtype = PartitionType(p.subpartition_kind);
  if (!p.partitions.empty()) po.default_subpartitions = static_cast<std::uint32_t>(p.partitions.front().subpartitions.size());
  po.default_ts = table_ts;
  if (!p.interval.empty() && AtLeast(DictVersion::k111)) {
    po.interval = p.interval;
    po.flags |= 0x40;
  }
  r_.partitioned_objects.push_back(std::move(po));

  // The table's LOB columns get a fragment in every (sub)partition.
  std::vector<RLob*> lobs;
  for (RLob& l : r_.lobs) {
    if (l.table == table_object) lobs.push_back(&l);
  }
  const auto lob_name = [&](const RLob& l) {
    const RObject* o = nullptr;
    for (const auto& x : r_.objects) {
      if (x.number == l.lob_object) o = &x;
    }
    return o ? o->name : std::string();
  };

  // Rows are numbered across the segments in the order AllTableRows gives.
  std::size_t first_row = wanted.rows.size();
  for (std::size_t i = 0; i < p.partitions.size(); ++i) {
    const PartitionDescription& ps = p.partitions[i];
    const std::uint32_t ts = ps.tablespace.empty() ? table_ts : TablespaceNumber(ps.tablespace);
    RPartition part;
    part.object = NextObject();
    part.base = table_object;
    part.number = PartitionNumber(i);
    part.name = ps.name;
    part.high_value = ps.high_value;
    part.ts = ts;
    if (p.kind == PartitionKind::kList && ps.high_value == "DEFAULT") part.flags |= kDefaultListPartition;
    if (ps.subpartitions.empty()) {
      AddObject(part.object, owner, wanted.name, obj::kNsTable, obj::kTablePartition, part.object, ps.name);
      RSegment s;
      s.name = wanted.owner + "." + wanted.name + ":" + ps.name;
      s.data_object = part.object;
      s.ts = ts;
      s.space = TablespaceOf(ts).space;
      s.content = SegmentContent::kTableRows;
      s.table = static_cast<int>(table_index);
      s.rows = &ps.rows;
      s.first_row = first_row;
      first_row += ps.rows.size();
      part.segment = AddSegment(std::move(s));
      const std::uint32_t partition_object = part.object;
      const std::uint32_t partition_number = part.number;
      r_.table_partitions.push_back(std::move(part));
      for (RLob* l : lobs) {
        RLobFragment f;
        f.fragment = NextObject();
        f.index_fragment = NextObject();
        f.parent = l->lob_object;
        f.table_fragment = partition_object;
        f.number = partition_number;
        f.kind = 'P';
        f.ts = ts;
        AddObject(f.fragment, owner, lob_name(*l), obj::kNsLob, obj::kLobPartition, f.fragment,
                  "SYS_LOB_P" + std::to_string(f.fragment));
        AddObject(f.index_fragment, owner, lob_name(*l), obj::kNsIndex, obj::kIndexPartition, f.index_fragment,
                  "SYS_IL_P" + std::to_string(f.index_fragment));
        RSegment s2;
        s2.name = "SYS_LOB_P" + std::to_string(f.fragment);
        s2.data_object = f.fragment;
        s2.ts = ts;
        s2.space = TablespaceOf(ts).space;
        s2.content = SegmentContent::kEmpty;
        s2.lob = true;
        f.segment = AddSegment(std::move(s2));
        r_.lob_fragments.push_back(f);
      }
      continue;
    }
    // A composite partition: its subpartitions hold the segments.
    AddObject(part.object, owner, wanted.name, obj::kNsTable, obj::kTablePartition, std::nullopt, ps.name);
    part.subpartition_count = static_cast<std::uint32_t>(ps.subpartitions.size());
    const std::uint32_t composite = part.object;
    const std::uint32_t composite_number = part.number;
    r_.composite_partitions.push_back(std::move(part));
    std::vector<std::uint32_t> lob_partitions;
    for (RLob* l : lobs) {
      RLobCompositePartition lp;
      lp.partition = NextObject();
      lp.index_partition = NextObject();
      lp.lob = l->lob_object;
      lp.table_partition = composite;
      lp.number = composite_number;
      lp.default_ts = ts;
      AddObject(lp.partition, owner, lob_name(*l), obj::kNsLob, obj::kLobPartition, std::nullopt,
                "SYS_LOB_P" + std::to_string(lp.partition));
      AddObject(lp.index_partition, owner, lob_name(*l), obj::kNsIndex, obj::kIndexPartition, std::nullopt,
                "SYS_IL_P" + std::to_string(lp.index_partition));
      lob_partitions.push_back(lp.partition);
      r_.lob_composite_partitions.push_back(lp);
    }
    for (std::size_t j = 0; j < ps.subpartitions.size(); ++j) {
      const SubpartitionDescription& ss = ps.subpartitions[j];
      const std::uint32_t sts = ss.tablespace.empty() ? ts : TablespaceNumber(ss.tablespace);
      RPartition sub;
      sub.object = NextObject();
      sub.base = composite;
      sub.number = static_cast<std::uint32_t>(j + 1);
      sub.name = ss.name;
      sub.high_value = ss.high_value;
      sub.ts = sts;
      AddObject(sub.object, owner, wanted.name, obj::kNsTable, obj::kTableSubpartition, sub.object, ss.name);
      RSegment s;
      s.name = wanted.owner + "." + wanted.name + ":" + ss.name;
      s.data_object = sub.object;
      s.ts = sts;
      s.space = TablespaceOf(sts).space;
      s.content = SegmentContent::kTableRows;
      s.table = static_cast<int>(table_index);
      s.rows = &ss.rows;
      s.first_row = first_row;
      first_row += ss.rows.size();
      sub.segment = AddSegment(std::move(s));
      const std::uint32_t sub_object = sub.object;
      const std::uint32_t sub_number = sub.number;
      r_.subpartitions.push_back(std::move(sub));
      for (std::size_t k = 0; k < lobs.size(); ++k) {
        RLobFragment f;
        f.fragment = NextObject();
        f.index_fragment = NextObject();
        f.parent = lob_partitions[k];
        f.table_fragment = sub_object;
        f.number = sub_number;
        f.kind = 'S';
        f.ts = sts;
        AddObject(f.fragment, owner, lob_name(*lobs[k]), obj::kNsLob, obj::kLobSubpartition, f.fragment,
                  "SYS_LOB_SUBP" + std::to_string(f.fragment));
        AddObject(f.index_fragment, owner, lob_name(*lobs[k]), obj::kNsIndex, 35, f.index_fragment,
                  "SYS_IL_SUBP" + std::to_string(f.index_fragment));
        RSegment s2;
        s2.name = "SYS_LOB_SUBP" + std::to_string(f.fragment);
        s2.data_object = f.fragment;
        s2.ts = sts;
        s2.space = TablespaceOf(sts).space;
        s2.content = SegmentContent::kEmpty;
        s2.lob = true;
        f.segment = AddSegment(std::move(s2));
        r_.lob_fragments.push_back(f);
      }
    }
  }
}

void Resolver::LocalIndexPartitions(const IndexDescription& wanted, RIndex& index, const RTable& table) {
  const RPartitionedObject* tp = nullptr;
  for (const auto& po : r_.partitioned_objects) {
    if (po.object == table.object && !po.index) tp = &po;
  }
  if (!tp) Fail("local index " + wanted.name + " on " + table.name + ", which is not partitioned");
  RPartitionedObject po = *tp;
  po.object = index.object;
  po.index = true;
  po.flags = 0x01;  // local
  if (!index.columns.empty() && !po.columns.empty() && index.columns.front().internal_column == po.columns.front().second) {
    po.flags |= 0x02;  // prefixed
  }
  po.default_ts = index.ts;
  po.interval.clear();
  const std::uint32_t owner = UserNumber(wanted.owner);
  std::vector<RPartition> parts;
  for (const RPartition& tpart : r_.table_partitions) {
    if (tpart.base != table.object) continue;
    RPartition ip;
    ip.object = NextObject();
    ip.base = index.object;
    ip.number = tpart.number;
    ip.name = tpart.name;
    ip.high_value = tpart.high_value;
    ip.ts = index.ts;
    AddObject(ip.object, owner, wanted.name, obj::kNsIndex, obj::kIndexPartition, ip.object, ip.name);
    RSegment s;
    s.name = wanted.owner + "." + wanted.name + ":" + ip.name;
    s.data_object = ip.object;
    s.ts = ip.ts;
    s.space = TablespaceOf(ip.ts).space;
    s.content = SegmentContent::kIndexKeys;
    s.index = static_cast<int>(r_.indexes.size());
    s.table = TableIndex(table.owner, table.name);
    s.source_segment = tpart.segment;
    s.rows = r_.segments[static_cast<std::size_t>(tpart.segment)].rows;
    ip.segment = AddSegment(std::move(s));
    parts.push_back(std::move(ip));
  }
  po.count = static_cast<std::uint32_t>(parts.size());
  for (auto& ip : parts) r_.index_partitions.push_back(std::move(ip));
  r_.partitioned_objects.push_back(std::move(po));
}

}  // namespace quillon::testdb
