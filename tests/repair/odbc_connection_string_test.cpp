// Connection strings: the password and the user stay one value each,
// whatever they hold.
#include <gtest/gtest.h>

#include "repair/odbc_connection_string.h"

namespace quillon::repair {
namespace {

// The value of key in a connection string, read the way the driver manager
// reads it (a plain value up to ";", or braces with "}}" for "}").
std::string ValueOf(const std::string& text, const std::string& key) {
  const std::string start = ";" + key + "=";
  const std::string padded = ";" + text;
  const std::size_t at = padded.find(start);
  if (at == std::string::npos) return "<missing>";
  std::size_t i = at + start.size();
  if (i >= padded.size() || padded[i] != '{') return padded.substr(i, padded.find(';', i) - i);
  std::string out;
  for (++i; i < padded.size(); ++i) {
    if (padded[i] == '}') {
      if (i + 1 < padded.size() && padded[i + 1] == '}') {
        out += '}';
        ++i;
        continue;
      }
      return out;
    }
    out += padded[i];
  }
  return "<unterminated>";
}

TEST(OdbcConnectionString, HostilePasswordsStayOneValue) {
  const std::vector<std::string> passwords = {"plain", "a;b", "x}y", "k=v", "};PWD={z", "{b}}", "}}}", ";UID=sys;", " spaced ", ""};
  for (const std::string& password : passwords) {
    SCOPED_TRACE(password);
    std::string error;
    const std::string text = BuildConnectionString("ORCL", "SYSTEM", password, error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(ConnectionStringKeys(text), (std::vector<std::string>{"DSN", "UID", "PWD"})) << text;
    EXPECT_EQ(ValueOf(text, "PWD"), password) << text;
    EXPECT_EQ(ValueOf(text, "UID"), "SYSTEM");
    EXPECT_EQ(ValueOf(text, "DSN"), "ORCL");
  }
}

TEST(OdbcConnectionString, ConnectionStringsKeepTheirKeysAndRefuseCredentials) {
  struct Case {
    std::string target;
    std::vector<std::string> keys;  // empty: refused
  };
  const std::vector<Case> cases = {
      {"DRIVER={Oracle 19 ODBC driver};DBQ=//host:1521/ORCL", {"DRIVER", "DBQ", "UID", "PWD"}},
      {"DRIVER={a;PWD=b};DBQ=x;", {"DRIVER", "DBQ", "UID", "PWD"}},
      {"DSN=ORCL;PWD=secret", {}},
      {"DSN=ORCL; pwd =secret", {}},
      {"DSN=ORCL;UID=scott", {}},
      {"DRIVER={x};Password={p}", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    std::string error;
    const std::string text = BuildConnectionString(c.target, "SYSTEM", "pw", error);
    if (c.keys.empty()) {
      EXPECT_EQ(text, "");
      EXPECT_NE(error, "");
    } else {
      EXPECT_EQ(ConnectionStringKeys(text), c.keys) << text;
    }
  }
}

TEST(OdbcConnectionString, NulAndEmptyNamesAreRefused) {
  std::string error;
  EXPECT_EQ(BuildConnectionString("ORCL", "SYSTEM", std::string("a\0b", 3), error), "");
  EXPECT_NE(error, "");
  EXPECT_EQ(BuildConnectionString("  ", "SYSTEM", "pw", error), "");
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace quillon::repair
