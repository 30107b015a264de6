#include "reader/bytes.h"

namespace quillon {

std::string ToHex(ByteView bytes) {
  std::string out;
  AppendHex(bytes, out);
  return out;
}

void AppendHex(ByteView bytes, std::string& out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out.reserve(out.size() + bytes.size() * 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes.data()[i];
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
  }
}

}  // namespace quillon
