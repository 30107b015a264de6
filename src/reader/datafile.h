// Datafiles: the file header, block size probing, and the list of registered
// datafiles that turns a data block address into a file and an offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/bytes.h"
#include "reader/format.h"
#include "reader/release.h"

namespace quillon {

class ReadOnlyFile;

// How many bytes from the start of a file ProbeBlockSize may look at: the
// 16-bit candidate itself and every 512-byte step up to 16384.
inline constexpr std::size_t kProbeWindow = 65536 + 1;
inline constexpr std::size_t kProbeStep = 512;
inline constexpr std::size_t kProbeLimit = 16384;

// The block size of a file, from its first bytes: the candidate (the 16-bit
// value at offset 4 of block 0) when a file header block (type 0x0B) starts
// there, else the first multiple of 512 up to 16384 where one starts, else the
// candidate unconfirmed.
std::uint16_t ProbeBlockSize(ByteView head, std::uint16_t candidate);
// The first multiple of 512 up to 16384 where a file header block starts.
std::optional<std::uint32_t> FindHeaderBlock(ByteView head);

// The decoded file header block (type 0x0B).
struct FileHeader {
  std::uint8_t format_byte = 0;
  HeaderFormat format = HeaderFormat::kUnknown;
  std::uint32_t rdba = 0;
  std::uint32_t file_base_dba = 0;
  std::uint16_t compatibility_code = 0;  // modern format
  std::uint8_t major_release = 0;        // legacy format
  std::string database_name;
  std::string tablespace_name;
  std::uint32_t relative_file_number = 0;
  std::uint32_t acceptance = 0;          // non-zero in a datafile
  std::uint32_t legacy_word = 0;

  // The compatibility code or major release, whichever the format carries.
  std::uint16_t ReleaseValue() const {
    return format == HeaderFormat::kLegacy ? major_release : compatibility_code;
  }
};

// Decodes a file header block. std::nullopt unless its type byte is 0x0B.
// Fields that the block is too short to hold stay zero or empty.
std::optional<FileHeader> DecodeFileHeader(ByteView block);

struct DatafileEntry {
  std::string file_name;           // as handed in, or the part after the last '/'
  std::uint32_t file_base_dba = 0; // DBA of block 1 with its low 20 bits cleared
  std::string tablespace_name;
  std::string database_name;
  std::uint16_t block_size = 0;
  std::uint32_t block0_word = 0;   // block 0, offset 8 (the file's block count)
  std::uint32_t reserved = 0;
  std::uint32_t legacy_word = 0;
  std::uint32_t relative_file_number = 0;
  std::string full_path;           // the path the file is opened with
};

// The registered datafiles, in registration order.
class DatafileList {
 public:
  void Append(DatafileEntry entry) { entries_.push_back(std::move(entry)); }
  void Clear() { entries_.clear(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const std::vector<DatafileEntry>& entries() const { return entries_; }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

  // The file that holds a DBA: the first entry whose base DBA equals the DBA
  // with its block bits cleared.
  const DatafileEntry* FindByDba(std::uint32_t dba) const;
  const DatafileEntry* FindByRelativeFile(std::uint32_t relative_file_number) const;
  // The SYSTEM datafile: relative file 1 of tablespace SYSTEM.
  const DatafileEntry* FindSystem() const;

 private:
  std::vector<DatafileEntry> entries_;
};

// Reads a file's block size and header; used by registration and by the
// command line. std::nullopt when the file cannot be read.
struct ProbedFile {
  std::uint16_t block_size = 0;
  std::uint32_t block0_word = 0;
  std::optional<FileHeader> header;  // absent: no 0x0B block at the block size
};
std::optional<ProbedFile> ProbeFile(const ReadOnlyFile& file);

// Registers the file at path when it is a datafile of the named database:
// a file header block, the same database name (case-sensitive) and a non-zero
// acceptance word. Files that cannot be opened are skipped silently.
std::optional<DatafileEntry> InspectDatafile(const std::string& path, const std::string& file_name,
                                             const std::string& database_name);

// Upper-cases ASCII letters (names compared without regard to case).
std::string AsciiUpper(std::string s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace quillon
