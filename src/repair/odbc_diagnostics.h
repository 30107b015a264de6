// ODBC failures as text: the diagnostic records of a handle and the four
// lines every target failure is described with:
//   "Message : " the call that failed and what it returned
//   "Code : " the SQLSTATE and the native error code of the first record
//   "Source : " the driver's name, or "null" when it is not known
//   "Description : " the records' messages, or "null" when there are none
// each ended by "\n". A secret (the password) is masked wherever a driver
// might echo it.
#pragma once

#include <sql.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::repair {

struct OdbcRecord {
  std::string state;  // the SQLSTATE, five characters
  std::int64_t native = 0;
  std::string message;
};

std::vector<OdbcRecord> ReadOdbcRecords(SQLSMALLINT handle_type, SQLHANDLE handle);

// "SQL_ERROR", "SQL_NEED_DATA", ...
std::string OdbcReturnName(SQLRETURN rc);

std::string DescribeOdbcError(std::string_view call, SQLRETURN rc, const std::vector<OdbcRecord>& records,
                              std::string_view driver, std::string_view secret);

// text with every occurrence of secret replaced by "********".
std::string MaskSecret(std::string text, std::string_view secret);

}  // namespace quillon::repair
