// The value texts of a row, for the exporters and the INSERT builder.
//
// Scalar columns give the value decoder's repair-mode text (the display
// forms the record view shows: "0100", "01-JAN-2003 12:00:00 AM") or its
// data-mode text (the forms CSV and JSON exports write: 100,
// "2003-01-01T00:00:00"; value_decode.h). Structured values (objects,
// REFs, VARRAYs) give the hexadecimal text of their stored bytes. LONG,
// LONG RAW, CLOB, NCLOB and BLOB columns give, by choice, their placeholder
// word ("Long", "Long Raw", "CLOB", "NCLOB", "BLOB") or their whole content:
// binary data as hexadecimal text, character data as UTF-8 (LONG in the
// database character set; CLOB in it too, or in UTF-16 when the database
// character set is a multi-byte one, as Oracle stores it; NCLOB in UTF-16).
// Out-of-line LOBs are read from their LOB segment (lob_reader.h). NULL is
// NULL whatever the type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "rows/row_reader.h"
#include "reader/lob_reader.h"
#include "reader/value_decode.h"

namespace quillon {

enum class LargeValues : std::uint8_t { kPlaceholder, kContent };
// Display texts (the record view's, aligned text) or data texts (CSV, JSON).
enum class ValueForms : std::uint8_t { kDisplay, kData };

struct ValueText {
  std::string text;
  bool is_null = false;
  bool incomplete = false;  // a LOB some of whose pages were not found
  TextForm form = TextForm::kString;  // data texts: a number, NaN or an infinity
};

// The columns an export writes, as indexes into the layout's columns: every
// column the rows store, the visible ones by column number, then the hidden
// ones by stored position. Virtual columns hold no data and are left out.
std::vector<std::size_t> ExportColumns(const TableLayout& layout);

class RowValueTexts {
 public:
  RowValueTexts(COracleRecoveryTools& engine, std::uint32_t table_object_number, LargeValues large,
                ValueForms forms = ValueForms::kDisplay);
  ~RowValueTexts();

  // The texts of the chosen columns of a row, in the order given; out is
  // resized and its strings reused.
  void Fill(const TableRow& row, const TableLayout& layout, std::span<const std::size_t> columns,
            std::vector<ValueText>& out);

  // The bytes of a LONG, LONG RAW, CLOB, NCLOB or BLOB value: a LONG's
  // joined pieces, a LOB's data from its locator or LOB segment.
  LobReadResult LargeValueBytes(const TableRow& row, const ColumnInfo& column, const StoredValue& value,
                                std::vector<std::uint8_t>& bytes);
  // The same bytes handed to out in pieces as they are read, never held
  // whole.
  LobReadResult LargeValueBytes(const TableRow& row, const ColumnInfo& column, const StoredValue& value,
                                const ByteSink& out);

  // LOB values written without some of their pages.
  std::uint64_t incomplete_values() const { return incomplete_; }

 private:
  void LargeText(const TableRow& row, const ColumnInfo& column, const StoredValue& value, ValueText& out);
  void ReleaseLargeBuffer();
  // A VARRAY column Oracle stores as a LOB (it has a LOB$ row).
  bool VarrayStoredAsLob(const ColumnInfo& column);

  COracleRecoveryTools& engine_;
  std::uint32_t table_;
  LargeValues large_;
  DecodeMode scalar_mode_;  // repair (display texts) or data
  std::unique_ptr<LobReader> lobs_;
  std::vector<std::uint8_t> buffer_;
  DecodedValue decoded_;  // reused from value to value
  std::uint64_t incomplete_ = 0;
  std::map<std::uint32_t, bool> varray_lobs_;  // by INTCOL#: stored as a LOB
};

// True for the types whose content LargeValueBytes gives.
bool IsLargeType(std::uint32_t type_code);

// Whether a CLOB or NCLOB's content is stored as UTF-16 big-endian: Oracle
// keeps the CLOBs of a database with a varying-width character set, and
// every NCLOB, so. byte_length: the locator's (1: the database character
// set, 2: UCS2; anything else: the character set decides).
bool LobInUtf16(const ColumnInfo& column, const DecodeContext& context, std::uint16_t byte_length);

}  // namespace quillon
