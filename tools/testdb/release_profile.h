// What the generator writes differently per Oracle release, in one table:
// header format and versions, block checksums, where the first extent of a
// datafile may start, and which tablespaces a fresh database has.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "reader/release.h"

namespace quillon::testdb {

struct ReleaseProfile {
  std::string_view name;                 // "8i", "9i", "10.1", "10.2", "11.1", "11.2"
  HeaderFormat format;
  std::uint16_t header_value;            // compatibility code (modern) or major release (legacy)
  std::uint32_t software_version;        // kccfhswv, e.g. 0x0A200100 for 10.2.0.1.0
  bool checksum_every_block;             // 9i and later; 8i checksums only SYSTEM
  std::uint32_t first_data_block;        // after the file space header and bitmap blocks
  bool has_sysaux;                       // SYSAUX exists from 10g on
  std::uint32_t control_file_block_size; // 0: the database block size
};

std::optional<ReleaseProfile> FindReleaseProfile(std::string_view name);
std::span<const ReleaseProfile> ReleaseProfiles();

// The format byte of a datafile's blocks (block 0 included): 0x02 for 8i and
// 9i, the block-size byte (0x62 .. 0xE2) from 10g on.
std::uint8_t BlockFormatByte(const ReleaseProfile& release, std::uint32_t block_size);
// The format byte of 512-byte redo log blocks (0x22 from 10g on).
std::uint8_t RedoFormatByte(const ReleaseProfile& release);

}  // namespace quillon::testdb
