#include "reader/datafile.h"

#include <algorithm>
#include <vector>

#include "reader/file.h"

namespace quillon {

namespace fh = format::file_header;

std::uint16_t ProbeBlockSize(ByteView head, std::uint16_t candidate) {
  const auto at_candidate = head.U8(candidate);
  if (at_candidate && *at_candidate == format::block_type::kFileHeader) return candidate;
  if (const auto found = FindHeaderBlock(head)) return static_cast<std::uint16_t>(*found);
  return candidate;
}

std::optional<std::uint32_t> FindHeaderBlock(ByteView head) {
  for (std::size_t off = kProbeStep; off <= kProbeLimit; off += kProbeStep) {
    const auto b = head.U8(off);
    if (!b) break;
    if (*b == format::block_type::kFileHeader) return static_cast<std::uint32_t>(off);
  }
  return std::nullopt;
}

std::optional<FileHeader> DecodeFileHeader(ByteView block) {
  const auto type = block.U8(format::block_header::kType);
  if (!type || *type != format::block_type::kFileHeader) return std::nullopt;
  FileHeader h;
  h.format_byte = block.U8(fh::kFormat).value_or(0);
  h.format = ClassifyHeaderFormat(h.format_byte);
  h.rdba = block.U32LE(fh::kRdba).value_or(0);
  h.file_base_dba = h.rdba & format::kFileBaseDbaMask;
  switch (h.format) {
    case HeaderFormat::kModern:
      h.compatibility_code = block.U16LE(fh::kCompatibilityCode).value_or(0);
      h.database_name = block.AsciiField(fh::kDatabaseName, fh::kDatabaseNameSize);
      h.tablespace_name = block.AsciiField(fh::kTablespaceName, fh::kTablespaceNameSize);
      h.relative_file_number = block.U32LE(fh::kRelativeFile).value_or(0);
      h.acceptance = block.U32LE(fh::kAcceptance).value_or(0);
      break;
    case HeaderFormat::kLegacy:
      h.major_release = block.U8(fh::kLegacyMajorRelease).value_or(0);
      h.database_name = block.AsciiField(fh::kDatabaseName, fh::kDatabaseNameSize);
      h.acceptance = block.U32LE(fh::kLegacyAcceptance).value_or(0);
      h.legacy_word = block.U32LE(fh::kLegacyWord).value_or(0);
      h.tablespace_name = block.AsciiField(fh::kLegacyTablespaceName, fh::kTablespaceNameSize);
      h.relative_file_number = block.U32LE(fh::kLegacyRelativeFile).value_or(0);
      break;
    case HeaderFormat::kUnknown:
      // An unknown layout: the name is taken from the 8 bytes after the format byte.
      h.database_name = block.AsciiField(fh::kFormat + 1, fh::kDatabaseNameSize);
      break;
  }
  return h;
}

const DatafileEntry* DatafileList::FindByDba(std::uint32_t dba) const {
  const std::uint32_t base = dba & format::kDbaFileMask;
  for (const auto& e : entries_) {
    if (e.file_base_dba == base) return &e;
  }
  return nullptr;
}

const DatafileEntry* DatafileList::FindByRelativeFile(std::uint32_t relative_file_number) const {
  for (const auto& e : entries_) {
    if (e.relative_file_number == relative_file_number) return &e;
  }
  return nullptr;
}

const DatafileEntry* DatafileList::FindSystem() const {
  for (const auto& e : entries_) {
    if (e.relative_file_number == 1 && EqualsIgnoreCase(e.tablespace_name, "SYSTEM")) return &e;
  }
  return nullptr;
}

std::optional<ProbedFile> ProbeFile(const ReadOnlyFile& file) {
  std::vector<std::uint8_t> head(std::min<std::uint64_t>(kProbeWindow, file.size()));
  const auto n = file.ReadAt(0, head);
  if (!n) return std::nullopt;
  head.resize(*n);
  const ByteView hv(head.data(), head.size());
  ProbedFile p;
  p.block_size = ProbeBlockSize(hv, hv.U16LE(format::os_header::kBlockSize).value_or(0));
  p.block0_word = hv.U32LE(format::os_header::kBlockCount).value_or(0);
  if (p.block_size == 0) return p;
  std::vector<std::uint8_t> block(p.block_size);
  const auto got = file.ReadAt(p.block_size, block);
  if (!got || *got == 0) return p;
  std::fill(block.begin() + static_cast<std::ptrdiff_t>(*got), block.end(), 0);
  p.header = DecodeFileHeader(ByteView(block.data(), block.size()));
  return p;
}

std::optional<DatafileEntry> InspectDatafile(const std::string& path, const std::string& file_name,
                                             const std::string& database_name) {
  const auto file = ReadOnlyFile::Open(path);
  if (!file) return std::nullopt;
  const auto probed = ProbeFile(*file);
  if (!probed || !probed->header) return std::nullopt;
  const FileHeader& h = *probed->header;
  if (h.format == HeaderFormat::kUnknown) return std::nullopt;
  if (h.database_name != database_name || h.acceptance == 0) return std::nullopt;
  DatafileEntry e;
  e.file_name = file_name;
  if (e.file_name.empty()) {
    const auto slash = path.find_last_of('/');
    e.file_name = slash == std::string::npos ? path : path.substr(slash + 1);
  }
  e.file_base_dba = h.file_base_dba;
  e.tablespace_name = h.tablespace_name;
  e.database_name = h.database_name;
  e.block_size = probed->block_size;
  e.block0_word = probed->block0_word;
  e.legacy_word = h.legacy_word;
  e.relative_file_number = h.relative_file_number;
  e.full_path = path;
  return e;
}

std::string AsciiUpper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace quillon
