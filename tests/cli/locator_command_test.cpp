// quillon locator on the locators Oracle printed, and LOBs that were updated
// after they were inserted (version above 1, in the row and out of line)
// read back whole by quillon rows and quillon export.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "cli/row_commands.h"
#include "support/run_cli.h"
#include "support/table_db.h"
#include "support/test_paths.h"
#include "testdb/lob_writer.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using test::RunCli;
using testdb::Bytes;
using testdb::ColumnBytes;

namespace tc = type_code;

// An in-row CLOB 'abc' (11g) and an out-of-line BLOB of a column with
// ENABLE STORAGE IN ROW (10g), as block dumps printed them.
constexpr const char* kInRowClob =
    "00 54 00 01 02 0c 00 00 00 01 00 00 00 01 00 00 00 13 db cb 00 13 09 00 00 "
    "00 00 00 00 03 00 00 00 00 00 01 61 62 63";
constexpr const char* kOutOfLineBlob =
    "00 54 00 01 01 0c 00 00 00 01 00 00 00 01 00 00 00 01 1e b9 00 40 05 00 00 "
    "00 00 36 1a d8 00 00 00 00 00 02 01 00 01 ad 01 00 02 75 01 00 02 7d 01 00 "
    "02 85 01 00 03 0d 01 00 03 15 01 00 03 1d 01 00 03 25 01 00 03 2d 01 00 03 "
    "35 01 00 03 3d 01 00 03 45";

TEST(LocatorCommand, RealLocatorsDecodeAsOraclePrintedThem) {
  const test::CliOutput clob = RunCli({"locator", kInRowClob});
  ASSERT_EQ(clob.code, cli::kExitOk) << clob.err;
  EXPECT_EQ(clob.out,
            "length        : 39 bytes (length word 0x0054)\n"
            "version       : 1 (locator)\n"
            "type          : CLOB\n"
            "flags         : 0x02 0x0c 0x00 0x00 [ Enable Storage in Row ]\n"
            "byte length   : 1\n"
            "LOB id        : 00.00.00.01.00.00.00.13.db.cb\n"
            "inode size    : 19\n"
            "inode flag    : 0x09 [ Valid DataInRow ]\n"
            "blocks        : 0\n"
            "bytes         : 3\n"
            "LOB version   : 00000.0000000001\n"
            "in row        : yes (inode flag)\n"
            "data          : abc\n");

  const test::CliOutput blob = RunCli({"locator", kOutOfLineBlob, "--json"});
  ASSERT_EQ(blob.code, cli::kExitOk) << blob.err;
  EXPECT_EQ(blob.out,
            "{\"size\":84,\"length_word\":84,\"locator_version\":1,\"type\":\"BLOB\",\"flags\":[1,12,0,0],"
            "\"storage_in_row\":true,\"byte_length\":1,\"lob_id\":\"00.00.00.01.00.00.00.01.1e.b9\","
            "\"inode\":{\"size\":64,\"flag\":5,\"valid\":true,\"data_in_row\":false,\"blocks\":54,\"bytes\":6872},"
            "\"version\":{\"wrap\":0,\"base\":2},\"in_row\":false,\"decided_by\":\"inode flag\","
            "\"chunk_dbas\":[16777645,16777845,16777853,16777861,16777997,16778005,16778013,16778021,"
            "16778029,16778037,16778045,16778053]}\n");
  const test::CliOutput text = RunCli({"locator", kOutOfLineBlob});
  EXPECT_NE(text.out.find("in row        : no (inode flag)\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  chunk 0: 0x010001AD (file 4, block 429)\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  chunk 11: 0x01000345 (file 4, block 837)\n"), std::string::npos) << text.out;

  // Without an inode (DISABLE STORAGE IN ROW) the data are out of line.
  const test::CliOutput bare = RunCli({"locator", std::string(kInRowClob).substr(0, 20 * 3 - 1), "--json"});
  EXPECT_NE(bare.out.find("\"in_row\":false,\"decided_by\":\"no inode\""), std::string::npos) << bare.out;

  EXPECT_EQ(RunCli({"locator"}).code, cli::kExitUsage);
  EXPECT_EQ(RunCli({"locator", "0g"}).code, cli::kExitUsage);
  const test::CliOutput short_one = RunCli({"locator", "0054"});
  EXPECT_EQ(short_one.code, cli::kExitFailure);
  EXPECT_NE(short_one.err.find("not a LOB locator"), std::string::npos);
}

Bytes Ucs2(const std::string& ascii) {
  Bytes out;
  for (const char c : ascii) {
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(c));
  }
  return out;
}

std::string Letters(std::size_t n, std::size_t seed) {
  std::string s(n, ' ');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 11 + seed) % 26);
  return s;
}

TEST(LocatorCommand, UpdatedLobsReadBackWholeThroughRowsAndExport) {
  constexpr std::uint32_t kBlock = 2048;
  constexpr std::uint32_t kFirstBlock = 3000;  // past every block of the model's layout
  const std::string in_row_text = "updated in the row";
  const Bytes in_row_bytes{0xCA, 0xFE, 0x00, 0x01};
  const std::string long_text = Letters(9000, 3);  // 9 pages of UCS2
  const Bytes long_bytes = Ucs2(Letters(7000, 5));

  testdb::LobSegmentDescription wanted;
  wanted.object_number = 76100;
  wanted.space = SpaceManagement::kAssm;
  wanted.extent_blocks = 8;
  testdb::LobValue doc{41, Ucs2(long_text)};
  doc.version = 6;
  doc.rewritten_pages = {0, 4};
  testdb::LobValue pic{42, long_bytes};
  pic.version = 3;
  pic.rewritten_pages = {2};
  pic.old_copy_first = false;
  wanted.lobs = {doc, pic};
  const testdb::LobSegmentWritten plan = testdb::PlanLobSegment(4, kBlock, kFirstBlock, wanted);

  testdb::LocatorDescription d;
  d.page_key = 40;
  d.character = true;
  d.byte_length = 2;
  d.version = 5;  // updated five times, still in the row
  testdb::LocatorDescription p = d;
  p.character = false;
  p.byte_length = 1;
  p.version = 2;

  auto model = testdb::NewDatabaseModel("UPD", "11.2", kBlock, 7);
  testdb::SegmentModel s;
  s.name = "DOCS";
  s.object_number = 76000;
  s.space = SpaceManagement::kAssm;
  s.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(1), testdb::InRowLobLocator(d, Ucs2(in_row_text)),
                                               testdb::InRowLobLocator(p, in_row_bytes)});
  d.page_key = 41;
  d.version = 6;
  p.page_key = 42;
  p.version = 3;
  s.rows.emplace_back(std::vector<ColumnBytes>{
      testdb::EncodeNumber(2), testdb::OutOfLineLobLocator(d, doc.data.size(), kBlock, plan.chunk_dbas[0]),
      testdb::OutOfLineLobLocator(p, pic.data.size(), kBlock, plan.chunk_dbas[1])});
  model.segments.push_back(std::move(s));
  test::TableDb db(model, "cli-updated-lobs");
  const auto* users = db.layout().FindFile("USERS01.DBF");
  ASSERT_EQ(users->relative_file, 4u);
  ASSERT_LT(users->block_count, kFirstBlock);
  testdb::LobSegmentWritten written;
  std::string error;
  ASSERT_TRUE(testdb::WriteLobSegment(users->path, users->relative_file, kBlock, kFirstBlock, wanted, written, error))
      << error;

  auto& cat = db.engine().catalogue;
  cat.tables.Append(db.TableOn(760, 76000));
  db.Describe(760, "SCOTT", "DOCS", {{"ID", tc::kNumber}, {"DOC", tc::kClob}, {"PIC", tc::kBlob}});
  for (const std::uint32_t column : {2u, 3u}) {
    LobRecord l;
    l.table_object_number = 760;
    l.column_number = column;
    l.internal_column = column;
    l.lob_object_number = 7600 + column;
    l.relative_file_number = format::DbaFile(written.header_dba);
    l.header_block = format::DbaBlock(written.header_dba);
    l.chunk = 1;
    cat.lobs.Append(l);
    ObjectRecord o;
    o.object_number = 7600 + column;
    o.data_object_number = 76100;
    o.name = "SYS_LOB" + std::to_string(o.object_number);
    cat.AddObject(o);
  }

  const std::string hex_in_row = "cafe0001";
  const std::string hex_long = ToHex(ByteView(long_bytes.data(), long_bytes.size()));
  std::ostringstream out, err;
  cli::Io io{out, err};
  ASSERT_EQ(cli::PrintTableRows(db.engine(), 760, {std::nullopt, RowFormat::kCsv}, io), cli::kExitOk) << err.str();
  EXPECT_EQ(out.str(), "ID,DOC,PIC\r\n1," + in_row_text + "," + hex_in_row + "\r\n2," + long_text + "," + hex_long +
                           "\r\n");

  test::TempDir dir;
  std::ostringstream summary;
  cli::Io export_io{summary, err};
  ASSERT_EQ(cli::ExportTables(db.engine(), nullptr, {dir.path().string(), RowFormat::kJson, {760}}, export_io),
            cli::kExitOk);
  EXPECT_NE(summary.str().find("incomplete LOB values 0"), std::string::npos) << summary.str();
  std::ifstream file(dir / "SCOTT.DOCS.jsonl");
  std::string first, second;
  std::getline(file, first);
  std::getline(file, second);
  EXPECT_EQ(first, R"({"ID":1,"DOC":")" + in_row_text + R"(","PIC":")" + hex_in_row + R"("})");
  EXPECT_EQ(second, R"({"ID":2,"DOC":")" + long_text + R"(","PIC":")" + hex_long + R"("})");
}

}  // namespace
}  // namespace quillon
