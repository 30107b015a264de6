// Row builders of the dictionary tables read as heap segments: each turns
// one row of its table into a catalogue record. Columns are numbered from 1
// in stored order; a LONG column (TRIGGER$.ACTION#, VIEW$.TEXT, SUM$.SUMTEXT,
// SNAP$.QUERY_TXT, the partitions' HIBOUNDVAL) is stored last in the row,
// whatever its place in the table's definition, so it is present exactly
// when the row holds all the table's columns.
//
// Rows that lack a column the table declares NOT NULL are not dictionary
// rows of that table (damage, or a block of something else) and are skipped.
#pragma once

#include "reader/dictionary_reader.h"

namespace quillon {

using RowParser = void (*)(DictionaryReader& reader, const DictionaryRow& row);

// The builder of a row kind (kinds 1 to 16).
RowParser KindParser(RowKind kind);

// Reads every row of a list with the builder of its kind.
bool ReadDictionaryRows(DictionaryReader& reader, const SegmentBlockList& list, RowKind kind);

// The builders.
void ParseObjectRow(DictionaryReader& reader, const DictionaryRow& row);          // OBJ$ (6)
void ParseConstraintNameRow(DictionaryReader& reader, const DictionaryRow& row);  // CON$ (1)
void ParseSynonymRow(DictionaryReader& reader, const DictionaryRow& row);         // SYN$ (2)
void ParseSequenceRow(DictionaryReader& reader, const DictionaryRow& row);        // SEQ$ (3)
void ParseTriggerRow(DictionaryReader& reader, const DictionaryRow& row);         // TRIGGER$ (4)
void ParseSourceRow(DictionaryReader& reader, const DictionaryRow& row);          // SOURCE$ (5)
void ParseTypedViewRow(DictionaryReader& reader, const DictionaryRow& row);       // TYPED_VIEW$ (7)
void ParseObjectGrantRow(DictionaryReader& reader, const DictionaryRow& row);     // OBJAUTH$ (8)
void ParseSystemGrantRow(DictionaryReader& reader, const DictionaryRow& row);     // SYSAUTH$ (9)
void ParseSystemPrivilegeRow(DictionaryReader& reader, const DictionaryRow& row); // SYSTEM_PRIVILEGE_MAP (10)
void ParseTablePrivilegeRow(DictionaryReader& reader, const DictionaryRow& row);  // TABLE_PRIVILEGE_MAP (11)
void ParseLinkRow(DictionaryReader& reader, const DictionaryRow& row);            // LINK$ (13)
void ParseSummaryRow(DictionaryReader& reader, const DictionaryRow& row);         // SUM$ (14)
void ParseLogColumnRow(DictionaryReader& reader, const DictionaryRow& row);       // MLOG_REFCOL$ (15)
void ParseSnapshotRow(DictionaryReader& reader, const DictionaryRow& row);        // SNAP$ (16)
void ParseViewRow(DictionaryReader& reader, const DictionaryRow& row);            // VIEW$

// Reads VIEW$: the view texts, joined over their row pieces.
bool ReadViewTexts(DictionaryReader& reader);

// The OBJ$ row of TRIGGER$ or PARTOBJ$ at object number 159 or 572 marks the
// alternative 11g Release 2 numbering.
bool MarksAlternativeLayout(std::string_view name, ByteView object_number_bytes);

}  // namespace quillon
