#include "reader/value_bfile.h"

#include <algorithm>

#include "reader/format.h"

namespace quillon {

namespace {

namespace bfile = format::bfile_value;

// One name: its length in the low byte of a 16-bit field at offset, the
// bytes after it (cut at the end of the locator). Returns the offset after
// it; complete stays true only when the whole name was there.
std::size_t AppendName(ByteView bytes, std::size_t offset, const CharsetDecoder& charset, std::string& out,
                       bool& complete) {
  const auto length = bytes.U8(offset + bfile::kLengthSize - 1);
  if (!length) {
    complete = false;
    return bytes.size();
  }
  const std::size_t start = offset + bfile::kLengthSize;
  const std::size_t available = std::min<std::size_t>(*length, bytes.size() - std::min(start, bytes.size()));
  if (available < *length) complete = false;
  charset.AppendUtf8(bytes.Sub(start, available).value_or(ByteView()), out);
  return start + available;
}

}  // namespace

BfileNames ReadBfileNames(ByteView bytes, const CharsetDecoder& charset) {
  BfileNames names;
  names.complete = true;
  const std::size_t after_directory = AppendName(bytes, bfile::kHeaderSize, charset, names.directory, names.complete);
  AppendName(bytes, after_directory, charset, names.file, names.complete);
  return names;
}

std::string BfileToText(ByteView bytes, const CharsetDecoder& charset) {
  BfileNames names = ReadBfileNames(bytes, charset);
  return names.directory + "','" + names.file;
}

}  // namespace quillon
