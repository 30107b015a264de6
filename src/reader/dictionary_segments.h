// The dictionary segments the rebuild reads, and every release difference of
// the dictionary reader, as data.
//
// Segments are found by the data object number in their segment header. The
// numbers below are those of a database created by each release's own
// scripts; release 18 (11g Release 2) also exists with an alternative
// numbering (LayoutVariant 19), whose numbers stand in the `alternative`
// member of SystemSegmentNumbers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quillon {

// The dictionary segments of the SYSTEM tablespace, in the order of the
// release table.
enum class SystemSegment : std::uint8_t {
  kObjCluster,        // C_OBJ#
  kTsCluster,         // C_TS#
  kUserCluster,       // C_USER#
  kCobjCluster,       // C_COBJ#
  kObj,               // OBJ$ (kind 6)
  kCon,               // CON$ (kind 1)
  kSyn,               // SYN$ (kind 2)
  kSeq,               // SEQ$ (kind 3)
  kTrigger,           // TRIGGER$ (kind 4)
  kSource,            // SOURCE$ (kind 5)
  kTypedView,         // TYPED_VIEW$ (kind 7)
  kObjAuth,           // OBJAUTH$ (kind 8)
  kSysAuth,           // SYSAUTH$ (kind 9)
  kSystemPrivilegeMap,  // SYSTEM_PRIVILEGE_MAP (kind 10)
  kTablePrivilegeMap,   // TABLE_PRIVILEGE_MAP (kind 11)
  kLink,              // LINK$ (kind 13)
  kSum,               // SUM$ (kind 14): materialized views
  kMlogRefcol,        // MLOG_REFCOL$ (kind 15)
  kSnap,              // SNAP$ (kind 16)
  kTypeCluster,       // C_TOID_VERSION#: TYPE$, COLLECTION$, ATTRIBUTE$, METHOD$
  kMlogCluster,       // C_MLOG#: MLOG$
  kView,              // VIEW$
  kPartObj,           // PARTOBJ$          (partition list 1)
  kPartCol,           // PARTCOL$          (partition list 2)
  kTabPart,           // TABPART$          (partition list 3)
  kSubpartCol,        // SUBPARTCOL$       (partition list 4)
  kTabSubpart,        // TABSUBPART$       (partition list 5)
  kTabCompart,        // TABCOMPART$       (partition list 6)
  kLobFrag,           // LOBFRAG$          (partition list 7)
  kLobCompPart,       // LOBCOMPPART$      (partition list 8)
  kIndPart,           // INDPART$          (partition list 9)
};
inline constexpr std::size_t kSystemSegmentCount = 31;

// Row layouts the dictionary reader knows. Kinds 1 to 16 are those of the
// release table; the cluster, view and partition segments have no kind.
enum class RowKind : std::uint8_t {
  kNone = 0,
  kCon = 1,
  kSyn = 2,
  kSeq = 3,
  kTrigger = 4,
  kSource = 5,
  kObj = 6,
  kTypedView = 7,
  kObjAuth = 8,
  kSysAuth = 9,
  kSystemPrivilegeMap = 10,
  kTablePrivilegeMap = 11,
  kLink = 13,
  kSum = 14,
  kMlogRefcol = 15,
  kSnap = 16,
};

struct SystemSegmentNumbers {
  SystemSegment segment;
  std::string_view name;
  RowKind kind;
  // By release: 9 (8i and 9i), 16 (10g), 17 (11g R1), 18 (11g R2).
  std::uint32_t release9;
  std::uint32_t release16;
  std::uint32_t release17;
  std::uint32_t release18;
  std::uint32_t alternative;  // release 18, LayoutVariant 19; 0: same as release18
};
std::span<const SystemSegmentNumbers> SystemSegmentTable();
const SystemSegmentNumbers& SegmentInfo(SystemSegment segment);

// The data object number of a segment for a release (codes 8 and 9 share a
// column); 0 when the release has none. alternative: the numbers of
// LayoutVariant 19.
std::uint32_t SegmentNumber(SystemSegment segment, int release_code, bool alternative);
// The segment a data object number stands for in a release.
std::optional<SystemSegment> FindSystemSegment(std::uint32_t object_number, int release_code, bool alternative);

// The XML DB repository tables of the SYSAUX tablespace (XDB in release 9),
// as kinds 37 to 44.
struct XmlRepositoryNumbers {
  int kind;
  std::string_view table;  // the XDB table of this kind
  std::uint32_t release9;
  std::uint32_t release16;
  std::uint32_t release17;
  std::uint32_t release18;
  std::uint32_t alternative;
};
inline constexpr std::size_t kXmlKindCount = 8;
std::span<const XmlRepositoryNumbers> XmlRepositoryTable();
std::uint32_t XmlRepositoryNumber(const XmlRepositoryNumbers& row, int release_code, bool alternative);

// ---- Clusters ---------------------------------------------------------------

// How a cluster's key row is read.
enum class ClusterKeyKind : std::uint8_t {
  kNumber,     // one NUMBER column: object, tablespace, user number
  kTypeOid,    // TOID RAW(16) and VERSION#
  kTwoTexts,   // MASTER and MOWNER
};

// The member tables the reader takes from the clusters.
enum class ClusterMember : std::uint8_t {
  kTab, kClu, kInd, kIcol, kCol, kLob, kColtype, kNtab, kOpqtype, kAttrcol,  // C_OBJ#
  kTs,                                                                      // C_TS#
  kUser,                                                                    // C_USER#
  kCdef, kCcol,                                                             // C_COBJ#
  kType, kCollection, kAttribute, kMethod,                                  // type cluster
  kMlog,                                                                    // materialized view log cluster
};

struct ClusterMemberInfo {
  ClusterMember member;
  std::string_view table;       // the member table's name (owner SYS)
  SystemSegment cluster;
  std::string_view cluster_name;
  // The member's position in the cluster (its TAB#) in a freshly created
  // database, by release; 0 when unknown. The reader prefers the position
  // TAB$ records for the member table when it has one.
  std::uint8_t release9;
  std::uint8_t release16;
  std::uint8_t release17;
  std::uint8_t release18;
};
std::span<const ClusterMemberInfo> ClusterMemberTable();
const ClusterMemberInfo& MemberInfo(ClusterMember member);
std::uint8_t DefaultMemberCode(ClusterMember member, int release_code);
ClusterKeyKind KeyKindOf(SystemSegment cluster);
// True for the cluster segments (C_OBJ#, C_TS#, C_USER#, C_COBJ#, the type
// and materialized view log clusters).
bool IsClusterSegment(SystemSegment segment);

// ---- Row layouts that change between releases -------------------------------

// Stored column positions (1-based) of the layouts that differ by release.
struct ReleaseLayout {
  int release_code;               // 9, 16, 17, 18
  std::uint8_t trigger_columns;   // TRIGGER$: columns of a complete row (ACTION# last)
  std::uint8_t trigger_columns_older;  // the same before the release's last column was added (0: none)
  std::uint8_t snap_min_columns;  // SNAP$: columns of a complete row (QUERY_TXT last)
  std::uint8_t sum_skip_after_keys;   // SUM$: columns skipped after NUMJOINS
  std::uint8_t sum_skip_after_length; // SUM$: columns skipped after SUMTEXTLEN
  std::uint8_t mlog_log;          // MLOG$ member position of LOG (FLAG two after it)
  std::uint8_t mlog_refcol_flag;  // MLOG_REFCOL$ position of FLAG
  std::uint8_t link_has_passwordx;  // LINK$ has PASSWORDX (10g R2 and later)
  std::uint8_t tabcompart_columns;  // TABCOMPART$: columns of a complete row (HIBOUNDVAL last)
  std::uint8_t tabsubpart_columns;  // TABSUBPART$: ditto (0: no high value in this release)
  std::uint8_t partobj_interval;    // PARTOBJ$ position of INTERVAL_STR (0: none before 11g)
  bool alternative_numbering;       // the release exists with the alternative object numbers
  std::string_view xml_tablespace;  // a tablespace that holds the XML repository besides SYSAUX
  bool comment_blocks;              // trigger bodies: "--" comments written as blocks
};
const ReleaseLayout& LayoutFor(int release_code);

}  // namespace quillon
