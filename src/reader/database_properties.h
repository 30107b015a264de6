// The database-wide settings in PROPS$: NLS_CHARACTERSET,
// NLS_NCHAR_CHARACTERSET and DBTIMEZONE. They decide how every text of the
// dictionary and of the tables is decoded, so PROPS$ is read as early as it
// can be found:
// - before anything else is decoded, through a first look at the OBJ$ rows
//   (the row of SYS.PROPS$ gives its data object number, the scan of the
//   SYSTEM datafile the segment header with that number);
// - otherwise, once TAB$ has been read, through the segment header that the
//   TAB$ row of PROPS$ names (FILE#, BLOCK#).
#pragma once

#include "reader/dictionary_reader.h"

namespace quillon {

// Finds SYS.PROPS$ among the OBJ$ rows without decoding anything and reads
// it; false when it was not found.
bool ReadPropertiesEarly(DictionaryReader& reader);

// Finds PROPS$ through its OBJ$ and TAB$ records and reads it; false when
// they do not lead to it.
bool ReadPropertiesThroughTab(DictionaryReader& reader);

// Reads the rows of PROPS$ from a segment list into the catalogue and, unless
// the user chose the character sets, makes the database's own the decoding
// character sets.
bool ReadProperties(DictionaryReader& reader, const SegmentBlockList& list);

}  // namespace quillon
