// Names from a rescued dictionary are untrusted. Whatever a name holds, each
// statement built with it must still say exactly what the same statement
// says with a plain name: the same keywords, the same number of names and
// literals, in the same places. Names that no quoted identifier can hold are
// refused with a reason instead.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "repair/quoting.h"
#include "repair/repair_phases.h"
#include "repair/script_writer.h"
#include "repair/security_catalogue.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

// A statement with every quoted name made "?" and every literal '?'.
std::string Skeleton(const std::string& sql) {
  std::string out;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '"') {
      const std::size_t end = sql.find('"', i + 1);
      if (end == std::string::npos) return out + "<unclosed name>";
      out += "\"?\"";
      i = end;
    } else if (c == '\'') {
      std::size_t j = i + 1;
      while (j < sql.size()) {
        if (sql[j] == '\'' && j + 1 < sql.size() && sql[j + 1] == '\'') {
          j += 2;
        } else if (sql[j] == '\'') {
          break;
        } else {
          ++j;
        }
      }
      if (j >= sql.size()) return out + "<unclosed literal>";
      out += "'?'";
      i = j;
    } else if (c == '\n' || c == '\t') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

// A catalogue that uses one name everywhere a name can stand.
void Build(test::SecurityCatalogue& db, const std::string& name) {
  db.Tablespace(name);
  db.Datafile(name, name);
  db.SystemPrivilegeName(-5, "CREATE SESSION");
  db.TablePrivilegeName(10, "UPDATE");
  db.TablePrivilegeName(9, "SELECT");
  const std::uint32_t role = db.Role(name, "KESTON");
  const std::uint32_t user = db.User(name, "KESTON", name);
  const std::uint32_t global = db.User("G", "GLOBAL", "USERS", 0, name);
  db.SystemGrant(role, -5, true);
  db.SystemGrant(user, role, true);
  db.SystemGrant(global, role);
  const std::uint32_t table = db.Table(user, name, name, name);
  db.Column(table, name, 1);
  db.ObjectGrant(user, table, 10, true, 1);
  db.ObjectGrant(role, table, 9, true);
}

std::vector<std::string> HostileNames() {
  return {"O\"HARA",
          "A;B",
          "A;\nDROP USER SYS",
          "A\nB",
          "X\" IDENTIFIED BY \"Y",
          "R IDENTIFIED BY PW",
          "DROP USER SYS CASCADE",
          "--",
          "/",
          "'; DROP USER SYS; --",
          "it's",
          "SELECT",
          "&x",
          "#",
          "/* */",
          std::string("A\0B", 3),
          "",
          std::string(30, 'L'),
          std::string(31, 'L'),
          "\xE2\x80\xAE" "evil"};
}

TEST(HostileNames, StatementsSayExactlyWhatTheyWouldWithAPlainName) {
  test::SecurityCatalogue plain;
  Build(plain, "N");
  RecorderSink baseline;
  GenerateStorageAndSecurity(plain.source(), StorageTarget{"/u01/oradata/NEW"}, baseline);
  ASSERT_TRUE(baseline.skipped.empty());
  std::set<std::string> skeletons;
  for (const Statement& s : baseline.statements) skeletons.insert(Skeleton(s.Render("\"PW\"")));

  for (const std::string& name : HostileNames()) {
    SCOPED_TRACE(testing::Message() << "name " << ::testing::PrintToString(name));
    test::SecurityCatalogue db;
    Build(db, name);
    RecorderSink sink;
    GenerateStorageAndSecurity(db.source(), StorageTarget{"/u01/oradata/NEW"}, sink);
    for (const Statement& s : sink.statements) {
      EXPECT_EQ(skeletons.count(Skeleton(s.Render("\"PW\""))), 1u) << s.Render("\"PW\"");
      EXPECT_EQ(test::OracleGrammar::Check(s.Render("\"PW\"")), "");
    }
    const bool name_fits = QuoteIdent(name).ok();
    if (name_fits) {
      EXPECT_EQ(sink.statements.size(), baseline.statements.size());
    } else {
      EXPECT_LT(sink.statements.size(), baseline.statements.size());
      EXPECT_FALSE(sink.skipped.empty());
    }
    for (const RecorderSink::Skip& skip : sink.skipped) {
      EXPECT_FALSE(skip.reason.empty());
      EXPECT_EQ(skip.reason.find('\n'), std::string::npos);
    }

    // The script keeps every statement whole: its blocks between "/" lines
    // are the statements, in order, with the same skeletons.
    std::ostringstream out;
    ScriptWriter writer(out, name);
    GenerateStorageAndSecurity(db.source(), StorageTarget{"/u01/oradata/NEW"}, writer);
    writer.Finish();
    std::vector<std::string> blocks;
    std::string block;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
      if (line == "/") {
        blocks.push_back(block);
        block.clear();
      } else if (line.rfind("-- ", 0) == 0 || line.rfind("SET ", 0) == 0 || line.rfind("ACCEPT ", 0) == 0 ||
                 line.rfind("UNDEFINE ", 0) == 0 || line.rfind("WHENEVER ", 0) == 0) {
        EXPECT_TRUE(block.empty()) << line;
      } else {
        block += (block.empty() ? "" : "\n") + line;
      }
    }
    EXPECT_TRUE(block.empty());
    EXPECT_EQ(test::CheckScript(out.str()), std::vector<std::string>{});
    ASSERT_EQ(blocks.size(), sink.statements.size() + 2);  // and the two ALTER SESSION lines
    for (std::size_t i = 0; i < sink.statements.size(); ++i) {
      EXPECT_EQ(Skeleton(blocks[i + 2]), Skeleton(sink.statements[i].Render("\"PW\"")));
    }
    EXPECT_EQ(out.str().find("KESTON"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillon::repair
