// The dictionary cluster reader.
//
// Dictionary tables such as TAB$, COL$ and IND$ (cluster C_OBJ#), TS$
// (C_TS#), USER$ (C_USER#), CDEF$ and CCOL$ (C_COBJ#), the object type tables
// (C_TOID_VERSION#) and MLOG$ (C_MLOG#) are stored in index clusters. In a
// cluster block, table 0 of the table directory holds the cluster key rows
// and table m the rows of the member table at position m. A key row (flag
// 0xAC) has a 19-byte header (flag, lock, column count, two 2-byte counters,
// two row addresses) followed by the key columns. A member row carries, after
// flag, lock and column count, one byte: the position of its key row among
// the key rows of the block. Member rows do not repeat the key columns: the
// key lives in the key row, so member column 1 is the member table's first
// column after its key columns.
//
// ForEachClusterMemberRow pairs every member row with its key (the key row
// its key byte names must be a valid key row of the same block) and hands
// both on, key by key in directory order; ReadClusterMember turns the rows
// of one member table into catalogue records.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "reader/dictionary_reader.h"

namespace quillon {

struct ClusterKey {
  // kNumber: the key NUMBER (object, tablespace, user or constraint-owning
  // object number), packed and decoded.
  std::uint32_t packed = 0;
  std::uint32_t number = 0;
  // kTypeOid: the type identifier as sixteen " %02X" groups, and VERSION#.
  std::string oid;
  std::uint32_t version = 0;
  // kTwoTexts: the two key columns.
  std::string first_text;
  std::string second_text;
};

// The key of a key row; std::nullopt when the row is not a valid key of
// that kind (wrong column count, NULL key, a number that is not one).
std::optional<ClusterKey> ReadClusterKey(const DictionaryReader& reader, ByteView block, const RowPiece& key_row,
                                         ClusterKeyKind kind);

using ClusterRowVisitor = std::function<void(const ClusterKey& key, const DictionaryRow& row)>;

// Every row of the member table at member_code, with its key. Blocks whose
// table count is not above member_code hold none of its rows.
bool ForEachClusterMemberRow(DictionaryReader& reader, const SegmentBlockList& list, std::uint8_t member_code,
                             ClusterKeyKind kind, const ClusterRowVisitor& visit);

// The member code of a member table in this database: the cluster position
// TAB$ records for the table (owner SYS) when TAB$ has been read, else the
// release's default.
std::uint8_t MemberCode(const DictionaryReader& reader, ClusterMember member);

// Reads the rows of one member table of a cluster and appends their records
// to the catalogue (TS$ tablespaces, USER$ users and roles, TAB$ tables, COL$
// columns, ...). The member code is MemberCode(reader, member) unless given.
bool ReadClusterMember(DictionaryReader& reader, ClusterMember member,
                       std::optional<std::uint8_t> member_code = std::nullopt);

}  // namespace quillon
