// LINK$, SUM$ (materialized views), MLOG_REFCOL$ and SNAP$.
#include "reader/dictionary_kinds.h"
#include "reader/value_datetime.h"

namespace quillon {

namespace {

namespace link {
constexpr std::size_t kOwner = 1, kName = 2, kCtime = 3, kHost = 4, kUser = 5, kPassword = 6, kPasswordx = 10;
}
// SUM$ in stored order (SUMTEXT, a LONG, is stored last).
namespace sum {
constexpr std::size_t kObj = 1, kContainerObj = 2, kContainerType = 3, kContainerName = 4, kRefreshMode = 9,
                      kPflags = 10, kXpflags = 11, kMflags = 12, kDetailTables = 13, kAggregates = 14,
                      kKeyColumns = 15, kJoins = 16;
}
namespace refcol {
constexpr std::size_t kOwner = 1, kMaster = 2, kColumn = 3;
}
// SNAP$ in stored order (QUERY_TXT, a LONG, is stored last).
namespace snap {
constexpr std::size_t kOwner = 1, kName = 2, kTable = 3, kMasterOwner = 5, kMaster = 6, kLink = 7,
                      kSnapTime = 12, kStatus = 21, kFlag = 26, kFlag2 = 27, kMtime = 29;
}

constexpr std::uint8_t kNullMarker = 255;

}  // namespace

void ParseLinkRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < link::kCtime || row.IsNull(link::kName)) return;
  DatabaseLinkRecord l;
  l.owner_number = row.Unsigned(link::kOwner);
  l.name = reader.Text(row, link::kName);
  l.created = DateTimeToText(row.Bytes(link::kCtime));
  l.host = reader.Text(row, link::kHost);
  l.user_name = reader.Text(row, link::kUser);
  l.password = reader.Text(row, link::kPassword);
  if (LayoutFor(reader.release()).link_has_passwordx && !l.user_name.empty()) {
    const ByteView x = row.Bytes(link::kPasswordx);
    l.password_marker = row.IsNull(link::kPasswordx)
                            ? kNullMarker
                            : static_cast<std::uint8_t>(x.size() > format::row::kMaxShortLength
                                                            ? format::row::kLongLength
                                                            : x.size());
  }
  reader.catalogue.database_links.Append(std::move(l));
  reader.catalogue.Raise(Counter::kDatabaseLinks);
}

void ParseSummaryRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < sum::kContainerType || row.IsNull(sum::kObj)) return;
  const ReleaseLayout& layout = LayoutFor(reader.release());
  const std::size_t text_length = sum::kJoins + layout.sum_skip_after_keys + 1;
  const std::size_t text = text_length + layout.sum_skip_after_length + 1;
  MaterializedViewRecord m;
  m.object_number = row.Unsigned(sum::kObj);
  m.container_object_number = row.Unsigned(sum::kContainerObj);
  m.container_type = row.Unsigned(sum::kContainerType);
  m.container_name = reader.Text(row, sum::kContainerName);
  m.refresh_mode = static_cast<std::uint16_t>(row.Packed(sum::kRefreshMode));
  m.pflags = row.Bits(sum::kPflags);
  m.xpflags = row.Bits(sum::kXpflags);
  m.mutable_flags = row.NumberText(sum::kMflags);
  m.detail_table_count = row.NumberText(sum::kDetailTables);
  m.aggregate_count = row.NumberText(sum::kAggregates);
  m.key_column_count = row.NumberText(sum::kKeyColumns);
  m.join_count = row.NumberText(sum::kJoins);
  m.text_length = row.NumberText(text_length);
  if (row.column_count() == text) m.query = reader.Text(row, text);
  reader.catalogue.materialized_views.Append(std::move(m));
  reader.catalogue.Raise(Counter::kMaterializedViews);
}

void ParseLogColumnRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < refcol::kColumn || row.IsNull(refcol::kColumn)) return;
  const std::size_t flag = LayoutFor(reader.release()).mlog_refcol_flag;
  MaterializedViewLogColumnRecord r;
  r.master_owner = reader.Text(row, refcol::kOwner);
  r.master = reader.Text(row, refcol::kMaster);
  r.column_name = reader.Text(row, refcol::kColumn);
  r.flag_code = static_cast<std::uint16_t>(row.Packed(flag));
  r.flag = row.Bits(flag);
  reader.catalogue.materialized_view_log_columns.Append(std::move(r));
}

void ParseSnapshotRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < snap::kTable || row.IsNull(snap::kName)) return;
  SnapshotRecord s;
  s.owner = reader.Text(row, snap::kOwner);
  s.name = reader.Text(row, snap::kName);
  s.table_name = reader.Text(row, snap::kTable);
  s.master_owner = reader.Text(row, snap::kMasterOwner);
  s.master = reader.Text(row, snap::kMaster);
  s.master_link = reader.Text(row, snap::kLink);
  s.last_refresh = DateTimeToText(row.Bytes(snap::kSnapTime));
  s.modified = DateTimeToText(row.Bytes(snap::kMtime));
  s.status = row.Unsigned(snap::kStatus);
  s.flag = row.Bits(snap::kFlag);
  s.flag2 = row.Bits(snap::kFlag2);
  if (row.column_count() >= LayoutFor(reader.release()).snap_min_columns) {
    s.query = reader.Text(row, row.column_count());
  }
  reader.catalogue.snapshots.Append(std::move(s));
}

}  // namespace quillon
