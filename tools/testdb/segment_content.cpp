#include "testdb/segment_content.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "reader/format.h"
#include "testdb/index_block_writer.h"
#include "testdb/layout_result.h"

namespace quillon::testdb {

namespace {

namespace ih = format::index_header;

// Oracle's key order: column by column, bytes compared as unsigned, a
// shorter value before a longer one it starts, NULL last.
bool KeyLess(const std::vector<ColumnBytes>& a, const std::vector<ColumnBytes>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i].has_value() != b[i].has_value()) return a[i].has_value();
    if (!a[i]) continue;
    if (*a[i] != *b[i]) return *a[i] < *b[i];
  }
  return a.size() < b.size();
}

const RIndex* TopIndexOf(const ResolvedSchema& r, std::uint32_t table) {
  for (const RIndex& x : r.indexes) {
    if (x.base_object == table && x.type == 4) return &x;
  }
  return nullptr;
}

const RColumn* ColumnByIntcol(const RTable& t, std::uint32_t intcol) {
  for (const RColumn& c : t.columns) {
    if (c.internal_column == intcol) return &c;
  }
  return nullptr;
}

// The stored columns of an IOT row: key columns in key order, then the
// others in segment column order, split at the INCLUDING column.
struct IotParts {
  std::vector<ColumnBytes> key, leaf, overflow;
};

IotParts SplitIotRow(const RTable& t, const RIndex& top, const RowValues& row, std::size_t row_index,
                     const RowEncoder& encoder) {
  IotParts parts;
  std::vector<std::uint32_t> keys;
  for (const RIndexColumn& ic : top.columns) {
    keys.push_back(ic.internal_column);
    parts.key.push_back(encoder.EncodeColumn(t, *ColumnByIntcol(t, ic.internal_column), row, row_index));
  }
  for (const RColumn* c : RowEncoder::StoredColumns(t)) {
    if (std::find(keys.begin(), keys.end(), c->internal_column) != keys.end()) continue;
    const bool in_leaf = !top.including_column || c->internal_column <= *top.including_column;
    (in_leaf ? parts.leaf : parts.overflow).push_back(encoder.EncodeColumn(t, *c, row, row_index));
  }
  return parts;
}

std::vector<ColumnBytes> Trimmed(std::vector<ColumnBytes> columns) {
  while (!columns.empty() && !columns.back()) columns.pop_back();
  return columns;
}

// An expression of a function-based index the generator evaluates:
// UPPER("COLUMN") and LOWER("COLUMN").
std::optional<std::string> Evaluate(const std::string& expression, const RTable& t, const RowValues& row) {
  for (const char* f : {"UPPER", "LOWER"}) {
    const std::string prefix = std::string(f) + "(\"";
    if (expression.rfind(prefix, 0) != 0 || expression.size() < prefix.size() + 2) continue;
    const std::string column = expression.substr(prefix.size(), expression.size() - prefix.size() - 2);
    for (const RColumn& c : t.columns) {
      if (c.name != column || c.source_column < 0) continue;
      const Value& v = row[static_cast<std::size_t>(c.source_column)];
      if (v.is_null()) return std::nullopt;
      std::string text = v.text;
      for (auto& ch : text) {
        if (ch >= 'a' && ch <= 'z' && f[0] == 'U') ch = static_cast<char>(ch - 32);
        if (ch >= 'A' && ch <= 'Z' && f[0] == 'L') ch = static_cast<char>(ch + 32);
      }
      return text;
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::size_t> StoredRowOrder(const ResolvedSchema& schema, const RTable& table, const RowEncoder& encoder) {
  std::vector<std::size_t> order(table.rows ? table.rows->size() : 0);
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (!table.rows) return order;
  const RowValues* rows = table.rows->data();
  if (table.property & 0x40) {
    const RIndex* top = TopIndexOf(schema, table.object);
    if (!top) return order;
    std::vector<std::vector<ColumnBytes>> keys;
    for (std::size_t i = 0; i < order.size(); ++i) keys.push_back(SplitIotRow(table, *top, rows[i], i, encoder).key);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return KeyLess(keys[a], keys[b]); });
  } else if (table.cluster_position && table.cluster_columns) {
    std::map<std::vector<ColumnBytes>, std::size_t> first;
    std::vector<std::size_t> group(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      const auto stored = encoder.Encode(table, rows[i], i);
      const std::vector<ColumnBytes> key(stored.begin(), stored.begin() + *table.cluster_columns);
      group[i] = first.emplace(key, first.size()).first->second;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return group[a] < group[b]; });
  }
  return order;
}

SegmentFiller::SegmentFiller(std::shared_ptr<const ResolvedSchema> schema, std::shared_ptr<const RowEncoder> encoder)
    : schema_(std::move(schema)), encoder_(std::move(encoder)) {}

void SegmentFiller::Fill(std::size_t index, SegmentModel& out) {
  const RSegment& s = schema_->segments[index];
  switch (s.content) {
    case SegmentContent::kTableRows: TableRows(s, out); break;
    case SegmentContent::kClusterRows: ClusterRows(s, out); break;
    case SegmentContent::kIotRows: IotRows(s, out); break;
    case SegmentContent::kOverflowRows: OverflowRows(s, out); break;
    case SegmentContent::kIndexKeys: IndexKeys(s, out); break;
    case SegmentContent::kEmpty:
    case SegmentContent::kDictionary:
    case SegmentContent::kXmlRows: break;
  }
}

void SegmentFiller::TableRows(const RSegment& s, SegmentModel& out) const {
  if (!s.rows) return;
  const RTable& t = schema_->tables[static_cast<std::size_t>(s.table)];
  for (std::size_t i = 0; i < s.rows->size(); ++i) {
    out.rows.emplace_back(encoder_->Encode(t, (*s.rows)[i], s.first_row + i));
  }
}

void SegmentFiller::ClusterRows(const RSegment& s, SegmentModel& out) {
  const RCluster& c = schema_->clusters[static_cast<std::size_t>(s.cluster)];
  const std::size_t key_count = c.key_columns.size();
  std::map<std::vector<Bytes>, std::size_t> key_index;
  for (std::size_t m = 0; m < c.member_tables.size(); ++m) {
    const RTable* t = schema_->Table(c.member_tables[m]);
    if (!t || !t->rows) continue;
    auto& slots = (*cluster_slots_)[t->object];
    for (std::size_t i = 0; i < t->rows->size(); ++i) {
      std::vector<ColumnBytes> stored = encoder_->Encode(*t, (*t->rows)[i], i);
      std::vector<Bytes> key;
      for (std::size_t k = 0; k < key_count && k < stored.size(); ++k) {
        if (!stored[k]) throw std::invalid_argument("a row of " + t->name + " has a NULL cluster key");
        key.push_back(*stored[k]);
      }
      auto [it, fresh] = key_index.emplace(key, out.keys.size());
      if (fresh) {
        (*cluster_keys_)[c.data_object].push_back(key);
        ClusterKey ck;
        ck.key_columns = key;
        ck.members.resize(c.member_tables.size());
        out.keys.push_back(std::move(ck));
      }
      auto& rows = out.keys[it->second].members[m];
      slots.push_back({it->second, rows.size()});
      rows.emplace_back(std::vector<ColumnBytes>(stored.begin() + static_cast<std::ptrdiff_t>(key_count), stored.end()));
    }
  }
}

void SegmentFiller::IotRows(const RSegment& s, SegmentModel& out) const {
  const RTable& t = schema_->tables[static_cast<std::size_t>(s.table)];
  const RIndex& top = schema_->indexes[static_cast<std::size_t>(s.index)];
  const bool overflow = top.including_column.has_value();
  out.index.leaf_flags = overflow ? ih::kFlagsIotOverflowLeaf : ih::kFlagsIotLeaf;
  out.index.key_columns = static_cast<std::uint8_t>(top.columns.size());
  if (!s.rows) return;
  std::vector<IotParts> rows;
  for (std::size_t i = 0; i < s.rows->size(); ++i) rows.push_back(SplitIotRow(t, top, (*s.rows)[i], i, *encoder_));
  const std::vector<std::size_t> order = StoredRowOrder(*schema_, t, *encoder_);
  // The leaf row: flag, lock, key columns, then the rest as a row piece.
  const auto entry = [rows, order](std::size_t n, std::optional<RowAddress> next) {
    const IotParts& p = rows[order[n]];
    IndexEntry e;
    e.key = IndexKey(p.key);
    e.row.reserve(ih::kRowHeaderSize + e.key.size());
    e.row.push_back(ih::kRowFlag);
    e.row.push_back(0);  // lock
    e.row.insert(e.row.end(), e.key.begin(), e.key.end());
    PieceHeader h;
    const std::vector<ColumnBytes> leaf = next ? p.leaf : Trimmed(p.leaf);
    h.flag = next ? static_cast<std::uint8_t>(format::row::kHead | format::row::kFirst) : format::row::kComplete;
    h.column_count = static_cast<std::uint8_t>(leaf.size());
    if (next) h.next = *next;
    Bytes piece(PieceHeaderSize(h.flag));
    WritePieceHeader(piece.data(), h);
    for (const auto& c : leaf) AppendColumn(piece, c);
    e.row.insert(e.row.end(), piece.begin(), piece.end());
    return e;
  };
  if (!overflow) {
    for (std::size_t n = 0; n < order.size(); ++n) out.index.entries.push_back(entry(n, std::nullopt));
    return;
  }
  // Each leaf row points at its overflow piece, placed in the overflow
  // segment in the same order.
  const std::uint32_t overflow_object = [&] {
    for (const RTable& x : schema_->tables) {
      if (x.base_object == t.object && (x.property & 0x200)) return *x.data_object;
    }
    throw std::invalid_argument("no overflow segment for " + t.name);
  }();
  out.prepare = [entry, count = order.size(), overflow_object](const LayoutResult& placed, SegmentModel& self) {
    const SegmentLayout* over = placed.FindSegment(overflow_object);
    for (std::size_t n = 0; n < count; ++n) {
      RowAddress next{};
      if (over && n < over->rows.size() && !over->rows[n].pieces.empty()) {
        next = {over->rows[n].pieces.front().dba, over->rows[n].pieces.front().slot};
      }
      self.index.entries.push_back(entry(n, next));
    }
  };
}

void SegmentFiller::OverflowRows(const RSegment& s, SegmentModel& out) const {
  const RTable& t = schema_->tables[static_cast<std::size_t>(s.table)];
  const RIndex* top = TopIndexOf(*schema_, t.object);
  if (!top || !s.rows) return;
  std::vector<IotParts> rows;
  for (std::size_t i = 0; i < s.rows->size(); ++i) rows.push_back(SplitIotRow(t, *top, (*s.rows)[i], i, *encoder_));
  for (const std::size_t i : StoredRowOrder(*schema_, t, *encoder_)) {
    Row r(Trimmed(rows[i].overflow), Placement::kTailPiece);
    out.rows.push_back(std::move(r));
  }
}

void SegmentFiller::IndexKeys(const RSegment& s, SegmentModel& out) const {
  const RIndex& x = schema_->indexes[static_cast<std::size_t>(s.index)];
  out.index.key_columns = static_cast<std::uint8_t>(std::max<std::size_t>(1, x.columns.size()));
  const bool unique = (x.property & 0x01) != 0;
  const bool reverse = (x.property & 0x04) != 0;
  if (x.type == 2) return;  // bitmap indexes: left without entries
  const std::uint32_t source_object =
      s.source_segment >= 0 ? schema_->segments[static_cast<std::size_t>(s.source_segment)].data_object : 0;
  if (s.cluster >= 0 && s.table < 0) {
    // A cluster index: one entry per key, pointing at the key's row in the
    // first block that holds the key.
    auto keys = cluster_keys_;
    out.prepare = [keys, source_object](const LayoutResult& placed, SegmentModel& self) {
      const SegmentLayout* seg = placed.FindSegment(source_object);
      const auto it = keys->find(source_object);
      if (!seg || it == keys->end()) return;
      std::vector<std::pair<std::vector<ColumnBytes>, const PiecePlacement*>> entries;
      for (std::size_t k = 0; k < it->second.size() && k < seg->keys.size(); ++k) {
        if (seg->keys[k].key_rows.empty()) continue;
        entries.push_back({std::vector<ColumnBytes>(it->second[k].begin(), it->second[k].end()),
                           &seg->keys[k].key_rows.front()});
      }
      std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return KeyLess(a.first, b.first); });
      for (const auto& [key, head] : entries) {
        IndexEntry e;
        e.key = IndexKey(key);
        e.row = IndexLeafRow(e.key, IndexRowid(head->dba, head->slot), true);
        self.index.entries.push_back(std::move(e));
      }
    };
    return;
  }
  if (!s.rows || s.table < 0) return;
  const RTable& t = schema_->tables[static_cast<std::size_t>(s.table)];
  // The indexed rows are numbered as their own segment numbers them.
  const std::size_t first_row =
      s.source_segment >= 0 ? schema_->segments[static_cast<std::size_t>(s.source_segment)].first_row : 0;
  // The key columns of every row, computed now; the row addresses once the
  // table is placed.
  struct Keyed {
    std::vector<ColumnBytes> key;
    std::size_t row;
  };
  std::vector<Keyed> keyed;
  for (std::size_t i = 0; i < s.rows->size(); ++i) {
    const RowValues& row = (*s.rows)[i];
    Keyed k{{}, i};
    bool any = false;
    for (const RIndexColumn& ic : x.columns) {
      const RColumn* c = ColumnByIntcol(t, ic.internal_column);
      ColumnBytes b;
      if (c && c->stored()) {
        b = encoder_->EncodeColumn(t, *c, row, first_row + i);
      } else if (c) {
        if (auto text = Evaluate(c->default_text, t, row)) b = encoder_->EncodeValue(val::Text(*text), Varchar2(4000));
      }
      if (b && reverse) std::reverse(b->begin(), b->end());
      any = any || b.has_value();
      k.key.push_back(std::move(b));
    }
    if (any) keyed.push_back(std::move(k));
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return KeyLess(a.key, b.key); });
  const bool clustered = t.cluster_position.has_value();
  auto slots = cluster_slots_;
  const std::uint32_t table_object = t.object;
  const std::size_t member = clustered ? *t.cluster_position - 1 : 0;
  out.prepare = [keyed, unique, source_object, clustered, slots, table_object, member](const LayoutResult& placed,
                                                                                      SegmentModel& self) {
    const SegmentLayout* seg = placed.FindSegment(source_object);
    if (!seg) return;
    for (const Keyed& k : keyed) {
      const PiecePlacement* head = nullptr;
      if (clustered) {
        const auto it = slots->find(table_object);
        if (it == slots->end() || k.row >= it->second.size()) continue;
        const ClusterSlot& slot = it->second[k.row];
        if (slot.key >= seg->keys.size() || member >= seg->keys[slot.key].members.size()) continue;
        const auto& rows = seg->keys[slot.key].members[member];
        if (slot.member_row < rows.size() && !rows[slot.member_row].pieces.empty()) head = &rows[slot.member_row].pieces.front();
      } else if (k.row < seg->rows.size() && !seg->rows[k.row].pieces.empty()) {
        head = &seg->rows[k.row].pieces.front();
      }
      if (!head) continue;
      IndexEntry e;
      e.key = IndexKey(k.key);
      e.row = IndexLeafRow(e.key, IndexRowid(head->dba, head->slot), unique);
      self.index.entries.push_back(std::move(e));
    }
  };
}

}  // namespace quillon::testdb
