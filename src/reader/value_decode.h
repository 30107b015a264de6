// Column values: the stored bytes of one column turned into the value text
// that the record view shows and the INSERT builder wraps into a literal.
//
// The decoding is chosen by the column's packed type code (packed_codes.h)
// and, for character data, by the database or national character set of the
// decoding context. Decoding never fails: bytes that do not fit a rule still
// give some text, and a type without a rule gives "UNSUPPORTED VALUE".
//
// Browse mode (the record view) shows placeholders for bulky and structured
// types. In repair mode LONG, LONG RAW and LOB values are not turned into
// text: the result carries their bytes for the spill file. REF, VARRAY and
// object values carry their bytes for the INSERT builder, which writes them
// as constructors; the attributes of an object value are decoded one by one
// with this same function from their AttributeType records.
//
// Data mode (CSV and JSON exports) decodes like repair mode except for the
// types that have a data text: NUMBER (canonical decimal), DATE and the
// TIMESTAMP types (ISO 8601), the intervals (ISO 8601 durations),
// BINARY_FLOAT and BINARY_DOUBLE (shortest round trip). A value whose bytes
// are not a valid value of its type keeps its repair-mode text, so nothing
// of it is lost, and is marked as a plain string.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reader/bytes.h"
#include "reader/charset.h"

namespace quillon {

// The fixed texts of the value decoder.
namespace value_text {
inline constexpr std::string_view kUnsupported = "UNSUPPORTED VALUE";
inline constexpr std::string_view kLong = "Long";
inline constexpr std::string_view kLongRaw = "Long Raw";
inline constexpr std::string_view kObjectType = "OBJECT TYPE";
inline constexpr std::string_view kArrayType = "ARRAY TYPE";
inline constexpr std::string_view kClob = "CLOB";
inline constexpr std::string_view kNclob = "NCLOB";
inline constexpr std::string_view kBlob = "BLOB";
inline constexpr std::string_view kLobNull = " NULL";   // a NULL CLOB or NCLOB in browse mode
inline constexpr std::string_view kNull = "NULL";       // a NULL RAW, BLOB (browse) or BFILE
inline constexpr std::string_view kLongNull = "NULL,";  // a NULL LONG or LONG RAW in repair mode
// A NUMBER column's zero, unless the value was joined from two row pieces.
inline constexpr std::string_view kColumnZero = "00";
}  // namespace value_text

// The column a value belongs to: the catalogue's ColumnInfo and AttributeType
// records provide one.
struct ColumnDescriptor {
  std::uint32_t type_code = 0;     // packed TYPE#
  std::uint32_t charset_code = 0;  // packed CHARSETID (0x15C2: national character data)
  std::string_view name;           // only "NESTED_TABLE_ID" matters here
};

// One stored value: the column's bytes (already joined when it was split over
// row pieces), whether the row stores NULL, and whether it was joined.
struct StoredValue {
  ByteView bytes;
  bool is_null = false;
  bool joined = false;
};

enum class DecodeMode : std::uint8_t { kBrowse, kRepair, kData };

// What a text is, for writers that tell numbers from strings (JSON).
enum class TextForm : std::uint8_t {
  kString,
  kNumber,     // data mode: a decimal numeral in JSON's number syntax
  kNonFinite,  // data mode: "NaN", "Infinity" or "-Infinity" of a binary float
};

enum class ValueKind : std::uint8_t {
  kText,        // text is the value
  kSpill,       // repair mode LONG, LONG RAW, CLOB, NCLOB, BLOB: bytes go to the spill file
  kStructured,  // repair mode REF, object, VARRAY: bytes for the INSERT builder
};

struct DecodedValue {
  ValueKind kind = ValueKind::kText;
  std::string text;
  std::vector<std::uint8_t> bytes;  // kSpill and kStructured: the stored bytes
  bool is_null = false;
  // The stored bytes do not have a length the type allows; the text is what
  // could be made of them.
  bool malformed = false;
  TextForm form = TextForm::kString;
};

// What decoding keeps between values: the character sets of the source
// database and the last nested-table identifier read.
class DecodeContext {
 public:
  DecodeContext();
  explicit DecodeContext(const CharsetInfo& database,
                         const CharsetInfo& national = DefaultNationalCharset());

  void SetDatabaseCharset(const CharsetInfo& charset) { database_ = CharsetDecoder(charset); }
  void SetNationalCharset(const CharsetInfo& charset);
  const CharsetDecoder& database() const { return database_; }
  const CharsetDecoder& national() const { return national_; }
  // True for id 2000 and for the national character set's own id.
  bool IsNational(std::uint32_t charset_code) const;

  // The hexadecimal text of the last nested-table column (type 122) or RAW
  // column named "NESTED_TABLE_ID"; empty after a NULL one.
  std::string nested_table_id;

 private:
  CharsetDecoder database_;
  CharsetDecoder national_;
  std::uint32_t national_code_ = 0;  // the national set's id, packed once (IsNational runs per value)
};

// Decodes one column value.
DecodedValue DecodeColumnValue(const ColumnDescriptor& column, const StoredValue& value, DecodeMode mode,
                               DecodeContext& context);
// The same into a result that is reused from value to value: its text and
// bytes keep their storage, so a long walk over rows does not allocate.
void DecodeColumnValueInto(const ColumnDescriptor& column, const StoredValue& value, DecodeMode mode,
                           DecodeContext& context, DecodedValue& out);

// The column value as the record view shows it: its first 40 characters.
inline constexpr std::size_t kBrowseCellCharacters = 40;
std::string BrowseCellText(std::string_view text);

// The types with a decoding rule, for tools and tests.
struct ValueTypeInfo {
  std::uint16_t type_number;
  std::uint32_t code;  // packed
  std::string_view name;
  // The stored sizes Oracle writes: from min_size to max_size, or with
  // two_sizes only these two. A value of another size is malformed.
  std::uint16_t min_size;
  std::uint16_t max_size;
  bool two_sizes = false;
};
std::span<const ValueTypeInfo> KnownValueTypes();
const ValueTypeInfo* FindValueType(std::uint32_t code);

}  // namespace quillon
