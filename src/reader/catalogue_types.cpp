#include "reader/catalogue_types.h"

#include <array>

#include "reader/packed_codes.h"

namespace quillon {

namespace {

struct TypecodeMapping {
  std::uint32_t typecode;   // OCI type code in TYPE$.TYPECODE
  std::uint32_t sql_type;   // COL$.TYPE# of a column of that type
};

// OCI type codes and the SQL type numbers that store them.
constexpr std::array kTypecodeMappings = {
    TypecodeMapping{1, 1},      TypecodeMapping{9, 1},      TypecodeMapping{287, 1},    // VARCHAR, VARCHAR2, NVARCHAR2
    TypecodeMapping{2, 2},      TypecodeMapping{3, 2},      TypecodeMapping{4, 2},      // NUMBER, INTEGER, FLOAT
    TypecodeMapping{7, 2},      TypecodeMapping{21, 2},     TypecodeMapping{22, 2},     // DECIMAL, REAL, DOUBLE
    TypecodeMapping{246, 2},    TypecodeMapping{27, 2},     TypecodeMapping{28, 2},     // SMALLINT, SIGNED8/16
    TypecodeMapping{29, 2},     TypecodeMapping{245, 2},                                // SIGNED32, OCTET
    TypecodeMapping{12, 12},    TypecodeMapping{95, 23},    TypecodeMapping{96, 96},    // DATE, RAW, CHAR
    TypecodeMapping{286, 96},   TypecodeMapping{58, 58},    TypecodeMapping{100, 100},  // NCHAR, OPAQUE, BFLOAT
    TypecodeMapping{101, 101},  TypecodeMapping{104, 208},  TypecodeMapping{108, 121},  // BDOUBLE, UROWID, OBJECT
    TypecodeMapping{110, 111},  TypecodeMapping{112, 112},  TypecodeMapping{288, 112},  // REF, CLOB, NCLOB
    TypecodeMapping{113, 113},  TypecodeMapping{114, 114},  TypecodeMapping{122, 122},  // BLOB, BFILE, collection
    TypecodeMapping{248, 122},  TypecodeMapping{247, 123},  TypecodeMapping{187, 180},  // TABLE, VARRAY, TIMESTAMP
    TypecodeMapping{188, 181},  TypecodeMapping{232, 231},  TypecodeMapping{189, 182},  // TZ, LTZ, INTERVAL YM
    TypecodeMapping{190, 183},                                                          // INTERVAL DS
};

}  // namespace

std::uint32_t SqlTypeCodeOfTypecode(std::uint32_t typecode) {
  for (const auto& m : kTypecodeMappings) {
    if (m.typecode == typecode) return PackedCode(m.sql_type);
  }
  return 0;
}

}  // namespace quillon
