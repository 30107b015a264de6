// COL$.PROPERTY bits the generator writes.
#pragma once

#include <cstdint>

namespace quillon::testdb::column_property {

inline constexpr std::uint64_t kAdtAttribute = 0x0001;     // an attribute of an object column
inline constexpr std::uint64_t kOidColumn = 0x0002;        // the object identifier of an object table
inline constexpr std::uint64_t kVirtualBit = 0x0008;       // virtual (no storage of its own)
inline constexpr std::uint64_t kHidden = 0x0020;
inline constexpr std::uint64_t kStoredInLob = 0x0080;
inline constexpr std::uint64_t kSystemGenerated = 0x0100;
inline constexpr std::uint64_t kRowInfo = 0x0200;          // SYS_NC_ROWINFO$ of an object table
inline constexpr std::uint64_t kVirtualColumn = 0x10000;   // a virtual column (11g)
inline constexpr std::uint64_t kCharSemantics = 0x800000;  // VARCHAR2 / CHAR length counted in characters

}  // namespace quillon::testdb::column_property
