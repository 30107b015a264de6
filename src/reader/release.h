// Oracle releases as the reader tells them apart, and the table that maps a
// file header to a release.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

// The two file header formats. 10g and later keep the block size in the top
// three bits of the format byte (0x62, 0x82, 0xA2, 0xC2, 0xE2); all of them
// share one layout.
enum class HeaderFormat : std::uint8_t { kUnknown, kLegacy, kModern };

HeaderFormat ClassifyHeaderFormat(std::uint8_t format_byte);
// The format byte Oracle writes for a block size (10g and later).
std::uint8_t ModernFormatByte(std::uint32_t block_size);

// Release codes used by every release-dependent table of the reader.
enum ReleaseCode : int {
  kRelease8i = 8,
  kRelease9i = 9,
  kRelease10g = 16,
  kRelease11gR1 = 17,
  kRelease11gR2 = 18,
};

struct Release {
  int code = 0;            // 0 while nothing was identified
  std::string text;        // "10g " keeps its trailing blank
};

// The release that a header value stands for: the compatibility code of a
// modern header, the major release byte of a legacy one.
Release ReleaseFromHeader(HeaderFormat format, std::uint16_t value);

// Release names accepted on command lines ("8i", "9i", "10.1", "10.2",
// "11.1", "11.2") with the header values that stand for them.
struct ReleaseName {
  std::string_view name;
  HeaderFormat format;
  std::uint16_t header_value;  // compatibility code or major release
};
std::optional<ReleaseName> FindReleaseName(std::string_view name);
std::span<const ReleaseName> ReleaseNames();

}  // namespace quillon
