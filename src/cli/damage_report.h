// What the commands that read rows say about damage: the blocks whose
// checksum contradicts them (by file and block number), the rows read from
// them (suspect), the blocks the extents name that no datafile holds, and
// blocks whose directory or whole image could not be read. As text lines for
// the terminal and as JSON members.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/extent_map.h"
#include "reader/json_writer.h"
#include "rows/table_export.h"

namespace quillon::cli {

// Block addresses named in a text line; after kNamedBlocks, "and N more".
inline constexpr std::size_t kNamedBlocks = 10;

// "file 4 block 130, file 4 block 131"
std::string BlockAddressText(const std::vector<std::uint32_t>& dbas);
// "file 4 blocks 37-48 past the end of the datafile"
std::string MissingText(const std::vector<MissingBlocks>& missing);

// The damage of one table's export as a text ("2 block(s) with a bad
// checksum (file 4 block 130, ...), 5 suspect row(s); ..."); empty when the
// table shows none.
std::string TableDamageText(const ExportResult& r, bool suspect_left_out);

// [{"file": F, "block": B}, ...]
void WriteBlockAddresses(JsonWriter& j, const std::vector<std::uint32_t>& dbas);
// [{"file": F, "first_block": B, "block_count": N, "cause": "past_end" | "no_datafile"}, ...]
void WriteMissingBlocks(JsonWriter& j, const std::vector<MissingBlocks>& missing);
// The damage members of one table's export: partial_rows, suspect_rows,
// skipped_rows, damaged_blocks (all kinds, distinct), directory_damaged_blocks,
// unreadable_blocks, bad_checksum_blocks, missing_blocks, missing.
void WriteDamageMembers(JsonWriter& j, const ExportResult& r);

}  // namespace quillon::cli
