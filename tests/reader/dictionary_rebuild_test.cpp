// The dictionary rebuild over generated databases: SYSTEM datafiles with
// real dictionary segments (free-list headers at the release's data object
// numbers, clusters with their member tables) for every release, read end to
// end by ReadDictionary.
#include <gtest/gtest.h>

#include "reader/catalogue_json.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "support/generated_db.h"
#include "testdb/mini_dictionary.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::MiniDictionary;

// Counts the progress of the first phase (the SYSTEM scan).
class ScanSink : public NotificationSink {
 public:
  void Progress(ProgressStep step, std::uint64_t value) override {
    if (phases_ == 0 && step == ProgressStep::kStart) first_total = value;
    if (phases_ == 0 && step == ProgressStep::kStep) ++first_steps;
    if (step == ProgressStep::kFinish) ++phases_;
  }
  void Reset() {
    first_total = first_steps = 0;
    phases_ = 0;
  }
  std::uint64_t first_total = 0;
  std::uint64_t first_steps = 0;

 private:
  int phases_ = 0;
};

struct Rebuilt {
  std::unique_ptr<test::GeneratedDb> db;
  ScanSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  DictionaryResult result;

  Rebuilt(const MiniDictionary& dictionary, const std::string& release, const std::string& name,
          std::uint32_t migrated_every = 0, std::function<void(testdb::DatabaseModel&)> edit = {}) {
    auto model = testdb::NewDatabaseModel("DICT", release, 8192, 7);
    model.decoys = {false, false, false, false};
    dictionary.AddSegments(model, migrated_every);
    if (edit) edit(model);
    db = test::Generate(std::move(model), name);
    IdentifyRelease(engine, db->system_path());
    sink.Reset();
    result = ReadDictionary(engine);
  }
  const Catalogue& c() const { return engine.catalogue; }
};

// An empty free-list segment in the SYSTEM datafile.
testdb::SegmentModel EmptySystemSegment(const char* name, std::uint32_t number, std::uint32_t extent_blocks = 8) {
  testdb::SegmentModel s;
  s.name = name;
  s.object_number = number;
  s.tablespace = "SYSTEM";
  s.relative_file = 1;
  s.space = SpaceManagement::kFreeList;
  s.extent_blocks = extent_blocks;
  return s;
}

MiniDictionary SmallDictionary(const std::string& release) {
  MiniDictionary d(release);
  d.AddTablespace(0, "SYSTEM");
  d.AddTablespace(4, "USERS");
  d.AddUser(0, "SYS", 0);
  d.AddRole(1, "PUBLIC");
  d.AddUser(84, "SCOTT", 4);
  d.AddProperties("AL32UTF8", "AL16UTF16");
  d.AddTable(74000, 84, "EMP", 4, 74000, 4, 131);
  MiniDictionary::Column empno;
  empno.name = "EMPNO";
  empno.precision = 4;
  empno.scale = 0;
  empno.nullable = false;
  d.AddColumn(74000, 1, empno);
  MiniDictionary::Column ename;
  ename.name = "ENAME";
  ename.type = 1;
  ename.length = 30;
  ename.charset = 873;
  ename.default_text = "'n\xC3\xA9" "ant'\n";  // UTF-8 in an AL32UTF8 database
  d.AddColumn(74000, 2, ename);
  d.AddConstraint(74000, 84, 9001, "PK_EMP", 2, {1});
  d.AddConstraint(74000, 84, 9002, "CK_EMP", 1, {2}, std::string("ename is not null"));
  d.AddObject(74001, 84, "PK_EMP", 4, 1, 74001);
  d.AddIndex(74000, 74001, 4, true, {1});
  d.AddObject(74002, 84, "EMP_V", 1, 4);
  d.AddViewText(74002, "select empno from emp");
  d.AddObject(74003, 84, "GET_ONE", 1, 8);
  d.AddSourceLine(74003, 1, "function get_one return number is\n");
  d.AddSourceLine(74003, 2, "begin return 1; end;");
  d.AddObject(74004, 84, "EMP_SEQ", 1, 6);
  d.AddSequence(74004, 1, 20, 41);
  d.AddObject(74005, 1, "EMP", 1, 5);
  d.AddSynonym(74005, "SCOTT", "EMP");
  d.AddObject(74006, 84, "EMP_TRG", 3, 12);
  d.AddTrigger(74006, 74000, 1, true, true, false, "emp_trg before insert or update on emp for each row\n",
               "begin\n  null;\nend;");
  return d;
}

class RebuildByRelease : public ::testing::TestWithParam<const char*> {};

TEST_P(RebuildByRelease, ReadsEveryFamilyBack) {
  const std::string release = GetParam();
  Rebuilt r(SmallDictionary(release), release, std::string("rebuild-") + release);
  ASSERT_TRUE(r.result.system_read);
  EXPECT_FALSE(r.result.stopped);
  const Catalogue& c = r.c();

  EXPECT_TRUE(r.result.properties_read);
  EXPECT_EQ(c.properties.character_set, "AL32UTF8");
  EXPECT_EQ(c.properties.national_character_set, "AL16UTF16");
  EXPECT_EQ(r.engine.values.database().charset().name, "AL32UTF8");

  EXPECT_EQ(c.tablespaces.size(), 2u);
  EXPECT_EQ(c.count(Counter::kUsers), 2u);
  EXPECT_EQ(c.count(Counter::kRoles), 1u);
  EXPECT_EQ(c.users.First<1>("SCOTT")->default_tablespace, "USERS");

  const ObjectRecord* emp = c.FindObject(ObjectKind::kTable, "SCOTT", "EMP");
  ASSERT_NE(emp, nullptr);
  const TableRecord* tab = c.tables.First<0>(emp->object_number);
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->tablespace, "USERS");
  EXPECT_EQ(tab->header_block, 131u);

  ASSERT_EQ(c.columns.All<0>(74000).size(), 2u);
  const ColumnInfo& empno = c.columns.All<0>(74000).front();
  EXPECT_EQ(empno.sql_type, "NUMBER(4, 0)");
  EXPECT_FALSE(empno.nullable);
  const ColumnInfo* ename = nullptr;
  for (const auto& col : c.columns.All<0>(74000)) {
    if (col.name == "ENAME") ename = &col;
  }
  ASSERT_NE(ename, nullptr);
  EXPECT_EQ(ename->sql_type, "VARCHAR2(30)");
  EXPECT_EQ(ename->default_text, "'n\xC3\xA9" "ant' ");

  ASSERT_EQ(c.constraints.All<0>(74000).size(), 2u);
  EXPECT_EQ(c.constraint_names.First<0>(9001)->name, "PK_EMP");
  EXPECT_EQ(c.constraints.First<1>(9002)->condition, "ename is not null");
  EXPECT_EQ(c.constraint_columns.All<0>(9001).size(), 1u);
  EXPECT_EQ(c.indexes.First<0>(74001)->property, 1u);

  EXPECT_EQ(c.view_texts.First<0>(74002)->text, "select empno from emp");
  EXPECT_EQ(c.source_lines.All<0>(74003).size(), 2u);
  EXPECT_EQ(c.sequences.First<0>(74004)->cache, "20");
  EXPECT_EQ(c.synonyms.First<0>(74005)->target_name, "EMP");
  EXPECT_EQ(c.Object(74005)->owner, "PUBLIC");
  const TriggerRecord* trg = c.triggers.First<0>(74006);
  ASSERT_NE(trg, nullptr);
  EXPECT_EQ(trg->body, "begin\n  null;\nend;");
  EXPECT_EQ(trg->enabled, 1u);
  EXPECT_EQ(trg->parent_name, "PARENT");
  EXPECT_TRUE(trg->fires_on_insert);
  EXPECT_FALSE(trg->fires_on_delete);

  EXPECT_EQ(c.count(Counter::kTables), 2u);  // EMP and PROPS$
  EXPECT_EQ(c.count(Counter::kViews), 1u);
  EXPECT_EQ(c.count(Counter::kIndexes), 1u);
  EXPECT_EQ(c.count(Counter::kFunctions), 1u);
  EXPECT_EQ(c.count(Counter::kSequences), 1u);
  EXPECT_EQ(c.count(Counter::kSynonyms), 1u);
  EXPECT_EQ(c.count(Counter::kTriggers), 1u);
  EXPECT_EQ(c.count(Counter::kDatafiles), r.engine.datafile_count());

  const std::string json = CatalogueToJson(c, JsonHeaderOf(r.engine));
  EXPECT_NE(json.find("\"PK_EMP\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Releases, RebuildByRelease, ::testing::Values("9i", "10.2", "11.1", "11.2"));

TEST(Rebuild, MigratedObjectRowsAreReadOnce) {
  Rebuilt r(SmallDictionary("10.2"), "10.2", "rebuild-migrated", 2);
  EXPECT_EQ(r.c().objects.size(), 8u);
  EXPECT_NE(r.c().FindObject(ObjectKind::kView, "SCOTT", "EMP_V"), nullptr);
  EXPECT_NE(r.c().FindObject(ObjectKind::kTrigger, "SCOTT", "EMP_TRG"), nullptr);
}

TEST(Rebuild, ViewTextChainedOverBlocks) {
  MiniDictionary d = SmallDictionary("11.2");
  std::string text = "select ";
  while (text.size() < 20000) text += "empno, ";
  text += "1 from emp";
  d.AddObject(74010, 84, "WIDE_V", 1, 4);
  d.AddViewText(74010, text);
  Rebuilt r(d, "11.2", "rebuild-chained-view");
  const ViewTextRecord* v = r.c().view_texts.First<0>(74010);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->text, text);
}

TEST(Rebuild, AlternativeNumberingFollowsTheTriggerRow) {
  MiniDictionary d("11.2", true);
  d.AddUser(0, "SYS", 0);
  d.AddObject(159, 0, "TRIGGER$", 1, 2, 159);
  d.AddObject(74006, 0, "LOGON_TRG", 3, 12);
  d.AddTrigger(74006, 0, 0, false, false, false, "logon_trg after logon on database\n", "begin null; end;");
  // A segment at the standard TRIGGER$ number holds something else.
  Rebuilt r(d, "11.2", "rebuild-alternative", 0, [](testdb::DatabaseModel& model) {
    testdb::SegmentModel decoy = EmptySystemSegment("DECOY", 160);
    decoy.rows.push_back(testdb::Row(std::vector<testdb::ColumnBytes>{testdb::EncodeNumber(74099), testdb::EncodeNumber(0)}));
    model.segments.insert(model.segments.begin(), decoy);
  });
  EXPECT_EQ(r.engine.layout_variant, 19);
  ASSERT_EQ(r.c().triggers.size(), 1u);
  EXPECT_EQ(r.c().triggers[0].object_number, 74006u);
  EXPECT_EQ(r.c().triggers[0].body, "begin null; end;");
}

TEST(Rebuild, TenGScanEndsAtTheSummariesHeader) {
  MiniDictionary d = SmallDictionary("10.2");
  Rebuilt full(d, "10.2", "rebuild-scan-end", 0, [](testdb::DatabaseModel& model) {
    // A segment after the last dictionary segment, and room behind it.
    model.segments.push_back(EmptySystemSegment("LATE", 80000, 64));
  });
  ASSERT_TRUE(full.result.system_read);
  EXPECT_LT(full.sink.first_steps, full.sink.first_total);  // the scan stopped early
  EXPECT_EQ(full.c().FindObject(ObjectKind::kTable, "SCOTT", "EMP")->name, "EMP");
}

TEST(Rebuild, MissingSegmentBeforeTheSummariesMakesTheScanGoOn) {
  MiniDictionary d = SmallDictionary("10.2");
  // SEQ$ (68) is laid out after SUM$ (393): the scan must go on to find it.
  Rebuilt r(d, "10.2", "rebuild-scan-on", 0, [](testdb::DatabaseModel& model) {
    for (std::size_t i = 0; i < model.segments.size(); ++i) {
      if (model.segments[i].object_number == 68) {
        auto seq = model.segments[i];
        model.segments.erase(model.segments.begin() + static_cast<std::ptrdiff_t>(i));
        model.segments.push_back(seq);
        break;
      }
    }
  });
  EXPECT_EQ(r.sink.first_steps, r.sink.first_total);
  EXPECT_EQ(r.c().sequences.size(), 1u);
}

TEST(Rebuild, DamageGivesFewerRecordsNeverACrash) {
  const MiniDictionary d = SmallDictionary("11.2");
  // The C_OBJ# header zeroed: no tables' TAB$ and COL$ rows, everything else stays.
  Rebuilt r(d, "11.2", "rebuild-damaged", 0, [](testdb::DatabaseModel& model) {
    model.damage.push_back(testdb::Damage::ZeroBlock(2, testdb::BlockRole::kSegmentHeader));
    model.damage.push_back(testdb::Damage::GarbleBlock(18, testdb::BlockRole::kDataBlock, 0));
  });
  EXPECT_EQ(r.c().tables.size(), 0u);
  EXPECT_EQ(r.c().columns.size(), 0u);
  EXPECT_EQ(r.c().users.size(), 2u);
  EXPECT_EQ(r.c().view_texts.size(), 1u);
}

TEST(Rebuild, StopEndsTheReadingAndKeepsWhatWasRead) {
  const MiniDictionary d = SmallDictionary("11.2");
  auto model = testdb::NewDatabaseModel("DICT", "11.2", 8192, 7);
  model.decoys = {false, false, false, false};
  d.AddSegments(model);
  auto db = test::Generate(std::move(model), "rebuild-stop");
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, db->system_path());
  stop.Request();
  const DictionaryResult result = ReadDictionary(engine);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(engine.catalogue.objects.size(), 0u);
}

TEST(Rebuild, NoSystemDatafileGivesAnEmptyCatalogue) {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  const DictionaryResult result = ReadDictionary(engine);
  EXPECT_FALSE(result.system_read);
  EXPECT_EQ(engine.catalogue.objects.size(), 0u);
}

}  // namespace
}  // namespace quillon
