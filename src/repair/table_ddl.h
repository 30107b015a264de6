// Table DDL: the CREATE TABLE statement of a rescued table, and the ALTER
// TABLE statements that give its columns their defaults once all tables
// exist.
//
// Generators read table definitions (reader/catalogue_view_tables.h) and
// hand statements to a sink; a table whose statement cannot be written
// safely (a name no quoted identifier can hold, a column type the target
// cannot be told) is left out with a reason.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "reader/catalogue_view_tables.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseTable = "Repairing Table ";
inline constexpr std::string_view kPhaseColumnDefault = "Repairing Column Default ";

// What the preview shows after the CREATE TABLE of an XMLType table, whose
// rows it does not list.
inline constexpr std::string_view kXmlTablePreviewNote = "\r\n\r\nthis is XML type Table so Data not Shown";

// The shape of a table, decided by its TAB$ property bits.
struct TableShape {
  bool partitioned = false;     // 0x20
  bool index_organized = false; // 0x40
  bool xml_type = false;        // an object table (0x01) of XMLType (0x20000000 with 0x00200000)
};
TableShape TableShapeOf(std::uint64_t property);

// Whether a table is an XMLType table: by its property bits, or by its
// SYS_NC_ROWINFO$ column of XMLType (an object table whose TAB$ property
// lacks the XMLType bits). The CREATE TABLE, the preview's note and the
// tree's click (which shows the script instead of rows) all decide by this.
bool IsXmlTypeTable(const TableDefinition& table);

// The type text of a column as CREATE TABLE writes it (" NUMBER (10,0)",
// " REF \"SCOTT\".\"ADDRESS_T\""), added to sql; false, with sql untouched,
// when the type cannot be written (unknown type number, unknown user type).
bool AppendColumnType(SqlBuilder& sql, const ColumnDefinition& column, std::string* why);

// A key column as key and index column lists write it: the quoted column
// name, or an attribute of an object column as "COLUMN"."ATTRIBUTE".
void AppendKeyColumn(SqlBuilder& sql, const TableDefinition& table, std::uint32_t internal_column,
                     std::string_view name);

// The primary-key and unique constraints a CREATE TABLE carries inline
// (those of partitioned and index-organized tables), which the constraint
// pass must not add again.
bool KeysAreInline(const TableDefinition& table);

// The CREATE TABLE statement of one table. Returns whether one was handed
// to the sink.
bool CreateTableStatement(const TableDefinition& table, StatementSink& sink);

// For every column with a default: ALTER TABLE ... MODIFY ("C" DEFAULT text).
void ApplyColumnDefaults(std::span<const TableDefinition> tables, StatementSink& sink);

}  // namespace quillon::repair
