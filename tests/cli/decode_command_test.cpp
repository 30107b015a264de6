#include <gtest/gtest.h>

#include "support/run_cli.h"

namespace quillon {
namespace {

test::CliOutput Decode(std::vector<std::string> args) {
  args.insert(args.begin(), "decode");
  return test::RunCli(args);
}

TEST(DecodeCommand, PrintsTheValueText) {
  const struct {
    std::vector<std::string> args;
    const char* out;
  } cases[] = {
      {{"2", "c10233"}, "01.50\n"},
      {{"2", "C1 02 33"}, "01.50\n"},
      {{"12", "78:7c:01:05:10:05:06"}, "05-JAN-2024 03:04:05 PM\n"},
      {{"1", "null"}, "\n"},
      {{"23", "null"}, "NULL\n"},
      {{"23", ""}, "\n"},
      {{"1", "80e9"}, "\u20AC\u00E9\n"},
      {{"1", "c1e9", "--charset", "ZHS16GBK"}, "\u7075\n"},
      {{"1", "00410042", "--national"}, "AB\n"},
      {{"112", "0001", "--national"}, "NCLOB\n"},
      {{"8", "null", "--mode", "repair"}, "NULL,\n"},
      {{"8", "414243", "--mode=repair"}, "(3 bytes for the spill file)\n"},
      {{"123", "00", "--mode", "repair"}, "(1 bytes for the INSERT builder)\n"},
      {{"9999", "00"}, "UNSUPPORTED VALUE\n"},
      // The data texts of CSV and JSON exports.
      {{"2", "c10233", "--mode", "data"}, "1.5\n"},
      {{"2", "80", "--mode", "data"}, "0\n"},
      {{"12", "787c0105100506", "--mode", "data"}, "2024-01-05T15:04:05\n"},
      {{"101", "000fffffffffffff", "--mode", "data"}, "-Infinity\n"},
  };
  for (const auto& c : cases) {
    const test::CliOutput r = Decode(c.args);
    EXPECT_EQ(r.code, 0) << c.args[0] << " " << c.args[1] << ": " << r.err;
    EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args[1];
  }
}

TEST(DecodeCommand, WarnsAboutSizesOracleNeverWrites) {
  const test::CliOutput r = Decode({"12", "787c0105"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "\n");
  EXPECT_NE(r.err.find("never stores"), std::string::npos);
}

TEST(DecodeCommand, RejectsBadArguments) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"2"},
           {"x", "c102"},
           {"2", "c1g2"},
           {"2", "c10"},
           {"2", "c102", "--charset", "KLINGON"},
           {"2", "c102", "--mode", "fast"},
           {"99999", "c102"},
       }) {
    EXPECT_EQ(Decode(args).code, 2) << args[0];
  }
}

}  // namespace
}  // namespace quillon
