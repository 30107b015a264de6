// The object numbers of the dictionary in the databases the generator
// writes, per release: the data object numbers of the dictionary segments
// (the numbers a freshly created database of each release gives them, and
// the alternative 11g Release 2 numbering), the XML repository tables of
// SYSAUX, the bootstrap objects, and the numbers the generator gives the
// dictionary objects that have none of their own in those tables.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillon::testdb {

// Which column of the number tables a database uses: the release code (8 and
// 9 share one) and, for 11g Release 2, the numbering.
struct Numbering {
  int release_code = 18;     // 8, 9, 16, 17, 18
  bool alternative = false;  // 11g Release 2 with the alternative numbers (layout variant 19)
};

// A dictionary segment of the SYSTEM tablespace that the reader finds by its
// data object number, in the order of the release table.
struct SystemSegmentNumbers {
  std::string_view name;  // the table or cluster stored in it
  std::uint32_t release9, release16, release17, release18;
  std::uint32_t alternative;  // 0: the same as release18
  bool last_scanned;          // the segment the SYSTEM scan of the standard numbering stops at
};
std::span<const SystemSegmentNumbers> SystemSegmentTable();
std::uint32_t SegmentNumber(const SystemSegmentNumbers& segment, const Numbering& numbering);

// The XML DB repository tables (SYSAUX; the XDB tablespace in 9i).
struct XmlTableNumbers {
  int kind;               // 37 .. 44
  std::string_view name;  // the XDB table
  std::uint32_t release9, release16, release17, release18, alternative;
};
std::span<const XmlTableNumbers> XmlTableTable();
std::uint32_t XmlTableNumber(const XmlTableNumbers& table, const Numbering& numbering);

// The object number of a SYS dictionary object in a release: the bootstrap
// objects' fixed numbers, the segment numbers above, else a number of the
// generator's own that none of the others uses. std::nullopt for a name the
// generator does not write.
std::optional<std::uint32_t> SysObjectNumber(std::string_view name, const Numbering& numbering);

// The first object number of the objects of the application schemas.
inline constexpr std::uint32_t kFirstUserObject = 74001;

}  // namespace quillon::testdb
