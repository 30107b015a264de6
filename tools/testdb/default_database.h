// The small default database the quillon-testdb program writes: heap and
// cluster segments in both space managements (SYSTEM free-list, USERS and
// SYSAUX automatic), rows of every placement (normal, NULLs, long values,
// migrated, chained, deleted, free slots), segments whose extent maps go on
// in extent map blocks, a read-only datafile, and the decoy files.
#pragma once

#include <cstdint>
#include <string>

#include "testdb/model.h"

namespace quillon::testdb {

// Data object numbers of the default database's segments.
namespace default_db {
inline constexpr std::uint32_t kSystemHeap = 5001;     // free-list heap in SYSTEM
inline constexpr std::uint32_t kSystemCluster = 5002;  // free-list cluster in SYSTEM, 2 member tables
inline constexpr std::uint32_t kUsersHeap = 5101;      // ASSM heap in USERS, every placement
inline constexpr std::uint32_t kUsersMaps = 5102;      // ASSM heap with extent map blocks
inline constexpr std::uint32_t kUsersCluster = 5103;   // ASSM cluster, 3 member tables
inline constexpr std::uint32_t kUsersFreeList = 5104;  // free-list heap with extent map blocks
inline constexpr std::uint32_t kSysauxHeap = 5201;     // ASSM heap in SYSAUX (10g on)
inline constexpr std::uint32_t kReadOnlyHeap = 5301;   // heap in the read-only datafile
}  // namespace default_db

DatabaseModel DefaultDatabaseModel(const std::string& release, std::uint32_t block_size, std::uint64_t seed);

// The stored bytes of a non-negative integer as an Oracle NUMBER (C1 02 for 1,
// 80 for 0), for content that needs plausible numbers.
Bytes SmallNumber(std::uint64_t value);
Bytes Text(std::string_view text);

}  // namespace quillon::testdb
