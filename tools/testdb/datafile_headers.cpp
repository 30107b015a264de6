#include "testdb/datafile_headers.h"

#include <vector>

#include "reader/bytes.h"
#include "reader/format.h"
#include "testdb/block_writer.h"

namespace quillon::testdb {

void WriteDatafileHeaders(DatafileWriter& file, const ReleaseProfile& release, std::uint32_t block_size,
                          const DatafileIdentity& id) {
  const std::uint8_t format_byte = BlockFormatByte(release, block_size);
  std::vector<std::uint8_t> block(block_size);
  WriteOsHeaderBlock(block, format_byte, block_size, id.block_count);
  file.Put(0, block);

  FileHeaderDescription wanted;
  wanted.format_byte = format_byte;
  wanted.relative_file = id.relative_file;
  wanted.compatibility_code = release.header_value;
  wanted.major_release = static_cast<std::uint8_t>(release.header_value);
  wanted.software_version = release.software_version;
  wanted.database_id = id.database_id;
  wanted.database_name = id.database_name;
  wanted.tablespace_name = id.tablespace;
  wanted.tablespace_number = id.tablespace_number;
  wanted.block_count = id.block_count;
  wanted.acceptance = 0x00000B2D + id.relative_file;
  wanted.checkpoint_scn = id.scn;
  // The file header always carries a checksum.
  wanted.stamp = {id.scn, 0, 1, true};
  WriteFileHeaderBlock(block, wanted);
  file.Put(1, block);

  // Locally managed files: the file space header, then bitmap blocks whose
  // bits mark the allocated space (all of it, as far as they are concerned).
  for (std::uint32_t b = 2; b < id.first_data_block && b < id.block_count; ++b) {
    std::fill(block.begin(), block.end(), 0);
    const bool space_header = b == 2;
    if (space_header) {
      PutU32LE(block.data() + 24, id.relative_file);
      PutU32LE(block.data() + 28, id.block_count);
      PutU32LE(block.data() + 32, id.first_data_block);
    } else {
      PutU32LE(block.data() + 24, format::MakeDba(id.relative_file, 2));
      PutU32LE(block.data() + 28, (b - 3) * 8 * 1000);
    }
    FinishBlock(block, space_header ? format::block_type::kFileSpaceHeader : format::block_type::kFileSpaceBitmap,
                format_byte, format::MakeDba(id.relative_file, b), {id.scn, 0, 1, id.checksum});
    file.Put(b, block);
  }
}

}  // namespace quillon::testdb
