// Byte buffers from hexadecimal text in tests ("c1 02", "C102").
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "reader/bytes.h"

namespace quillon::test {

inline std::vector<std::uint8_t> FromHex(std::string_view hex) {
  std::vector<std::uint8_t> out;
  int high = -1;
  for (const char c : hex) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  return out;
}

inline ByteView View(const std::vector<std::uint8_t>& bytes) { return ByteView(bytes.data(), bytes.size()); }

}  // namespace quillon::test
