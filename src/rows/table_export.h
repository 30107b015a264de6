// A table's rows written out through a RowWriter: all of them, or one page
// of the record view. The rows are read by the table row reader and turned
// into the value texts the writer wants (value_texts.h: display texts for
// aligned text, data texts for CSV and JSON); what could not be read is
// counted (partial rows, damaged and unreadable blocks, incomplete LOBs), and
// so are the NaN and infinite floats a JSON writer had to write as null.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "rows/row_writer.h"
#include "rows/value_texts.h"
#include "reader/block_source.h"
#include "reader/engine.h"

namespace quillon {

struct ExportOptions {
  LargeValues large = LargeValues::kPlaceholder;
  std::optional<std::uint64_t> page;  // one page (from 0); every row when absent
};

struct ExportResult {
  bool table_found = false;
  bool page_exists = true;
  bool stopped = false;
  std::uint64_t rows = 0;
  std::uint64_t partial_rows = 0;
  std::uint64_t damaged_blocks = 0;
  std::uint64_t unreadable_blocks = 0;
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
