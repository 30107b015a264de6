// The partition reader: the nine partition segments of the SYSTEM
// tablespace, in the order of the release table (PARTOBJ$, PARTCOL$,
// TABPART$, SUBPARTCOL$, TABSUBPART$, TABCOMPART$, LOBFRAG$, LOBCOMPPART$,
// INDPART$), turned into the partitioning records of the catalogue. The
// partition names and the names of the partitioned objects come from OBJ$,
// which is read before.
#pragma once

#include "reader/dictionary_reader.h"

namespace quillon {

// The segments of the nine partition lists, in reading order.
std::span<const SystemSegment> PartitionSegments();

// Reads one partition list.
bool ReadPartitionList(DictionaryReader& reader, SystemSegment segment);

// Reads all nine lists; false when a stop request ended it.
bool ReadPartitionLists(DictionaryReader& reader);

}  // namespace quillon
