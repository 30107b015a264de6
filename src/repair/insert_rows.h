// Row insertion into an Oracle target: one INSERT per rescued row, its
// values bound wherever Oracle takes a placeholder, so that the rows of a
// table share one statement text (a target prepares it once and may send
// many rows per execute).
//
// The statement: insert into "OWNER"."TABLE" [PARTITION ("P") | SUBPARTITION
// ("S")] ("C1","C2",...) values (item, item, ...). The column list is that
// of the table's CREATE TABLE without its virtual columns: hidden, unused
// and system-made (SYS_NC...) columns are left out, as Oracle fills them.
//
// Value items (ValueItemFor): NULL for a NULL of any type; "?" with the
// value bound for character data (national columns as UTF-16), RAW bytes,
// intervals, ROWIDs (as text), NUMBER and the binary floats (C-locale text
// with every digit); the binary floats' NaN and infinities as Oracle's
// BINARY_FLOAT_NAN / BINARY_DOUBLE_INFINITY forms; DATE through TO_DATE with
// a signed-year mask in the American date language (BC dates survive any
// session), the timestamps through TO_TIMESTAMP / TO_TIMESTAMP_TZ with all
// nine fraction digits; LONG, LONG RAW and LOBs as long values streamed from
// the spill folder, an empty LOB as EMPTY_CLOB() / EMPTY_BLOB(); a BFILE as
// BFILENAME(?, ?) with its directory and file names bound; an object
// column through its type's constructor over the attributes its hidden
// columns store ("OWNER"."TYPE"(?, ?, NULL)), an object attribute through
// its own, a collection, LOB or BFILE attribute as such a column
// (object_shape.h); a VARRAY or nested table through its type's
// constructor over its elements ("OWNER"."TYPE"(?, ?)),
// a VARRAY's from its stored image (in the row, or the data of the LOB a
// VARRAY stored as a LOB points to), a nested table's from the rows of its
// storage table (elements of an object type through their own type's
// constructor over the storage table's attribute columns:
// "O"."LINES_T"("O"."LINE_T"(?, ?), ...)); an XMLType value stored as a CLOB
// as XMLTYPE(?) with the document bound as a CLOB, one stored
// object-relationally through the XML value builder. Values this builder
// cannot make (objects with a REF attribute, VARRAY elements with a LOB
// attribute, a collection with an unreadable element, REFs, a damaged BFILE
// locator) are written as NULL, so the column and value lists stay in step,
// counted as lost and noted in the errors.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reader/block_source.h"
#include "reader/catalogue_views.h"
#include "reader/engine.h"
#include "reader/value_decode.h"
#include "repair/spill_folder.h"
#include "repair/target.h"
#include "rows/row_reader.h"

namespace quillon::repair {

// One value item of an INSERT: its SQL text (with a "?" per bound value)
// and the values bound to it, in order.
struct ValueItem {
  std::string sql;
  std::vector<Value> values;
  // The value could not be written (a type the builder does not know): the
  // item is NULL and the value is counted as lost.
  bool lost = false;
};

// The item of a scalar value (every type but the long ones, objects,
// collections and XMLType).
ValueItem ScalarValueItem(const ColumnInfo& column, const StoredValue& value, DecodeContext& context);

// The texts TO_DATE and TO_TIMESTAMP read: "05-MAR-2009 02:07:09 PM"
// ("-" before a BC year), "2009-03-05 14:07:09.000000000" ("-" before a BC
// year), the zoned one with " +01:00". std::nullopt for bytes that hold no
// date.
std::optional<std::string> OracleDateText(ByteView bytes);
// The same into out, its storage reused; false (out unspecified) when the
// bytes are no valid date.
bool AssignOracleDateText(ByteView bytes, std::string& out);
std::optional<std::string> OracleTimestampText(std::uint32_t type_code, ByteView bytes);

// The elements of a VARRAY stored in the row, from its pickled image (the
// layout in reader/format.h, varray_image): a NULL element (or an
// atomically NULL object) is_null, any other its bytes (a scalar as a
// row's column holds it, an object or a collection its own image).
// std::nullopt when the image is damaged (too short, a length that is not
// the image's, or bytes left after the counted elements).
std::optional<std::vector<StoredValue>> VarrayElements(ByteView image);
// The attributes of the pickled image of an object that is an element of a
// collection, one value per entry of in_line, in the order of the columns
// of a table's object column: an attribute that is an object itself
// (in_line[i] > 0) is written in line with no length of its own, and given
// as its null image (NULL when it is NULL as a whole, else present with no
// bytes) followed by its in_line[i] values. std::nullopt as above.
std::optional<std::vector<StoredValue>> ObjectImageAttributes(ByteView image, std::span<const std::size_t> in_line);

// The hidden CLOB that stores the documents of the XMLType column (or
// XMLType table row) with this INTCOL#: the stored CLOB column that
// follows it. std::nullopt when the value is stored otherwise.
std::optional<std::size_t> XmlTextColumn(const TableLayout& layout, std::uint32_t xml_internal_column);

inline constexpr std::string_view kDateMask = "'DD-MON-SYYYY HH:MI:SS AM'";
inline constexpr std::string_view kTimestampMask = "'SYYYY-MM-DD HH24:MI:SS.FF9'";
inline constexpr std::string_view kTimestampTzMask = "'SYYYY-MM-DD HH24:MI:SS.FF9 TZH:TZM'";

// XMLType values (type 58 columns and XMLType tables): the item that
// re-creates one, from the XML value builder. Until one is given, every
// such value is written as NULL and counted as lost.
using XmlValueBuilder = std::function<std::optional<ValueItem>(const TableRow& row, const ColumnInfo& column,
                                                               const StoredValue& value)>;

struct InsertOptions {
  // LONG and LONG RAW values longer than this cannot be written (a SQL*Plus
  // script takes at most 32,760 bytes in a PL/SQL variable); their rows are
  // counted as failed and not handed to the target. 0: no limit.
  std::uint64_t max_long_bytes = 0;
  XmlValueBuilder xml_values;
  // After each block read (blocks done, of how many).
  std::function<void(std::uint64_t, std::uint64_t)> progress;
};

// What one table's rows gave.
struct InsertResult {
  std::size_t fields = 0;            // columns in the INSERT's column list
  std::uint64_t rows = 0;            // rows inserted
  std::uint64_t failed_rows = 0;     // rows refused by the target or not writable
  std::uint64_t partial_rows = 0;    // rows whose chain broke (inserted as found)
  std::uint64_t incomplete_lobs = 0; // LOBs written without some of their pages
  std::uint64_t lost_values = 0;     // values written as NULL because they could not be built
  std::uint64_t long_values_too_long = 0;  // LONG / LONG RAW values over max_long_bytes
  bool stopped = false;
  std::vector<std::string> errors;   // each with its statement text, never row values
};

// The INSERT's column list: indexes into the layout's columns, in the order
// of the table's CREATE TABLE.
std::vector<std::size_t> InsertColumns(const TableDefinition& table, const TableLayout& layout);

// "insert into "OWNER"."TABLE"" with the partition clause for a row from a
// partition or subpartition; std::nullopt when a name cannot be quoted.
std::optional<std::string> InsertHead(std::string_view owner, std::string_view table, const TableSegment* segment);

// Reads the table's rows and hands each to the target (BeginRows ...
// EndRows), with the long values in spill. The engine's stop flag ends the
// reading after the current block.
InsertResult InsertTableRows(COracleRecoveryTools& engine, BlockSource& source, const TableDefinition& table,
                             Target& target, SpillFolder& spill, const InsertOptions& options = {});

}  // namespace quillon::repair
