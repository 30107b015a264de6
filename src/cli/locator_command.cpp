// quillon locator HEX [--json] [--charset NAME]
//
// What the reader makes of one stored LOB locator: its type, whether the
// data are in the row and how that was decided, the identifier, the inode
// (size, flag, block and byte counts), the LOB's version, the chunk DBAs of
// an out-of-line LOB and the in-row data (text for character LOBs, in UCS2
// or the character set given, hexadecimal otherwise).
#include <cstdio>
#include <ostream>
#include <vector>

#include "cli/hex_text.h"
#include "cli/cli.h"
#include "reader/bytes.h"
#include "reader/charset.h"
#include "reader/format.h"
#include "reader/json_writer.h"
#include "reader/lob_reader.h"
#include "reader/unicode.h"

namespace quillon::cli {

namespace {

namespace loc = format::lob_locator;

const char* TypeName(const LobLocator& l) { return l.IsClob() ? "CLOB" : l.IsBlob() ? "BLOB" : "unknown"; }

const char* RuleName(LobInRowRule rule) {
  switch (rule) {
    case LobInRowRule::kNoInode: return "no inode";
    case LobInRowRule::kInodeFlag: return "inode flag";
    case LobInRowRule::kOldWords: return "version and block words (inode flag not valid)";
  }
  return "";
}

std::string LobId(const LobLocator& l) {
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < l.lob_id.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", l.lob_id[i]);
    if (i) out += '.';
    out += buf;
  }
  return out;
}

std::string Version(const LobLocator& l) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%05u.%010u", static_cast<unsigned>(l.version_wrap),
                static_cast<unsigned>(l.version_base));
  return buf;
}

std::string InodeFlagNames(std::uint8_t flag) {
  std::string out = "[";
  if (flag & loc::kInodeValid) out += " Valid";
  if (flag & loc::kInodeDataInRow) out += " DataInRow";
  return out + " ]";
}

// The in-row data as text when the LOB holds characters.
std::optional<std::string> DataText(const LobLocator& l, const CharsetInfo& charset) {
  if (!l.in_row || !l.IsClob()) return std::nullopt;
  std::string text;
  if (l.byte_length == loc::kByteLengthUcs2) {
    AppendFromUtf16BE(l.data, text);
  } else {
    CharsetDecoder(charset).AppendUtf8(l.data, text);
  }
  return text;
}

std::string DbaText(std::uint32_t dba) {
  return Hex(dba, 8) + " (file " + std::to_string(format::DbaFile(dba)) + ", block " +
         std::to_string(format::DbaBlock(dba)) + ")";
}

void PrintJson(const LobLocator& l, const std::optional<std::string>& text, std::ostream& out) {
  JsonWriter j;
  j.BeginObject();
  j.Member("size", static_cast<unsigned long>(l.size));
  j.Member("length_word", static_cast<unsigned>(l.length_word));
  j.Member("locator_version", static_cast<unsigned>(l.locator_version));
  j.Member("type", TypeName(l));
  j.Key("flags").BeginArray();
  for (const auto f : l.flags) j.UInt(f);
  j.EndArray();
  j.Member("storage_in_row", l.StorageInRowEnabled());
  j.Member("byte_length", static_cast<unsigned>(l.byte_length));
  j.Member("lob_id", LobId(l));
  if (l.has_inode) {
    j.Key("inode").BeginObject();
    j.Member("size", static_cast<unsigned>(l.inode_size));
    j.Member("flag", static_cast<unsigned>(l.inode_flag));
    j.Member("valid", (l.inode_flag & loc::kInodeValid) != 0);
    j.Member("data_in_row", (l.inode_flag & loc::kInodeDataInRow) != 0);
    j.Member("blocks", static_cast<unsigned long>(l.blocks));
    j.Member("bytes", static_cast<unsigned>(l.last_block_bytes));
    j.EndObject();
    j.Key("version").BeginObject();
    j.Member("wrap", static_cast<unsigned>(l.version_wrap));
    j.Member("base", static_cast<unsigned long>(l.version_base));
    j.EndObject();
  }
  j.Member("in_row", l.in_row);
  j.Member("decided_by", RuleName(l.rule));
  if (!l.in_row) {
    j.Key("chunk_dbas").BeginArray();
    for (const auto dba : l.chunk_dbas) j.UInt(dba);
    j.EndArray();
  } else if (text) {
    j.Member("data_text", *text);
  } else {
    j.Member("data_hex", ToHex(l.data));
  }
  j.EndObject();
  out << j.str() << "\n";
}

void PrintText(const LobLocator& l, const std::optional<std::string>& text, std::ostream& out) {
  char flags[32];
  std::snprintf(flags, sizeof flags, "0x%02x 0x%02x 0x%02x 0x%02x", l.flags[0], l.flags[1], l.flags[2], l.flags[3]);
  out << "length        : " << l.size << " bytes (length word " << Hex(l.length_word, 4) << ")\n";
  out << "version       : " << l.locator_version << " (locator)\n";
  out << "type          : " << TypeName(l) << "\n";
  out << "flags         : " << flags << (l.StorageInRowEnabled() ? " [ Enable Storage in Row ]" : "") << "\n";
  out << "byte length   : " << l.byte_length << "\n";
  out << "LOB id        : " << LobId(l) << "\n";
  if (l.has_inode) {
    char flag[8];
    std::snprintf(flag, sizeof flag, "0x%02x", l.inode_flag);
    out << "inode size    : " << l.inode_size << "\n";
    out << "inode flag    : " << flag << " " << InodeFlagNames(l.inode_flag) << "\n";
    out << "blocks        : " << l.blocks << "\n";
    out << "bytes         : " << l.last_block_bytes << "\n";
    out << "LOB version   : " << Version(l) << "\n";
  } else {
    out << "inode         : none\n";
  }
  out << "in row        : " << (l.in_row ? "yes" : "no") << " (" << RuleName(l.rule) << ")\n";
  if (l.in_row) {
    out << "data          : " << (text ? *text : ToHex(l.data)) << "\n";
    return;
  }
  out << "chunk DBAs    : " << l.chunk_dbas.size() << "\n";
  for (std::size_t i = 0; i < l.chunk_dbas.size(); ++i) {
    out << "  chunk " << i << ": " << DbaText(l.chunk_dbas[i]) << "\n";
  }
}

}  // namespace

int RunLocator(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--json"}, {"--charset"});
  args.ExpectPositionals(1, 1);
  const std::vector<std::uint8_t> bytes = ParseHex(args.Positional(0, "HEX"));
  const auto locator = ParseLobLocator(ByteView(bytes.data(), bytes.size()));
  if (!locator) {
    throw Failure{"not a LOB locator: " + std::to_string(bytes.size()) + " bytes, at least " +
                  std::to_string(loc::kHeadSize) + " needed"};
  }
  const auto text = DataText(*locator, CharsetOption(args));
  if (args.Has("--json")) {
    PrintJson(*locator, text, io.out);
  } else {
    PrintText(*locator, text, io.out);
  }
  return kExitOk;
}

}  // namespace quillon::cli
