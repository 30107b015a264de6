// The stored bytes of the description's table rows: every stored column of
// a resolved table in segment column order, encoded for its type with the
// value encoders (values.h); and the value text the reader's repair mode
// gives each stored value, for the describer's rows.
//
// Some stored forms are the generator's own where Oracle's are beyond what
// the reader decodes: an object or XMLType column stores a one-byte null
// image (its attributes or its CLOB are hidden columns of their own); a LOB
// is always stored in the row (in-line locator: data from offset 36, the
// values at 24 and 32 mark it in-line); a VARRAY stores a small image (a
// presence byte, the element count and the elements as row columns), a
// VARRAY stored as a LOB the same image as an in-line LOB's data.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "reader/charset.h"
#include "testdb/resolved_schema.h"

namespace quillon::testdb {

class RowEncoder {
 public:
  // types: the schema's types, which type the attributes of a VARRAY's
  // object elements (without them, attributes are typed by their values).
  RowEncoder(const CharsetInfo& database, const CharsetInfo& national,
             const std::vector<TypeDescription>* types = nullptr);

  // The stored columns of one row, in segment column order.
  std::vector<ColumnBytes> Encode(const RTable& table, const RowValues& row, std::size_t row_index) const;
  // One stored column.
  ColumnBytes EncodeColumn(const RTable& table, const RColumn& column, const RowValues& row,
                           std::size_t row_index) const;
  // A value for a column of this logical type.
  ColumnBytes EncodeValue(const Value& value, const ColumnType& type) const;

  // The value text of a stored column as the reader's repair mode gives it
  // (DecodeColumnValue); LONG and LOB values as their content (hex for
  // binary data, UTF-8 text for character data); object, REF and VARRAY
  // values as the hex of their stored bytes. std::nullopt for NULL.
  std::optional<std::string> ValueText(const RColumn& column, const ColumnBytes& stored, const RowValues& row) const;

  // The stored columns of a table in segment column order.
  static std::vector<const RColumn*> StoredColumns(const RTable& table);

  const CharsetInfo& database() const { return *database_; }

 private:
  // A collection's pickled image (type: its type, when known).
  Bytes CollectionImage(const Value& collection, const TypeDescription* type) const;
  // The attributes of an object inside a pickled image, appended to out.
  void AppendImageAttributes(Bytes& out, const Value& object, const TypeDescription* type) const;
  const TypeDescription* TypeNamed(const ColumnType& type) const;

  const CharsetInfo* database_;
  const CharsetInfo* national_;
  const std::vector<TypeDescription>* types_;
  bool clob_in_utf16_;  // CLOB data of a varying-width database character set is stored as AL16UTF16
};

// An in-row LOB locator holding data (lob_id makes the locator's identifier
// and its version); ucs2 when character data are kept in UCS2.
Bytes InlineLobLocator(const Bytes& data, std::uint64_t lob_id, bool character, bool ucs2);
// The object identifier of a row of a typed table.
Bytes RowObjectId(std::uint32_t table, std::size_t row);

}  // namespace quillon::testdb
