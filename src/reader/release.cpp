#include "reader/release.h"

#include <array>
#include <span>

#include "reader/format.h"

namespace quillon {

namespace {

struct ReleaseRow {
  HeaderFormat format;
  std::uint16_t value;
  int code;
  const char* text;
};

// Header value to release. A modern header with an unlisted compatibility
// code is taken as 10g without a name; a legacy header with another major
// release as 9i without a name.
constexpr std::array<ReleaseRow, 5> kReleaseTable{{
    {HeaderFormat::kModern, 0x0B20, kRelease11gR2, "11g Release 2"},
    {HeaderFormat::kModern, 0x0B10, kRelease11gR1, "11g Release 1"},
    {HeaderFormat::kModern, 0x0A20, kRelease10g, "10g "},
    {HeaderFormat::kLegacy, 8, kRelease8i, "8i"},
    {HeaderFormat::kLegacy, 9, kRelease9i, "9i"},
}};

constexpr std::array<ReleaseName, 6> kReleaseNames{{
    {"8i", HeaderFormat::kLegacy, 8},
    {"9i", HeaderFormat::kLegacy, 9},
    {"10.1", HeaderFormat::kModern, 0x0A10},
    {"10.2", HeaderFormat::kModern, 0x0A20},
    {"11.1", HeaderFormat::kModern, 0x0B10},
    {"11.2", HeaderFormat::kModern, 0x0B20},
}};

}  // namespace

HeaderFormat ClassifyHeaderFormat(std::uint8_t format_byte) {
  namespace hf = format::header_format;
  switch (format_byte) {
    case hf::kLegacy:
      return HeaderFormat::kLegacy;
    case hf::k2K:
    case hf::k4K:
    case hf::k8K:
    case hf::k16K:
    case hf::k32K:
      return HeaderFormat::kModern;
    default:
      return HeaderFormat::kUnknown;
  }
}

std::uint8_t ModernFormatByte(std::uint32_t block_size) {
  namespace hf = format::header_format;
  switch (block_size) {
    case 2048: return hf::k2K;
    case 4096: return hf::k4K;
    case 16384: return hf::k16K;
    case 32768: return hf::k32K;
    default: return hf::k8K;
  }
}

Release ReleaseFromHeader(HeaderFormat format, std::uint16_t value) {
  for (const auto& row : kReleaseTable) {
    if (row.format == format && row.value == value) return {row.code, row.text};
  }
  switch (format) {
    case HeaderFormat::kModern: return {kRelease10g, ""};
    case HeaderFormat::kLegacy: return {kRelease9i, ""};
    default: return {};
  }
}

std::optional<ReleaseName> FindReleaseName(std::string_view name) {
  for (const auto& r : kReleaseNames) {
    if (r.name == name) return r;
  }
  return std::nullopt;
}

std::span<const ReleaseName> ReleaseNames() { return kReleaseNames; }

}  // namespace quillon
