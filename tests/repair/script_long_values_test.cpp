// Long values on their way from the datafiles into a SQL*Plus script: a
// LONG or LONG RAW over 32 KB cannot be scripted and is counted and
// reported, one of 32,000 bytes goes in; a 5 MB LOB becomes an empty LOB
// filled by DBMS_LOB.WRITEAPPEND chunks that join to its bytes, streamed
// from the spill file in small pieces; a LOB whose pages are missing goes
// in with what was found and is counted and reported as incomplete. Into
// SQLite a long BLOB is written into its row piece by piece.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "reader/block_source.h"
#include "reader/catalogue_views.h"
#include "repair/insert_rows.h"
#include "repair/repair_process.h"
#include "repair/script_target.h"
#include "repair/sqlite_target.h"
#include "repair/spill_folder.h"
#include "support/script_literals.h"
#include "support/oracle_grammar.h"
#include "support/table_db.h"
#include "support/test_paths.h"
#include "testdb/lob_writer.h"
#include "testdb/values.h"

namespace quillon {
namespace {

namespace tc = type_code;
using testdb::Bytes;
using testdb::ColumnBytes;

std::string UpperHex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 0xF];
  }
  return out;
}

Bytes LongPattern(std::size_t n, std::uint32_t seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>('A' + (i * 13 + seed + i / 97) % 26);
  return b;
}

// A long value's bytes as the target sees them, with the largest piece the
// target ever asked for.
class WatchedBytes final : public repair::LongBytes {
 public:
  WatchedBytes(std::shared_ptr<const repair::LongBytes> inner, std::size_t* largest)
      : inner_(std::move(inner)), largest_(largest) {}
  std::uint64_t size() const override { return inner_->size(); }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    *largest_ = std::max(*largest_, into.size());
    return inner_->Read(offset, into);
  }

 private:
  std::shared_ptr<const repair::LongBytes> inner_;
  std::size_t* largest_;
};

// Passes rows on to a script target, watching their long values: how large
// they are and whether the spill file holds them when the row is handed over.
class WatchingTarget final : public repair::Target {
 public:
  WatchingTarget(repair::Target& inner, const repair::SpillFolder& spill) : inner_(inner), spill_(spill) {}
  bool Connect() override { return inner_.Connect(); }
  bool Execute(const repair::Statement& s) override { return inner_.Execute(s); }
  bool BeginRows() override { return inner_.BeginRows(); }
  void InsertRow(std::string_view sql, std::span<const repair::Value> values) override {
    std::vector<repair::Value> watched(values.begin(), values.end());
    for (repair::Value& v : watched) {
      if (auto* l = std::get_if<repair::LongValue>(&v)) {
        long_sizes.push_back(l->bytes->size());
        spilled.push_back(std::filesystem::file_size(spill_.file()));
        l->bytes = std::make_shared<WatchedBytes>(l->bytes, &largest_read);
      }
    }
    inner_.InsertRow(sql, watched);
  }
  repair::RowOutcome EndRows() override { return inner_.EndRows(); }
  std::uint64_t RowsInserted() const override { return inner_.RowsInserted(); }
  std::uint64_t MaxLongBytes() const override { return inner_.MaxLongBytes(); }
  std::string DescribeError() const override { return inner_.DescribeError(); }
  void Disconnect() override { inner_.Disconnect(); }

  std::vector<std::uint64_t> long_sizes;
  std::vector<std::uint64_t> spilled;  // the spill file's size when each long value was handed over
  std::size_t largest_read = 0;

 private:
  repair::Target& inner_;
  const repair::SpillFolder& spill_;
};

void AddLobSegmentRecords(COracleRecoveryTools& engine, std::uint32_t table, std::uint32_t column,
                          std::uint32_t lob_object, std::uint32_t header_dba, std::uint32_t data_object) {
  engine.catalogue.lobs.Append(test::LobOf(table, column, lob_object, header_dba, 1));
  test::AddLobObject(engine.catalogue, lob_object, data_object);
}

struct Inserted {
  repair::InsertResult result;
  std::string script;
};

// The rows of one table into a script, through InsertTableRows as the
// repair calls it (the script's own limit for LONG values).
Inserted InsertIntoScript(COracleRecoveryTools& engine, std::uint32_t table, const std::filesystem::path& folder) {
  Inserted out;
  std::string error;
  auto spill = repair::SpillFolder::Create(&error, (folder / "cache").string());
  EXPECT_TRUE(spill) << error;
  if (!spill) return out;
  const std::filesystem::path script_path = folder / "rows.sql";
  {
    std::ofstream file(script_path, std::ios::binary);
    repair::ScriptTarget script(file, "test");
    WatchingTarget target(script, *spill);
    const CatalogueViews views(engine.catalogue);
    const TableDefinition definition = views.Table(*engine.catalogue.Object(table));
    BlockSource source(engine.datafiles);
    repair::InsertOptions options;
    options.max_long_bytes = target.MaxLongBytes();
    out.result = repair::InsertTableRows(engine, source, definition, target, *spill, options);
    script.Disconnect();
  }
  std::ifstream in(script_path, std::ios::binary);
  out.script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  EXPECT_EQ(test::CheckScript(out.script), std::vector<std::string>{});
  return out;
}

// The first value of a query's first row, as bytes.
Bytes SqliteBlob(const std::filesystem::path& path, const char* sql) {
  sqlite3* db = nullptr;
  Bytes out;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &query, nullptr) == SQLITE_OK && sqlite3_step(query) == SQLITE_ROW) {
      const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(query, 0));
      out.assign(data, data + sqlite3_column_bytes(query, 0));
    }
    sqlite3_finalize(query);
  }
  sqlite3_close(db);
  return out;
}

std::vector<test::ScriptInsert> ScriptRows(const std::string& script) {
  std::vector<test::ScriptInsert> rows;
  for (const std::string& unit : test::ScriptUnits(script)) {
    if (!unit.starts_with("insert") && !unit.starts_with("DECLARE")) continue;
    const auto row = test::ReadRowUnit(unit);
    EXPECT_TRUE(row) << unit.substr(0, 300);
    if (row) rows.push_back(*row);
  }
  return rows;
}

TEST(ScriptLongValues, OverThirtyTwoKilobytesAreCountedAndReportedNotScripted) {
  struct Case {
    const char* name;
    std::uint32_t type;
  };
  const Case cases[] = {{"LONG", tc::kLong}, {"LONG RAW", tc::kLongRaw}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes too_long = LongPattern(40000, 1);
    const Bytes fits = LongPattern(32000, 2);
    auto model = testdb::NewDatabaseModel("LONGS", "11.2", 8192, 21);
    testdb::SegmentModel t;
    t.name = "NOTES";
    t.object_number = 92000;
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(1), too_long});
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(2), fits});
    model.segments.push_back(std::move(t));
    test::TableDb db(model, std::string("script-longs-") + std::to_string(&c - cases));
    db.engine().catalogue.tables.Append(db.TableOn(920, 92000));
    db.Describe(920, "SCOTT", "NOTES", {{"ID", tc::kNumber}, {"NOTE", c.type}});

    test::TempDir folder;
    const Inserted r = InsertIntoScript(db.engine(), 920, folder.path());
    EXPECT_EQ(r.result.rows, 1u);
    EXPECT_EQ(r.result.failed_rows, 1u);
    EXPECT_EQ(r.result.long_values_too_long, 1u);
    ASSERT_EQ(r.result.errors.size(), 1u);
    EXPECT_NE(r.result.errors[0].find("40000 bytes (over 32760) cannot be written into a script"), std::string::npos)
        << r.result.errors[0];
    EXPECT_NE(r.result.errors[0].find("insert into SCOTT.NOTES"), std::string::npos) << r.result.errors[0];

    const auto rows = ScriptRows(r.script);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].values.size(), 2u);
    EXPECT_EQ(rows[0].values[0].text, "2");
    EXPECT_EQ(rows[0].values[1].text,
              c.type == tc::kLongRaw ? UpperHex(fits) : std::string(fits.begin(), fits.end()));
    // Into a PL/SQL variable, never as a LOB (a LONG column takes no
    // DBMS_LOB calls).
    EXPECT_EQ(r.script.find("DBMS_LOB"), std::string::npos);
    EXPECT_EQ(r.script.find("EMPTY_"), std::string::npos);
  }
}

// The same table through the whole repair: the table's lines in the log
// say how many rows failed and why, and the error file's text names the
// table and the reason.
TEST(ScriptLongValues, TheRepairLogAndErrorFileSayWhatWasNotScripted) {
  auto model = testdb::NewDatabaseModel("LONGR", "11.2", 8192, 22);
  testdb::SegmentModel t;
  t.name = "NOTES";
  t.object_number = 92100;
  t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(1), LongPattern(40000, 3)});
  t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(2), LongPattern(32000, 4)});
  model.segments.push_back(std::move(t));
  struct LogLines final : NotificationSink {
    void AppendLog(std::string_view text, LogMode) override { log.emplace_back(text); }
    void UncheckTable(std::size_t) override {}
    std::vector<std::string> log;
  } sink;
  test::TableDb db(model, "script-longs-repair", &sink);
  db.engine().catalogue.tables.Append(db.TableOn(921, 92100));
  db.Describe(921, "SCOTT", "NOTES", {{"ID", tc::kNumber}, {"NOTE", tc::kLong}});

  test::TempDir folder;
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  repair::OracleRepairOptions options;
  options.spill_root = (folder.path() / "cache").string();
  const repair::RepairResult result =
      repair::RunRepair(db.engine(), target, repair::TargetDialect::kOracle, {921}, options);
  target.Disconnect();
  EXPECT_EQ(test::CheckScript(script.str()), std::vector<std::string>{});
  EXPECT_EQ(result.rows, 1u);
  EXPECT_EQ(result.failed_rows, 1u);
  EXPECT_EQ(result.long_values_too_long, 1u);
  const auto header = std::find(sink.log.begin(), sink.log.end(), "Repairing Table.....SCOTT.NOTES  ");
  ASSERT_NE(header, sink.log.end());
  const std::vector<std::string> table_lines(header, std::find(header, sink.log.end(), repair::kLogDots59));
  EXPECT_EQ(table_lines, (std::vector<std::string>{"Repairing Table.....SCOTT.NOTES  ", "Total fields present : 2",
                                                   "Total record(s) recovered : 1", "Failed record(s) : 1",
                                                   "LONG value(s) over 32 KB not scripted : 1"}));
  EXPECT_NE(result.errors_text.find("Table SCOTT.NOTES\na LONG or LONG RAW value of 40000 bytes"), std::string::npos)
      << result.errors_text;
}

TEST(ScriptLobValues, AFiveMegabyteLobIsWrittenInChunksStreamedFromTheSpillFile) {
  constexpr std::uint32_t kBlock = 8192;
  const Bytes data = [] {
    Bytes b(5u << 20);
    std::uint32_t x = 12345;
    for (auto& byte : b) {
      x = x * 1103515245u + 12345u;
      byte = static_cast<std::uint8_t>(x >> 23);
    }
    return b;
  }();
  auto model = testdb::NewDatabaseModel("LOB5M", "11.2", kBlock, 23);
  testdb::SegmentModel t;
  t.name = "PICTURES";
  t.object_number = 93000;
  t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(7),
                                               testdb::OutOfLineLobLocator(0x5A5A0001, data.size(), kBlock, false)});
  model.segments.push_back(std::move(t));
  test::TableDb db(model, "script-lob-5m");
  const auto* users = db.layout().FindFile("USERS01.DBF");
  ASSERT_NE(users, nullptr);
  testdb::LobSegmentDescription wanted;
  wanted.object_number = 93100;
  wanted.extent_blocks = 128;
  wanted.extents_per_map = 3;
  wanted.lobs = {testdb::LobValue{0x5A5A0001, data}};
  testdb::LobSegmentWritten written;
  std::string error;
  ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, users->block_count + 2, wanted,
                                      written, error))
      << error;
  db.engine().catalogue.tables.Append(db.TableOn(930, 93000));
  db.Describe(930, "SCOTT", "PICTURES", {{"ID", tc::kNumber}, {"PIC", tc::kBlob}});
  AddLobSegmentRecords(db.engine(), 930, 2, 9302, written.header_dba, 93100);

  test::TempDir folder;
  std::vector<std::uint64_t> sizes, spilled;
  std::size_t largest = 0;
  Inserted r;
  {
    std::string err;
    auto spill = repair::SpillFolder::Create(&err, (folder.path() / "cache").string());
    ASSERT_TRUE(spill) << err;
    std::ofstream file(folder.path() / "rows.sql", std::ios::binary);
    repair::ScriptTarget script(file, "test");
    WatchingTarget target(script, *spill);
    const CatalogueViews views(db.engine().catalogue);
    const TableDefinition definition = views.Table(*db.engine().catalogue.Object(930));
    BlockSource source(db.engine().datafiles);
    repair::InsertOptions options;
    options.max_long_bytes = target.MaxLongBytes();
    r.result = repair::InsertTableRows(db.engine(), source, definition, target, *spill, options);
    script.Disconnect();
    sizes = target.long_sizes;
    spilled = target.spilled;
    largest = target.largest_read;
  }
  EXPECT_EQ(r.result.rows, 1u);
  EXPECT_EQ(r.result.failed_rows, 0u);
  EXPECT_EQ(r.result.incomplete_lobs, 0u);
  EXPECT_TRUE(r.result.errors.empty());
  // The value waits in the spill file, and the script takes it in pieces
  // of at most a chunk: never the whole value in memory.
  ASSERT_EQ(sizes, std::vector<std::uint64_t>{data.size()});
  ASSERT_EQ(spilled.size(), 1u);
  EXPECT_GE(spilled[0], data.size());
  EXPECT_GT(largest, 0u);
  EXPECT_LE(largest, repair::kScriptChunk);

  std::ifstream in(folder.path() / "rows.sql", std::ios::binary);
  r.script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  EXPECT_EQ(test::CheckScript(r.script), std::vector<std::string>{});
  std::size_t appends = 0;
  for (std::size_t at = r.script.find("DBMS_LOB.WRITEAPPEND("); at != std::string::npos;
       at = r.script.find("DBMS_LOB.WRITEAPPEND(", at + 1)) {
    ++appends;
  }
  EXPECT_EQ(appends, (data.size() + repair::kScriptChunk - 1) / repair::kScriptChunk);
  EXPECT_NE(r.script.find("EMPTY_BLOB()"), std::string::npos);
  const auto rows = ScriptRows(r.script);
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_EQ(rows[0].values.size(), 2u);
  EXPECT_EQ(rows[0].values[0].text, "7");
  EXPECT_TRUE(rows[0].values[1].text == UpperHex(data)) << rows[0].values[1].text.size() << " hex digits";

  // Into SQLite the same LOB waits in a spill folder and is written into
  // its row piece by piece; the folder is gone afterwards.
  const std::filesystem::path lite_path = folder.path() / "rows.sqlite";
  const std::filesystem::path cache = folder.path() / "lite-cache";
  {
    repair::SqliteTarget lite(lite_path.string());
    ASSERT_TRUE(lite.Connect()) << lite.DescribeError();
    BlockSource source(db.engine().datafiles);
    const CatalogueViews views(db.engine().catalogue);
    std::string side;
    const auto result = repair::RepairTableIntoSqlite(db.engine(), source, views, 930, lite, side, {}, cache.string());
    EXPECT_EQ(result.rows, 1u);
    EXPECT_EQ(result.failed_rows, 0u) << (result.errors.empty() ? "" : result.errors.front());
    EXPECT_EQ(result.incomplete_lobs, 0u);
  }
  EXPECT_TRUE(std::filesystem::is_empty(cache));
  EXPECT_TRUE(SqliteBlob(lite_path, R"(SELECT "PIC" FROM "SCOTT.PICTURES" WHERE "ID" = 7)") == data);
}

// Bytes that end early: the spill file lost part of a value.
class ShortBytes final : public repair::LongBytes {
 public:
  ShortBytes(std::uint64_t claimed, std::uint64_t readable) : claimed_(claimed), readable_(readable) {}
  std::uint64_t size() const override { return claimed_; }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    if (offset >= readable_) return 0;
    const std::size_t n = std::min<std::uint64_t>(into.size(), readable_ - offset);
    std::fill_n(into.begin(), n, std::uint8_t{'x'});
    return n;
  }

 private:
  std::uint64_t claimed_;
  std::uint64_t readable_;
};

TEST(ScriptLobValues, AValueThatCannotBeReadWholeFailsItsRowAndItsBlock) {
  struct Case {
    const char* name;
    std::uint64_t claimed;  // a variable (up to 32,760 bytes) or a LOB filled by chunks
  };
  const Case cases[] = {{"in a variable", 20000}, {"in LOB chunks", 100000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    repair::ScriptTarget target(out, "test");
    ASSERT_TRUE(target.BeginRows());
    repair::LongValue v;
    v.form = repair::LongValue::Form::kText;
    v.bytes = std::make_shared<ShortBytes>(c.claimed, c.claimed / 2);
    const std::vector<repair::Value> row = {repair::NumberValue{"1"}, v};
    target.InsertRow(R"(insert into "O"."T" ("ID","C") values (?, ?))", row);
    const repair::RowOutcome outcome = target.EndRows();
    EXPECT_EQ(outcome.inserted, 0u);
    EXPECT_EQ(outcome.failed, 1u);
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_NE(outcome.errors[0].find("could not be read back whole"), std::string::npos);
    const std::string script = out.str();
    const std::size_t raise = script.find("RAISE_APPLICATION_ERROR(-20001, '" +
                                          std::string(repair::kIncompleteBlockMessage) + "');\nEND;\n/\n");
    EXPECT_NE(raise, std::string::npos) << script.substr(script.size() > 300 ? script.size() - 300 : 0);
  }
}

// A value whose bytes are in memory.
class HeldBytes final : public repair::LongBytes {
 public:
  explicit HeldBytes(Bytes bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t size() const override { return bytes_.size(); }
  std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = std::min<std::uint64_t>(into.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, into.begin());
    return n;
  }

 private:
  Bytes bytes_;
};

TEST(SqliteLongValues, AStreamedBlobThatCannotBeReadWholeLeavesNoRow) {
  test::TempDir folder;
  const std::filesystem::path path = folder.path() / "t.sqlite";
  const Bytes good = LongPattern(700000, 3);
  {
    repair::SqliteTarget target(path.string());
    ASSERT_TRUE(target.Connect());
    ASSERT_TRUE(target.Execute(R"(CREATE TABLE "S.T" ("ID" INTEGER, "B" BLOB, "C" BLOB))"));
    target.SetRowTable("S.T", {"ID", "B", "C"});
    ASSERT_TRUE(target.BeginRows());
    const std::string insert = R"(INSERT INTO "S.T" VALUES (?, ?, ?))";
    const auto long_value = [](std::shared_ptr<const repair::LongBytes> bytes) {
      return repair::Value{repair::LongValue{repair::LongValue::Form::kBinary, std::move(bytes)}};
    };
    // The second BLOB ends early: the first was written already, and goes
    // with its row.
    target.InsertRow(insert, std::vector<repair::Value>{repair::IntegerValue{1}, long_value(std::make_shared<HeldBytes>(good)),
                                                        long_value(std::make_shared<ShortBytes>(600000, 500000))});
    target.InsertRow(insert, std::vector<repair::Value>{repair::IntegerValue{2}, long_value(std::make_shared<HeldBytes>(good)),
                                                        repair::NullValue{}});
    const repair::RowOutcome outcome = target.EndRows();
    EXPECT_EQ(outcome.inserted, 1u);
    EXPECT_EQ(outcome.failed, 1u);
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_NE(outcome.errors[0].find("spill file cannot be read back"), std::string::npos) << outcome.errors[0];
  }
  EXPECT_TRUE(SqliteBlob(path, R"(SELECT group_concat("ID") FROM "S.T")") == Bytes({'2'}));
  EXPECT_TRUE(SqliteBlob(path, R"(SELECT "B" FROM "S.T")") == good);
}

TEST(ScriptLobValues, LobsWithMissingPagesAreCountedAndReportedAsIncomplete) {
  constexpr std::uint32_t kBlock = 2048;
  const std::size_t room = testdb::LobPageBytes(kBlock);
  const Bytes whole = LongPattern(3 * room + 40, 5);
  const Bytes gapped = LongPattern(4 * room, 6);
  enum class Damage : std::uint8_t { kPageGap, kAbsentDatafile, kOtherSegmentHeader };
  struct Case {
    const char* name;
    Damage damage;
    std::uint64_t incomplete;
  };
  const Case cases[] = {
      {"a page of one LOB zeroed, another LOB's identifier on no page", Damage::kPageGap, 2},
      {"the LOB segment's datafile absent", Damage::kAbsentDatafile, 3},
      {"the segment header names another object", Damage::kOtherSegmentHeader, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto model = testdb::NewDatabaseModel("LOBI", "11.2", kBlock, 24);
    testdb::SegmentModel t;
    t.name = "DOCS";
    t.object_number = 94000;
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(1),
                                                 testdb::OutOfLineLobLocator(0x61, whole.size(), kBlock, false)});
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(2),
                                                 testdb::OutOfLineLobLocator(0x62, gapped.size(), kBlock, false)});
    t.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(3),
                                                 testdb::OutOfLineLobLocator(0x63, 100, kBlock, false)});
    model.segments.push_back(std::move(t));
    test::TableDb db(model, std::string("script-lob-incomplete-") + std::to_string(&c - cases));
    const auto* users = db.layout().FindFile("USERS01.DBF");
    ASSERT_NE(users, nullptr);
    testdb::LobSegmentDescription wanted;
    wanted.object_number = 94100;
    wanted.decoy = false;
    wanted.lobs = {testdb::LobValue{0x61, whole}, testdb::LobValue{0x62, gapped}};
    testdb::LobSegmentWritten written;
    std::string error;
    ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, users->block_count + 2, wanted,
                                        written, error))
        << error;
    std::uint32_t header = written.header_dba;
    std::uint32_t data_object = wanted.object_number;
    switch (c.damage) {
      case Damage::kPageGap: {
        std::fstream f(users->path, std::ios::in | std::ios::out | std::ios::binary);
        const Bytes zeros(kBlock, 0);
        f.seekp(static_cast<std::streamoff>(format::DbaBlock(written.chunk_dbas[1][1])) * kBlock);
        f.write(reinterpret_cast<const char*>(zeros.data()), kBlock);
        break;
      }
      case Damage::kAbsentDatafile: header = format::MakeDba(users->relative_file + 40, format::DbaBlock(header)); break;
      case Damage::kOtherSegmentHeader: data_object += 1; break;
    }
    db.engine().catalogue.tables.Append(db.TableOn(940, 94000));
    db.Describe(940, "SCOTT", "DOCS", {{"ID", tc::kNumber}, {"DOC", tc::kBlob}});
    AddLobSegmentRecords(db.engine(), 940, 2, 9402, header, data_object);

    test::TempDir folder;
    const Inserted r = InsertIntoScript(db.engine(), 940, folder.path());
    // Every row goes in, with what was found of its LOB; the incomplete
    // ones are counted and each is reported with its column and table.
    EXPECT_EQ(r.result.rows, 3u);
    EXPECT_EQ(r.result.failed_rows, 0u);
    EXPECT_EQ(r.result.incomplete_lobs, c.incomplete);
    ASSERT_EQ(r.result.errors.size(), c.incomplete);
    for (const std::string& e : r.result.errors) {
      EXPECT_NE(e.find("the LOB value of column DOC is incomplete"), std::string::npos) << e;
      EXPECT_NE(e.find("insert into SCOTT.DOCS"), std::string::npos) << e;
    }
    const auto rows = ScriptRows(r.script);
    ASSERT_EQ(rows.size(), 3u);
    if (c.damage == Damage::kPageGap) {
      EXPECT_EQ(rows[0].values[1].text, UpperHex(whole));
      Bytes found(gapped.begin(), gapped.begin() + static_cast<std::ptrdiff_t>(room));
      found.insert(found.end(), gapped.begin() + static_cast<std::ptrdiff_t>(2 * room), gapped.end());
      EXPECT_EQ(rows[1].values[1].text, UpperHex(found));
      EXPECT_EQ(rows[2].values[1].kind, test::ScriptValue::Kind::kEmptyLob);
    }

    // The SQLite target counts and reports the same LOBs.
    repair::SqliteTarget sqlite((folder.path() / "rows.sqlite").string());
    ASSERT_TRUE(sqlite.Connect()) << sqlite.DescribeError();
    BlockSource source(db.engine().datafiles);
    const CatalogueViews views(db.engine().catalogue);
    std::string side;
    const auto lite = repair::RepairTableIntoSqlite(db.engine(), source, views, 940, sqlite, side);
    EXPECT_EQ(lite.rows, 3u);
    EXPECT_EQ(lite.incomplete_lobs, c.incomplete);
    ASSERT_EQ(lite.errors.size(), 1u);
    EXPECT_NE(lite.errors[0].find(std::to_string(c.incomplete) + " LOB value(s) written incomplete"),
              std::string::npos)
        << lite.errors[0];
  }
}

}  // namespace
}  // namespace quillon
