#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "repair/code_catalogue.h"
#include "repair/link_ddl.h"
#include "repair/repair_phases.h"
#include "repair/retry_list.h"
#include "repair/xml_text.h"
#include "reader/packed_codes.h"
#include "repair/xml_value.h"

namespace quillon::repair {
namespace {

// Executes statements against a pretend database in which a view or unit
// succeeds only once every object its text names exists.
class PretendTarget : public StatementSink {
 public:
  void Accept(const Statement& s) override {
    if (!Run(s)) retries_.Failed(s);
  }
  void Skipped(const StatementNote&, std::string_view) override {}
  void RetryFailed() override {
    ++retry_calls;
    for (const Statement& s : retries_.Take()) {
      if (!Run(s)) lost.push_back(s.note.object);
    }
  }

  std::set<std::string> created;
  std::vector<std::string> lost;
  std::vector<std::string> runs;
  int retry_calls = 0;

 private:
  bool Run(const Statement& s) {
    runs.push_back(s.note.object);
    for (const std::string needed : {"V_BASE", "P_LATER"}) {
      if (s.text.find(" from " + needed) != std::string::npos || s.text.find("call " + needed) != std::string::npos) {
        if (created.count(needed) == 0) return false;
      }
    }
    const std::size_t dot = s.note.object.find('.');
    if (dot != std::string::npos) created.insert(s.note.object.substr(dot + 1));
    return true;
  }
  RetryList retries_;
};

TEST(CodeRetry, ObjectsThatUseALaterObjectAreRunOnceMoreAfterTheCodePhases) {
  test::CodeCatalogue db;
  // V_TOP comes before the view it selects from; F calls a procedure of a
  // later phase.
  db.View("HR", "V_TOP", "select x from V_BASE", {"X"});
  db.View("HR", "V_BASE", "select 1 x from dual", {"X"});
  db.Unit(ObjectKind::kFunction, "HR", "F", {"function f return number is begin call P_LATER; return 1; end;"});
  db.Unit(ObjectKind::kProcedure, "HR", "P_LATER", {"procedure p_later is begin null; end;"});
  PretendTarget target;
  GenerateCodePhases(db.cat, target);
  EXPECT_EQ(target.retry_calls, 1);
  EXPECT_EQ(target.created.count("V_TOP"), 1u);
  EXPECT_EQ(target.created.count("F"), 1u);
  EXPECT_TRUE(target.lost.empty());
  // V_TOP and F ran twice, everything else once.
  EXPECT_EQ(std::count(target.runs.begin(), target.runs.end(), "View HR.V_TOP"), 2);
  EXPECT_EQ(std::count(target.runs.begin(), target.runs.end(), "Function HR.F"), 2);
  EXPECT_EQ(std::count(target.runs.begin(), target.runs.end(), "View HR.V_BASE"), 1);
}

TEST(CodeRetry, OnlyStatementsMarkedForRetryAreKept) {
  RetryList list;
  Statement grant;
  grant.text = "GRANT SELECT ON \"HR\".\"T\" TO \"X\"";
  Statement view;
  view.retry_when_failed = true;
  EXPECT_FALSE(list.Failed(grant));
  EXPECT_TRUE(list.Failed(view));
  EXPECT_EQ(list.Take().size(), 1u);
  EXPECT_TRUE(list.empty());
}

TEST(XmlText, NamesThatAreNotXmlNamesMakeNoDocument) {
  struct Case {
    const char* name;
    bool ok;
  };
  const Case cases[] = {{"PurchaseOrder", true}, {"_x.y-z1", true}, {"1st", false}, {"a b", false},
                        {"a<b", false}, {"", false}, {"x:y", false}, {"-a", false}};
  for (const Case& c : cases) EXPECT_EQ(IsXmlName(c.name), c.ok) << c.name;
  const CharsetDecoder utf8(*FindCharset("AL32UTF8"));
  XmlValueSchema schema;
  schema.url = "u";
  schema.main_elements.push_back(XmlValueElement{"a><script", type_code::kVarchar2, {}});
  const std::uint8_t row[] = {1, 'x'};
  std::size_t position = 0;
  EXPECT_TRUE(BuildXmlValue(schema, ByteView(row, sizeof row), position, utf8, "?").expression.empty());
}

}  // namespace
}  // namespace quillon::repair

namespace quillon::repair {
namespace {

// Names and texts from a damaged dictionary never change what a statement
// does: a name that no quoted identifier holds leaves its object out, a
// literal has its quotes doubled.
TEST(CodeHostileNames, NamesAreQuotedOrTheObjectIsLeftOut) {
  test::CodeCatalogue db;
  db.Synonym("HR", "S\"; DROP USER X; --", "HR", "T");
  db.Synonym("HR", "S2", "HR", std::string(31, 'T'));
  db.View("H\nR", "V", "select 1 x from dual", {"X"});
  db.Unit(ObjectKind::kFunction, "A\"B", "F", {"function f return number is begin return 1; end;"});
  const std::uint32_t owner = db.User("HR\"X");
  DatabaseLinkRecord link;
  link.owner_number = owner;
  link.name = "L";
  db.cat.database_links.Append(link);
  DatabaseLinkRecord host;
  host.owner_number = db.User("PUBLIC");
  host.name = "H";
  host.host = "x' ) ; DROP TABLE T; --";
  db.cat.database_links.Append(host);
  RecorderSink sink;
  GenerateCodePhases(db.cat, sink);
  CreateDatabaseLinks(db.cat, sink);
  ASSERT_EQ(sink.statements.size(), 1u);
  EXPECT_EQ(sink.statements[0].text, "CREATE PUBLIC DATABASE LINK H\n  USING 'x'' ) ; DROP TABLE T; --'");
  EXPECT_EQ(sink.skipped.size(), 5u);
}

}  // namespace
}  // namespace quillon::repair
