#include "reader/catalogue_types.h"

#include <array>

#include "reader/packed_codes.h"

namespace quillon {

namespace {

struct TypecodeMapping {
  std::uint32_t typecode;   // OCI type code in TYPE$.TYPECODE
  std::uint32_t sql_type;   // COL$.TYPE# of a column of that type
  std::string_view name;    // the built-in type's name; empty for user-defined kinds
};

// OCI type codes and the SQL type numbers that store them.
constexpr std::array kTypecodeMappings = {
    TypecodeMapping{1, 1, "VARCHAR"},          TypecodeMapping{9, 1, "VARCHAR2"},
    TypecodeMapping{287, 1, "NVARCHAR2"},      TypecodeMapping{2, 2, "NUMBER"},
    TypecodeMapping{3, 2, "INTEGER"},          TypecodeMapping{4, 2, "FLOAT"},
    TypecodeMapping{7, 2, "DECIMAL"},          TypecodeMapping{21, 2, "REAL"},
    TypecodeMapping{22, 2, "DOUBLE PRECISION"}, TypecodeMapping{246, 2, "SMALLINT"},
    TypecodeMapping{27, 2, "SIGNED BINARY INTEGER(8)"}, TypecodeMapping{28, 2, "SIGNED BINARY INTEGER(16)"},
    TypecodeMapping{29, 2, "SIGNED BINARY INTEGER(32)"}, TypecodeMapping{245, 2, "OCTET"},
    TypecodeMapping{12, 12, "DATE"},           TypecodeMapping{95, 23, "RAW"},
    TypecodeMapping{96, 96, "CHAR"},           TypecodeMapping{286, 96, "NCHAR"},
    TypecodeMapping{58, 58, ""},               TypecodeMapping{100, 100, "BINARY_FLOAT"},
    TypecodeMapping{101, 101, "BINARY_DOUBLE"}, TypecodeMapping{104, 208, "UROWID"},
    TypecodeMapping{108, 121, ""},             TypecodeMapping{110, 111, ""},
    TypecodeMapping{112, 112, "CLOB"},         TypecodeMapping{288, 112, "NCLOB"},
    TypecodeMapping{113, 113, "BLOB"},         TypecodeMapping{114, 114, "BFILE"},
    TypecodeMapping{122, 122, ""},             TypecodeMapping{248, 122, ""},
    TypecodeMapping{247, 123, ""},             TypecodeMapping{187, 180, "TIMESTAMP"},
    TypecodeMapping{188, 181, "TIMESTAMP WITH TIME ZONE"},
    TypecodeMapping{232, 231, "TIMESTAMP WITH LOCAL TIME ZONE"},
    TypecodeMapping{189, 182, "INTERVAL YEAR TO MONTH"},
    TypecodeMapping{190, 183, "INTERVAL DAY TO SECOND"},
};

const TypecodeMapping* FindMapping(std::uint32_t typecode) {
  for (const auto& m : kTypecodeMappings) {
    if (m.typecode == typecode) return &m;
  }
  return nullptr;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::uint32_t SqlTypeCodeOfTypecode(std::uint32_t typecode) {
  const TypecodeMapping* m = FindMapping(typecode);
  return m ? PackedCode(m->sql_type) : 0;
}

std::string_view BuiltinTypeName(std::uint32_t typecode) {
  const TypecodeMapping* m = FindMapping(typecode);
  return m ? m->name : std::string_view();
}

std::optional<std::uint32_t> BuiltinTypecode(std::string_view type_oid) {
  // Sixteen groups of " XX".
  if (type_oid.size() != 48) return std::nullopt;
  std::uint32_t last = 0;
  for (std::size_t i = 0; i < 16; ++i) {
    const int high = HexDigit(type_oid[3 * i + 1]);
    const int low = HexDigit(type_oid[3 * i + 2]);
    if (type_oid[3 * i] != ' ' || high < 0 || low < 0) return std::nullopt;
    const auto byte = static_cast<std::uint32_t>(high * 16 + low);
    if (i < 15 && byte != 0) return std::nullopt;
    last = byte;
  }
  if (last == 0) return std::nullopt;
  return last;
}

}  // namespace quillon
