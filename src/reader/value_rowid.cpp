#include "reader/value_rowid.h"

#include <cstdint>

#include "reader/format.h"

namespace quillon {

namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendHex(std::string& out, std::uint32_t v, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kHex[(v >> shift) & 0xF]);
}

std::string AddressText(std::uint32_t block, std::uint32_t row, std::uint32_t file) {
  std::string out;
  out.reserve(18);
  AppendHex(out, block, 8);
  out += '.';
  AppendHex(out, row, 4);
  out += '.';
  AppendHex(out, file, 4);
  return out;
}

}  // namespace

std::string RowidToText(ByteView bytes) {
  namespace r = format::rowid_value;
  if (bytes.size() < r::kSize) return {};
  const std::uint32_t file_block = *bytes.U32BE(r::kFileBlock);
  const std::uint32_t row = *bytes.U16BE(r::kRow);
  return AddressText(file_block & ((1u << r::kBlockBits) - 1), row, file_block >> r::kBlockBits);
}

std::string UrowidToText(ByteView bytes) {
  namespace u = format::urowid_value;
  if (bytes.size() < u::kSize) return {};
  return AddressText(*bytes.U32BE(u::kBlock), *bytes.U16BE(u::kRow), *bytes.U16BE(u::kFile));
}

}  // namespace quillon
