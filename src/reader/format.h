// Oracle datafile on-disk structures, as the reader uses them.
//
// This is the one place where the byte layout is written down. Every offset
// is relative to the start of its block (or of the structure named) and every
// integer is little-endian unless its name says BE. Readers take these
// offsets through a bounds-checked ByteView; writers (the test database
// generator) use the same constants, so the two cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::format {

// ---------------------------------------------------------------------------
// Data block address (DBA): relative file number in the top 10 bits, block
// number in the low 22 bits.
inline constexpr std::uint32_t kDbaBlockBits = 22;
inline constexpr std::uint32_t kDbaBlockMask = (1u << kDbaBlockBits) - 1;  // 0x003FFFFF
inline constexpr std::uint32_t kDbaFileMask = ~kDbaBlockMask;              // 0xFFC00000
// Mask that turns the DBA of a file header block into the file's base DBA.
inline constexpr std::uint32_t kFileBaseDbaMask = 0xFFF00000;

constexpr std::uint32_t MakeDba(std::uint32_t file, std::uint32_t block) {
  return (file << kDbaBlockBits) | (block & kDbaBlockMask);
}
constexpr std::uint32_t DbaFile(std::uint32_t dba) { return dba >> kDbaBlockBits; }
constexpr std::uint32_t DbaBlock(std::uint32_t dba) { return dba & kDbaBlockMask; }

// ---------------------------------------------------------------------------
// Block types (byte 0 of every block).
namespace block_type {
inline constexpr std::uint8_t kData = 0x06;             // table, cluster and index blocks
inline constexpr std::uint8_t kFileHeader = 0x0B;
inline constexpr std::uint8_t kSegmentHeader = 0x10;    // free-list managed segment
inline constexpr std::uint8_t kExtentMap = 0x12;        // continuation of a 0x10 map
inline constexpr std::uint8_t kLobSegmentHeader = 0x17; // free-list LOB segment; its map lies as in 0x10
inline constexpr std::uint8_t kFileSpaceHeader = 0x1D;  // locally managed file bitmap header
inline constexpr std::uint8_t kFileSpaceBitmap = 0x1E;
inline constexpr std::uint8_t kFirstLevelBitmap = 0x20;   // ASSM level-1 bitmap
inline constexpr std::uint8_t kSecondLevelBitmap = 0x21;  // ASSM level-2 bitmap
inline constexpr std::uint8_t kAssmSegmentHeader = 0x23;  // "pagetable segment header"
inline constexpr std::uint8_t kAssmExtentMap = 0x24;
}  // namespace block_type

// ---------------------------------------------------------------------------
// Common block header (kcbh), 20 bytes at offset 0 of every block, and the
// 4-byte tail at the end of the block.
//
// | off | size | field                                                     |
// |   0 |    1 | block type                                                |
// |   1 |    1 | format: 0x02 (8i/9i); 10g+ keeps 0x02 in the low bits and |
// |     |      | the block size in the top three bits (0x62 .. 0xE2)       |
// |   4 |    4 | DBA of this block (rdba)                                  |
// |   8 |    4 | SCN base                                                  |
// |  12 |    2 | SCN wrap                                                  |
// |  14 |    1 | sequence within the SCN                                   |
// |  15 |    1 | flags (0x04: checksum set)                                |
// |  16 |    2 | checksum: XOR of all 16-bit words of the block is zero    |
// | B-4 |    4 | tail: (SCN base & 0xFFFF) << 16 | type << 8 | sequence    |
namespace block_header {
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kFormat = 1;
inline constexpr std::size_t kRdba = 4;
inline constexpr std::size_t kScnBase = 8;
inline constexpr std::size_t kScnWrap = 12;
inline constexpr std::size_t kSequence = 14;
inline constexpr std::size_t kFlags = 15;
inline constexpr std::size_t kChecksum = 16;
inline constexpr std::size_t kSize = 20;
inline constexpr std::size_t kTailSize = 4;
inline constexpr std::uint8_t kFlagChecksum = 0x04;
}  // namespace block_header

// Header format byte. 8i and 9i write 0x02 for every block size. 10g and later
// write 0x02 in the low five bits and the block size in the top three bits.
namespace header_format {
inline constexpr std::uint8_t kLegacy = 0x02;  // 8i, 9i
inline constexpr std::uint8_t k2K = 0x62;
inline constexpr std::uint8_t k4K = 0x82;
inline constexpr std::uint8_t k8K = 0xA2;
inline constexpr std::uint8_t k16K = 0xC2;
inline constexpr std::uint8_t k32K = 0xE2;
}  // namespace header_format

// ---------------------------------------------------------------------------
// Block 0 of a datafile (the operating-system header block).
//
// | off | size | field                                    |
// |   1 |    1 | format byte (as in the block header)     |
// |   4 |    2 | block size of the file (candidate)       |
// |   8 |    4 | number of blocks in the file             |
// |  12 |    4 | magic 0x7A7B7C7D                         |
namespace os_header {
inline constexpr std::size_t kBlockSize = 4;
inline constexpr std::size_t kBlockCount = 8;
inline constexpr std::size_t kMagic = 12;
inline constexpr std::uint32_t kMagicValue = 0x7A7B7C7D;
}  // namespace os_header

// ---------------------------------------------------------------------------
// File header block (type 0x0B), block 1 of every datafile.
//
// | off | size | field                                                       |
// |   1 |    1 | header format: 0x02 (8i/9i) or the 10g+ family (0x62..0xE2) |
// |   4 |    4 | DBA of block 1 (base DBA after masking with 0xFFF00000)     |
// |  23 |    1 | 8i/9i: major release (8 or 9)                               |
// |  24 |    4 | 10g+: software version; its high 16 bits (offset 26) are the|
// |     |      |   compatibility code 0x0A10, 0x0A20, 0x0B10, 0x0B20         |
// |  32 |    8 | database name, ASCII, zero-padded                           |
// | 100 |    4 | 8i/9i: acceptance word (non-zero in a datafile)             |
// | 244 |    4 | 8i/9i: legacy word                                          |
// | 250 |   30 | 8i/9i: tablespace name                                      |
// | 280 |    4 | 8i/9i: relative file number                                 |
// | 338 |   30 | 10g+: tablespace name                                       |
// | 368 |    4 | 10g+: relative file number                                  |
// | 508 |    4 | 10g+: acceptance word (non-zero in a datafile)              |
namespace file_header {
inline constexpr std::size_t kFormat = 1;
inline constexpr std::size_t kRdba = 4;
inline constexpr std::size_t kLegacyMajorRelease = 23;
inline constexpr std::size_t kSoftwareVersion = 24;
inline constexpr std::size_t kCompatibilityCode = 26;
inline constexpr std::size_t kDatabaseName = 32;
inline constexpr std::size_t kDatabaseNameSize = 8;
inline constexpr std::size_t kTablespaceNameSize = 30;

inline constexpr std::size_t kLegacyAcceptance = 100;
inline constexpr std::size_t kLegacyWord = 244;
inline constexpr std::size_t kLegacyTablespaceName = 250;
inline constexpr std::size_t kLegacyRelativeFile = 280;

inline constexpr std::size_t kTablespaceName = 338;
inline constexpr std::size_t kRelativeFile = 368;
inline constexpr std::size_t kAcceptance = 508;
}  // namespace file_header

// ---------------------------------------------------------------------------
// Extent maps: the segment header of a free-list segment (0x10), of an
// automatic space management segment (0x23), and their extent map
// continuation blocks (0x12, 0x24). Each map holds an extent count, the DBA
// of the next extent map block (0 at the end), the segment's data object
// number and, from the first entry on, 8-byte entries (first DBA, blocks).
struct ExtentMapLayout {
  std::size_t extent_count;  // 32 bits
  std::size_t next_map;      // DBA of the next extent map block, 0 at the end
  std::size_t object_number; // data object number of the segment
  std::size_t first_entry;
};
namespace extent_map {
inline constexpr ExtentMapLayout kFreeListHeader{92, 96, 100, 108};  // types 0x10 and 0x17
inline constexpr ExtentMapLayout kAssmHeader{264, 268, 272, 280};    // type 0x23, the order read first
inline constexpr ExtentMapLayout kContinuation{20, 24, 28, 36};      // types 0x12, 0x24
inline constexpr std::size_t kEntrySize = 8;
inline constexpr std::size_t kEntryFirstDba = 0;
inline constexpr std::size_t kEntryBlockCount = 4;
// The flag word after the data object number of every map.
inline constexpr std::uint32_t kFreeListMapFlag = 0x40000000;
inline constexpr std::uint32_t kAssmMapFlag = 0x10000000;
}  // namespace extent_map

// The map header of an automatic space management segment header (0x23).
// Only the entries at 280 are confirmed by what Oracle prints; the order of
// the words before them is not. Oracle's dump prints "next, #extents, obj#,
// flag"; one public description has the next-map pointer at 260. The
// candidate orders (next map, extent count, data object number, flag):
//
// | order               | next | count | object | flag |
// | kCountNextObject    |  268 |   264 |    272 |  276 |  (read first; the generator's default)
// | kNextCountObject    |  264 |   268 |    272 |  276 |  (the printed order, ending at 280)
// | kNextAt260          |  260 |   264 |    268 |  272 |  (the printed order from 260)
//
// The readers trust the entries: the run of valid entries from 280, at most
// AssmHeaderCapacity of them. In an 8 KB block the extent map runs from 280
// to 2735 (307 entries) and an auxiliary map of the same size follows it (an
// L1 bitmap DBA and a data DBA per extent); other block sizes keep the same
// share of the block.
struct AssmMapOrder {
  std::size_t next_map;
  std::size_t extent_count;
  std::size_t object_number;
  std::size_t flag;
};
namespace assm_header {
inline constexpr AssmMapOrder kCountNextObject{268, 264, 272, 276};
inline constexpr AssmMapOrder kNextCountObject{264, 268, 272, 276};
inline constexpr AssmMapOrder kNextAt260{260, 264, 268, 272};
inline constexpr std::size_t kCountCandidates[] = {264, 268};
inline constexpr std::size_t kNextCandidates[] = {268, 264, 260};
inline constexpr std::size_t kObjectCandidates[] = {272, 268};
inline constexpr std::size_t kFirstEntry = 280;
inline constexpr std::size_t kCapacity8K = 307;
}  // namespace assm_header

// Extent entries an automatic space management segment header holds.
constexpr std::size_t AssmHeaderCapacity(std::size_t block_size) {
  const std::size_t share = assm_header::kCapacity8K * block_size / 8192;
  const std::size_t room = block_size > assm_header::kFirstEntry + block_header::kTailSize
                               ? (block_size - assm_header::kFirstEntry - block_header::kTailSize) / extent_map::kEntrySize
                               : 0;
  return share < room ? share : room;
}

// The extent control header at the start of every segment header (what a
// block dump prints as "Extent Header" and "Highwater"): totals over the
// whole segment, all its maps.
namespace extent_control {
inline constexpr std::size_t kTablespace = 24;
inline constexpr std::size_t kLastMap = 28;
inline constexpr std::size_t kMapCount = 32;
inline constexpr std::size_t kExtents = 36;    // extents of the whole segment
inline constexpr std::size_t kBlocks = 40;
inline constexpr std::size_t kMapEnd = 44;     // 16 bits: offset of the end of the header's extent map
inline constexpr std::size_t kHwmExtent = 48;
inline constexpr std::size_t kHwmBlock = 52;
inline constexpr std::size_t kHwmExtentSize = 56;
inline constexpr std::size_t kHwmDba = 60;
inline constexpr std::size_t kBlocksBelow = 76;
}  // namespace extent_control

// ---------------------------------------------------------------------------
// Data block (type 0x06): transaction header (ktbbh) after the block header.
//
// | off | size | field                                                       |
// |  20 |    1 | block kind: 1 table/cluster data, 2 index                   |
// |  24 |    4 | data object number of the owning segment                    |
// |  28 |    8 | cleanout SCN (base 4, wrap 2, 2 spare)                      |
// |  36 |    2 | number of ITL entries                                       |
// |  38 |    1 | flags (0x32 in ASSM blocks, 0x02 in free-list blocks)       |
// |  39 |    1 | free-list lock                                              |
// |  40 |    4 | free-list next / ASSM: the level-1 bitmap block's DBA       |
// |  44 | 24×n | ITL entries                                                 |
// |  H  |      | data header, H = 44 + 24×n (free list), 52 + 24×n (ASSM)    |
namespace data_block {
inline constexpr std::size_t kKind = 20;
inline constexpr std::size_t kObjectNumber = 24;
inline constexpr std::size_t kCleanoutScn = 28;
inline constexpr std::size_t kItlCount = 36;
inline constexpr std::size_t kFlags = 38;
inline constexpr std::size_t kFreeListNext = 40;
inline constexpr std::size_t kItlStart = 44;
inline constexpr std::size_t kItlSize = 24;
inline constexpr std::size_t kAssmExtra = 8;  // ASSM blocks keep 8 more bytes before the data header
inline constexpr std::uint8_t kKindData = 1;
inline constexpr std::uint8_t kKindIndex = 2;
inline constexpr std::uint8_t kFlagsFreeList = 0x02;
inline constexpr std::uint8_t kFlagsAssm = 0x32;
}  // namespace data_block

// ITL entry (24 bytes): transaction id (undo segment 2, slot 2, sequence 4),
// undo address (DBA 4, sequence 2, record 1, spare 1), flags and lock count
// (2 bytes: flag nibble in the top bits, locked rows in the low 12), SCN
// wrap or free space credit (2), SCN base (4).
namespace itl {
inline constexpr std::size_t kXidUsn = 0;
inline constexpr std::size_t kXidSlot = 2;
inline constexpr std::size_t kXidSequence = 4;
inline constexpr std::size_t kUbaDba = 8;
inline constexpr std::size_t kUbaSequence = 12;
inline constexpr std::size_t kUbaRecord = 14;
inline constexpr std::size_t kFlagsAndLocks = 16;
inline constexpr std::size_t kScnWrap = 18;
inline constexpr std::size_t kScnBase = 20;
inline constexpr std::uint16_t kFlagCommitted = 0x8000;
}  // namespace itl

// Table data header (kdbh), at H. Row offsets are relative to H.
//
// | off | size | field                                                 |
// |   0 |    1 | flags                                                 |
// |   1 |    1 | number of tables (a cluster: key table + members)     |
// |   2 |    2 | number of row directory entries                       |
// |   4 |    2 | first free row directory entry (0xFFFF: none)         |
// |   6 |    2 | start of free space                                   |
// |   8 |    2 | end of free space                                     |
// |  10 |    2 | available space                                       |
// |  12 |    2 | total available space after commit                    |
// |  14 | 4×t | table directory: first row index (2), row count (2)   |
// |     | 2×r | row directory: row offsets relative to H              |
namespace data_header {
inline constexpr std::size_t kFlags = 0;
inline constexpr std::size_t kTableCount = 1;
inline constexpr std::size_t kRowCount = 2;
inline constexpr std::size_t kFirstFreeRow = 4;
inline constexpr std::size_t kFreeSpaceBegin = 6;
inline constexpr std::size_t kFreeSpaceEnd = 8;
inline constexpr std::size_t kAvailableSpace = 10;
inline constexpr std::size_t kTotalSpace = 12;
inline constexpr std::size_t kTableDirectory = 14;
inline constexpr std::size_t kTableEntrySize = 4;
inline constexpr std::size_t kTableEntryFirstRow = 0;
inline constexpr std::size_t kTableEntryRowCount = 2;
inline constexpr std::size_t kRowEntrySize = 2;
inline constexpr std::uint16_t kNoOffset = 0xFFFF;
}  // namespace data_header

// Index block header (kdxco, then kdxle or kdxbr), at H = 44 + 24×n after
// the ITLs (52 + 24×n in ASSM blocks, as for table blocks). Row offsets are
// relative to H.
//
// | off | size | field                                                       |
// |   0 |    1 | level: 0 leaf, 1 and up branch                              |
// |   1 |    1 | lock                                                        |
// |   2 |    1 | flags (opcode): 0x80 normal index, 0x90 leaf of an         |
// |     |      | index-organized table, 0x97 one whose rows continue in an   |
// |     |      | overflow segment (0x99 also seen in IOT leaves)             |
// |   3 |    1 | number of key columns                                       |
// |   4 |    4 | sdc                                                         |
// |   8 |    2 | number of rows                                              |
// |  10 |    2 | start of free space (the end of the row directory)          |
// |  12 |    2 | end of free space (the lowest row)                          |
// |  14 |    2 | available space                                             |
// | leaf blocks (kdxle):                                                     |
// |  16 |    2 | rows after a split                                          |
// |  18 |    2 | deleted rows                                                |
// |  20 |    4 | next leaf block DBA (0: the last)                           |
// |  24 |    4 | previous leaf block DBA (0: the first)                      |
// |  28 |    1 | deleted space                                               |
// |  30 |    2 | usable bytes of the block                                   |
// | branch blocks (kdxbr):                                                   |
// |  16 |    4 | DBA of the leftmost child                                   |
// |  20 |    2 | rows after a split                                          |
// |  36 | 2×r | row directory (leaf and branch)                             |
//
// Leaf rows: flag (0x00; 0x02, 0x04, 0x06 variants), lock, then the key
// columns with their length bytes. A normal index adds the row's address:
// unique indexes as a 6-byte data part before the keys (length byte 6), the
// others as a last 6-byte key column (relative DBA 4 BE, slot 2 BE). A leaf
// row of an index-organized table continues after its key columns with the
// non-key columns as a row piece (flag 0x2C, lock, column count, columns), or
// 0x28 with the address of the rest of the row in the overflow segment
// between the column count and the columns that stay in the leaf. Branch
// rows: child DBA (4, BE) and the separator key columns.
namespace index_header {
inline constexpr std::size_t kLevel = 0;
inline constexpr std::size_t kLock = 1;
inline constexpr std::size_t kFlags = 2;
inline constexpr std::size_t kKeyColumns = 3;
inline constexpr std::size_t kSdc = 4;
inline constexpr std::size_t kRowCount = 8;
inline constexpr std::size_t kFreeSpaceBegin = 10;
inline constexpr std::size_t kFreeSpaceEnd = 12;
inline constexpr std::size_t kAvailableSpace = 14;
inline constexpr std::size_t kLeafSplitRows = 16;
inline constexpr std::size_t kLeafDeletedRows = 18;
inline constexpr std::size_t kLeafNext = 20;
inline constexpr std::size_t kLeafPrevious = 24;
inline constexpr std::size_t kLeafDeletedSpace = 28;
inline constexpr std::size_t kLeafUsableBytes = 30;
inline constexpr std::size_t kBranchLeftmostChild = 16;
inline constexpr std::size_t kBranchSplitRows = 20;
inline constexpr std::size_t kRowDirectory = 36;
inline constexpr std::size_t kRowEntrySize = 2;

inline constexpr std::uint8_t kFlagsNormal = 0x80;
inline constexpr std::uint8_t kFlagsIotLeaf = 0x90;
inline constexpr std::uint8_t kFlagsIotOverflowLeaf = 0x97;
inline constexpr std::uint8_t kFlagsIotLeafAlt = 0x99;

inline constexpr std::uint8_t kRowFlag = 0x00;            // a leaf row
inline constexpr std::size_t kRowHeaderSize = 2;          // flag, lock
inline constexpr std::size_t kRowidSize = 6;              // relative DBA (4, BE) and slot (2, BE)
inline constexpr std::size_t kBranchChildSize = 4;
}  // namespace index_header

// ---------------------------------------------------------------------------
// Row piece header. Flag bits:
//   0x80 K cluster key   0x40 C cluster member   0x20 H head piece
//   0x10 D deleted       0x08 F first piece      0x04 L last piece
//   0x02 P first column continues the previous piece's last column
//   0x01 N last column continues in the next piece
// A piece starts with flag, lock byte and column count. A first piece that is
// not the head (F without H: a migrated row) carries the 6-byte address of its
// head; a piece that is not the last (no L) carries the 6-byte address of the
// next piece (4-byte DBA and 2-byte slot, most significant byte first).
// Cluster key rows carry 16 more bytes (two 2-byte counters, two row
// addresses) and cluster member rows one byte: their key's position.
namespace row {
inline constexpr std::uint8_t kClusterKey = 0x80;
inline constexpr std::uint8_t kClusterMember = 0x40;
inline constexpr std::uint8_t kHead = 0x20;
inline constexpr std::uint8_t kDeleted = 0x10;
inline constexpr std::uint8_t kFirst = 0x08;
inline constexpr std::uint8_t kLast = 0x04;
inline constexpr std::uint8_t kContinuesPrevious = 0x02;
inline constexpr std::uint8_t kContinuesNext = 0x01;

inline constexpr std::uint8_t kComplete = 0x2C;       // H F L
inline constexpr std::uint8_t kMigrated = 0x0C;       // F L, head elsewhere
inline constexpr std::uint8_t kKeyRow = 0xAC;         // K H F L
inline constexpr std::uint8_t kMemberRow = 0x6C;      // C H F L
inline constexpr std::uint8_t kMigratedMember = 0x4C; // C F L

inline constexpr std::size_t kFlag = 0;
inline constexpr std::size_t kLock = 1;
inline constexpr std::size_t kColumnCount = 2;
inline constexpr std::size_t kHeaderSize = 3;
inline constexpr std::size_t kRowAddressSize = 6;     // DBA (4, BE) + slot (2, BE)
inline constexpr std::size_t kKeyRowHeaderSize = 19;  // 3 + 2 + 2 + 6 + 6
inline constexpr std::size_t kMemberKeyIndexSize = 1;

// Column length byte: 0..250 the length itself, 0xFF NULL (no bytes follow),
// 0xFE a 2-byte length follows, most significant byte first (251 bytes are
// written FE 00 FB).
inline constexpr std::uint8_t kNullLength = 0xFF;
inline constexpr std::uint8_t kLongLength = 0xFE;
inline constexpr std::size_t kMaxShortLength = 250;
}  // namespace row

// ---------------------------------------------------------------------------
// Stored column values (the bytes of one column, after the length byte).
//
// DATE (7 bytes), TIMESTAMP and TIMESTAMP WITH LOCAL TIME ZONE (7 bytes, or
// 11 when the fraction is not zero), TIMESTAMP WITH TIME ZONE (13 bytes):
// | off | size | field                                                       |
// |   0 |    1 | century + 100 (BC dates: below 100; 4712 BC is 53, 88)      |
// |   1 |    1 | year of the century + 100                                   |
// |   2 |    1 | month 1-12                                                  |
// |   3 |    1 | day 1-31                                                    |
// |   4 |    1 | hour + 1                                                    |
// |   5 |    1 | minute + 1                                                  |
// |   6 |    1 | second + 1                                                  |
// |   7 |    4 | fractional seconds in nanoseconds, BE                       |
// |  11 |    1 | time zone hour + 20, or a region id's high bits | 0x80      |
// |  12 |    1 | time zone minute + 60, or the region id's low bits          |
// TIMESTAMP WITH TIME ZONE stores the date and time in UTC.
namespace datetime_value {
inline constexpr std::size_t kCentury = 0;
inline constexpr std::size_t kYear = 1;
inline constexpr std::size_t kMonth = 2;
inline constexpr std::size_t kDay = 3;
inline constexpr std::size_t kHour = 4;
inline constexpr std::size_t kMinute = 5;
inline constexpr std::size_t kSecond = 6;
inline constexpr std::size_t kFraction = 7;
inline constexpr std::size_t kZoneHour = 11;
inline constexpr std::size_t kZoneMinute = 12;
inline constexpr std::size_t kDateSize = 7;
inline constexpr std::size_t kTimestampSize = 11;
inline constexpr std::size_t kTimestampTzSize = 13;
inline constexpr int kCenturyBias = 100;
inline constexpr int kYearBias = 100;
inline constexpr int kTimeBias = 1;  // hour, minute and second
inline constexpr int kZoneHourBias = 20;
inline constexpr int kZoneMinuteBias = 60;
inline constexpr std::uint8_t kZoneRegionFlag = 0x80;
}  // namespace datetime_value

// INTERVAL YEAR TO MONTH (5 bytes): years + 0x80000000 (4, BE), months + 60.
// INTERVAL DAY TO SECOND (11 bytes): days + 0x80000000 (4, BE), hours + 60,
// minutes + 60, seconds + 60, nanoseconds + 0x80000000 (4, BE). A negative
// interval negates every field.
namespace interval_value {
inline constexpr std::size_t kYears = 0;
inline constexpr std::size_t kMonths = 4;
inline constexpr std::size_t kYearMonthSize = 5;
inline constexpr std::size_t kDays = 0;
inline constexpr std::size_t kHours = 4;
inline constexpr std::size_t kMinutes = 5;
inline constexpr std::size_t kSeconds = 6;
inline constexpr std::size_t kNanoseconds = 7;
inline constexpr std::size_t kDaySecondSize = 11;
inline constexpr std::uint32_t kWideBias = 0x80000000u;
inline constexpr int kNarrowBias = 60;
}  // namespace interval_value

// ROWID (10 bytes): data object number (4, BE), relative file number (10 bits)
// and block number (22 bits) packed in 4 bytes BE, row number (2, BE).
// UROWID, physical (13 bytes): kind 1, data object number (4), relative
// file number (2), block number (4), row number (2), all BE.
namespace rowid_value {
inline constexpr std::size_t kObject = 0;
inline constexpr std::size_t kFileBlock = 4;
inline constexpr std::size_t kRow = 8;
inline constexpr std::size_t kSize = 10;
inline constexpr std::uint32_t kBlockBits = 22;
}  // namespace rowid_value
namespace urowid_value {
inline constexpr std::size_t kKind = 0;
inline constexpr std::size_t kObject = 1;
inline constexpr std::size_t kFile = 5;
inline constexpr std::size_t kBlock = 7;
inline constexpr std::size_t kRow = 11;
inline constexpr std::size_t kSize = 13;
inline constexpr std::uint8_t kPhysical = 1;
}  // namespace urowid_value

// BFILE locator: a header of which the reader uses nothing, the length of the
// directory alias in the low byte of a 16-bit BE field at 16, the alias, then
// the file name's length as a 16-bit BE field and the name. The reader takes
// the low byte of each length.
namespace bfile_value {
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kLengthSize = 2;
}  // namespace bfile_value

// BINARY_FLOAT (4 bytes) and BINARY_DOUBLE (8 bytes): the IEEE value stored
// big-endian with the sign bit flipped for positive values and all bits
// inverted for negative ones, so the bytes sort like the numbers.
namespace binary_float_value {
inline constexpr std::size_t kFloatSize = 4;
inline constexpr std::size_t kDoubleSize = 8;
}  // namespace binary_float_value

// NUMBER: exponent byte, then up to 20 base-100 digits (positive: digit + 1;
// negative: 101 - digit, then the terminator 102 when fewer than 20 digits).
// Zero is the single byte 0x80.
namespace number_value {
inline constexpr std::uint8_t kZero = 0x80;
inline constexpr std::uint8_t kPositiveUnit = 0xC0;  // exponent byte of values in [0.01, 1)
inline constexpr std::uint8_t kNegativeUnit = 0x3F;  // exponent byte of values in (-1, -0.01]
inline constexpr std::uint8_t kNegativeTerminator = 102;
inline constexpr std::size_t kMaxDigits = 20;
}  // namespace number_value

// ---------------------------------------------------------------------------
// Pickled image: the stored bytes of a VARRAY column kept in the row (or
// the data of the LOB that stores it), and of each object or collection
// inside it. As Oracle prints one (a VARRAY(5) OF VARCHAR2(30), 162 bytes):
//   88 01 a2 01 01 00 05 1e 41 41 ... 1e 42 42 ...
// | off | size | field                                                       |
// |   0 |    1 | flags: 0x80 an image (8.1 on), 0x08 a collection, 0x04 no   |
// |     |      | prefix segment                                              |
// |   1 |    1 | version (1)                                                 |
// |   2 |      | the image's whole length, as a length (below)               |
// |     |      | unless flag 0x04: the prefix segment's length (a length)    |
// |     |      | and its bytes (01 seen)                                     |
// |     |      | a collection: its flags (1 byte, 00 seen), then the number  |
// |     |      | of its elements (a length)                                  |
// |     |      | the elements of a collection, or the attributes of an       |
// |     |      | object in their order, each a value (below)                 |
// A length: one byte, or kWideLength and a longer big-endian length.
// A value: kNullValue (NULL), kAtomicNull (an object that is NULL as a
// whole), or a length and that many bytes: a scalar as a row's column
// holds it; an object or a collection, its own image (flags 0x84 for an
// object, 0x88 for a collection). Except: an object attribute of an object
// (not of a collection) is written in line, its attributes as values in
// turn with no length or header of its own, or as kAtomicNull alone; there
// kNullValue is its first attribute's NULL, never the object's.
// Oracle's client drivers read and write images this way, with 4-byte
// longer lengths; none over 253 bytes has been seen in print. A longer
// length is read in 4 bytes or in 2, whichever makes the image's length its
// own and makes the values end where the image ends; 4 first.
// Images an earlier layout of ours wrote, still read: a presence byte
// (0x01), the element count, the elements.
namespace varray_image {
inline constexpr std::size_t kFlags = 0;
inline constexpr std::uint8_t kImageFlag = 0x80;       // set in the flags of every image
inline constexpr std::uint8_t kCollectionFlag = 0x08;
inline constexpr std::uint8_t kNoPrefixFlag = 0x04;
inline constexpr std::uint8_t kPrintedFlags = 0x88;    // a collection, as Oracle printed it
inline constexpr std::uint8_t kObjectFlags = 0x84;     // an object inside a collection
inline constexpr std::size_t kVersion = 1;
inline constexpr std::uint8_t kVersionOne = 0x01;
inline constexpr std::size_t kLength = 2;
inline constexpr std::uint8_t kWideLength = 0xFE;      // a longer big-endian length follows
inline constexpr std::uint8_t kNullValue = 0xFF;
inline constexpr std::uint8_t kAtomicNull = 0xFD;
inline constexpr std::size_t kMaxShortLength = 245;    // the longest length written in one byte
inline constexpr std::size_t kLongerLengthSizes[] = {4, 2};  // tried in this order
inline constexpr std::uint8_t kPrefix = 0x01;          // the prefix segment's byte, as printed
inline constexpr std::uint8_t kCollectionFlags = 0x00;  // a collection's flags, as printed
// The earlier layout.
inline constexpr std::uint8_t kPresence = 0x01;
}  // namespace varray_image

// ---------------------------------------------------------------------------
// LOB locator: the stored bytes of a CLOB, NCLOB or BLOB column. Integers
// are big-endian on every platform.
//
// | off | size | field                                                       |
// |   0 |    2 | length word, 0x0054 whatever the stored length              |
// |   2 |    2 | locator version (1)                                         |
// |   4 |    4 | flags: byte 4 the type (0x01 BLOB, 0x02 CLOB), byte 5 bit   |
// |     |      | 0x04 ENABLE STORAGE IN ROW                                  |
// |   8 |    2 | byte length: 1, or 2 for a CLOB kept in UCS2                |
// |  10 |   10 | LOB identifier; the LOB's pages in the LOB segment carry it |
// |     |      | whole (lob_page::kLobId)                                    |
// |  20 |    2 | inode size: the stored length less 20                       |
// |  22 |    1 | inode flag: 0x01 valid, 0x08 the data are in the row        |
// |  23 |    1 | future (0)                                                  |
// |  24 |    4 | blocks of an out-of-line LOB (0 in the row)                 |
// |  28 |    2 | bytes in the last block (in the row: bytes of data)         |
// |  30 |    6 | LOB version: 2-byte wrap, 4-byte base; 1 until the first    |
// |     |      | update, every update raises it                              |
// |  36 |      | in the row: the data; out of line with storage in row: the  |
// |     |      | DBAs of the first (up to 12) chunks, 4 bytes each           |
//
// A locator of exactly 20 bytes (DISABLE STORAGE IN ROW) has no inode: its
// data are always out of line.
namespace lob_locator {
inline constexpr std::size_t kLength = 0;
inline constexpr std::uint16_t kLengthWord = 0x0054;
inline constexpr std::size_t kLocatorVersion = 2;
inline constexpr std::size_t kFlags = 4;
inline constexpr std::size_t kTypeFlag = 4;
inline constexpr std::uint8_t kTypeBlob = 0x01;
inline constexpr std::uint8_t kTypeClob = 0x02;
inline constexpr std::size_t kStorageFlag = 5;
inline constexpr std::uint8_t kStorageInRowBit = 0x04;
inline constexpr std::uint8_t kStorageInitBit = 0x08;  // set in every locator Oracle printed
inline constexpr std::size_t kByteLength = 8;
inline constexpr std::uint16_t kByteLengthUcs2 = 2;
inline constexpr std::size_t kLobId = 10;
inline constexpr std::size_t kLobIdSize = 10;
inline constexpr std::size_t kPageKey = 16;       // the identifier's last 4 bytes (shown as a short key)
inline constexpr std::size_t kPageKeySize = 4;
inline constexpr std::size_t kHeadSize = 20;      // a locator without an inode
inline constexpr std::size_t kInodeSize = 20;
inline constexpr std::size_t kInodeFlag = 22;
inline constexpr std::uint8_t kInodeValid = 0x01;
inline constexpr std::uint8_t kInodeDataInRow = 0x08;
inline constexpr std::uint8_t kInodeOutOfLineBit = 0x04;  // set (0x05) in the out-of-line locator Oracle printed
inline constexpr std::size_t kBlocks = 24;
inline constexpr std::size_t kLastBlockBytes = 28;
inline constexpr std::size_t kVersionWrap = 30;
inline constexpr std::size_t kVersionBase = 32;
inline constexpr std::size_t kInRowData = 36;
inline constexpr std::size_t kChunkDbas = 36;
inline constexpr std::size_t kMaxChunkDbas = 12;
inline constexpr std::size_t kChunkDbaSize = 4;
}  // namespace lob_locator

// LOB data block (a page of an out-of-line LOB; type 0x1B or 0x28). A chunk
// of several blocks keeps one page number on each of its blocks, which lie
// one after the other in an extent. An update writes the page again with a
// higher version; the old copy stays until its space is reused. Pages are
// told apart by the whole 10-byte LOB identifier, stored as the locator
// stores it (offset 10 of the locator): LOBs whose identifiers share some
// of their bytes (every identifier of a database begins alike) are still
// different LOBs.
//
// | off | size | field                                                       |
// |  20 |    4 | data object number of the LOB segment                       |
// |  24 |   10 | LOB identifier, its bytes as the locator stores them        |
// |  36 |    4 | version of the page                                         |
// |  44 |    4 | page number (chunk number)                                  |
// |  56 |      | data, up to 4 bytes before the end of the block             |
namespace lob_page {
inline constexpr std::uint8_t kType = 0x1B;
inline constexpr std::uint8_t kTypeAssm = 0x28;
inline constexpr std::size_t kObjectNumber = 20;
inline constexpr std::size_t kLobId = 24;
inline constexpr std::size_t kLobIdSize = 10;  // as lob_locator::kLobIdSize
inline constexpr std::size_t kVersion = 36;
inline constexpr std::size_t kPageNumber = 44;
inline constexpr std::size_t kData = 56;
inline constexpr std::size_t kOverhead = 60;  // a full page holds block size - 60 bytes
}  // namespace lob_page

}  // namespace quillon::format
