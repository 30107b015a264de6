#include "reader/dictionary_segments.h"

#include "reader/release.h"

namespace quillon {

namespace {

using S = SystemSegment;
using K = RowKind;

constexpr std::array<SystemSegmentNumbers, kSystemSegmentCount> kSystemSegments = {{
    {S::kObjCluster, "C_OBJ#", K::kNone, 2, 2, 2, 2, 0},
    {S::kTsCluster, "C_TS#", K::kNone, 6, 6, 6, 6, 0},
    {S::kUserCluster, "C_USER#", K::kNone, 10, 10, 10, 10, 0},
    {S::kCobjCluster, "C_COBJ#", K::kNone, 29, 29, 29, 29, 0},
    {S::kObj, "OBJ$", K::kObj, 18, 18, 18, 18, 0},
    {S::kCon, "CON$", K::kCon, 28, 28, 28, 28, 0},
    {S::kSyn, "SYN$", K::kSyn, 61, 62, 68, 68, 0},
    {S::kSeq, "SEQ$", K::kSeq, 67, 68, 74, 74, 0},
    {S::kTrigger, "TRIGGER$", K::kTrigger, 82, 81, 157, 160, 159},
    {S::kSource, "SOURCE$", K::kSource, 71, 72, 216, 224, 223},
    {S::kTypedView, "TYPED_VIEW$", K::kTypedView, 63, 64, 70, 70, 0},
    {S::kObjAuth, "OBJAUTH$", K::kObjAuth, 90, 57, 61, 61, 0},
    {S::kSysAuth, "SYSAUTH$", K::kSysAuth, 91, 87, 118, 118, 0},
    {S::kSystemPrivilegeMap, "SYSTEM_PRIVILEGE_MAP", K::kSystemPrivilegeMap, 270, 311, 357, 365, 364},
    {S::kTablePrivilegeMap, "TABLE_PRIVILEGE_MAP", K::kTablePrivilegeMap, 273, 314, 360, 368, 367},
    {S::kLink, "LINK$", K::kLink, 99, 94, 132, 134, 0},
    {S::kSum, "SUM$", K::kSum, 387, 393, 910, 997, 951},
    {S::kMlogRefcol, "MLOG_REFCOL$", K::kMlogRefcol, 186, 222, 635, 641, 649},
    {S::kSnap, "SNAP$", K::kSnap, 178, 212, 625, 631, 639},
    {S::kTypeCluster, "C_TOID_VERSION#", K::kNone, 296, 181, 490, 495, 503},
    {S::kMlogCluster, "C_MLOG#", K::kNone, 168, 163, 620, 625, 633},
    {S::kView, "VIEW$", K::kNone, 62, 63, 69, 69, 0},
    {S::kPartObj, "PARTOBJ$", K::kNone, 226, 262, 559, 564, 572},
    {S::kPartCol, "PARTCOL$", K::kNone, 228, 264, 561, 566, 574},
    {S::kTabPart, "TABPART$", K::kNone, 230, 266, 563, 568, 576},
    {S::kSubpartCol, "SUBPARTCOL$", K::kNone, 238, 276, 573, 578, 586},
    {S::kTabSubpart, "TABSUBPART$", K::kNone, 240, 278, 575, 580, 588},
    {S::kTabCompart, "TABCOMPART$", K::kNone, 249, 288, 585, 590, 598},
    {S::kLobFrag, "LOBFRAG$", K::kNone, 258, 299, 596, 601, 609},
    {S::kLobCompPart, "LOBCOMPPART$", K::kNone, 261, 302, 599, 604, 612},
    {S::kIndPart, "INDPART$", K::kNone, 234, 271, 568, 573, 581},
}};

constexpr bool SegmentsInEnumOrder() {
  for (std::size_t i = 0; i < kSystemSegments.size(); ++i) {
    if (static_cast<std::size_t>(kSystemSegments[i].segment) != i) return false;
  }
  return true;
}
static_assert(SegmentsInEnumOrder());

constexpr std::array<XmlRepositoryNumbers, kXmlKindCount> kXmlRepository = {{
    {37, "XDB$COMPLEX_TYPE", 26962, 41501, 54624, 57019, 56054},
    {38, "XDB$SIMPLE_TYPE", 26820, 41359, 54482, 57042, 55912},
    {39, "XDB$ELEMENT", 27150, 41789, 54912, 57307, 56342},
    {40, "XDB$ALL_MODEL", 27080, 41719, 54842, 57237, 56272},
    {41, "XDB$CHOICE_MODEL", 27104, 41743, 54866, 57261, 56296},
    {42, "XDB$SCHEMA", 27304, 41944, 55062, 57465, 56500},
    {43, "XDB$SEQUENCE_MODEL", 27128, 41767, 54890, 57285, 56320},
    {44, "XDB$ATTRIBUTE", 27254, 41893, 55016, 57411, 56446},
}};

using M = ClusterMember;
constexpr std::array kClusterMembers = {
    ClusterMemberInfo{M::kTab, "TAB$", S::kObjCluster, "C_OBJ#", 1, 1, 1, 1},
    ClusterMemberInfo{M::kClu, "CLU$", S::kObjCluster, "C_OBJ#", 2, 2, 2, 2},
    ClusterMemberInfo{M::kInd, "IND$", S::kObjCluster, "C_OBJ#", 3, 3, 3, 3},
    ClusterMemberInfo{M::kIcol, "ICOL$", S::kObjCluster, "C_OBJ#", 4, 4, 4, 4},
    ClusterMemberInfo{M::kCol, "COL$", S::kObjCluster, "C_OBJ#", 5, 5, 5, 5},
    ClusterMemberInfo{M::kLob, "LOB$", S::kObjCluster, "C_OBJ#", 6, 6, 6, 6},
    ClusterMemberInfo{M::kColtype, "COLTYPE$", S::kObjCluster, "C_OBJ#", 7, 7, 7, 7},
    ClusterMemberInfo{M::kNtab, "NTAB$", S::kObjCluster, "C_OBJ#", 12, 12, 9, 9},
    ClusterMemberInfo{M::kOpqtype, "OPQTYPE$", S::kObjCluster, "C_OBJ#", 15, 14, 11, 11},
    ClusterMemberInfo{M::kAttrcol, "ATTRCOL$", S::kObjCluster, "C_OBJ#", 0, 0, 16, 16},
    ClusterMemberInfo{M::kTs, "TS$", S::kTsCluster, "C_TS#", 2, 2, 2, 2},
    ClusterMemberInfo{M::kUser, "USER$", S::kUserCluster, "C_USER#", 1, 1, 1, 1},
    ClusterMemberInfo{M::kCdef, "CDEF$", S::kCobjCluster, "C_COBJ#", 1, 1, 1, 1},
    ClusterMemberInfo{M::kCcol, "CCOL$", S::kCobjCluster, "C_COBJ#", 2, 2, 2, 2},
    ClusterMemberInfo{M::kType, "TYPE$", S::kTypeCluster, "C_TOID_VERSION#", 1, 1, 1, 1},
    ClusterMemberInfo{M::kCollection, "COLLECTION$", S::kTypeCluster, "C_TOID_VERSION#", 2, 2, 2, 2},
    ClusterMemberInfo{M::kAttribute, "ATTRIBUTE$", S::kTypeCluster, "C_TOID_VERSION#", 3, 3, 3, 3},
    ClusterMemberInfo{M::kMethod, "METHOD$", S::kTypeCluster, "C_TOID_VERSION#", 4, 4, 4, 4},
    ClusterMemberInfo{M::kMlog, "MLOG$", S::kMlogCluster, "C_MLOG#", 1, 1, 1, 1},
};

constexpr bool MembersInEnumOrder() {
  for (std::size_t i = 0; i < kClusterMembers.size(); ++i) {
    if (static_cast<std::size_t>(kClusterMembers[i].member) != i) return false;
  }
  return true;
}
static_assert(MembersInEnumOrder());

// trigger, older trigger, snap, sum skips, mlog LOG, refcol FLAG, PASSWORDX, TABCOMPART$, TABSUBPART$,
// interval, alternative numbering, XML tablespace, comment blocks
constexpr std::array kLayouts = {
    ReleaseLayout{kRelease9i, 19, 18, 48, 3, 8, 6, 5, 0, 34, 26, 0, false, "XDB", true},
    ReleaseLayout{kRelease10g, 19, 0, 49, 5, 13, 7, 5, 1, 34, 26, 0, false, "SYSAUX", false},
    ReleaseLayout{kRelease11gR1, 23, 0, 50, 5, 13, 7, 5, 1, 35, 26, 25, false, "SYSAUX", false},
    ReleaseLayout{kRelease11gR2, 23, 0, 51, 5, 13, 7, 6, 1, 35, 26, 25, true, "SYSAUX", false},
};

int ReleaseColumn(int release_code) { return release_code == kRelease8i ? kRelease9i : release_code; }

}  // namespace

std::span<const SystemSegmentNumbers> SystemSegmentTable() { return kSystemSegments; }

const SystemSegmentNumbers& SegmentInfo(SystemSegment segment) {
  return kSystemSegments[static_cast<std::size_t>(segment)];
}

namespace {
template <typename Row>
std::uint32_t NumberFor(const Row& row, int release_code, bool alternative) {
  switch (ReleaseColumn(release_code)) {
    case kRelease9i: return row.release9;
    case kRelease10g: return row.release16;
    case kRelease11gR1: return row.release17;
    case kRelease11gR2: return alternative && row.alternative != 0 ? row.alternative : row.release18;
    default: return 0;
  }
}
}  // namespace

std::uint32_t SegmentNumber(SystemSegment segment, int release_code, bool alternative) {
  return NumberFor(SegmentInfo(segment), release_code, alternative);
}

std::optional<SystemSegment> FindSystemSegment(std::uint32_t object_number, int release_code, bool alternative) {
  for (const auto& row : kSystemSegments) {
    if (object_number != 0 && NumberFor(row, release_code, alternative) == object_number) return row.segment;
  }
  return std::nullopt;
}

std::span<const XmlRepositoryNumbers> XmlRepositoryTable() { return kXmlRepository; }

std::uint32_t XmlRepositoryNumber(const XmlRepositoryNumbers& row, int release_code, bool alternative) {
  return NumberFor(row, release_code, alternative);
}

std::span<const ClusterMemberInfo> ClusterMemberTable() { return kClusterMembers; }

const ClusterMemberInfo& MemberInfo(ClusterMember member) { return kClusterMembers[static_cast<std::size_t>(member)]; }

std::uint8_t DefaultMemberCode(ClusterMember member, int release_code) {
  const ClusterMemberInfo& info = MemberInfo(member);
  switch (ReleaseColumn(release_code)) {
    case kRelease9i: return info.release9;
    case kRelease10g: return info.release16;
    case kRelease11gR1: return info.release17;
    case kRelease11gR2: return info.release18;
    default: return 0;
  }
}

ClusterKeyKind KeyKindOf(SystemSegment cluster) {
  switch (cluster) {
    case S::kTypeCluster: return ClusterKeyKind::kTypeOid;
    case S::kMlogCluster: return ClusterKeyKind::kTwoTexts;
    default: return ClusterKeyKind::kNumber;
  }
}

bool IsClusterSegment(SystemSegment segment) {
  for (const auto& m : kClusterMembers) {
    if (m.cluster == segment) return true;
  }
  return false;
}

const ReleaseLayout& LayoutFor(int release_code) {
  const int column = ReleaseColumn(release_code);
  for (const auto& layout : kLayouts) {
    if (layout.release_code == column) return layout;
  }
  return kLayouts.back();
}

}  // namespace quillon
