// LOB columns read back in full: in-row LOBs from their locators, out-of-line
// LOBs from their LOB segments (pages over several extents and extent map
// blocks, rewritten pages, chunks of several blocks, the LOB fragments of
// partitions), and LONG columns joined over their pieces.
#include <gtest/gtest.h>

#include <fstream>

#include "rows/value_texts.h"
#include "support/row_collect.h"
#include "support/table_db.h"
#include "testdb/lob_writer.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;
using test::AddLobObject;
using test::ColumnDef;
using test::LobOf;

namespace tc = type_code;

constexpr std::uint32_t kBlock = 2048;

Bytes Pattern(std::size_t n, std::uint32_t seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>('a' + (i * 7 + seed) % 26);
  return b;
}
std::string Str(const Bytes& b) { return std::string(b.begin(), b.end()); }
Bytes Utf16(const std::string& ascii) {
  Bytes out;
  for (const char c : ascii) {
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(c));
  }
  return out;
}

// The value texts of every row, LOBs in full.
std::vector<std::vector<ValueText>> ReadTexts(COracleRecoveryTools& engine, std::uint32_t table,
                                              std::uint64_t* incomplete = nullptr) {
  BlockSource source(engine.datafiles);
  TableRowReader reader(engine, source, table);
  RowValueTexts texts(engine, table, LargeValues::kContent);
  std::vector<std::size_t> columns(reader.layout().column_count());
  for (std::size_t i = 0; i < columns.size(); ++i) columns[i] = i;
  struct Consumer : RowConsumer {
    Consumer(RowValueTexts& t, const TableLayout& l, std::span<const std::size_t> c) : texts(t), layout(l), cols(c) {}
    bool Row(const TableRow& row) override {
      texts.Fill(row, layout, cols, scratch);
      out.push_back(scratch);
      return true;
    }
    RowValueTexts& texts;
    const TableLayout& layout;
    std::span<const std::size_t> cols;
    std::vector<ValueText> scratch;
    std::vector<std::vector<ValueText>> out;
  } consumer(texts, reader.layout(), columns);
  reader.Read(TableRowReader::Begin(), 0, consumer);
  if (incomplete) *incomplete = texts.incomplete_values();
  return consumer.out;
}

TEST(Lobs, InRowAndOutOfLineLobsComeBackWhole) {
  for (const auto space : {SpaceManagement::kFreeList, SpaceManagement::kAssm}) {
    SCOPED_TRACE(space == SpaceManagement::kAssm ? "assm" : "free list");
    const Bytes big = Pattern(20000, 1);        // 11 pages
    const Bytes exact = Pattern(2 * testdb::LobPageBytes(kBlock), 2);  // two full pages
    const Bytes small = Pattern(100, 3);        // one short page
    const Bytes chunked = Pattern(5 * testdb::LobPageBytes(kBlock) + 17, 4);  // 6 blocks in chunks of 4

    auto model = testdb::NewDatabaseModel("LOBS", "11.2", kBlock, 3);
    testdb::SegmentModel t;
    t.name = "DOCS";
    t.object_number = 71000;
    t.space = space;
    const auto loc = [](std::uint32_t key, const Bytes& data, bool character) {
      return ColumnBytes(testdb::OutOfLineLobLocator(key, data.size(), kBlock, character));
    };
    t.rows.emplace_back(std::vector<ColumnBytes>{
        testdb::EncodeNumber(1), testdb::InRowLobLocator(11, Bytes{'h', 'i'}, true),
        testdb::InRowLobLocator(12, Bytes{0x00, 0xFF}, false), testdb::InRowLobLocator(13, Utf16("Nat"), true),
        testdb::InRowLobLocator(14, Bytes{}, false)});
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(2), loc(21, big, true), loc(22, exact, false),
                                                 loc(23, Utf16(Str(small)), true), loc(24, chunked, false)});
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(3)});  // NULL LOBs
    model.segments.push_back(std::move(t));
    test::TableDb db(model, std::string("lobs") + (space == SpaceManagement::kAssm ? "a" : "f"));
    const auto* users = db.layout().FindFile("USERS01.DBF");
    ASSERT_NE(users, nullptr);

    // One segment of single-block chunks for DOC, PIC and NOTE; one of
    // four-block chunks for RAWDOC.
    testdb::LobSegmentDescription plain;
    plain.object_number = 71100;
    plain.space = space;
    plain.extent_blocks = 4;
    plain.extents_per_map = 2;
    testdb::LobValue doc{21, big};
    doc.rewritten_pages = {3, 5};
    doc.old_copy_first = true;
    testdb::LobValue pic{22, exact};
    pic.rewritten_pages = {1};
    pic.old_copy_first = false;
    plain.lobs = {doc, pic, testdb::LobValue{23, Utf16(Str(small))}};
    testdb::LobSegmentWritten written;
    std::string error;
    ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, users->block_count + 4, plain,
                                        written, error))
        << error;
    EXPECT_GE(written.map_dbas.size(), 2u);  // the pages lie behind several extent map blocks
    testdb::LobSegmentDescription chunks;
    chunks.object_number = 71200;
    chunks.space = space;
    chunks.chunk = 4;
    chunks.extent_blocks = 9;
    chunks.lobs = {testdb::LobValue{24, chunked}};
    chunks.lobs[0].rewritten_pages = {1};
    testdb::LobSegmentWritten written_chunks;
    ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, written.end_block + 3, chunks,
                                        written_chunks, error))
        << error;

    auto& cat = db.engine().catalogue;
    cat.tables.Append(db.TableOn(710, 71000));
    db.Describe(710, "SCOTT", "DOCS",
                {{"ID", tc::kNumber}, {"DOC", tc::kClob}, {"PIC", tc::kBlob}, {"NOTE", tc::kClob, kNationalCharsetCode},
                 {"RAWDOC", tc::kBlob}});
    cat.lobs.Append(LobOf(710, 2, 7102, written.header_dba, 1));
    cat.lobs.Append(LobOf(710, 3, 7103, written.header_dba, 1));
    cat.lobs.Append(LobOf(710, 4, 7104, written.header_dba, 1));
    cat.lobs.Append(LobOf(710, 5, 7105, written_chunks.header_dba, 4));
    for (const std::uint32_t l : {7102u, 7103u, 7104u}) AddLobObject(cat, l, 71100);
    AddLobObject(cat, 7105, 71200);

    std::uint64_t incomplete = 99;
    const auto rows = ReadTexts(db.engine(), 710, &incomplete);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(incomplete, 0u);
    EXPECT_EQ(rows[0][1].text, "hi");
    EXPECT_EQ(rows[0][2].text, "00ff");
    EXPECT_EQ(rows[0][3].text, "Nat");
    EXPECT_FALSE(rows[0][4].is_null);
    EXPECT_EQ(rows[0][4].text, "");
    EXPECT_EQ(rows[1][1].text, Str(big));
    EXPECT_EQ(rows[1][2].text, ToHex(ByteView(exact.data(), exact.size())));
    EXPECT_EQ(rows[1][3].text, Str(small));
    EXPECT_EQ(rows[1][4].text, ToHex(ByteView(chunked.data(), chunked.size())));
    for (std::size_t c = 1; c < 5; ++c) EXPECT_TRUE(rows[2][c].is_null) << c;
  }
}

TEST(Lobs, PartitionsReadTheirOwnLobFragments) {
  auto model = testdb::NewDatabaseModel("LOBP", "10.2", kBlock, 4);
  for (const std::uint32_t seg : {72001u, 72002u}) {
    testdb::SegmentModel s;
    s.name = "P" + std::to_string(seg);
    s.object_number = seg;
    s.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(seg),
                                                 testdb::OutOfLineLobLocator(5, 3000, kBlock, true)});
    model.segments.push_back(std::move(s));
  }
  test::TableDb db(model, "lob-partitions");
  const auto* users = db.layout().FindFile("USERS01.DBF");
  auto& cat = db.engine().catalogue;
  TableRecord t = db.TableOn(720, 0);
  t.property = kPropertyPartitioned;
  cat.tables.Append(t);
  db.Describe(720, "SCOTT", "PARTED", {{"ID", tc::kNumber}, {"DOC", tc::kClob}});
  cat.lobs.Append(LobOf(720, 2, 7200, 0, 1));
  std::uint32_t at = users->block_count + 2;
  for (const std::uint32_t seg : {72001u, 72002u}) {
    cat.table_partitions.Append(db.PartitionOn(720, seg, "P" + std::to_string(seg)));
    testdb::LobSegmentDescription wanted;
    wanted.object_number = seg + 100;
    wanted.lobs = {testdb::LobValue{5, Pattern(3000, seg)}};  // the same identifier in both fragments
    testdb::LobSegmentWritten written;
    std::string error;
    ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, at, wanted, written, error)) << error;
    at = written.end_block + 1;
    LobFragmentRecord f;
    f.fragment_object_number = seg + 50;
    f.parent_object_number = 7200;
    f.table_fragment_object = seg;
    f.relative_file_number = format::DbaFile(written.header_dba);
    f.header_block = format::DbaBlock(written.header_dba);
    f.chunk = 1;
    cat.lob_fragments.Append(f);
    AddLobObject(cat, seg + 50, seg + 100);
  }
  const auto rows = ReadTexts(db.engine(), 720);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1].text, Str(Pattern(3000, 72001)));
  EXPECT_EQ(rows[1][1].text, Str(Pattern(3000, 72002)));
}

TEST(Lobs, MissingPagesAndSegmentsLeaveTheLobIncomplete) {
  auto model = testdb::NewDatabaseModel("LOBM", "11.2", kBlock, 5);
  testdb::SegmentModel s;
  s.name = "T";
  s.object_number = 73000;
  s.rows.emplace_back(std::vector<ColumnBytes>{testdb::OutOfLineLobLocator(9, 5000, kBlock, false)});
  s.rows.emplace_back(std::vector<ColumnBytes>{testdb::OutOfLineLobLocator(77, 10, kBlock, false)});
  model.segments.push_back(std::move(s));
  test::TableDb db(model, "lob-missing");
  const auto* users = db.layout().FindFile("USERS01.DBF");
  testdb::LobSegmentDescription wanted;
  wanted.object_number = 73100;
  wanted.lobs = {testdb::LobValue{9, Pattern(5000, 9)}};
  testdb::LobSegmentWritten written;
  std::string error;
  ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, users->block_count + 1, wanted, written,
                                      error));
  // Zero the LOB's second page (block 2 of the first extent: header, page 0, page 1).
  {
    std::fstream f(users->path, std::ios::in | std::ios::out | std::ios::binary);
    const Bytes zeros(kBlock, 0);
    f.seekp(static_cast<std::streamoff>(format::DbaBlock(written.extents[0].first_dba) + 2) * kBlock);
    f.write(reinterpret_cast<const char*>(zeros.data()), kBlock);
  }
  auto& cat = db.engine().catalogue;
  cat.tables.Append(db.TableOn(730, 73000));
  db.Describe(730, "SCOTT", "T", {{"B", tc::kBlob}});
  cat.lobs.Append(LobOf(730, 1, 7300, written.header_dba, 1));
  std::uint64_t incomplete = 0;
  const auto rows = ReadTexts(db.engine(), 730, &incomplete);
  ASSERT_EQ(rows.size(), 2u);
  const Bytes data = Pattern(5000, 9);
  const std::size_t page = testdb::LobPageBytes(kBlock);
  Bytes expected(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(page));
  expected.insert(expected.end(), data.begin() + static_cast<std::ptrdiff_t>(2 * page), data.end());
  EXPECT_TRUE(rows[0][0].incomplete);
  EXPECT_EQ(rows[0][0].text, ToHex(ByteView(expected.data(), expected.size())));  // what was found
  EXPECT_TRUE(rows[1][0].incomplete);  // no page has its identifier
  EXPECT_EQ(rows[1][0].text, "");
  EXPECT_EQ(incomplete, 2u);
}

// The in-row decision: the inode flag when its valid bit is set, whatever
// the version (an updated in-row LOB has a version above 1); the version and
// block words only when the flag is not valid; never for a locator without
// an inode.
TEST(Lobs, LocatorRules) {
  struct Case {
    const char* what;
    std::size_t size;
    std::uint8_t inode_flag;
    std::uint32_t blocks;
    std::uint32_t version;
    bool in_row;
    LobInRowRule rule;
  };
  const Case cases[] = {
      {"in row, never updated", 40, 0x09, 0, 1, true, LobInRowRule::kInodeFlag},
      {"in row, updated", 40, 0x09, 0, 2, true, LobInRowRule::kInodeFlag},
      {"in row, updated often", 40, 0x09, 0, 0x10000, true, LobInRowRule::kInodeFlag},
      {"out of line, version 1", 40, 0x05, 1, 1, false, LobInRowRule::kInodeFlag},
      {"out of line, one block", 40, 0x01, 1, 2, false, LobInRowRule::kInodeFlag},
      {"flag not valid, old words in row", 40, 0x08, 0, 1, true, LobInRowRule::kOldWords},
      {"flag not valid, old words out of line", 40, 0x00, 3, 1, false, LobInRowRule::kOldWords},
      {"flag not valid, version 2", 40, 0x00, 0, 2, false, LobInRowRule::kOldWords},
      {"no inode", 20, 0x09, 0, 1, false, LobInRowRule::kNoInode},
      {"cut inode", 30, 0x09, 0, 1, false, LobInRowRule::kNoInode},
  };
  for (const auto& c : cases) {
    Bytes b(40, 0);
    b[22] = c.inode_flag;
    PutU32BE(b.data() + 24, c.blocks);
    PutU32BE(b.data() + 32, c.version);
    b[36] = 'x';
    b.resize(c.size);
    const auto l = ParseLobLocator(ByteView(b.data(), b.size()));
    ASSERT_TRUE(l) << c.what;
    EXPECT_EQ(l->in_row, c.in_row) << c.what;
    EXPECT_EQ(l->rule, c.rule) << c.what;
    if (c.in_row) {
      EXPECT_EQ(l->data.size(), 4u) << c.what;
    }
  }
  const Bytes short_one(19, 0);
  EXPECT_FALSE(ParseLobLocator(ByteView(short_one.data(), short_one.size())));
}

// The generator's locators say what Oracle's say: version, inode flag and
// size, counts, chunk DBAs (at most 12), byte length.
TEST(Lobs, GeneratedLocatorsCarryTheirFields) {
  testdb::LocatorDescription d;
  d.page_key = 0x0A0B0C0D;
  d.character = true;
  d.byte_length = 2;
  d.version = 0x100000003ull;
  std::vector<std::uint32_t> dbas;
  for (std::uint32_t i = 0; i < 15; ++i) dbas.push_back(format::MakeDba(4, 100 + 8 * i));
  const std::size_t room = testdb::LobPageBytes(kBlock);
  const Bytes out = testdb::OutOfLineLobLocator(d, 3 * room + 5, kBlock, dbas);
  ASSERT_EQ(out.size(), 84u);
  const auto l = ParseLobLocator(ByteView(out.data(), out.size()));
  ASSERT_TRUE(l);
  EXPECT_FALSE(l->in_row);
  EXPECT_TRUE(l->IsClob());
  EXPECT_EQ(l->length_word, 0x54);
  EXPECT_EQ(l->byte_length, 2);
  EXPECT_EQ(l->inode_size, 64);
  EXPECT_EQ(l->blocks, 4u);
  EXPECT_EQ(l->LastBlock(), 3u);
  EXPECT_EQ(l->last_block_bytes, 5);
  EXPECT_EQ(l->version_wrap, 1);
  EXPECT_EQ(l->version_base, 3u);
  EXPECT_EQ(l->page_key, 0x0A0B0C0Du);
  EXPECT_EQ(l->chunk_dbas, std::vector<std::uint32_t>(dbas.begin(), dbas.begin() + 12));

  d.version = 7;
  const Bytes in_row = testdb::InRowLobLocator(d, Bytes{0, 'a'});
  const auto r = ParseLobLocator(ByteView(in_row.data(), in_row.size()));
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->in_row);
  EXPECT_EQ(r->inode_flag, 0x09);
  EXPECT_EQ(r->inode_size, in_row.size() - 20);
  EXPECT_EQ(r->version_base, 7u);
  EXPECT_EQ(r->data.size(), 2u);

  d.storage_in_row = false;
  const Bytes bare = testdb::OutOfLineLobLocator(d, 5000, kBlock, dbas);
  EXPECT_EQ(bare.size(), 20u);
}

// A LOB segment whose header block is lost: the chunks the locator lists
// still come back, the rest of the LOB is missing. An updated LOB (pages
// rewritten, old copies left behind) gives the current copies.
TEST(Lobs, ChunkDbasOfTheLocatorOutliveTheSegmentHeader) {
  for (const auto space : {SpaceManagement::kFreeList, SpaceManagement::kAssm}) {
    SCOPED_TRACE(space == SpaceManagement::kAssm ? "assm" : "free list");
    const std::size_t room = testdb::LobPageBytes(kBlock);
    const Bytes small = Pattern(5 * room + 9, 5);   // 6 chunks: all listed
    const Bytes large = Pattern(14 * room + 3, 6);  // 15 chunks: 12 listed

    auto model = testdb::NewDatabaseModel("LOBH", "11.2", kBlock, 6);
    testdb::SegmentModel t;
    t.name = "T";
    t.object_number = 75000;
    t.space = space;
    // Rows are written before the LOB segment: plan it first.
    testdb::LobSegmentDescription wanted;
    wanted.object_number = 75100;
    wanted.space = space;
    wanted.extent_blocks = 6;
    testdb::LobValue a{31, small};
    a.version = 4;
    a.rewritten_pages = {0, 2};
    a.old_copy_first = false;  // the old copy lies after the current one
    testdb::LobValue b{32, large};
    wanted.lobs = {a, b};
    // The segment goes well past the blocks the model's layout uses.
    const std::uint32_t first_block = 3000;
    const std::uint32_t file_no = 4;
    const testdb::LobSegmentWritten plan = testdb::PlanLobSegment(file_no, kBlock, first_block, wanted);
    ASSERT_EQ(plan.chunk_dbas.size(), 2u);
    testdb::LocatorDescription da;
    da.page_key = 31;
    da.version = 4;
    testdb::LocatorDescription dbl;
    dbl.page_key = 32;
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::OutOfLineLobLocator(da, small.size(), kBlock, plan.chunk_dbas[0])});
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::OutOfLineLobLocator(dbl, large.size(), kBlock, plan.chunk_dbas[1])});
    model.segments.push_back(std::move(t));
    test::TableDb db(model, std::string("lobh") + (space == SpaceManagement::kAssm ? "a" : "f"));
    const auto* users = db.layout().FindFile("USERS01.DBF");
    ASSERT_EQ(users->relative_file, file_no);
    ASSERT_LT(users->block_count, first_block);
    testdb::LobSegmentWritten written;
    std::string error;
    ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, first_block, wanted, written, error))
        << error;
    ASSERT_EQ(written.chunk_dbas, plan.chunk_dbas);

    auto& cat = db.engine().catalogue;
    cat.tables.Append(db.TableOn(750, 75000));
    db.Describe(750, "SCOTT", "T", {{"B", tc::kBlob}});
    cat.lobs.Append(LobOf(750, 1, 7500, written.header_dba, 1));
    AddLobObject(cat, 7500, 75100);

    const auto hex = [](const Bytes& v) { return ToHex(ByteView(v.data(), v.size())); };
    {
      std::uint64_t incomplete = 9;
      const auto rows = ReadTexts(db.engine(), 750, &incomplete);
      ASSERT_EQ(rows.size(), 2u);
      EXPECT_EQ(rows[0][0].text, hex(small));
      EXPECT_EQ(rows[1][0].text, hex(large));
      EXPECT_EQ(incomplete, 0u);
    }
    {
      std::fstream f(users->path, std::ios::in | std::ios::out | std::ios::binary);
      const Bytes zeros(kBlock, 0);
      f.seekp(static_cast<std::streamoff>(format::DbaBlock(written.header_dba)) * kBlock);
      f.write(reinterpret_cast<const char*>(zeros.data()), kBlock);
    }
    std::uint64_t incomplete = 0;
    const auto rows = ReadTexts(db.engine(), 750, &incomplete);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].text, hex(small));
    EXPECT_FALSE(rows[0][0].incomplete);
    EXPECT_EQ(rows[1][0].text, hex(Bytes(large.begin(), large.begin() + static_cast<std::ptrdiff_t>(12 * room))));
    EXPECT_TRUE(rows[1][0].incomplete);
    EXPECT_EQ(incomplete, 1u);
  }
}

}  // namespace
}  // namespace quillon
