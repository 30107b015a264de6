// Pages of the record view: page boundaries, the remembered page starts,
// the "Previous" and "Next" history, and the worker's record mode.
#include <gtest/gtest.h>

#include <fstream>

#include "rows/page_index.h"
#include "browse/record_view_state.h"
#include "browse/record_view_worker.h"
#include "browse/worker.h"
#include "support/row_collect.h"
#include "support/table_db.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Placement;
using testdb::Row;

namespace tc = type_code;

// A table of `rows` rows numbered from 0 (every seventh migrated, every
// eleventh chained, some deleted rows between them).
std::unique_ptr<test::TableDb> Table(int rows, const std::string& name, NotificationSink* sink = nullptr) {
  auto model = testdb::NewDatabaseModel("PAGE", "11.2", 2048, 2);
  testdb::SegmentModel s;
  s.name = "T";
  s.object_number = 71000;
  for (int i = 0; i < rows; ++i) {
    Row r({testdb::EncodeNumber(i), testdb::Bytes(45 + i % 50, 'p')});
    if (i % 7 == 3) r.placement = Placement::kMigrated;
    if (i % 11 == 5) {
      r.placement = Placement::kChained;
      r.chain_blocks = 2;
    }
    s.rows.push_back(std::move(r));
    if (i % 13 == 0) s.rows.push_back(Row({testdb::EncodeNumber(-1)}, Placement::kDeleted));
  }
  model.segments.push_back(std::move(s));
  auto db = std::make_unique<test::TableDb>(model, name, sink);
  db->engine().catalogue.tables.Append(db->TableOn(10, 71000));
  db->Describe(10, "SCOTT", "PAGED", {{"ID", tc::kNumber}, {"PAD", tc::kVarchar2}});
  return db;
}

std::vector<test::Value> Ids(const std::vector<test::CollectedRow>& rows) {
  std::vector<test::Value> ids;
  for (const auto& r : rows) ids.push_back(r.values[0]);
  return ids;
}

TEST(Paging, PagesCutTheTableInHundredsWithoutGapsOrOverlaps) {
  struct Case {
    int rows;
    std::vector<std::uint64_t> page_rows;  // rows of each page
  };
  const Case cases[] = {{250, {100, 100, 50}}, {200, {100, 100}}, {100, {100}}, {1, {1}}, {0, {0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    auto db = Table(c.rows, "pages-" + std::to_string(c.rows));
    BlockSource source(db->engine().datafiles);
    TableRowReader reader(db->engine(), source, 10);
    const auto all = Ids(test::ReadAll(reader));
    PageIndex pages;
    pages.Reset(10);
    std::vector<test::Value> joined;
    for (std::size_t p = 0; p < c.page_rows.size(); ++p) {
      test::RowCollector collect;
      const PageRead read = pages.ReadPage(reader, p, collect);
      EXPECT_TRUE(read.exists);
      EXPECT_EQ(read.rows, c.page_rows[p]) << "page " << p;
      EXPECT_EQ(read.last_page, p + 1 == c.page_rows.size()) << "page " << p;
      const auto ids = Ids(collect.rows);
      joined.insert(joined.end(), ids.begin(), ids.end());
    }
    EXPECT_EQ(joined, all);
    EXPECT_TRUE(pages.complete());
    EXPECT_EQ(pages.known_pages(), c.page_rows.size());
    test::RowCollector none;
    EXPECT_FALSE(pages.ReadPage(reader, c.page_rows.size(), none).exists);
    EXPECT_TRUE(none.rows.empty());
  }
}

TEST(Paging, AFarPageIsTheSameReachedDirectlyOrPageByPage) {
  auto db = Table(1234, "pages-far");
  BlockSource source(db->engine().datafiles);
  TableRowReader reader(db->engine(), source, 10);
  const auto all = Ids(test::ReadAll(reader));
  PageIndex direct;
  direct.Reset(10);
  test::RowCollector far;
  const PageRead read = direct.ReadPage(reader, 11, far);
  EXPECT_EQ(read.rows, 100u);
  EXPECT_FALSE(read.last_page);
  EXPECT_EQ(Ids(far.rows), std::vector<test::Value>(all.begin() + 1100, all.begin() + 1200));
  EXPECT_EQ(direct.known_pages(), 13u);  // every start passed on the way, and the next page's

  // Once its start is known, a page is read from there: its own blocks, not
  // the table before it.
  const std::uint64_t before = reader.stats().blocks_read;
  test::RowCollector again;
  direct.ReadPage(reader, 11, again);
  EXPECT_EQ(Ids(again.rows), Ids(far.rows));
  const std::uint64_t total = reader.blocks().BlockCount();
  EXPECT_LT(reader.stats().blocks_read - before, total / 4);
}

TEST(RecordViewState, PreviousAndNextFollowTheHistory) {
  enum Action { kNext, kPrevious, kNextBusy, kPreviousBusy };
  struct Step {
    Action action;
    bool starts_worker;
    std::uint64_t page;
    std::vector<std::uint64_t> history;
    bool previous_enabled;
  };
  RecordViewState state;
  state.Start(10);
  state.PagesRead(5, false);
  const Step steps[] = {
      {kNext, true, 1, {1}, true},
      {kNext, true, 2, {1, 2}, true},
      {kNextBusy, false, 2, {1, 2}, true},
      {kPrevious, true, 1, {1}, true},
      {kPrevious, true, 0, {}, false},
      {kPrevious, true, 0, {}, false},  // on the first page: page 0 again, "Previous" stays off
      {kNext, true, 1, {1}, true},
      {kPreviousBusy, false, 0, {}, true},  // a running worker: the history still steps back
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    const Step& s = steps[i];
    bool started = false;
    switch (s.action) {
      case kNext: started = state.Next(false); break;
      case kPrevious: started = state.Previous(false); break;
      case kNextBusy: started = state.Next(true); break;
      case kPreviousBusy: started = state.Previous(true); break;
    }
    EXPECT_EQ(started, s.starts_worker);
    EXPECT_EQ(state.page(), s.page);
    EXPECT_EQ(state.history(), s.history);
    EXPECT_EQ(state.previous_enabled(), s.previous_enabled);
    if (started) {
      EXPECT_TRUE(state.continuing());
    }
  }
  // "Next" beyond the pages known turns "Next" off; the worker's answer that
  // no page follows keeps it off.
  state.Start(10);
  state.PagesRead(2, false);
  EXPECT_TRUE(state.Next(false));
  EXPECT_TRUE(state.next_enabled());
  EXPECT_TRUE(state.Next(false));
  EXPECT_FALSE(state.next_enabled());
  state.PagesRead(3, true);
  EXPECT_FALSE(state.next_enabled());
  // Another table starts afresh: page 0, no history, no pages.
  state.Start(11);
  EXPECT_EQ(state.page(), 0u);
  EXPECT_TRUE(state.history().empty());
  EXPECT_FALSE(state.continuing());
  EXPECT_EQ(state.pages().known_pages(), 0u);
  EXPECT_EQ(state.pages().table(), 11u);
}

// What the worker tells the front end.
class RecordingSink final : public WorkerSink {
 public:
  void ShowRecordList() override { events.push_back("list"); }
  void AddRecord(std::span<const DataView> cells, bool first) override {
    events.push_back(first ? "first" : "row");
    last_cells.assign(cells.begin(), cells.end());
    ++rows;
  }
  void RecordsComplete() override { events.push_back("complete"); }
  void ShowCount(std::uint64_t count) override { last_count = count; }
  void AppendLog(std::string_view text, LogMode) override { log.emplace_back(text); }
  std::vector<std::string> events;
  std::vector<std::string> log;
  std::vector<DataView> last_cells;
  std::uint64_t rows = 0;
  std::uint64_t last_count = 0;
};

TEST(RecordMode, TheWorkerSendsOnePageAndSaysWhenTheTableEnds) {
  auto db = Table(150, "record-mode");
  BlockSource source(db->engine().datafiles);
  RecordViewState state;
  state.Start(10);

  RecordingSink first;
  const RecordModeResult r0 = RunRecordMode(db->engine(), source, state, first);
  EXPECT_TRUE(r0.table_found);
  EXPECT_EQ(first.rows, 100u);
  EXPECT_EQ(first.events.front(), "list");
  EXPECT_EQ(first.events[1], "first");
  EXPECT_EQ(std::count(first.events.begin(), first.events.end(), "first"), 1);
  EXPECT_EQ(std::count(first.events.begin(), first.events.end(), "complete"), 0);
  EXPECT_EQ(first.last_count, 100u);
  EXPECT_EQ(state.page_count(), 2u);
  ASSERT_EQ(first.last_cells.size(), 2u);
  EXPECT_EQ(first.last_cells[0].column_name, "ID");
  EXPECT_EQ(first.last_cells[1].value_text.size(), 40u);  // browse cells are cut to 40 characters

  ASSERT_TRUE(state.Next(false));
  RecordingSink second;
  RunRecordMode(db->engine(), source, state, second);
  EXPECT_EQ(second.rows, 50u);
  EXPECT_EQ(second.events.front(), "first");  // the list is open already
  EXPECT_EQ(second.events.back(), "complete");
  EXPECT_FALSE(state.next_enabled());
  EXPECT_EQ(state.page_count(), 2u);

  ASSERT_TRUE(state.Previous(false));
  RecordingSink back;
  RunRecordMode(db->engine(), source, state, back);
  EXPECT_EQ(back.rows, 100u);
}

TEST(RecordMode, TheWorkerRunsItForTheRecordView) {
  RecordingSink sink;
  auto db = Table(30, "record-worker", &sink);
  RecordViewState state;
  state.Start(10);
  WorkerRequest request;
  request.mode = WorkerMode::kRecords;
  request.records = &state;
  CRecoverThread worker(db->engine(), sink, db->stop(), request);
  worker.Run();
  EXPECT_EQ(worker.result().mode, WorkerMode::kRecords);
  EXPECT_TRUE(worker.result().finished);
  EXPECT_EQ(sink.rows, 30u);
  EXPECT_EQ(sink.events.back(), "complete");
  EXPECT_EQ(state.page_count(), 1u);
}

TEST(RecordMode, SuspectRowsOfAPageAreNamedInTheLog) {
  auto db = Table(150, "record-suspect");
  // One byte flipped before the tail of the first data block, the checksum
  // left stale.
  const std::uint32_t dba = db->Segment(71000).data_blocks.front();
  {
    std::fstream f(db->layout().FindFileByNumber(format::DbaFile(dba))->path,
                   std::ios::in | std::ios::out | std::ios::binary);
    const auto at = static_cast<std::streamoff>(format::DbaBlock(dba) + 1) * 2048 - 5;
    char c = 0;
    f.seekg(at);
    f.get(c);
    f.seekp(at);
    f.put(static_cast<char>(c ^ 0x01));
  }
  // The rows with a piece in that block (all of them start on page 1).
  std::uint64_t in_block = 0;
  for (const auto& row : db->Segment(71000).rows) {
    bool here = false;
    for (const auto& p : row.pieces) {
      const bool stub = (p.flag & format::row::kHead) && !(p.flag & format::row::kFirst);
      here |= p.dba == dba && p.flag != 0 && !(p.flag & format::row::kDeleted) && !stub;
    }
    in_block += here;
  }
  ASSERT_GT(in_block, 0u);

  BlockSource source(db->engine().datafiles);
  RecordViewState state;
  state.Start(10);
  RecordingSink first;
  RunRecordMode(db->engine(), source, state, first);
  ASSERT_EQ(first.log.size(), 1u);
  EXPECT_EQ(first.log[0], "SCOTT.PAGED page 1: " + std::to_string(in_block) +
                              " suspect record(s), read from block(s) with a bad checksum (file " +
                              std::to_string(format::DbaFile(dba)) + " block " + std::to_string(format::DbaBlock(dba)) +
                              ")");
  ASSERT_TRUE(state.Next(false));
  RecordingSink second;
  RunRecordMode(db->engine(), source, state, second);
  EXPECT_TRUE(second.log.empty());
}

}  // namespace
}  // namespace quillon
