// The dictionary cluster reader on cluster blocks built in memory: key and
// member pairing, member codes, migrated and chained member rows, blocks of
// other segments, and the records of the member tables.
#include <gtest/gtest.h>

#include "reader/cluster_reader.h"
#include "reader/packed_codes.h"
#include "support/dictionary_fixture.h"

namespace quillon {
namespace {

using test::BlockFile;
using test::KeyRow;
using test::MemberRow;
using test::Null;
using test::Num;
using test::Txt;
namespace rw = format::row;

constexpr std::uint32_t kTsCluster = 6;
constexpr std::uint32_t kObjCluster = 2;

// A TS$ member row (TS# is the key): NAME, OWNER#, ONLINE$, CONTENTS$,
// UNDOFILE#, UNDOBLOCK#, BLOCKSIZE and on.
std::vector<testdb::ColumnBytes> TsRow(const char* name) {
  std::vector<testdb::ColumnBytes> cols = {Txt(name), Num(0), Num(1), Num(0), Null(), Null(), Num(8192)};
  for (int i = 8; i <= 17; ++i) cols.push_back(Num(i == 17 ? 1 : 0));
  return cols;
}

// A TAB$ member row (OBJ# is the key): DATAOBJ#, TS#, FILE#, BLOCK#, BOBJ#,
// TAB#, COLS, CLUCOLS, ... , PROPERTY (member column 29), TRIGFLAG, SPARE1.
std::vector<testdb::ColumnBytes> TabRow(std::optional<std::int64_t> dataobj, std::int64_t ts, std::int64_t file,
                                        std::int64_t block, std::int64_t property) {
  std::vector<testdb::ColumnBytes> cols(31, Num(0));
  cols[0] = dataobj ? Num(*dataobj) : Null();
  cols[1] = Num(ts);
  cols[2] = Num(file);
  cols[3] = Num(block);
  cols[4] = Null();
  cols[5] = Null();
  cols[6] = Num(3);
  cols[7] = Null();
  cols[13] = Txt("--------------------------------------");
  cols[28] = Num(property);
  cols[29] = Num(0x20000);
  cols[30] = Num(736);
  return cols;
}

struct ClusterFixture : ::testing::Test {
  BlockFile file;
  std::vector<std::uint32_t> dbas;

  DictionaryReader& Reader() {
    if (!reader) reader = std::make_unique<DictionaryReader>(file.engine());
    return *reader;
  }
  void UseCluster(SystemSegment segment, std::uint32_t object_number) {
    Reader().standard[static_cast<std::size_t>(segment)] = BlockFile::List(object_number, dbas);
  }
  std::unique_ptr<DictionaryReader> reader;
};

TEST_F(ClusterFixture, PairsMembersWithTheirKeysInKeyOrder) {
  auto b = file.NewBlock(kTsCluster, 3);  // keys, FET$, TS$
  b.AddRow(0, KeyRow({Num(0)}));
  b.AddRow(0, KeyRow({Num(4)}));
  b.AddRow(1, MemberRow(0, {Num(1), Num(100), Num(8)}));  // FET$ under TS# 0
  b.AddRow(2, MemberRow(1, TsRow("USERS")));              // stored before SYSTEM's row
  b.AddRow(2, MemberRow(0, TsRow("SYSTEM")));
  b.AddRow(2, MemberRow(7, TsRow("NOKEY")));              // names no key row
  dbas.push_back(file.Add(b));
  file.Finish();
  UseCluster(SystemSegment::kTsCluster, kTsCluster);

  ASSERT_TRUE(ReadClusterMember(Reader(), ClusterMember::kTs));
  const Catalogue& c = file.engine().catalogue;
  ASSERT_EQ(c.tablespaces.size(), 2u);
  EXPECT_EQ(c.tablespaces[0].name, "SYSTEM");  // key 0's rows first
  EXPECT_EQ(c.tablespaces[0].number, 0u);
  EXPECT_EQ(c.tablespaces[1].name, "USERS");
  EXPECT_EQ(c.tablespaces[1].number, 4u);
  EXPECT_EQ(c.tablespaces[1].block_size, 8192u);
  EXPECT_EQ(c.tablespaces[1].online_status, 0x02C1);
  EXPECT_EQ(c.tablespaces[1].contents, 0x80);
  EXPECT_EQ(c.count(Counter::kTablespaces), 2u);
  EXPECT_EQ(Reader().record_counter, 2u);
}

TEST_F(ClusterFixture, MemberCodeBeyondTheBlocksTablesReadsNothing) {
  auto b = file.NewBlock(kTsCluster, 2);  // keys and FET$ only
  b.AddRow(0, KeyRow({Num(0)}));
  b.AddRow(1, MemberRow(0, {Num(1), Num(100), Num(8)}));
  dbas.push_back(file.Add(b));
  file.Finish();
  UseCluster(SystemSegment::kTsCluster, kTsCluster);
  ReadClusterMember(Reader(), ClusterMember::kTs);
  EXPECT_EQ(file.engine().catalogue.tablespaces.size(), 0u);
}

TEST_F(ClusterFixture, SkipsBlocksOfOtherSegmentsAndDamagedKeys) {
  auto other = file.NewBlock(99, 3);
  other.AddRow(0, KeyRow({Num(0)}));
  other.AddRow(2, MemberRow(0, TsRow("FOREIGN")));
  dbas.push_back(file.Add(other));

  auto b = file.NewBlock(kTsCluster, 3);
  b.AddRow(0, KeyRow({Null()}));                  // a NULL key
  b.AddRow(0, KeyRow({Num(3)}));
  b.AddRow(2, MemberRow(0, TsRow("ORPHAN")));
  b.AddRow(2, MemberRow(1, TsRow("TEMP")));
  dbas.push_back(file.Add(b));
  dbas.push_back(file.AddRaw(testdb::Bytes(BlockFile::kBlockSize, 0x5A)));  // garbage
  file.Finish();
  UseCluster(SystemSegment::kTsCluster, kTsCluster);
  ReadClusterMember(Reader(), ClusterMember::kTs);
  const Catalogue& c = file.engine().catalogue;
  ASSERT_EQ(c.tablespaces.size(), 1u);
  EXPECT_EQ(c.tablespaces[0].name, "TEMP");
  EXPECT_EQ(c.tablespaces[0].number, 3u);
}

TEST_F(ClusterFixture, MigratedAndChainedMemberRows) {
  // The tail of a chained TAB$ row lives in a second block of the cluster.
  auto tail_block = file.NewBlock(kObjCluster, 2);
  auto full = TabRow(74001, 4, 4, 131, 0);
  testdb::PieceDescription tail;
  tail.flag = rw::kLast;
  tail.columns.assign(full.begin() + 10, full.end());
  const auto tail_slot = tail_block.AddRow(1, testdb::EncodeRowPiece(tail));
  ASSERT_TRUE(tail_slot.has_value());
  const std::uint32_t tail_dba = file.Add(tail_block);

  auto b = file.NewBlock(kObjCluster, 2);
  b.AddRow(0, KeyRow({Num(74000)}));
  b.AddRow(0, KeyRow({Num(74001)}));
  b.AddRow(1, MemberRow(0, TabRow(std::nullopt, 7, 0, 0, 0x20), rw::kMigratedMember));
  testdb::PieceDescription head;
  head.flag = rw::kClusterMember | rw::kHead | rw::kFirst;  // 0x68: continues elsewhere
  head.key_index = 1;
  head.next = RowAddress{tail_dba, *tail_slot};
  head.columns.assign(full.begin(), full.begin() + 10);
  b.AddRow(1, testdb::EncodeRowPiece(head));
  dbas.push_back(file.Add(b));
  dbas.push_back(tail_dba);
  file.Finish();
  UseCluster(SystemSegment::kObjCluster, kObjCluster);

  ReadClusterMember(Reader(), ClusterMember::kTab, 1);
  const Catalogue& c = file.engine().catalogue;
  ASSERT_EQ(c.tables.size(), 2u);
  const TableRecord* migrated = c.tables.First<0>(74000);
  ASSERT_NE(migrated, nullptr);
  EXPECT_FALSE(migrated->data_object_number.has_value());  // NULL DATAOBJ#: no segment of its own
  EXPECT_EQ(migrated->tablespace, "");                     // TS# 7 matches no tablespace
  EXPECT_EQ(migrated->property, 0x20u);
  const TableRecord* chained = c.tables.First<0>(74001);
  ASSERT_NE(chained, nullptr);
  EXPECT_EQ(chained->data_object_number, 74001u);
  EXPECT_EQ(chained->relative_file_number, 4u);
  EXPECT_EQ(chained->header_block, 131u);
  EXPECT_EQ(chained->column_count, 3u);
  EXPECT_FALSE(chained->cluster_position.has_value());
  EXPECT_EQ(chained->trigger_flags, 0x20000u);
  EXPECT_EQ(chained->spare1, 736u);
}

TEST_F(ClusterFixture, ColumnRecordsWithTypeTextAndDefault) {
  auto b = file.NewBlock(kObjCluster, 6);
  b.AddRow(0, KeyRow({Num(74000)}));
  // COL$ members: COL#, SEGCOL#, SEGCOLLENGTH, OFFSET, NAME, TYPE#, LENGTH,
  // FIXEDSTORAGE, PRECISION#, SCALE, NULL$, DEFLENGTH, INTCOL#, PROPERTY,
  // CHARSETID, CHARSETFORM, SPARE1..SPARE6, DEFAULT$ (the LONG, last).
  std::vector<testdb::ColumnBytes> id = {Num(1), Num(1), Num(22), Num(0), Txt("ID"), Num(2), Num(22), Num(0),
                                         Num(10), Num(0), Num(1), Null(), Num(1), Num(0)};
  std::vector<testdb::ColumnBytes> name = {Num(2),    Num(2), Num(200), Num(0),   Txt("NAME"), Num(1),
                                           Num(200),  Num(0), Null(),   Null(),   Num(0),      Num(8),
                                           Num(2),    Num(0), Num(178), Num(1),   Null(),      Null(),
                                           Num(100),  Null(), Null(),   Null(),   Txt("'none'\n")};
  b.AddRow(5, MemberRow(0, id));
  b.AddRow(5, MemberRow(0, name));
  dbas.push_back(file.Add(b));
  file.Finish();
  UseCluster(SystemSegment::kObjCluster, kObjCluster);

  ReadClusterMember(Reader(), ClusterMember::kCol, 5);
  const Catalogue& c = file.engine().catalogue;
  ASSERT_EQ(c.columns.size(), 2u);
  const ColumnInfo& a = c.columns[0];
  EXPECT_EQ(a.name, "ID");
  EXPECT_EQ(a.sql_type, "NUMBER(10, 0)");
  EXPECT_EQ(a.scale_text, "0");
  EXPECT_FALSE(a.nullable);
  EXPECT_EQ(a.null_bytes, 0x02C1);
  EXPECT_EQ(a.default_text, "");
  const ColumnInfo& n = c.columns[1];
  EXPECT_EQ(n.sql_type, "VARCHAR2(200)");
  EXPECT_EQ(n.precision_text, "FF");
  EXPECT_TRUE(n.nullable);
  EXPECT_EQ(n.null_bytes, 0x80);
  EXPECT_EQ(n.default_text, "'none' ");
  EXPECT_EQ(n.charset_id, PackedCode(178));
  EXPECT_EQ(n.internal_column, 2u);
  EXPECT_EQ(n.segment_column, 2u);
}

TEST_F(ClusterFixture, TypeAndTextKeys) {
  testdb::Bytes toid(16, 0);
  toid[15] = 0xAB;
  auto b = file.NewBlock(495, 5);
  b.AddRow(0, KeyRow({test::Raw(toid), Num(1)}));
  b.AddRow(0, KeyRow({test::Raw(testdb::Bytes(5, 1)), Num(1)}));  // not a 16-byte TOID
  // TYPE$ members: VERSION, TVOID, TYPECODE, PROPERTIES, ATTRIBUTES, METHODS.
  b.AddRow(1, MemberRow(0, {Txt("$8.0"), test::Raw(toid), Num(108), Num(0), Num(2), Num(0)}));
  b.AddRow(1, MemberRow(1, {Txt("$8.0"), test::Raw(toid), Num(108), Num(0), Num(2), Num(0)}));
  dbas.push_back(file.Add(b));

  auto m = file.NewBlock(625, 3);
  m.AddRow(0, KeyRow({Txt("EMP"), Txt("SCOTT")}));
  // MLOG$ members (11g): OLDEST, OLDEST_PK, OLDEST_SEQ, OSCN, YOUNGEST, YSCN,
  // LOG, TRIG, FLAG, MTIME.
  m.AddRow(1, MemberRow(0, {Null(), Null(), Null(), Num(1), Null(), Num(1), Txt("MLOG$_EMP"), Null(), Num(82),
                            test::Raw({120, 124, 1, 5, 1, 1, 1})}));
  const std::uint32_t mlog_dba = file.Add(m);
  file.Finish();
  UseCluster(SystemSegment::kTypeCluster, 495);
  Reader().standard[static_cast<std::size_t>(SystemSegment::kMlogCluster)] = BlockFile::List(625, {mlog_dba});

  ReadClusterMember(Reader(), ClusterMember::kType);
  ReadClusterMember(Reader(), ClusterMember::kMlog);
  const Catalogue& c = file.engine().catalogue;
  ASSERT_EQ(c.types.size(), 1u);
  EXPECT_EQ(c.types[0].type_oid, " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 AB");
  EXPECT_EQ(c.types[0].typecode, 108u);
  ASSERT_EQ(c.materialized_view_logs.size(), 1u);
  EXPECT_EQ(c.materialized_view_logs[0].master, "EMP");
  EXPECT_EQ(c.materialized_view_logs[0].master_owner, "SCOTT");
  EXPECT_EQ(c.materialized_view_logs[0].log_table, "MLOG$_EMP");
  EXPECT_EQ(c.materialized_view_logs[0].flag, 82u);
  EXPECT_EQ(c.count(Counter::kMaterializedViewLogs), 1u);
}

TEST_F(ClusterFixture, UsersRolesAndIdentification) {
  auto ts = file.NewBlock(kTsCluster, 3);
  ts.AddRow(0, KeyRow({Num(4)}));
  ts.AddRow(2, MemberRow(0, TsRow("USERS")));
  const std::uint32_t ts_dba = file.Add(ts);

  auto b = file.NewBlock(10, 2);
  for (int k : {0, 1, 84, 90}) b.AddRow(0, KeyRow({Num(k)}));
  auto user = [](const char* name, int type, testdb::ColumnBytes password, int ts_number) {
    std::vector<testdb::ColumnBytes> cols = {Txt(name), Num(type), std::move(password), Num(ts_number),
                                             Num(ts_number)};
    for (int i = 6; i <= 14; ++i) cols.push_back(Null());
    cols.push_back(Num(type == 1 ? 8 : 0));  // ASTATUS
    return cols;
  };
  b.AddRow(1, MemberRow(0, user("SYS", 1, Txt("8A8F025737A9097A"), 0)));
  b.AddRow(1, MemberRow(1, user("PUBLIC", 0, Null(), 0)));
  auto scott = user("SCOTT", 1, Txt("EXTERNAL"), 4);
  scott.push_back(Num(0));
  scott.push_back(Null());
  scott.push_back(Txt("cn=scott"));  // EXT_USERNAME, member column 18
  scott.push_back(Num(16));          // SPARE1 after it
  b.AddRow(1, MemberRow(2, scott));
  b.AddRow(1, MemberRow(3, user("DBA", 0, Txt("GLOBAL"), 0)));
  const std::uint32_t user_dba = file.Add(b);
  file.Finish();
  Reader().standard[static_cast<std::size_t>(SystemSegment::kTsCluster)] = BlockFile::List(kTsCluster, {ts_dba});
  Reader().standard[static_cast<std::size_t>(SystemSegment::kUserCluster)] = BlockFile::List(10, {user_dba});

  ReadClusterMember(Reader(), ClusterMember::kTs);
  ReadClusterMember(Reader(), ClusterMember::kUser);
  const Catalogue& c = file.engine().catalogue;
  ASSERT_EQ(c.users.size(), 2u);
  ASSERT_EQ(c.roles.size(), 2u);
  const UserRecord* s = c.users.First<1>("SCOTT");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->identification, "EXTERNAL");
  EXPECT_EQ(s->external_name, "cn=scott");
  EXPECT_EQ(s->default_tablespace, "USERS");
  EXPECT_EQ(s->account_status, 0x09C1);
  EXPECT_EQ(s->account_status_value, 8);
  EXPECT_EQ(c.users.First<1>("SYS")->identification, "KESTON");
  EXPECT_EQ(c.users.First<1>("SYS")->default_tablespace, "");  // TS# 0 is not in this C_TS#
  EXPECT_EQ(c.roles.First<1>("PUBLIC")->identification, "NONE");
  EXPECT_EQ(c.roles.First<1>("DBA")->identification, "GLOBAL");
  EXPECT_EQ(c.count(Counter::kUsers), 2u);
  EXPECT_EQ(c.count(Counter::kRoles), 2u);
  EXPECT_EQ(c.OwnerName(1), "PUBLIC");
}

}  // namespace
}  // namespace quillon
