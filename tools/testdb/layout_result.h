// What the layout engine reports about a database it wrote: the files, and
// for every segment its header, extent maps, blocks and where each row's
// pieces went. Tests compare the reader against this truth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/block_view.h"
#include "testdb/block_writer.h"
#include "testdb/model.h"

namespace quillon::testdb {

struct PiecePlacement {
  std::uint32_t dba = 0;
  std::uint16_t slot = 0;    // row number within its table (what row addresses hold)
  std::uint8_t table = 0;    // 0 for heap rows and cluster keys, m for member table m
  std::uint8_t flag = 0;     // the piece's flag byte; 0 for a free slot
  std::uint16_t offset = 0;  // position of the piece in the block; 0 for a free slot
  bool operator==(const PiecePlacement&) const = default;
};

struct RowPlacement {
  std::vector<PiecePlacement> pieces;  // in chain order: head first
  std::uint16_t stored_columns = 0;    // columns stored (trailing NULLs are not)
};

struct KeyPlacement {
  std::vector<PiecePlacement> key_rows;            // one per block holding the key, in block order
  std::vector<std::vector<RowPlacement>> members;  // members[m - 1][i]: row i of member table m
};

struct SegmentLayout {
  std::string name;
  std::uint32_t object_number = 0;
  SegmentKind kind = SegmentKind::kHeap;
  SpaceManagement space = SpaceManagement::kFreeList;
  std::string tablespace;
  std::uint32_t relative_file = 0;
  std::uint32_t header_dba = 0;
  std::vector<std::uint32_t> extent_map_dbas;  // extent map blocks after the header, in chain order
  std::vector<ExtentDescription> extents;             // in map order
  std::vector<std::uint32_t> blocks;           // every block of every extent, in map order
  std::vector<std::uint32_t> data_blocks;      // formatted data blocks (type 0x06), in order
  std::vector<std::uint32_t> bitmap_blocks;    // ASSM level-1 and level-2 bitmap blocks
  std::vector<RowPlacement> rows;              // heap rows in model order, then generated rows
  std::vector<KeyPlacement> keys;              // cluster keys in model order
  std::uint64_t row_count = 0;                 // rows placed (heap rows or member rows)
};

struct FileLayout {
  std::string path;
  std::string file_name;
  std::string tablespace;
  std::uint32_t relative_file = 0;
  std::uint32_t base_dba = 0;
  std::uint32_t block_count = 0;  // blocks in the file, block 0 included
  bool read_only = false;
};

enum class DecoyKind : std::uint8_t { kControlFile, kRedoLog, kForeignDatafile, kSubFolder };

struct DecoyFile {
  DecoyKind kind;
  std::string path;
};

struct LayoutResult {
  std::string folder;
  std::string database_name;
  std::uint32_t block_size = 0;
  std::vector<FileLayout> files;
  std::vector<SegmentLayout> segments;
  std::vector<DecoyFile> decoys;
  std::uint64_t bytes_written = 0;

  const SegmentLayout* FindSegment(std::uint32_t object_number) const;
  const FileLayout* FindFile(std::string_view file_name) const;
  const FileLayout* FindFileByNumber(std::uint32_t relative_file) const;
};

}  // namespace quillon::testdb
