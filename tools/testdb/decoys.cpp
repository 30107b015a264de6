#include "testdb/decoys.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "reader/bytes.h"
#include "reader/format.h"
#include "reader/release.h"
#include "testdb/block_writer.h"
#include "testdb/datafile_headers.h"
#include "testdb/datafile_writer.h"

namespace quillon::testdb {

namespace {

constexpr std::uint8_t kControlHeaderType = 0x15;
constexpr std::uint8_t kControlBlockType = 0x16;
constexpr std::uint8_t kRedoBlockType = 0x01;
constexpr std::uint32_t kRedoBlockSize = 512;

GenericFileHeader Generic(const DatabaseModel& model, const ReleaseProfile& release, std::uint32_t blocks,
                          std::uint32_t block_size, std::uint16_t file_type) {
  GenericFileHeader g;
  g.software_version = release.software_version;
  g.compatibility_version = release.format == HeaderFormat::kLegacy
                                ? (static_cast<std::uint32_t>(release.header_value) << 24) | 0x00100000
                                : static_cast<std::uint32_t>(release.header_value) << 16;
  g.database_id = static_cast<std::uint32_t>(model.seed * 2654435761u) | 1;
  g.database_name = model.name;
  g.file_blocks = blocks;
  g.block_size = block_size;
  g.file_type = file_type;
  return g;
}

bool WriteControlFile(const DatabaseModel& model, const ReleaseProfile& release, const std::string& path,
                      std::string& error) {
  const std::uint32_t bs = release.control_file_block_size != 0 ? release.control_file_block_size : model.block_size;
  const std::uint8_t format_byte = release.format == HeaderFormat::kLegacy ? format::header_format::kLegacy
                                                                           : ModernFormatByte(bs);
  constexpr std::uint32_t kBlocks = 24;
  auto file = DatafileWriter::Create(path, bs, error);
  if (!file) return false;
  std::vector<std::uint8_t> block(bs);
  WriteOsHeaderBlock(block, format_byte, bs, kBlocks - 1);
  file->Put(0, block);
  for (std::uint32_t b = 1; b < kBlocks; ++b) {
    std::fill(block.begin(), block.end(), 0);
    if (b == 1) WriteGenericFileHeader(block, Generic(model, release, kBlocks - 1, bs, 1));
    FinishBlock(block, b == 1 ? kControlHeaderType : kControlBlockType, format_byte, b, {0x00100000 + b, 0, 1, true});
    file->Put(b, block);
  }
  return file->Finish(kBlocks, error);
}

bool WriteRedoLog(const DatabaseModel& model, const ReleaseProfile& release, const std::string& path,
                  std::uint32_t sequence, std::string& error) {
  constexpr std::uint32_t kBlocks = 128;
  const std::uint8_t format_byte = RedoFormatByte(release);
  auto file = DatafileWriter::Create(path, kRedoBlockSize, error);
  if (!file) return false;
  std::vector<std::uint8_t> block(kRedoBlockSize);
  WriteOsHeaderBlock(block, format_byte, kRedoBlockSize, kBlocks - 1);
  file->Put(0, block);
  // Every redo block starts with type 0x01, its block number and the log
  // sequence; block 1 holds the file header as well.
  for (std::uint32_t b = 1; b < kBlocks; ++b) {
    std::fill(block.begin(), block.end(), 0);
    if (b == 1) WriteGenericFileHeader(block, Generic(model, release, kBlocks - 1, kRedoBlockSize, 2));
    block[0] = kRedoBlockType;
    block[1] = format_byte;
    PutU32LE(block.data() + 4, b);
    PutU32LE(block.data() + 8, sequence);
    PutU16LE(block.data() + 12, b == 1 ? 0 : 0x10);
    PutU16LE(block.data() + 14, BlockXor(block));
    file->Put(b, block);
  }
  return file->Finish(kBlocks, error);
}

bool WriteBareDatafile(const DatabaseModel& model, const ReleaseProfile& release, const std::string& path,
                       const std::string& database_name, std::uint32_t relative_file, std::string& error) {
  constexpr std::uint32_t kBlocks = 64;
  auto file = DatafileWriter::Create(path, model.block_size, error);
  if (!file) return false;
  DatafileIdentity id;
  id.database_name = database_name;
  id.database_id = 0x0DDBA11 + relative_file;
  id.tablespace = "USERS";
  id.tablespace_number = 4;
  id.relative_file = relative_file;
  id.block_count = kBlocks;
  id.first_data_block = release.first_data_block;
  id.checksum = release.checksum_every_block;
  WriteDatafileHeaders(*file, release, model.block_size, id);
  return file->Finish(kBlocks, error);
}

}  // namespace

bool WriteDecoys(const DatabaseModel& model, const ReleaseProfile& release, const std::string& folder,
                 std::vector<DecoyFile>& out, std::string& error) {
  const DecoyOptions& d = model.decoys;
  const std::string base = folder + "/";
  if (d.control_files) {
    for (const char* name : {"CONTROL01.CTL", "CONTROL02.CTL"}) {
      if (!WriteControlFile(model, release, base + name, error)) return false;
      out.push_back({DecoyKind::kControlFile, base + name});
    }
  }
  if (d.redo_logs) {
    for (std::uint32_t i = 1; i <= 3; ++i) {
      const std::string path = base + "REDO0" + std::to_string(i) + ".LOG";
      if (!WriteRedoLog(model, release, path, 40 + i, error)) return false;
      out.push_back({DecoyKind::kRedoLog, path});
    }
  }
  if (d.foreign_datafile) {
    const std::string other = model.name == "OTHERDB" ? "OTHERDB2" : "OTHERDB";
    if (!WriteBareDatafile(model, release, base + "OTHER01.DBF", other, 5, error)) return false;
    out.push_back({DecoyKind::kForeignDatafile, base + "OTHER01.DBF"});
  }
  if (d.sub_folder) {
    std::error_code ec;
    std::filesystem::create_directories(base + "ARCHIVE", ec);
    if (ec) {
      error = "cannot create " + base + "ARCHIVE: " + ec.message();
      return false;
    }
    const std::string path = base + "ARCHIVE/USERS02.DBF";
    if (!WriteBareDatafile(model, release, path, model.name, 99, error)) return false;
    out.push_back({DecoyKind::kSubFolder, path});
  }
  return true;
}

}  // namespace quillon::testdb
