// Feeds arbitrary bytes to the column value decoder under every type code,
// both modes and every character set. Nothing may read outside the value,
// crash or hang, and every value text must be well-formed UTF-8.
//
// Input: byte 0 picks the type (a known one, or any packed code taken from
// the next four bytes), byte 1 holds the flags (mode, NULL, joined, national,
// nested-table name), byte 2 picks the database character set; the rest is
// the stored value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "reader/charset.h"
#include "reader/packed_codes.h"
#include "reader/split_value.h"
#include "reader/unicode.h"
#include "reader/value_decode.h"

using namespace quillon;

namespace {

DecodeContext& ContextFor(std::size_t charset_index) {
  static std::vector<std::unique_ptr<DecodeContext>> contexts(KnownCharsets().size());
  auto& slot = contexts[charset_index];
  if (!slot) slot = std::make_unique<DecodeContext>(KnownCharsets()[charset_index]);
  return *slot;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const auto types = KnownValueTypes();
  const std::uint8_t selector = data[0];
  const std::uint8_t flags = data[1];
  const std::size_t charset_index = data[2] % KnownCharsets().size();
  ByteView value(data + 3, size - 3);

  std::uint32_t code = 0;
  if (selector < 2 * types.size()) {
    code = types[selector % types.size()].code;
  } else {
    code = PackNumberBytes(value);  // anything, including codes no type has
  }
  const ColumnDescriptor column{code, (flags & 0x08) ? kNationalCharsetCode : PackNumberBytes(value.From(4)),
                                (flags & 0x10) ? "NESTED_TABLE_ID" : "C"};
  const DecodeMode mode = (flags & 0x01) ? ((flags & 0x40) ? DecodeMode::kData : DecodeMode::kRepair)
                                         : DecodeMode::kBrowse;
  StoredValue stored{value, (flags & 0x02) != 0, (flags & 0x04) != 0};

  // Split the value in two row pieces and join it again.
  SplitValue split;
  if (flags & 0x20) {
    const std::size_t half = value.size() / 2;
    split.Hold(ByteView(value.data(), half));
    stored = split.Finish(value.From(half));
    Check(stored.bytes.size() == value.size());
  }

  DecodeContext& context = ContextFor(charset_index);
  const DecodedValue decoded = DecodeColumnValue(column, stored, mode, context);
  Check(IsValidUtf8(decoded.text));
  // A data-mode number is a JSON number as it is written.
  if (decoded.form == TextForm::kNumber) {
    Check(!decoded.text.empty() && decoded.text.size() <= 64);
    for (const char c : decoded.text) {
      Check((c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'E' || c == 'e' || c == '+');
    }
  }
  Check(IsValidUtf8(BrowseCellText(decoded.text)));
  Check(IsValidUtf8(context.nested_table_id));
  if (decoded.kind != ValueKind::kText) Check(decoded.bytes.size() == stored.bytes.size());
  return 0;
}
