#include <gtest/gtest.h>

#include <string>

#include "repair/quoting.h"

namespace quillon::repair {
namespace {

TEST(Quoting, IdentifiersAreQuotedOrRefused) {
  struct Case {
    std::string name;
    const char* quoted;  // nullptr: refused
    const char* reason_part;
  };
  const Case cases[] = {
      {"SCOTT", "\"SCOTT\"", nullptr},
      {"lower case", "\"lower case\"", nullptr},
      {"A;B", "\"A;B\"", nullptr},
      {"X IDENTIFIED BY Y", "\"X IDENTIFIED BY Y\"", nullptr},
      {"O'BRIEN", "\"O'BRIEN\"", nullptr},
      {std::string(30, 'N'), nullptr, nullptr},
      {std::string(31, 'N'), nullptr, "longer than 30 bytes"},
      {"", nullptr, "empty"},
      {"A\"B", nullptr, "double quote"},
      {std::string("A\0B", 3), nullptr, "NUL"},
      {"A\nB", nullptr, "control character"},
      {"A\rB", nullptr, "control character"},
      // 15 two-byte characters are 30 bytes; one more is over the limit.
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
       "\xC3\xA9\xC3\xA9",
       nullptr, nullptr},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
       "\xC3\xA9\xC3\xA9X",
       nullptr, "longer than 30 bytes"},
  };
  for (const Case& c : cases) {
    const Quoted q = QuoteIdent(c.name);
    if (c.reason_part == nullptr) {
      ASSERT_TRUE(q.ok()) << c.name << ": " << q.reason();
      if (c.quoted) {
        EXPECT_EQ(q.text(), c.quoted);
      }
      EXPECT_EQ(q.text(), "\"" + c.name + "\"");
    } else {
      EXPECT_FALSE(q.ok()) << c.name;
      EXPECT_NE(q.reason().find(c.reason_part), std::string::npos) << q.reason();
      // The reason is printable on one line.
      EXPECT_EQ(q.reason().find('\n'), std::string::npos);
      EXPECT_EQ(q.reason().find('\0'), std::string::npos);
    }
  }
}

TEST(Quoting, LiteralsDoubleTheirQuotesOrAreRefused) {
  struct Case {
    std::string text;
    const char* quoted;  // nullptr: refused
  };
  const Case cases[] = {
      {"", "''"},
      {"D:\\oracle\\oradata\\NEWDB\\USERS01.DBF", "'D:\\oracle\\oradata\\NEWDB\\USERS01.DBF'"},
      {"it's", "'it''s'"},
      {"'", "''''"},
      {"'; DROP USER SYS; --", "'''; DROP USER SYS; --'"},
      {"cn=a,o=b", "'cn=a,o=b'"},
      {std::string("a\0b", 3), nullptr},
      {"a\nb", nullptr},
      {"a\rb", nullptr},
  };
  for (const Case& c : cases) {
    const Quoted q = QuoteLiteral(c.text);
    if (c.quoted) {
      ASSERT_TRUE(q.ok()) << q.reason();
      EXPECT_EQ(q.text(), c.quoted);
    } else {
      EXPECT_FALSE(q.ok()) << c.text;
    }
  }
}

TEST(Quoting, PrintableNamesHaveNoControlCharactersAndAreCut) {
  EXPECT_EQ(PrintableName("A\nB\tC"), "A?B?C");
  const std::string long_name(200, 'x');
  EXPECT_EQ(PrintableName(long_name).size(), 80u + 3u);
  // A cut never ends inside a UTF-8 sequence.
  std::string accented;
  for (int i = 0; i < 60; ++i) accented += "\xC3\xA9";
  const std::string shown = PrintableName(accented);
  ASSERT_GE(shown.size(), 4u);
  const std::string body = shown.substr(0, shown.size() - 3);
  EXPECT_EQ(body.size() % 2, 0u);
}

}  // namespace
}  // namespace quillon::repair
