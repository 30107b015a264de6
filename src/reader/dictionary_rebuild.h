// The dictionary rebuild: finds the dictionary segments by scanning the
// SYSTEM datafile (and the SYSAUX datafiles for the XML repository) for
// segment headers with known data object numbers, and reads their rows into
// the catalogue in a fixed order, each step reading what the previous ones
// recorded:
//
//  1. the SYSTEM scan (every block once; it ends at the header of the
//     materialized view summaries SUM$ once every other segment is found);
//  2. C_TS# (TS$) and C_USER# (USER$): tablespaces, users and roles;
//  3. OBJ$, the objects by kind with their counters; it recognises the
//     alternative 11g Release 2 numbering;
//  4. the SYSAUX scan for the XML repository segments;
//  5. TYPED_VIEW$;
//  6. OBJAUTH$, SYSAUTH$, the privilege name maps, LINK$, SUM$,
//     MLOG_REFCOL$, SNAP$;
//  7. C_OBJ#: TAB$, CLU$, IND$, ICOL$, COL$, LOB$, COLTYPE$, NTAB$, OPQTYPE$,
//     ATTRCOL$;
//  8. C_COBJ#: CDEF$, CCOL$;
//  9. the object type cluster: TYPE$, COLLECTION$, ATTRIBUTE$, METHOD$;
// 10. the materialized view log cluster: MLOG$;
// 11. VIEW$, the view texts;
// 12. the nine partition lists;
// then the XML repository (its column layout comes from COL$ and ATTRCOL$).
// PROPS$ is read before step 2 when it can be found (database_properties.h).
//
// ReadDictionary runs the rebuild and then the reads the scan process makes
// after it (CON$, SYN$, SEQ$, TRIGGER$, SOURCE$): one call fills the whole
// catalogue. Nothing is reported as an error: a missing file, a damaged
// header or an unreadable block gives fewer records.
#pragma once

#include <cstdint>

#include "reader/dictionary_reader.h"

namespace quillon {

// Scans the SYSTEM datafile for the dictionary segments' headers. False when
// there is no SYSTEM datafile or it cannot be read, or a stop request ended
// the scan.
bool ScanSystemSegments(DictionaryReader& reader);

// Scans the SYSAUX datafiles (XDB in release 9) for the XML repository
// segments.
void ScanSysauxSegments(DictionaryReader& reader);

// Steps 1 to 12; returns 1 in every case.
int RebuildDictionary(DictionaryReader& reader);

struct DictionaryResult {
  bool system_read = false;    // the SYSTEM datafile was scanned to its end (or to its last dictionary segment)
  bool stopped = false;        // a stop request ended the reading
  bool properties_read = false;
  std::uint64_t blocks_read = 0;
  std::uint64_t records = 0;   // the running record count at the end
};

// The whole dictionary, into engine.catalogue (which must be empty).
DictionaryResult ReadDictionary(COracleRecoveryTools& engine);

}  // namespace quillon
