// The pages of out-of-line LOBs, read straight from their LOB segment:
// pages are told apart by the whole 10-byte LOB identifier, the latest
// version of a page wins wherever its older copy lies, a LOB whose pages
// cannot all be found is reported incomplete (never silently short), and
// damaged page fields never crash the reader or make it read past a LOB.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "reader/lob_reader.h"
#include "support/table_db.h"
#include "testdb/lob_writer.h"
#include "testdb/prng.h"

namespace quillon {
namespace {

using testdb::Bytes;

constexpr std::uint32_t kLobBlock = 2048;

Bytes LobPattern(std::size_t n, std::uint32_t seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 131 + seed * 7919 + i / 251) & 0xFF);
  return b;
}

std::size_t PageRoom() { return testdb::LobPageBytes(kLobBlock); }

// A generated database with room for LOB segments after the USERS datafile.
class LobPagesDb {
 public:
  explicit LobPagesDb(const std::string& name)
      : db_(testdb::NewDatabaseModel("LOBR", "11.2", kLobBlock, 11), name) {
    users_ = db_.layout().FindFile("USERS01.DBF");
    EXPECT_NE(users_, nullptr);
    next_block_ = users_->block_count + 3;
  }

  COracleRecoveryTools& engine() { return db_.engine(); }
  const std::string& path() const { return users_->path; }
  std::uint32_t file() const { return users_->relative_file; }

  testdb::LobSegmentWritten Write(const testdb::LobSegmentDescription& wanted) {
    testdb::LobSegmentWritten written;
    std::string error;
    EXPECT_TRUE(testdb::WriteLobSegment(users_->path, users_->relative_file, kLobBlock, next_block_, wanted, written,
                                        error))
        << error;
    next_block_ = written.end_block + 2;
    return written;
  }

  void ZeroBlock(std::uint32_t dba) {
    std::fstream f(users_->path, std::ios::in | std::ios::out | std::ios::binary);
    const Bytes zeros(kLobBlock, 0);
    f.seekp(static_cast<std::streamoff>(format::DbaBlock(dba)) * kLobBlock);
    f.write(reinterpret_cast<const char*>(zeros.data()), kLobBlock);
  }

 private:
  test::TableDb db_;
  const testdb::FileLayout* users_ = nullptr;
  std::uint32_t next_block_ = 0;
};

// The locator a row holds for a LOB of the segment (chunk DBAs only when
// given: a column stored out of line lists none).
LobLocator LocatorOf(const testdb::LobValue& lob, std::span<const std::uint32_t> chunk_dbas = {}) {
  testdb::LocatorDescription d;
  d.page_key = lob.page_key;
  d.id_high = lob.id_high;
  static thread_local Bytes stored;
  stored = testdb::OutOfLineLobLocator(d, lob.data.size(), kLobBlock, chunk_dbas);
  auto l = ParseLobLocator(ByteView(stored.data(), stored.size()));
  EXPECT_TRUE(l);
  LobLocator out = *l;
  out.data = ByteView();  // not kept past the next call
  return out;
}

struct LobReadBack {
  Bytes bytes;
  LobReadResult result;
};

LobReadBack ReadLob(COracleRecoveryTools& engine, const LobSegmentRef& segment, const LobLocator& locator) {
  LobReadBack out;
  LobReader reader(engine);
  out.result = reader.Read(segment, locator, [&](ByteView part) {
    out.bytes.insert(out.bytes.end(), part.data(), part.data() + part.size());
  });
  return out;
}

TEST(LobPages, IdentifiersThatShareBytesKeepTheirOwnPages) {
  // Oracle's identifiers all begin 00 00 00 01; these two also share their
  // last four bytes (what a page key of four bytes would see) and differ
  // only in bytes 4 and 5. The second has the higher version: read by a
  // shorter key, it would replace the first one's pages.
  struct Case {
    const char* name;
    SpaceManagement space;
    std::uint32_t chunk;
    bool by_locator_dbas;  // the segment header is unknown: only the chunks the locator lists
  };
  const Case cases[] = {
      {"free list, one-block chunks", SpaceManagement::kFreeList, 1, false},
      {"assm, three-block chunks", SpaceManagement::kAssm, 3, false},
      {"chunks the locator lists", SpaceManagement::kFreeList, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LobPagesDb db(std::string("lob-ids-") + std::to_string(&c - cases));
    testdb::LobSegmentDescription wanted;
    wanted.object_number = 81000;
    wanted.space = c.space;
    wanted.chunk = c.chunk;
    wanted.extent_blocks = 3 * c.chunk + 2;
    testdb::LobValue first{0x44332211, LobPattern(3 * PageRoom() + 10, 1)};
    first.id_high = 0x0001;
    first.version = 2;
    testdb::LobValue second{0x44332211, LobPattern(5 * PageRoom() + 99, 2)};
    second.id_high = 0x0002;
    second.version = 9;
    wanted.lobs = {first, second};
    const testdb::LobSegmentWritten written = db.Write(wanted);
    ASSERT_EQ(written.chunk_dbas.size(), 2u);
    const LobSegmentRef segment{c.by_locator_dbas ? 0 : written.header_dba, wanted.object_number, c.chunk};
    for (std::size_t i = 0; i < wanted.lobs.size(); ++i) {
      SCOPED_TRACE(i);
      const auto& lob = wanted.lobs[i];
      const auto locator =
          c.by_locator_dbas ? LocatorOf(lob, written.chunk_dbas[i]) : LocatorOf(lob);
      EXPECT_EQ(locator.page_key, 0x44332211u);
      const LobReadBack back = ReadLob(db.engine(), segment, locator);
      EXPECT_TRUE(back.result.complete);
      EXPECT_EQ(back.result.bytes, lob.data.size());
      EXPECT_TRUE(back.bytes == lob.data);
    }
  }
}

TEST(LobPages, AnOlderVersionNeverReplacesANewerOne) {
  struct Case {
    const char* name;
    bool old_copy_first;
    std::uint32_t chunk;
    std::vector<std::uint32_t> rewritten;
  };
  const Case cases[] = {
      {"older copy before the newer", true, 1, {0, 2, 4}},
      {"older copy after the newer", false, 1, {0, 2, 4}},
      {"older chunk after the newer, chunks of two", false, 2, {0, 2}},
      {"older chunk before the newer, chunks of two", true, 2, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LobPagesDb db(std::string("lob-versions-") + std::to_string(&c - cases));
    testdb::LobSegmentDescription wanted;
    wanted.object_number = 82000;
    wanted.chunk = c.chunk;
    wanted.extent_blocks = 2 * c.chunk + 3;
    testdb::LobValue lob{0x0A0B0C0D, LobPattern(5 * c.chunk * PageRoom() - 7, 3)};
    lob.version = 6;
    lob.rewritten_pages = c.rewritten;
    lob.old_copy_first = c.old_copy_first;
    wanted.lobs = {lob};
    const testdb::LobSegmentWritten written = db.Write(wanted);
    const LobReadBack back = ReadLob(db.engine(), {written.header_dba, wanted.object_number, c.chunk}, LocatorOf(lob));
    EXPECT_TRUE(back.result.complete);
    EXPECT_TRUE(back.bytes == lob.data);
  }
}

TEST(LobPages, MissingPagesGiveAnIncompleteLobNeverASilentlyShortOne) {
  const std::size_t room = PageRoom();
  const Bytes data = LobPattern(4 * room + 50, 4);  // pages 0..4, the last one short
  const auto cut = [&](std::initializer_list<std::uint32_t> missing_pages) {
    Bytes out;
    for (std::uint32_t p = 0; p * room < data.size(); ++p) {
      if (std::find(missing_pages.begin(), missing_pages.end(), p) != missing_pages.end()) continue;
      const std::size_t from = p * room;
      out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                 data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), from + room)));
    }
    return out;
  };
  enum class Damage : std::uint8_t { kNone, kPageGap, kLastPage, kAbsentDatafile, kOtherSegmentHeader, kOtherId };
  struct Case {
    const char* name;
    Damage damage;
    bool complete;
    Bytes found;
  };
  const Case cases[] = {
      {"intact", Damage::kNone, true, data},
      {"a page number missing in the middle", Damage::kPageGap, false, cut({2})},
      {"the last page missing", Damage::kLastPage, false, cut({4})},
      {"the segment's datafile absent", Damage::kAbsentDatafile, false, {}},
      {"the segment header names another object", Damage::kOtherSegmentHeader, false, {}},
      {"no page carries the identifier", Damage::kOtherId, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LobPagesDb db(std::string("lob-missing-") + std::to_string(&c - cases));
    testdb::LobSegmentDescription wanted;
    wanted.object_number = 83000;
    wanted.extent_blocks = 8;
    wanted.decoy = false;
    testdb::LobValue lob{0x01020304, data};
    wanted.lobs = {lob};
    const testdb::LobSegmentWritten written = db.Write(wanted);
    LobSegmentRef segment{written.header_dba, wanted.object_number, 1};
    LobLocator locator = LocatorOf(lob);
    // Single-block chunks: page p lies at the DBA of chunk p.
    const auto& pages = written.chunk_dbas.front();
    ASSERT_EQ(pages.size(), 5u);
    switch (c.damage) {
      case Damage::kNone: break;
      case Damage::kPageGap: db.ZeroBlock(pages[2]); break;
      case Damage::kLastPage: db.ZeroBlock(pages[4]); break;
      case Damage::kAbsentDatafile: segment.header_dba = format::MakeDba(db.file() + 40, format::DbaBlock(written.header_dba)); break;
      case Damage::kOtherSegmentHeader: segment.object_number = wanted.object_number + 1; break;
      case Damage::kOtherId: locator.lob_id[5] ^= 0x80; break;
    }
    const LobReadBack back = ReadLob(db.engine(), segment, locator);
    EXPECT_EQ(back.result.complete, c.complete);
    EXPECT_FALSE(back.result.stopped);
    EXPECT_EQ(back.result.bytes, back.bytes.size());
    EXPECT_TRUE(back.bytes == c.found) << back.bytes.size() << " bytes, expected " << c.found.size();
  }
}

// Every field a LOB page, a segment header or an extent map holds, and the
// locator's counts, overwritten with hostile values: the reader returns,
// never writes more blocks than the locator counts, and reports what it
// wrote.
TEST(LobPages, DamagedPageFieldsNeverCrashOrOverrun) {
  LobPagesDb db("lob-damage");
  testdb::LobSegmentDescription wanted;
  wanted.object_number = 84000;
  wanted.chunk = 2;
  wanted.extent_blocks = 6;
  wanted.extents_per_map = 2;
  testdb::LobValue a{0x11111111, LobPattern(9 * PageRoom() + 3, 5)};
  a.rewritten_pages = {1, 3};
  testdb::LobValue b{0x11111111, LobPattern(4 * PageRoom(), 6)};
  b.id_high = 7;
  wanted.lobs = {a, b};
  const testdb::LobSegmentWritten written = db.Write(wanted);
  const std::uint32_t first = format::DbaBlock(written.header_dba);
  // The segment's blocks as far as the file holds them (the free blocks
  // after its last extent are not written).
  const auto file_blocks = static_cast<std::uint32_t>(std::filesystem::file_size(db.path()) / kLobBlock);
  const std::uint32_t count = std::min(written.end_block, file_blocks) - first;

  Bytes original(static_cast<std::size_t>(count) * kLobBlock);
  {
    std::ifstream in(db.path(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(first) * kLobBlock);
    in.read(reinterpret_cast<char*>(original.data()), static_cast<std::streamsize>(original.size()));
    ASSERT_TRUE(in);
  }
  const std::size_t fields[] = {0,  // block type
                                format::lob_page::kObjectNumber, format::lob_page::kLobId,
                                format::lob_page::kLobId + 6, format::lob_page::kVersion,
                                format::lob_page::kPageNumber, format::lob_page::kData,
                                format::extent_map::kFreeListHeader.extent_count,
                                format::extent_map::kFreeListHeader.next_map,
                                format::extent_map::kFreeListHeader.object_number,
                                format::extent_map::kFreeListHeader.first_entry,
                                format::extent_map::kContinuation.extent_count,
                                format::extent_map::kContinuation.next_map,
                                format::extent_map::kContinuation.first_entry};
  testdb::Prng prng(20261209);
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(round);
    Bytes image = original;
    const std::uint32_t hits = 1 + prng.Below(6);
    for (std::uint32_t h = 0; h < hits; ++h) {
      const std::size_t block = prng.Below(count);
      const std::size_t at = fields[prng.Below(static_cast<std::uint32_t>(std::size(fields)))] + prng.Below(4);
      std::uint32_t value = 0;
      switch (prng.Below(5)) {
        case 0: value = 0; break;
        case 1: value = 0xFFFFFFFF; break;
        case 2: value = written.header_dba + prng.Below(count); break;  // a DBA of the segment (loops)
        case 3: value = prng.Below(16); break;
        default: value = prng.Next32(); break;
      }
      PutU32LE(image.data() + block * kLobBlock + at, value);
    }
    {
      std::fstream out(db.path(), std::ios::in | std::ios::out | std::ios::binary);
      out.seekp(static_cast<std::streamoff>(first) * kLobBlock);
      out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    const std::size_t which = prng.Below(2);
    const testdb::LobValue& lob = wanted.lobs[which];
    LobLocator locator = LocatorOf(lob, prng.Below(2) ? written.chunk_dbas[which] : std::vector<std::uint32_t>{});
    switch (prng.Below(4)) {
      case 0: locator.blocks = 0xFFFFFFFF; break;
      case 1: locator.last_block_bytes = 0xFFFF; break;
      case 2: locator.has_inode = false; break;
      default: break;
    }
    const std::uint32_t chunk = prng.Below(4);  // 0 and sizes that are not the segment's
    const LobReadBack back = ReadLob(db.engine(), {written.header_dba, 0, chunk}, locator);
    EXPECT_EQ(back.result.bytes, back.bytes.size());
    if (locator.has_inode && locator.blocks != 0xFFFFFFFF) {
      EXPECT_LE(back.bytes.size(), static_cast<std::size_t>(locator.blocks) * PageRoom());
    }
  }
}

}  // namespace
}  // namespace quillon
