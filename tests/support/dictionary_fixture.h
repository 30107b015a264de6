// A small fixture for the dictionary readers: data blocks built in memory
// with the block writer, written into a SYSTEM datafile in a temporary
// folder and registered with an engine, and the dictionary row encoders the
// tests use (numbers, texts, raw bytes).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/dictionary_reader.h"
#include "reader/engine.h"
#include "support/test_paths.h"
#include "testdb/block_writer.h"
#include "testdb/values.h"

namespace quillon::test {

using testdb::Bytes;
using testdb::ColumnBytes;

inline ColumnBytes Num(std::int64_t v) { return testdb::EncodeNumber(v); }
inline ColumnBytes Txt(std::string_view s) { return Bytes(s.begin(), s.end()); }
inline ColumnBytes Null() { return std::nullopt; }
inline ColumnBytes Raw(Bytes b) { return b; }

// A row piece of a heap table.
inline Bytes HeapRow(std::vector<ColumnBytes> columns, std::uint8_t flag = format::row::kComplete) {
  testdb::PieceDescription p;
  p.flag = flag;
  p.columns = std::move(columns);
  return testdb::EncodeRowPiece(p);
}
// A cluster key row.
inline Bytes KeyRow(std::vector<ColumnBytes> key_columns) {
  testdb::PieceDescription p;
  p.flag = format::row::kKeyRow;
  p.key_row_count = 1;
  p.columns = std::move(key_columns);
  return testdb::EncodeRowPiece(p);
}
// A cluster member row under the key at key_index.
inline Bytes MemberRow(std::uint8_t key_index, std::vector<ColumnBytes> columns,
                       std::uint8_t flag = format::row::kMemberRow) {
  testdb::PieceDescription p;
  p.flag = flag;
  p.key_index = key_index;
  if ((flag & format::row::kFirst) && !(flag & format::row::kHead)) p.head = RowAddress{0x00400005, 0};
  p.columns = std::move(columns);
  return testdb::EncodeRowPiece(p);
}

// Blocks of one SYSTEM datafile (relative file 1), written on Finish().
class BlockFile {
 public:
  static constexpr std::uint32_t kBlockSize = 8192;
  static constexpr std::uint32_t kFirstDataBlock = 16;

  BlockFile() : engine_(sink_, stop_) {}

  COracleRecoveryTools& engine() { return engine_; }
  StopFlag& stop() { return stop_; }

  // A data block of a segment; table_count 1 for heap blocks, members + 1
  // for cluster blocks.
  testdb::DataBlockBuilder NewBlock(std::uint32_t object_number, std::uint8_t table_count = 1) const {
    return testdb::DataBlockBuilder(kBlockSize, SpaceManagement::kFreeList, 2, object_number, table_count);
  }
  // Adds a block; returns its DBA.
  std::uint32_t Add(const testdb::DataBlockBuilder& builder) {
    Bytes image(kBlockSize, 0);
    const std::uint32_t dba = NextDba();
    builder.Write(image, format::header_format::k8K, dba, {});
    blocks_.push_back(std::move(image));
    return dba;
  }
  // Adds raw bytes as a block (damage tests); returns its DBA.
  std::uint32_t AddRaw(Bytes image) {
    image.resize(kBlockSize, 0);
    const std::uint32_t dba = NextDba();
    blocks_.push_back(std::move(image));
    return dba;
  }
  std::uint32_t NextDba() const {
    return format::MakeDba(1, kFirstDataBlock + static_cast<std::uint32_t>(blocks_.size()));
  }

  // Writes the file and registers it; sets the release.
  void Finish(int release_code = kRelease11gR2) {
    const std::uint32_t count = kFirstDataBlock + static_cast<std::uint32_t>(blocks_.size());
    Bytes file(static_cast<std::size_t>(count) * kBlockSize, 0);
    testdb::WriteOsHeaderBlock({file.data(), kBlockSize}, format::header_format::k8K, kBlockSize, count);
    testdb::FileHeaderDescription header;
    header.database_name = "DICT";
    header.tablespace_name = "SYSTEM";
    header.block_count = count;
    testdb::WriteFileHeaderBlock({file.data() + kBlockSize, kBlockSize}, header);
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      std::copy(blocks_[i].begin(), blocks_[i].end(), file.begin() + (kFirstDataBlock + i) * kBlockSize);
    }
    const auto path = dir_ / "SYSTEM01.DBF";
    WriteFileBytes(path, file);
    DatafileEntry e;
    e.file_name = "SYSTEM01.DBF";
    e.full_path = path.string();
    e.tablespace_name = "SYSTEM";
    e.database_name = "DICT";
    e.block_size = kBlockSize;
    e.relative_file_number = 1;
    e.file_base_dba = format::MakeDba(1, 0);
    engine_.datafiles.Append(e);
    engine_.identification.release.code = release_code;
    engine_.identification.block_size = kBlockSize;
  }

  // A segment list over some of the blocks.
  static SegmentBlockList List(std::uint32_t object_number, std::vector<std::uint32_t> dbas) {
    SegmentBlockList list;
    list.object_number = object_number;
    list.header_dba = format::MakeDba(1, 2);
    list.dbas = std::move(dbas);
    return list;
  }

 private:
  TempDir dir_;
  NullSink sink_;
  StopFlag stop_;
  COracleRecoveryTools engine_;
  std::vector<Bytes> blocks_;
};

}  // namespace quillon::test
