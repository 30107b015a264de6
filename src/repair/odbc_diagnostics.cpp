#include "repair/odbc_diagnostics.h"

#include <sqlext.h>

#include "repair/odbc_text.h"

namespace quillon::repair {

std::vector<OdbcRecord> ReadOdbcRecords(SQLSMALLINT handle_type, SQLHANDLE handle) {
  std::vector<OdbcRecord> records;
  if (handle == SQL_NULL_HANDLE) return records;
  for (SQLSMALLINT i = 1; i <= 20; ++i) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::u16string message(1024, u'\0');
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(handle_type, handle, i, state, &native, reinterpret_cast<SQLWCHAR*>(message.data()),
                                  static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.assign(static_cast<std::size_t>(length) + 1, u'\0');
      rc = SQLGetDiagRecW(handle_type, handle, i, state, &native, reinterpret_cast<SQLWCHAR*>(message.data()),
                          static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!(rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO)) break;
    message.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), message.size()));
    OdbcRecord record;
    record.state = Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(state), 5));
    record.native = native;
    record.message = Utf16ToUtf8(message);
    records.push_back(std::move(record));
  }
  return records;
}

std::string OdbcReturnName(SQLRETURN rc) {
  switch (rc) {
    case SQL_SUCCESS: return "SQL_SUCCESS";
    case SQL_SUCCESS_WITH_INFO: return "SQL_SUCCESS_WITH_INFO";
    case SQL_ERROR: return "SQL_ERROR";
    case SQL_INVALID_HANDLE: return "SQL_INVALID_HANDLE";
    case SQL_NEED_DATA: return "SQL_NEED_DATA";
    case SQL_NO_DATA: return "SQL_NO_DATA";
    case SQL_STILL_EXECUTING: return "SQL_STILL_EXECUTING";
    default: return "return code " + std::to_string(rc);
  }
}

std::string MaskSecret(std::string text, std::string_view secret) {
  if (secret.empty()) return text;
  for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 8)) {
    text.replace(at, secret.size(), "********");
  }
  return text;
}

namespace {

// One line: line breaks inside a driver's message would break the four
// lines apart.
std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return text;
}

}  // namespace

std::string DescribeOdbcError(std::string_view call, SQLRETURN rc, const std::vector<OdbcRecord>& records,
                              std::string_view driver, std::string_view secret) {
  std::string out = "Message : " + std::string(call) + " returned " + OdbcReturnName(rc) + "\n";
  out += "Code : ";
  if (records.empty()) {
    out += "null";
  } else {
    out += "SQLSTATE " + records.front().state + ", native error " + std::to_string(records.front().native);
  }
  out += "\n";
  out += "Source : " + (driver.empty() ? std::string("null") : OneLine(std::string(driver))) + "\n";
  std::string description;
  for (const OdbcRecord& r : records) {
    const std::string m = OneLine(r.message);
    if (m.empty()) continue;
    if (!description.empty()) description += " | ";
    description += m;
  }
  out += "Description : " + (description.empty() ? std::string("null") : description) + "\n";
  return MaskSecret(std::move(out), secret);
}

}  // namespace quillon::repair
