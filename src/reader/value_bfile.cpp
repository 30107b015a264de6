#include "reader/value_bfile.h"

#include <algorithm>

#include "reader/format.h"

namespace quillon {

namespace {

namespace bfile = format::bfile_value;

// One name: its length in the low byte of a 16-bit field at offset, the
// bytes after it (cut at the end of the locator). Returns the offset after it.
std::size_t AppendName(ByteView bytes, std::size_t offset, const CharsetDecoder& charset, std::string& out) {
  const auto length = bytes.U8(offset + bfile::kLengthSize - 1);
  if (!length) return bytes.size();
  const std::size_t start = offset + bfile::kLengthSize;
  const std::size_t available = std::min<std::size_t>(*length, bytes.size() - std::min(start, bytes.size()));
  charset.AppendUtf8(bytes.Sub(start, available).value_or(ByteView()), out);
  return start + available;
}

}  // namespace

std::string BfileToText(ByteView bytes, const CharsetDecoder& charset) {
  std::string out;
  const std::size_t after_directory = AppendName(bytes, bfile::kHeaderSize, charset, out);
  out += "','";
  AppendName(bytes, after_directory, charset, out);
  return out;
}

}  // namespace quillon
