// quillon decode TYPE HEX [--charset NAME] [--national] [--mode browse|repair|data]
//
// Decodes one stored column value and prints its value text on one line.
#include <ostream>
#include <vector>

#include "cli/cli.h"
#include "reader/charset.h"
#include "reader/packed_codes.h"
#include "reader/value_decode.h"

namespace quillon::cli {

namespace {

DecodeMode ModeOption(const Args& args) {
  const auto mode = args.Value("--mode").value_or("browse");
  if (mode == "browse") return DecodeMode::kBrowse;
  if (mode == "repair") return DecodeMode::kRepair;
  if (mode == "data") return DecodeMode::kData;
  throw UsageError{"--mode must be browse, repair or data"};
}

}  // namespace

int RunDecode(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--national"}, {"--charset", "--mode"});
  args.ExpectPositionals(2, 2);
  const std::uint64_t type = ParseNumber(args.Positional(0, "TYPE"), "TYPE");
  if (type > 0xFFFF) throw UsageError{"TYPE: not an Oracle type number"};
  const std::string& hex = args.Positional(1, "HEX");
  const bool is_null = hex == "null" || hex == "NULL";
  const std::vector<std::uint8_t> bytes = is_null ? std::vector<std::uint8_t>{} : ParseHex(hex);

  DecodeContext context(CharsetOption(args));
  const ColumnDescriptor column{PackedCode(static_cast<std::uint32_t>(type)),
                                args.Has("--national") ? kNationalCharsetCode : 0, "VALUE"};
  const DecodedValue value = DecodeColumnValue(column, StoredValue{ByteView(bytes.data(), bytes.size()), is_null},
                                               ModeOption(args), context);
  switch (value.kind) {
    case ValueKind::kText:
      io.out << value.text << "\n";
      break;
    case ValueKind::kSpill:
      io.out << "(" << value.bytes.size() << " bytes for the spill file)\n";
      break;
    case ValueKind::kStructured:
      io.out << "(" << value.bytes.size() << " bytes for the INSERT builder)\n";
      break;
  }
  if (value.malformed) io.err << "warning: Oracle never stores this type with " << bytes.size() << " bytes\n";
  return kExitOk;
}

}  // namespace quillon::cli
