#include "reader/cluster_reader.h"

#include <array>
#include <vector>

#include "reader/cluster_members.h"
#include "reader/packed_codes.h"
#include "reader/value_number.h"

namespace quillon {

namespace {

constexpr std::size_t kTypeOidSize = 16;

std::size_t KeyColumnCount(ClusterKeyKind kind) { return kind == ClusterKeyKind::kNumber ? 1 : 2; }

struct KeySlot {
  std::optional<ClusterKey> key;
  std::vector<RowPiece> members;  // member rows under this key, in directory order
};

}  // namespace

std::optional<ClusterKey> ReadClusterKey(const DictionaryReader& reader, ByteView block, const RowPiece& key_row,
                                         ClusterKeyKind kind) {
  if (key_row.flag != format::row::kKeyRow || key_row.column_count != KeyColumnCount(kind)) return std::nullopt;
  ColumnCursor cursor = ColumnCursor::Over(block, key_row);
  const auto first = cursor.Next();
  if (!first || first->is_null) return std::nullopt;
  ClusterKey key;
  switch (kind) {
    case ClusterKeyKind::kNumber: {
      const auto number = NumberToInteger(first->bytes);
      if (!number || *number < 0 || *number > 0xFFFFFFFFll) return std::nullopt;
      key.packed = PackNumberBytes(first->bytes);
      key.number = static_cast<std::uint32_t>(*number);
      return key;
    }
    case ClusterKeyKind::kTypeOid: {
      const auto version = cursor.Next();
      if (first->bytes.size() != kTypeOidSize || !version || version->is_null) return std::nullopt;
      const auto v = NumberToInteger(version->bytes);
      if (!v || *v < 0 || *v > 0xFFFFFFFFll) return std::nullopt;
      key.oid = OidText(first->bytes);
      key.version = static_cast<std::uint32_t>(*v);
      return key;
    }
    case ClusterKeyKind::kTwoTexts: {
      const auto second = cursor.Next();
      if (!second || second->is_null) return std::nullopt;
      key.first_text = reader.engine.values.database().ToUtf8(first->bytes);
      key.second_text = reader.engine.values.database().ToUtf8(second->bytes);
      return key;
    }
  }
  return std::nullopt;
}

bool ForEachClusterMemberRow(DictionaryReader& reader, const SegmentBlockList& list, std::uint8_t member_code,
                             ClusterKeyKind kind, const ClusterRowVisitor& visit) {
  if (member_code == 0) return true;  // position 0 holds the keys
  const RowChainSource chain{&reader.source, list.space, list.object_number};
  return reader.ForEachBlock(list, [&](const DataBlock& data, const Block& block) {
    if (member_code >= data.table_count()) return;
    const auto keys_entry = data.Table(0);
    const auto member_entry = data.Table(member_code);
    if (!keys_entry || !member_entry) return;
    const ByteView bytes = block.bytes();

    std::vector<KeySlot> keys(keys_entry->row_count);
    for (std::size_t k = 0; k < keys.size(); ++k) {
      const auto position = data.RowPosition(keys_entry->first_row + k);
      if (!position) continue;
      const auto piece = ParseRowPiece(bytes, *position);
      if (piece) keys[k].key = ReadClusterKey(reader, bytes, *piece, kind);
    }
    for (std::size_t m = 0; m < member_entry->row_count; ++m) {
      const auto position = data.RowPosition(member_entry->first_row + m);
      if (!position) continue;
      const auto piece = ParseRowPiece(bytes, *position);
      if (!piece || !piece->IsClusterMember() || !StartsRow(*piece) || !piece->key_index) continue;
      if (*piece->key_index >= keys.size() || !keys[*piece->key_index].key) continue;
      keys[*piece->key_index].members.push_back(*piece);
    }
    for (const KeySlot& slot : keys) {
      for (const RowPiece& piece : slot.members) {
        if (const auto row = ReadRow(chain, bytes, piece)) visit(*slot.key, *row);
      }
    }
  });
}

std::uint8_t MemberCode(const DictionaryReader& reader, ClusterMember member) {
  const ClusterMemberInfo& info = MemberInfo(member);
  const Catalogue& c = reader.catalogue;
  const std::uint8_t fallback = DefaultMemberCode(member, reader.release());
  const ObjectRecord* table = c.FindObject(ObjectKind::kTable, "SYS", std::string(info.table));
  if (table == nullptr || table->owner_number != 0) return fallback;
  const TableRecord* tab = c.tables.First<0>(table->object_number);
  if (tab == nullptr || !tab->cluster_position || *tab->cluster_position == 0 || *tab->cluster_position > 255) {
    return fallback;
  }
  const ObjectRecord* cluster = c.FindObject(ObjectKind::kCluster, "SYS", std::string(info.cluster_name));
  if (cluster != nullptr && tab->base_object && *tab->base_object != cluster->object_number) return fallback;
  return static_cast<std::uint8_t>(*tab->cluster_position);
}

bool ReadClusterMember(DictionaryReader& reader, ClusterMember member, std::optional<std::uint8_t> member_code) {
  const ClusterMemberInfo& info = MemberInfo(member);
  const SegmentBlockList& list = reader.List(info.cluster);
  const std::uint8_t code = member_code.value_or(MemberCode(reader, member));
  const MemberRowParser parse = MemberParser(member);
  return ForEachClusterMemberRow(reader, list, code, KeyKindOf(info.cluster),
                                 [&](const ClusterKey& key, const DictionaryRow& row) { parse(reader, key, row); });
}

}  // namespace quillon
