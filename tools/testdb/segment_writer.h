// Lays out one segment of the model in its datafile: allocates its extents,
// places the ASSM bitmap blocks, segment header and extent map blocks as
// Oracle does, packs the rows into data blocks (chaining, migrating and
// deleting them as the model asks) and writes every block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "testdb/datafile_writer.h"
#include "testdb/layout_result.h"
#include "testdb/model.h"
#include "testdb/prng.h"

namespace quillon::testdb {

// The free space of one datafile: extents are taken from next_free on.
struct FileSpace {
  std::uint32_t next_free = 0;
  std::uint32_t limit = 0;  // blocks in the file; 0: the file grows as needed
  std::string file_name;
};

struct SegmentContext {
  DatafileWriter* file = nullptr;
  FileSpace* space = nullptr;
  std::uint32_t relative_file = 0;
  std::uint32_t tablespace_number = 0;
  std::uint32_t block_size = 0;
  std::uint8_t format_byte = 0;
  bool checksum = true;
  bool format_unused = false;  // format the unused blocks of the segment's extents as empty data blocks
  // The block where the first extent starts, when first extents were given
  // out up front (the file's free space already lies beyond it).
  std::optional<std::uint32_t> first_extent_block;
  AssmHeaderOrder assm_order = AssmHeaderOrder::kCountNextObject;  // of a 0x23 header
};

// Writes the segment; false with a message when it cannot be laid out (a
// datafile of fixed size is full, a forced chain cannot be cut as asked).
bool WriteSegment(const SegmentModel& model, const SegmentContext& context, Prng prng, SegmentLayout& out,
                  std::string& error);

}  // namespace quillon::testdb
