// The blocks at the start of every datafile: block 0, the file header
// block and, in locally managed files, the file space header and bitmap
// blocks. Shared by the layout engine and the decoy writer.
#pragma once

#include <cstdint>
#include <string>

#include "testdb/datafile_writer.h"
#include "testdb/release_profile.h"

namespace quillon::testdb {

struct DatafileIdentity {
  std::string database_name;
  std::uint32_t database_id = 0;
  std::string tablespace;
  std::uint32_t tablespace_number = 0;
  std::uint32_t relative_file = 0;
  std::uint32_t block_count = 0;     // blocks in the file, block 0 included
  std::uint32_t first_data_block = 2;
  std::uint32_t scn = 0x00100000;
  bool checksum = true;
};

// Writes blocks 0 to first_data_block - 1.
void WriteDatafileHeaders(DatafileWriter& file, const ReleaseProfile& release, std::uint32_t block_size,
                          const DatafileIdentity& id);

}  // namespace quillon::testdb
