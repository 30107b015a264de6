#include "rows/table_export.h"

#include "rows/page_index.h"
#include "rows/row_reader.h"

namespace quillon {

namespace {

class TextSender final : public RowConsumer {
 public:
  TextSender(RowValueTexts& texts, const TableLayout& layout, std::span<const std::size_t> columns, RowWriter& writer,
             bool skip_suspect)
      : texts_(texts), layout_(layout), columns_(columns), writer_(writer), skip_suspect_(skip_suspect) {}
  std::uint64_t skipped() const { return skipped_; }
  bool Row(const TableRow& row) override {
    if (skip_suspect_ && row.suspect) {
      ++skipped_;
      return true;
    }
    texts_.Fill(row, layout_, columns_, values_);
    writer_.Row(values_);
    return true;
  }

 private:
  RowValueTexts& texts_;
  const TableLayout& layout_;
  std::span<const std::size_t> columns_;
  RowWriter& writer_;
  bool skip_suspect_;
  std::uint64_t skipped_ = 0;
  std::vector<ValueText> values_;
};

}  // namespace

ExportResult ExportTableRows(COracleRecoveryTools& engine, BlockSource& source, std::uint32_t table_object_number,
                             RowWriter& writer, const ExportOptions& options, const ExportProgress& progress) {
  ExportResult result;
  TableRowReader reader(engine, source, table_object_number);
  result.table_found = reader.table_found();
  result.table_blocks = reader.blocks().BlockCount();
  const std::vector<std::size_t> columns = ExportColumns(reader.layout());
  std::vector<std::string> names;
  for (const std::size_t i : columns) names.push_back(reader.layout().columns()[i]->name);
  writer.Begin(names);
  if (progress) {
    reader.OnBlock([&] { progress(reader.stats().blocks_read, result.table_blocks); });
  }
  const std::uint64_t non_finite_before = writer.non_finite_nulls();
  RowValueTexts texts(engine, table_object_number, options.large, writer.forms());
  TextSender sender(texts, reader.layout(), columns, writer, options.skip_suspect);
  if (options.page) {
    PageIndex pages;
    pages.Reset(table_object_number);
    const PageRead read = pages.ReadPage(reader, *options.page, sender);
    result.page_exists = read.exists;
  } else {
    reader.Read(TableRowReader::Begin(), 0, sender);
  }
  writer.Flush();
  const RowReadStats& s = reader.stats();
  result.stopped = reader.stopped();
  result.rows = s.rows;
  result.partial_rows = s.partial_rows;
  result.suspect_rows = s.suspect_rows;
  result.skipped_rows = sender.skipped();
  result.damaged_blocks = s.damaged_blocks;
  result.unreadable_blocks = s.unreadable_blocks;
  result.bad_checksum_blocks = s.bad_checksum_blocks;
  result.missing = reader.blocks().Missing();
  result.missing_blocks = s.missing_blocks;
  result.damaged_total = s.damaged_total;
  result.blocks_read = s.blocks_read;
  result.incomplete_values = texts.incomplete_values();
  result.non_finite_nulls = writer.non_finite_nulls() - non_finite_before;
  return result;
}

}  // namespace quillon
