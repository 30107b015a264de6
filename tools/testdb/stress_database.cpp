#include "testdb/stress_database.h"

#include <cstdio>

#include "testdb/prng.h"
#include "testdb/schema_builders.h"

namespace quillon::testdb {

namespace {

// Objects of each user: 10 tables with a primary key (an index each), 60
// views, 60 synonyms, 30 sequences and 80 stored procedures: 250.
constexpr int kTables = 10, kViews = 60, kSynonyms = 60, kSequences = 30, kProcedures = 80;

std::string Name(const char* prefix, int n) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%03d", prefix, n);
  return text;
}

}  // namespace

Schema StressSchema(const std::string& release, std::uint64_t seed) {
  Schema s = BaseSchema(release);
  s.tablespaces.push_back({"STRESS", TablespaceContents::kPermanent, SpaceManagement::kFreeList,
                           {"STRESS01.DBF", "STRESS02.DBF"}, 2});
  Prng prng(seed);
  for (std::uint32_t u = 1; u <= kStressUsers; ++u) {
    const std::string user = Name("U", static_cast<int>(u));
    s.users.push_back(User(user, "STRESS"));
    s.system_grants.push_back({user, "CREATE SESSION"});
    for (int t = 1; t <= kTables; ++t) {
      TableDescription table = Table(user, Name("T", t), "STRESS",
                              {ColumnDescription("ID", Number(10), false), {"NAME", Varchar2(30)}, {"AMOUNT", Number(12, 2)},
                               {"CREATED", Date()}});
      table.constraints = {PrimaryKey(Name("PK_T", t), {"ID"})};
      const int rows = static_cast<int>(prng.Between(0, 6));
      for (int r = 1; r <= rows; ++r) {
        table.rows.push_back({val::Num(r), val::Text(Name("ROW", r)), val::Num(std::to_string(prng.Below(100000)) + ".25"),
                              val::Date(2000 + static_cast<int>(prng.Below(10)), 1 + static_cast<int>(prng.Below(12)), 1)});
      }
      s.tables.push_back(std::move(table));
    }
    for (int v = 1; v <= kViews; ++v) {
      ViewDescription view;
      view.owner = user;
      view.name = Name("V", v);
      view.text = "select id, name from " + user + "." + Name("T", 1 + v % kTables) + " where id > " + std::to_string(v);
      view.columns = {{"ID", Number(10)}, {"NAME", Varchar2(30)}};
      s.views.push_back(std::move(view));
    }
    for (int n = 1; n <= kSynonyms; ++n) {
      SynonymDescription syn;
      syn.owner = user;
      syn.name = Name("S", n);
      syn.target_owner = Name("U", 1 + static_cast<int>(prng.Below(kStressUsers)));
      syn.target_name = Name("T", 1 + n % kTables);
      s.synonyms.push_back(std::move(syn));
    }
    for (int q = 1; q <= kSequences; ++q) {
      SequenceDescription seq;
      seq.owner = user;
      seq.name = Name("SEQ", q);
      seq.high_water = std::to_string(1 + prng.Below(100000));
      s.sequences.push_back(std::move(seq));
    }
    for (int p = 1; p <= kProcedures; ++p) {
      const std::string name = Name("P", p);
      s.code.push_back(Code(user, name, CodeKind::kProcedure,
                            Lines("PROCEDURE " + name + " IS\nBEGIN\n  NULL;\nEND " + name + ";")));
    }
  }
  return s;
}

}  // namespace quillon::testdb
