// The row builders of the dictionary tables read as heap segments, on rows
// built in memory: stored column order (LONG columns last), release
// differences, NULL texts, and rows that are not rows of the table.
#include <gtest/gtest.h>

#include "reader/dictionary_kinds.h"
#include "reader/partition_reader.h"
#include "support/dictionary_fixture.h"

namespace quillon {
namespace {

using test::BlockFile;
using test::HeapRow;
using test::Null;
using test::Num;
using test::Txt;
using Cols = std::vector<testdb::ColumnBytes>;

// Reads rows of one heap segment with a kind's builder (or a partition list).
class KindFixture : public ::testing::Test {
 protected:
  void Rows(std::uint32_t object, const std::vector<testdb::Bytes>& pieces, int release = kRelease11gR2) {
    auto b = file_.NewBlock(object);
    for (const auto& p : pieces) b.AddRow(0, p);
    const std::uint32_t dba = file_.Add(b);
    file_.Finish(release);
    reader_ = std::make_unique<DictionaryReader>(file_.engine());
    list_ = BlockFile::List(object, {dba});
  }
  void Read(RowKind kind) { ASSERT_TRUE(ReadDictionaryRows(*reader_, list_, kind)); }
  const Catalogue& c() { return file_.engine().catalogue; }

  BlockFile file_;
  std::unique_ptr<DictionaryReader> reader_;
  SegmentBlockList list_;
};

TEST_F(KindFixture, SequencesKeepTheirNullBoundTexts) {
  Rows(74, {HeapRow({Num(500), Num(1), Null(), Null(), Num(1), Num(0), Num(0), Num(41), Txt("--")}),
            HeapRow({Num(501), Num(-1), Num(-100), Num(-1), Num(0), Num(1), Num(20), Num(-5)}),
            HeapRow({Num(502), Num(1)})});  // not a SEQ$ row: HIGHWATER missing
  Read(RowKind::kSeq);
  ASSERT_EQ(c().sequences.size(), 2u);
  const SequenceRecord& a = c().sequences[0];
  EXPECT_EQ(a.min_value, "0xFF");
  EXPECT_EQ(a.max_value, "0xff");
  EXPECT_EQ(a.cache, "0.0000");
  EXPECT_EQ(a.cycle, 0x02C1);
  EXPECT_TRUE(a.cycles);
  EXPECT_EQ(a.high_water, "41");
  const SequenceRecord& b = c().sequences[1];
  EXPECT_EQ(b.increment, "-01");
  EXPECT_EQ(b.min_value, "-0100");
  EXPECT_TRUE(b.ordered);
}

TEST_F(KindFixture, TriggerBodyIsTheLastStoredColumn) {
  // 11g: 23 columns, ENABLED at 12, PROPERTY at 13, ACTION# last.
  Cols full = {Num(600), Num(3), Num(1), Num(1), Num(0), Num(74000), Txt("OLD"), Txt("NEW"),
               Txt("trg after insert or update on emp for each row\n"), Txt("new.x > 0"), Num(10), Num(0), Num(1),
               Num(0), Null(), Null(), Null(), Num(1), Num(1), Num(1), Num(1), Num(1), Txt("begin\n  null;\nend;")};
  Cols no_body(full.begin(), full.begin() + 18);  // ACTION# NULL: the row ends early
  Rows(160, {HeapRow(full), HeapRow(no_body)});
  Read(RowKind::kTrigger);
  ASSERT_EQ(c().triggers.size(), 2u);
  const TriggerRecord& t = c().triggers[0];
  EXPECT_EQ(t.body, "begin\n  null;\nend;");
  EXPECT_EQ(t.enabled, 0u);   // ENABLED, not PROPERTY
  EXPECT_EQ(t.property, 1u);
  EXPECT_EQ(t.when_clause, "new.x > 0");
  EXPECT_EQ(t.type, 3u);
  EXPECT_TRUE(t.fires_on_insert && t.fires_on_update && !t.fires_on_delete);
  EXPECT_EQ(c().triggers[1].body, "");
}

TEST_F(KindFixture, TriggerBodyOfATenGRow) {
  Cols full = {Num(600), Num(1), Num(0), Num(1), Num(0), Num(74000), Txt("OLD"), Txt("NEW"), Txt("t\n"), Null(),
               Num(5), Num(1), Num(0), Num(0), Null(), Null(), Null(), Num(1), Txt("begin null; end;")};
  Rows(81, {HeapRow(full)}, kRelease10g);
  Read(RowKind::kTrigger);
  ASSERT_EQ(c().triggers.size(), 1u);
  EXPECT_EQ(c().triggers[0].body, "begin null; end;");
  EXPECT_EQ(c().triggers[0].enabled, 1u);
}

// REFPRTNAME is stored seventeenth (declared eighteenth, before the LONG
// moved last) in every release. A row cut short before it, or holding bytes
// that are no name there, still gives the trigger's other columns.
TEST_F(KindFixture, TriggerParentNameWhereverTheRowHasIt) {
  const Cols head = {Num(600), Num(4), Num(0), Num(1), Num(0), Num(74000), Txt("O"), Txt("N"), Txt("t\n"), Null(),
                     Num(16), Num(1), Num(0x21)};
  const auto row = [&](Cols tail) {
    Cols c = head;
    c.insert(c.end(), tail.begin(), tail.end());
    return c;
  };
  const Cols eleven = {Num(1), Num(1), Num(1), Num(1), Num(1), Txt("begin null; end;")};
  struct Case {
    const char* what;
    Cols columns;
    int release;
    const char* parent;
    std::uint32_t nested_column;
    const char* body;
  };
  const Case cases[] = {
      {"11g row", row({Null(), Num(2), Null(), Txt("PAR")}), kRelease11gR2, "PAR", 2, ""},
      {"11g row with its body",
       [&] {
         Cols c = row({Null(), Num(2), Null(), Txt("PARENT")});
         c.insert(c.end(), eleven.begin(), eleven.end());
         return c;
       }(),
       kRelease11gR2, "PARENT", 2, "begin null; end;"},
      {"9.0.1 row: REFPRTNAME right before ACTION#",
       row({Null(), Null(), Null(), Txt("P"), Txt("begin null; end;")}), kRelease9i, "P", 0, "begin null; end;"},
      {"NULL REFPRTNAME", row({Null(), Null(), Null(), Null(), Num(1), Txt("begin null; end;")}), kRelease10g, "", 0,
       "begin null; end;"},
      {"row ends before REFPRTNAME", row({Null(), Num(3)}), kRelease11gR2, "", 3, ""},
      {"row ends before NTTRIGCOL", row({}), kRelease11gR2, "", 0, ""},
      {"number bytes in REFPRTNAME, junk in NTTRIGCOL",
       row({Null(), Txt("\xff\xff"), Null(), Num(12345), Num(1), Txt("begin null; end;")}), kRelease10g, nullptr, 0,
       "begin null; end;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BlockFile file;
    auto block = file.NewBlock(160);
    block.AddRow(0, HeapRow(c.columns));
    const std::uint32_t dba = file.Add(block);
    file.Finish(c.release);
    DictionaryReader reader(file.engine());
    ASSERT_TRUE(ReadDictionaryRows(reader, BlockFile::List(160, {dba}), RowKind::kTrigger));
    const Catalogue& cat = file.engine().catalogue;
    ASSERT_EQ(cat.triggers.size(), 1u);
    const TriggerRecord& t = cat.triggers[0];
    if (c.parent != nullptr) {
      EXPECT_EQ(t.parent_name, c.parent);
      EXPECT_EQ(t.nested_column, c.nested_column);
    }
    EXPECT_EQ(t.body, c.body);
    // The columns before it are untouched by whatever follows.
    EXPECT_EQ(t.old_name, "O");
    EXPECT_EQ(t.new_name, "N");
    EXPECT_EQ(t.enabled, 1u);
    EXPECT_EQ(t.property, 0x21u);
    EXPECT_EQ(t.type, 4u);
    EXPECT_TRUE(t.fires_on_insert && !t.fires_on_update && !t.fires_on_delete);
  }
}

TEST_F(KindFixture, SourceLinesWithAndWithoutText) {
  Rows(224, {HeapRow({Num(700), Num(1), Txt("package p is\n")}), HeapRow({Num(700), Num(2)}),
             HeapRow({Num(700), Num(3), Txt("end;"), Txt("extra")})});
  Read(RowKind::kSource);
  ASSERT_EQ(c().source_lines.size(), 2u);
  EXPECT_EQ(c().source_lines[0].text, "package p is\n");
  EXPECT_EQ(c().source_lines[1].line, 2u);
  EXPECT_EQ(c().source_lines[1].text, "");
}

TEST_F(KindFixture, GrantsAndPrivilegeNames) {
  Rows(61, {HeapRow({Num(74000), Num(84), Num(90), Num(9), Num(1)}),
            HeapRow({Num(74000), Num(84), Num(91), Num(9), Num(2), Null(), Num(1)}),
            HeapRow({Num(74000), Num(84), Num(92), Num(9), Num(3), Null(), Null(), Num(2)})});
  Read(RowKind::kObjAuth);
  ASSERT_EQ(c().object_grants.size(), 3u);
  EXPECT_FALSE(c().object_grants[0].column_number.has_value());
  EXPECT_EQ(c().object_grants[1].option, 1);
  EXPECT_EQ(c().object_grants[2].column_number, 2);
}

TEST_F(KindFixture, SystemPrivilegeMapKeepsNegativeNumbers) {
  Rows(365, {HeapRow({Num(-5), Txt("CREATE SESSION"), Num(0)}), HeapRow({Num(-3)})});
  Read(RowKind::kSystemPrivilegeMap);
  ASSERT_EQ(c().system_privilege_names.size(), 1u);
  const PrivilegeNameRecord* p = c().system_privilege_names.First<0>(-5);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->name, "CREATE SESSION");
}

TEST_F(KindFixture, DatabaseLinkMarkerFromPasswordx) {
  const testdb::ColumnBytes ctime = test::Raw({120, 124, 1, 5, 16, 5, 6});
  Rows(134, {HeapRow({Num(84), Txt("REMOTE"), ctime, Txt("orcl"), Txt("SCOTT"), Null(), Num(0), Null(), Null(),
                      Null()}),
             HeapRow({Num(84), Txt("OPEN"), ctime, Txt("orcl")})});
  Read(RowKind::kLink);
  ASSERT_EQ(c().database_links.size(), 2u);
  EXPECT_EQ(c().database_links[0].password_marker, 255);
  EXPECT_EQ(c().database_links[0].created, "05-JAN-2024 03:04:05 PM");
  EXPECT_EQ(c().database_links[1].password_marker, 0);
  EXPECT_EQ(c().count(Counter::kDatabaseLinks), 2u);
}

Cols SumRow(int release) {
  // OBJ#, CONTAINEROBJ#, CONTAINERTYPE, CONTAINERNAM, 4 skipped, REFRESHMODE,
  // PFLAGS, XPFLAGS, MFLAGS, NUMDETAILTAB, NUMAGGREGATES, NUMKEYCOLUMNS,
  // NUMJOINS, (3 or 5), SUMTEXTLEN, (8 or 13), SUMTEXT.
  Cols cols = {Num(800), Num(801), Num(1), Txt("MV_EMP"), Null(), Null(), Null(), Null(), Num(3), Num(0), Num(0),
               Num(0), Num(1), Num(0), Num(0), Num(0)};
  const int skip_keys = release == kRelease9i ? 3 : 5;
  const int skip_text = release == kRelease9i ? 8 : 13;
  for (int i = 0; i < skip_keys; ++i) cols.push_back(Num(0));
  cols.push_back(Num(21));
  for (int i = 0; i < skip_text; ++i) cols.push_back(Num(1));
  cols.push_back(Txt("select * from emp"));
  return cols;
}

TEST_F(KindFixture, SummariesOfANineIRelease) {
  Rows(387, {HeapRow(SumRow(kRelease9i))}, kRelease9i);
  Read(RowKind::kSum);
  ASSERT_EQ(c().materialized_views.size(), 1u);
  EXPECT_EQ(c().materialized_views[0].query, "select * from emp");
  EXPECT_EQ(c().materialized_views[0].text_length, "21");
  EXPECT_EQ(c().materialized_views[0].container_name, "MV_EMP");
}

TEST_F(KindFixture, SummariesOfAnElevenGRelease) {
  Rows(997, {HeapRow(SumRow(kRelease11gR2))});
  Read(RowKind::kSum);
  ASSERT_EQ(c().materialized_views.size(), 1u);
  EXPECT_EQ(c().materialized_views[0].query, "select * from emp");
  EXPECT_EQ(c().count(Counter::kMaterializedViews), 1u);
}

TEST_F(KindFixture, LogColumnFlagMovesInElevenGReleaseTwo) {
  Rows(641, {HeapRow({Txt("SCOTT"), Txt("EMP"), Txt("SAL"), Null(), Num(12345), Num(4)})});
  Read(RowKind::kMlogRefcol);
  ASSERT_EQ(c().materialized_view_log_columns.size(), 1u);
  EXPECT_EQ(c().materialized_view_log_columns[0].flag, 4u);
}

TEST_F(KindFixture, ObjectsDispatchByKindAndMarkTheAlternativeLayout) {
  const testdb::ColumnBytes date = test::Raw({120, 124, 1, 5, 1, 1, 1});
  auto obj = [&](std::int64_t number, std::int64_t owner, const char* name, int ns, int type) {
    return HeapRow({Num(number), Num(number), Num(owner), Txt(name), Num(ns), Null(), Num(type), date, date, date,
                    Num(1), Null(), Null(), Num(0)});
  };
  Rows(18, {obj(159, 0, "TRIGGER$", 1, 2), obj(74000, 84, "EMP", 1, 2), obj(74001, 84, "EMP_PK", 4, 1),
            obj(74002, 84, "EMP_BODY", 2, 11), obj(74003, 84, "SYS_LOB0000074000C00002$$", 8, 21),
            HeapRow({Num(74004), Null(), Num(84), Txt("BROKEN")})});
  Read(RowKind::kObj);
  EXPECT_EQ(file_.engine().layout_variant, 19);
  EXPECT_EQ(c().objects.size(), 5u);
  EXPECT_EQ(c().ObjectsOfKind(ObjectKind::kTable).size(), 2u);
  EXPECT_EQ(c().count(Counter::kPackageBodies), 1u);
  EXPECT_FALSE(c().Object(74003)->kind.has_value());  // read, not listed
  EXPECT_EQ(c().Object(74001)->owner, "DEMO$$");         // no user 84 in this catalogue
}

TEST(AlternativeLayout, OnlyTheTwoNamesAtTheTwoNumbers) {
  const std::vector<std::uint8_t> n159 = {0xC2, 0x02, 0x3C};
  const std::vector<std::uint8_t> n572 = {0xC2, 0x06, 0x49};
  const std::vector<std::uint8_t> n160 = {0xC2, 0x02, 0x3D};
  EXPECT_TRUE(MarksAlternativeLayout("TRIGGER$", ByteView(n159.data(), 3)));
  EXPECT_TRUE(MarksAlternativeLayout("PARTOBJ$", ByteView(n572.data(), 3)));
  EXPECT_FALSE(MarksAlternativeLayout("TRIGGER$", ByteView(n160.data(), 3)));
  EXPECT_FALSE(MarksAlternativeLayout("OBJ$", ByteView(n159.data(), 3)));
}

TEST_F(KindFixture, TablePartitionsTakeTheirHighValueFromTheLastColumn) {
  Cols range = {Num(75001), Num(75001), Num(75000), Num(10), Num(2), Num(4), Num(4), Num(300), Num(10), Num(40),
                Num(1), Num(255), Num(0)};
  for (int i = 14; i <= 25; ++i) range.push_back(Null());
  range.push_back(Txt("100"));  // HIBOUNDVAL, the LONG, last
  Cols hash(range.begin(), range.begin() + 13);
  hash[0] = Num(75002);
  hash[3] = Num(20);
  Rows(568, {HeapRow(range), HeapRow(hash)});
  reader_->standard[static_cast<std::size_t>(SystemSegment::kTabPart)] = list_;
  ASSERT_TRUE(ReadPartitionList(*reader_, SystemSegment::kTabPart));
  ASSERT_EQ(c().table_partitions.size(), 2u);
  EXPECT_EQ(c().table_partitions[0].high_value, "100");
  EXPECT_EQ(c().table_partitions[0].partition_number, 10u);
  EXPECT_EQ(c().table_partitions[0].header_block, 300u);
  EXPECT_EQ(c().table_partitions[1].high_value, "");
}

TEST_F(KindFixture, PartitionedObjectsDecodeSpareTwo) {
  // PARTTYPE range, 4 partitions, 1 key column; SPARE2: hash subpartitions, 1 key, 8 by default.
  Cols row = {Num(75000), Num(1), Num(4), Num(1), Num(0), Num(4)};
  for (int i = 7; i <= 20; ++i) row.push_back(Num(0));
  row.push_back(Num(2 | (1 << 8) | (8 << 16)));
  Rows(564, {HeapRow(row)});
  reader_->standard[static_cast<std::size_t>(SystemSegment::kPartObj)] = list_;
  ASSERT_TRUE(ReadPartitionList(*reader_, SystemSegment::kPartObj));
  ASSERT_EQ(c().partitioned_objects.size(), 1u);
  const PartitionedObjectRecord& p = c().partitioned_objects[0];
  EXPECT_EQ(p.partitioning_type, 1u);
  EXPECT_EQ(p.subpartitioning_type, 2u);
  EXPECT_EQ(p.subpartition_key_column_count, 1u);
  EXPECT_EQ(p.default_subpartition_count, 8u);
}

TEST_F(KindFixture, MigratedRowsAreReadWhereTheyLand) {
  // A migrated row (0x0C) and the head it left behind (0x20, no columns).
  testdb::PieceDescription migrated;
  migrated.flag = format::row::kMigrated;
  migrated.head = RowAddress{format::MakeDba(1, 3), 0};
  migrated.columns = {Num(600), Num(1)};
  testdb::PieceDescription stub;
  stub.flag = format::row::kHead;
  stub.next = RowAddress{format::MakeDba(1, 16), 1};
  Rows(224, {testdb::EncodeRowPiece(stub), testdb::EncodeRowPiece(migrated)});
  Read(RowKind::kSource);
  ASSERT_EQ(c().source_lines.size(), 1u);
  EXPECT_EQ(c().source_lines[0].object_number, 600u);
}

}  // namespace
}  // namespace quillon
