#include <gtest/gtest.h>

#include "support/run_cli.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

using test::RunCli;

TEST(BlockCommand, RealBlockAsJson) {
  const auto path = test::DataFile("oracle10g_assm_heap_3rows.bin").string();
  const test::CliOutput r = RunCli({"block", path, "0", "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"type\":6,\"data_object\":53944,\"itl_count\":2,\"data_header\":100,"
            "\"tables\":[{\"first\":0,\"rows\":3}],\"rows\":["
            "{\"table\":0,\"slot\":0,\"offset\":8030,\"flag\":44,\"lock\":2,\"columns\":[\"c102\",\"61\"]},"
            "{\"table\":0,\"slot\":1,\"offset\":8038,\"flag\":44,\"lock\":0,\"columns\":[\"c103\",\"62\"]},"
            "{\"table\":0,\"slot\":2,\"offset\":8064,\"flag\":44,\"lock\":0,\"columns\":[\"c104\",\"63\"]}]}\n");
}

TEST(BlockCommand, DamagedBlockShowsWhatIsReadable) {
  test::TempDir dir;
  auto bytes = test::ReadFileBytes(test::DataFile("oracle10g_assm_heap_3rows.bin"));
  bytes[0x76] = 0x01;  // the first row's directory entry now points into the directory
  bytes[0x77] = 0x00;
  bytes[0x64 + 0x1f80 + 2] = 0xFF;  // the last row claims 255 columns
  test::WriteFileBytes(dir / "bad.bin", bytes);
  const test::CliOutput r = RunCli({"block", (dir / "bad.bin").string(), "0", "--json"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("{\"slot\":0,\"offset\":1,\"valid\":false}"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"columns\":[\"c103\",\"62\"]"), std::string::npos);
  EXPECT_NE(r.out.find("runs past the end of the block"), std::string::npos);
  EXPECT_NE(r.out.find("checksum mismatch"), std::string::npos);
}

TEST(BlockCommand, UsageAndFailureExitCodes) {
  const auto path = test::DataFile("oracle10g_assm_heap_3rows.bin").string();
  EXPECT_EQ(RunCli({"block"}).code, 2);
  EXPECT_EQ(RunCli({"block", path, "zero"}).code, 2);
  EXPECT_EQ(RunCli({"block", path, "0", "--bogus"}).code, 2);
  EXPECT_EQ(RunCli({"block", "/nonexistent/file", "0"}).code, 1);
  EXPECT_EQ(RunCli({"block", path, "1"}).code, 1);  // a single block image has only block 0
  EXPECT_EQ(RunCli({"--version"}).code, 0);
  EXPECT_EQ(RunCli({"nonsense"}).code, 2);
}

}  // namespace
}  // namespace quillon
