// Record builders of the cluster member tables: each turns one member row
// (paired with its cluster key) into a catalogue record. Member columns are
// numbered from 1 and do not include the cluster key columns; LONG columns
// (COL$.DEFAULT$, CDEF$.CONDITION) are stored last in the row, as Oracle
// stores every LONG column.
#pragma once

#include "reader/cluster_reader.h"

namespace quillon {

using MemberRowParser = void (*)(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);

// The builder of a member table.
MemberRowParser MemberParser(ClusterMember member);

// Builders, by cluster.
void ParseTablespaceRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);   // TS$
void ParseUserRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);         // USER$
void ParseTableRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);        // TAB$
void ParseClusterRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);      // CLU$
void ParseIndexRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);        // IND$
void ParseIndexColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);  // ICOL$
void ParseColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);       // COL$
void ParseLobRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);          // LOB$
void ParseColumnTypeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);   // COLTYPE$
void ParseNestedTableRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);  // NTAB$
void ParseOpaqueTypeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);   // OPQTYPE$
void ParseAttributeColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);  // ATTRCOL$
void ParseConstraintRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);   // CDEF$
void ParseConstraintColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);  // CCOL$
void ParseTypeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);         // TYPE$
void ParseCollectionRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);   // COLLECTION$
void ParseAttributeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);    // ATTRIBUTE$
void ParseMethodRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);       // METHOD$
void ParseMlogRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row);         // MLOG$

// Up to eight stored NUMBER bytes packed little-endian (the raw flag forms).
std::uint64_t PackNumberBytes64(ByteView bytes);

}  // namespace quillon
