// Column records of the catalogue: ColumnInfo (one per COL$ row),
// AttributeType (one per attribute of an object type), and the two row
// records the record view and the repair fill, DataView and ColInsert.
//
// Dictionary values keep the catalogue's conventions: type numbers and
// character set ids as packed codes (packed_codes.h), length, precision and
// scale as number texts with "FF" for NULL, the flag columns NULL$ and
// PROPERTY as their raw NUMBER bytes packed little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

struct ColumnInfo {
  std::uint32_t object_number = 0;    // OBJ# of the table (or cluster, view) the column belongs to
  std::uint32_t spare_value = 0;      // nothing in the dictionary fills it; stays 0
  std::uint32_t column_number = 0;    // COL#; 0 for hidden columns
  std::uint32_t segment_column = 0;   // SEGCOL#: position in the stored row; 0 for virtual columns
  std::string name;
  std::string sql_type;               // SqlTypeText of the column
  std::uint32_t type_code = 0;        // packed TYPE#
  std::string length_text;            // LENGTH as number text
  std::string precision_text;         // PRECISION#: number text, "FF" for NULL, "0" for zero
  std::string scale_text;             // SCALE: number text, "FF" for NULL, "0" for zero
  std::uint16_t null_bytes = 0;       // NULL$ as stored (0x0080 is 0: NULLs allowed)
  std::uint64_t property_bytes = 0;   // PROPERTY as stored, up to 8 bytes
  std::string default_text;           // DEFAULT$ with its last line feed turned into a blank
  std::uint32_t charset_id = 0;       // packed CHARSETID; 0x15C2 marks national columns
  std::uint16_t charset_form = 0;     // CHARSETFORM: 1 implicit, 2 national, 3 explicit
  std::uint32_t internal_column = 0;  // INTCOL#: the number ICOL$, CCOL$, LOB$ and COLTYPE$ use

  // Decoded forms of the stored flags.
  std::uint64_t property = 0;         // PROPERTY bits (0x20 hidden, 0x10000 virtual, ...)
  bool nullable = true;               // NULL$ is 0
  std::uint32_t data_length = 0;      // LENGTH as an integer
  std::uint32_t char_length = 0;      // SPARE3: the declared length in characters (CHAR_LENGTH); 0 when NULL
};

// One attribute of an object type (ATTRIBUTE$ in the type cluster), in the
// form the value decoder and the INSERT builder use for object columns.
struct AttributeType {
  std::string attribute_name;         // ATTRIBUTE$.NAME
  std::string type_owner;             // owner of the type the attribute belongs to
  std::uint32_t position = 0;         // ATTRIBUTE#; position 1 opens the constructor
  std::string attribute_type_name;    // name of the attribute's own type (VARCHAR2, or a user type)
  std::uint32_t charset_id = 0;       // packed CHARSETID
  std::uint32_t type_code = 0;        // packed SQL type number; 0x1602C2: the attribute is an object
  std::uint32_t nesting_marker = 0;   // 0, 1 or 2: set by the INSERT builder when it lays out constructors
  std::string type_name;              // name of the type the attribute belongs to (the constructor)
  std::uint32_t length = 0;           // LENGTH
  std::uint32_t precision = 0;        // PRECISION#

  std::string type_oid;               // TOID of the owning type, " %02X" x 16
  std::uint32_t version = 0;          // VERSION# of the owning type
  std::string attribute_type_oid;     // ATTR_TOID
};

// One displayed cell of the record view.
struct DataView {
  std::uint32_t column_number = 0;    // from ColumnInfo::column_number
  std::uint32_t segment_column = 0;   // from ColumnInfo::segment_column
  std::string column_name;
  std::uint32_t row_number = 0;       // not set by the browse path
  std::uint32_t property_low = 0;     // ColumnInfo::property_bytes, low and high words
  std::uint32_t property_high = 0;
  std::string value_text;             // cut to 40 characters in browse mode
  std::uint32_t value_length = 0;     // not set by the browse path
};

// One column of the table the record view or the repair works on. The
// record view's column list (TableColumnList) fills the name, the type text
// of the record view in sql_type, length, scale, nullability, default and
// the two numbers.
struct ColInsert {
  std::string column_name;
  std::string sql_type;
  std::string type_owner;
  std::string type_name;
  std::string precision_text;
  std::string scale_text;
  std::uint32_t type_code = 0;
  std::uint32_t column_number = 0;
  std::string length_text;
  std::string nullability;            // "NULL" or "NOT NULL"
  std::string default_text;
  std::uint32_t second_number = 0;    // ColumnInfo::segment_column
};

// The SQL type text of a column as written in DDL, from its packed type code
// and character set id and its length, precision and scale texts (number
// texts, "FF" for NULL). Lengths, precisions and scales are written as plain
// decimal integers ("FLOAT(126)", "NUMBER(10, 2)"). Types without a rule give
// kUnsupportedTypeText.
std::string SqlTypeText(std::uint32_t type_code, std::uint32_t charset_id, std::string_view length_text,
                        std::string_view precision_text, std::string_view scale_text);

inline constexpr std::string_view kUnsupportedTypeText = "UNSUPOORTED TYPE";

// A number text ("0100", "02", "0.0000", "-05") as a plain decimal integer
// text ("100", "2", "0", "-5"); other texts (the NULL text "FF") unchanged.
std::string PlainIntegerText(std::string_view number_text);

// The default expression as the catalogue keeps it: its last line feed
// (searched from the end, the first character excluded) becomes a blank.
std::string DefaultExpressionText(std::string text);

// COL$.PROPERTY bit of a virtual column (also the hidden columns of
// function-based indexes).
inline constexpr std::uint64_t kColumnVirtual = 0x10000;
// COL$.PROPERTY bit of a CHAR or VARCHAR2 column whose length is counted
// in characters (CHAR length semantics).
inline constexpr std::uint64_t kColumnCharSemantics = 0x800000;

}  // namespace quillon
