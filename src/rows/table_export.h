// A table's rows written out through a RowWriter: all of them, or one page
// of the record view. The rows are read by the table row reader and turned
// into the value texts the writer wants (value_texts.h: display texts for
// aligned text, data texts for CSV and JSON); what could not be read is
// counted (partial rows, damaged and unreadable blocks, incomplete LOBs),
// and so is what was read but cannot be trusted: the blocks whose checksum
// contradicts them (named by DBA), the suspect rows taken from them, and the
// blocks the table's extents name that no datafile holds; so are the NaN and
// infinite floats a JSON writer had to write as null.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "rows/row_writer.h"
#include "rows/value_texts.h"
#include "reader/block_source.h"
#include "reader/engine.h"
#include "reader/extent_map.h"

namespace quillon {

struct ExportOptions {
  LargeValues large = LargeValues::kPlaceholder;
  std::optional<std::uint64_t> page;  // one page (from 0); every row when absent
  bool skip_suspect = false;          // leave suspect rows out (they are counted)
};

struct ExportResult {
  bool table_found = false;
  bool page_exists = true;
  bool stopped = false;
  std::uint64_t rows = 0;              // rows read (written, unless left out)
  std::uint64_t partial_rows = 0;
  std::uint64_t suspect_rows = 0;      // rows with a piece from a block with a bad checksum
  std::uint64_t skipped_rows = 0;      // suspect rows left out (skip_suspect)
  std::uint64_t damaged_blocks = 0;    // blocks whose directory could not be read
  std::uint64_t unreadable_blocks = 0;
  std::vector<std::uint32_t> bad_checksum_blocks;  // DBAs, in the order found
  std::vector<MissingBlocks> missing;  // blocks the extents name that no datafile holds
  std::uint64_t missing_blocks = 0;
  std::uint64_t damaged_total = 0;     // distinct damaged blocks of every kind above
  std::uint64_t incomplete_values = 0;
  std::uint64_t non_finite_nulls = 0;  // NaN and infinities written as JSON null
  std::uint64_t blocks_read = 0;
  std::uint64_t table_blocks = 0;
};

// Progress: blocks walked so far, of how many.
using ExportProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

ExportResult ExportTableRows(COracleRecoveryTools& engine, BlockSource& source, std::uint32_t table_object_number,
                             RowWriter& writer, const ExportOptions& options, const ExportProgress& progress = {});

}  // namespace quillon
