#include "rows/value_texts.h"

#include <algorithm>

#include "reader/format.h"
#include "reader/packed_codes.h"
#include "reader/unicode.h"

namespace quillon {

namespace {

namespace tc = type_code;

bool IsBinaryLarge(std::uint32_t code) { return code == tc::kLongRaw || code == tc::kBlob; }


}  // namespace

// Oracle keeps CLOBs of a database with a multi-byte character set, and
// every NCLOB, in UTF-16. The locator's byte length says which it did (1:
// the database character set, 2: UCS2); when it says neither, the
// character set decides.
bool LobInUtf16(const ColumnInfo& column, const DecodeContext& context, std::uint16_t byte_length) {
  if (context.IsNational(column.charset_id) || column.charset_form == 2) return true;
  if (byte_length == format::lob_locator::kByteLengthUcs2) return true;
  if (byte_length == 1) return false;
  switch (context.database().charset().scheme) {
    case CharsetScheme::kUtf8:
    case CharsetScheme::kCesu8:
    case CharsetScheme::kMultiByte:
    case CharsetScheme::kUtf16BE:
      return true;
    default:
      return false;
  }
}

bool IsLargeType(std::uint32_t code) {
  return code == tc::kLong || code == tc::kLongRaw || code == tc::kClob || code == tc::kBlob;
}

std::vector<std::size_t> ExportColumns(const TableLayout& layout) {
  std::vector<std::size_t> visible;
  std::vector<std::size_t> hidden;
  const auto& columns = layout.columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i]->segment_column == 0) continue;
    (columns[i]->column_number != 0 ? visible : hidden).push_back(i);
  }
  std::stable_sort(visible.begin(), visible.end(),
                   [&](std::size_t a, std::size_t b) { return columns[a]->column_number < columns[b]->column_number; });
  std::stable_sort(hidden.begin(), hidden.end(),
                   [&](std::size_t a, std::size_t b) { return columns[a]->segment_column < columns[b]->segment_column; });
  visible.insert(visible.end(), hidden.begin(), hidden.end());
  return visible;
}

RowValueTexts::RowValueTexts(COracleRecoveryTools& engine, std::uint32_t table_object_number, LargeValues large,
                             ValueForms forms)
    : engine_(engine),
      table_(table_object_number),
      large_(large),
      scalar_mode_(forms == ValueForms::kData ? DecodeMode::kData : DecodeMode::kRepair) {}

RowValueTexts::~RowValueTexts() = default;

LobReadResult RowValueTexts::LargeValueBytes(const TableRow& row, const ColumnInfo& column, const StoredValue& value,
                                             std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  return LargeValueBytes(row, column, value,
                         [&](ByteView part) { bytes.insert(bytes.end(), part.data(), part.data() + part.size()); });
}

LobReadResult RowValueTexts::LargeValueBytes(const TableRow& row, const ColumnInfo& column, const StoredValue& value,
                                             const ByteSink& out) {
  LobReadResult result;
  if (value.is_null) return result;
  if (column.type_code == tc::kLong || column.type_code == tc::kLongRaw) {
    if (!value.bytes.empty()) out(value.bytes);
    result.bytes = value.bytes.size();
    return result;
  }
  const auto locator = ParseLobLocator(value.bytes);
  if (!locator) {
    result.complete = false;
    return result;
  }
  result.byte_length = locator->byte_length;
  if (locator->in_row) {
    if (!locator->data.empty()) out(locator->data);
    result.bytes = locator->data.size();
    return result;
  }
  const auto segment = row.segment ? FindLobSegment(engine_, table_, column.internal_column, *row.segment)
                                   : std::nullopt;
  // Without a known segment only the chunks the locator lists can be read.
  if (!segment && locator->chunk_dbas.empty()) {
    result.complete = false;
    return result;
  }
  if (!lobs_) lobs_ = std::make_unique<LobReader>(engine_);
  return lobs_->Read(segment.value_or(LobSegmentRef{}), *locator, out);
}

bool RowValueTexts::VarrayStoredAsLob(const ColumnInfo& column) {
  const auto known = varray_lobs_.find(column.internal_column);
  if (known != varray_lobs_.end()) return known->second;
  bool found = false;
  for (const LobRecord& lob : engine_.catalogue.lobs.All<0>(table_)) {
    if (lob.internal_column == column.internal_column) found = true;
  }
  varray_lobs_.emplace(column.internal_column, found);
  return found;
}

void RowValueTexts::LargeText(const TableRow& row, const ColumnInfo& column, const StoredValue& value,
                              ValueText& out) {
  // Converted page by page as the value is read, so that only its text is
  // held, not its stored bytes as well; a multi-byte character set's text
  // (a character may span two pages) is read whole first.
  out.text.clear();
  std::string& text = out.text;
  const CharsetDecoder& database = engine_.values.database();
  const CharsetScheme scheme = database.charset().scheme;
  const auto locator = column.type_code == tc::kClob ? ParseLobLocator(value.bytes) : std::nullopt;
  LobReadResult read;
  if (IsBinaryLarge(column.type_code)) {
    read = LargeValueBytes(row, column, value, [&text](ByteView part) { AppendHex(part, text); });
  } else if (column.type_code == tc::kClob &&
             LobInUtf16(column, engine_.values, locator ? locator->byte_length : std::uint16_t{0})) {
    Utf16BEParts parts;
    read = LargeValueBytes(row, column, value, [&](ByteView part) { parts.Append(part, text); });
    parts.Finish(text);
  } else if (column.type_code == tc::kLong || scheme == CharsetScheme::kAscii || scheme == CharsetScheme::kLatin1 ||
             scheme == CharsetScheme::kSingleByte) {
    // (A LONG comes in one part, from the row.)
    read = LargeValueBytes(row, column, value, [&](ByteView part) { database.AppendUtf8(part, text); });
  } else {
    read = LargeValueBytes(row, column, value, buffer_);
    database.AppendUtf8(ByteView(buffer_.data(), buffer_.size()), text);
    ReleaseLargeBuffer();
  }
  out.incomplete = !read.complete;
  if (!read.complete) ++incomplete_;
}

void RowValueTexts::ReleaseLargeBuffer() {
  // One long value does not keep its size of memory for the rest of the table.
  if (buffer_.capacity() > (std::size_t{16} << 20)) std::vector<std::uint8_t>().swap(buffer_);
}

void RowValueTexts::Fill(const TableRow& row, const TableLayout& layout, std::span<const std::size_t> columns,
                         std::vector<ValueText>& out) {
  out.resize(columns.size());
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const std::size_t index = columns[k];
    const ColumnInfo& column = *layout.columns()[index];
    const StoredValue& value = row.values[index];
    ValueText& o = out[k];
    o.is_null = value.is_null;
    o.incomplete = false;
    o.form = TextForm::kString;
    if (value.is_null) {
      o.text.clear();
      continue;
    }
    if (IsLargeType(column.type_code) && large_ == LargeValues::kContent) {
      LargeText(row, column, value, o);
      continue;
    }
    if (column.type_code == tc::kVarray && large_ == LargeValues::kContent && VarrayStoredAsLob(column)) {
      // The row holds a LOB locator; the value is the image in the LOB, in
      // the hexadecimal form of a VARRAY kept in the row.
      o.text.clear();
      std::string& text = o.text;
      const LobReadResult read = LargeValueBytes(row, column, value, [&text](ByteView part) { AppendHex(part, text); });
      o.incomplete = !read.complete;
      if (!read.complete) ++incomplete_;
      continue;
    }
    // Large values not written in full give their browse-mode placeholder.
    const DecodeMode mode = IsLargeType(column.type_code) ? DecodeMode::kBrowse : scalar_mode_;
    DecodeColumnValueInto(DescriptorOf(column), value, mode, engine_.values, decoded_);
    if (decoded_.kind == ValueKind::kText) {
      // Swapped, not copied: both strings keep their storage for the next row.
      o.text.swap(decoded_.text);
      o.form = decoded_.form;
    } else {
      o.text = ToHex(value.bytes);
    }
  }
}

}  // namespace quillon
