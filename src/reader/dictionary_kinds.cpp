#include "reader/dictionary_kinds.h"

namespace quillon {

RowParser KindParser(RowKind kind) {
  switch (kind) {
    case RowKind::kCon: return &ParseConstraintNameRow;
    case RowKind::kSyn: return &ParseSynonymRow;
    case RowKind::kSeq: return &ParseSequenceRow;
    case RowKind::kTrigger: return &ParseTriggerRow;
    case RowKind::kSource: return &ParseSourceRow;
    case RowKind::kObj: return &ParseObjectRow;
    case RowKind::kTypedView: return &ParseTypedViewRow;
    case RowKind::kObjAuth: return &ParseObjectGrantRow;
    case RowKind::kSysAuth: return &ParseSystemGrantRow;
    case RowKind::kSystemPrivilegeMap: return &ParseSystemPrivilegeRow;
    case RowKind::kTablePrivilegeMap: return &ParseTablePrivilegeRow;
    case RowKind::kLink: return &ParseLinkRow;
    case RowKind::kSum: return &ParseSummaryRow;
    case RowKind::kMlogRefcol: return &ParseLogColumnRow;
    case RowKind::kSnap: return &ParseSnapshotRow;
    case RowKind::kNone: break;
  }
  return nullptr;
}

bool ReadDictionaryRows(DictionaryReader& reader, const SegmentBlockList& list, RowKind kind) {
  const RowParser parse = KindParser(kind);
  if (parse == nullptr) return true;
  reader.CountRecord();
  return reader.ForEachRow(list, [&](const DictionaryRow& row) { parse(reader, row); });
}

}  // namespace quillon
