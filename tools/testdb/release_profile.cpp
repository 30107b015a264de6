#include "testdb/release_profile.h"

#include <array>

#include "reader/format.h"

namespace quillon::testdb {

namespace {

// Locally managed files keep blocks 2 to 8 for the file space header (0x1D)
// and bitmap (0x1E) blocks; an 8i SYSTEM file is dictionary managed and
// starts its first extent at block 2. DB_BLOCK_CHECKSUM is on by default
// from 9i (9.0.1) on; 8i checksums the SYSTEM tablespace only.
constexpr std::array<ReleaseProfile, 6> kProfiles{{
    {"8i", HeaderFormat::kLegacy, 8, 0x08170400, false, 2, false, 0},
    {"9i", HeaderFormat::kLegacy, 9, 0x09200100, true, 9, false, 0},
    {"10.1", HeaderFormat::kModern, 0x0A10, 0x0A100200, true, 9, true, 16384},
    {"10.2", HeaderFormat::kModern, 0x0A20, 0x0A200100, true, 9, true, 16384},
    {"11.1", HeaderFormat::kModern, 0x0B10, 0x0B100600, true, 9, true, 16384},
    {"11.2", HeaderFormat::kModern, 0x0B20, 0x0B200200, true, 9, true, 16384},
}};

}  // namespace

std::optional<ReleaseProfile> FindReleaseProfile(std::string_view name) {
  for (const auto& p : kProfiles) {
    if (p.name == name) return p;
  }
  return std::nullopt;
}

std::span<const ReleaseProfile> ReleaseProfiles() { return kProfiles; }

std::uint8_t BlockFormatByte(const ReleaseProfile& release, std::uint32_t block_size) {
  return release.format == HeaderFormat::kLegacy ? format::header_format::kLegacy : ModernFormatByte(block_size);
}

std::uint8_t RedoFormatByte(const ReleaseProfile& release) {
  // The top three bits hold log2(block size) - 8: 1 for 512-byte blocks.
  return release.format == HeaderFormat::kLegacy ? format::header_format::kLegacy : 0x22;
}

}  // namespace quillon::testdb
