// Real stored values printed by Oracle (DUMP() output and block dumps found
// on public pages), decoded by the value decoder and compared with what the
// source said they mean. tests/reader/data/dump_vectors.tsv is a copy of the
// project's shared collection of real Oracle bytes (realdata/dump_vectors.tsv,
// each line naming its public source); the expected texts below restate each
// source's value in this system's value text format.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "reader/packed_codes.h"
#include "reader/value_decode.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

struct Expected {
  int type;
  const char* bytes;  // decimal, comma-separated, as in the file
  const char* text;
};

// One line of the file: type, length, bytes, the source's value, the source.
struct VectorLine {
  int type = 0;
  std::size_t length = 0;
  std::string bytes_text;
  std::vector<std::uint8_t> bytes;
  std::string shown;
  std::string source;
};

std::vector<VectorLine> ReadVectors() {
  std::ifstream in(test::DataFile("dump_vectors.tsv"));
  std::vector<VectorLine> lines;
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    VectorLine v;
    std::string type, length;
    std::getline(fields, type, '\t');
    std::getline(fields, length, '\t');
    std::getline(fields, v.bytes_text, '\t');
    std::getline(fields, v.shown, '\t');
    std::getline(fields, v.source, '\t');
    v.type = std::stoi(type);
    v.length = std::stoul(length);
    std::istringstream bytes(v.bytes_text);
    for (std::string b; std::getline(bytes, b, ',');) v.bytes.push_back(static_cast<std::uint8_t>(std::stoi(b)));
    lines.push_back(std::move(v));
  }
  return lines;
}

TEST(RealOracleValues, EveryVectorDecodesToItsMeaning) {
  const Expected expected[] = {
      {2, "195,13,35,34", "123433"},
      {2, "61,100,78,58,71,102", "-0123.4330"},
      {2, "190,46,61", ".00004560"},
      {2, "195,2,1,2", "010001"},
      {2, "63,83,73,102", "-0.1828"},
      {2, "193,2", "01"},
      {2, "62,100,76,102", "-01.25"},
      {2, "62,97,102", "-04"},
      {2, "193,4", "03"},
      {2, "62,91,78,2,2,24,90,83,81,102", "-10.23999977111820"},
      {2, "211,2", "01000000000000000000000000000000000000"},
      {2, "193,3", "02"},
      {2, "194,74,70", "7369"},
      {2, "192,34,31", ".3330"},
      {2, "194,80,3", "7902"},
      {2, "193,21", "20"},
      {2, "194,77,99", "7698"},
      {2, "194,4", "0300"},
      {2, "61,91,93,102", "-1008"},
      {2, "128", "00"},
      {2, "194,11,9", "1008"},
      {2, "195,7,56,36", "065535"},
      {12, "100,112,2,7,1,1,1", "07-FEB-0012 12:00:00 AM"},
      {12, "120,109,3,11,14,9,1", "11-MAR-2009 01:08:00 PM"},
      {12, "120,105,6,25,13,2,1", "25-JUN-2005 12:01:00 PM"},
      {12, "120,110,11,3,16,18,2", "03-NOV-2010 03:17:01 PM"},
      {12, "53,90,1,1,1,1,1", "01-JAN--4710 12:00:00 AM"},
      {12, "120,105,6,1,1,1,1", "01-JUN-2005 12:00:00 AM"},
      {12, "120,121,7,17,24,47,9", "17-JUL-2021 11:46:08 PM"},
      {12, "120,113,1,2,11,7,50", "02-JAN-2013 10:06:49 AM"},
      {12, "120,122,2,24,2,56,1", "24-FEB-2022 01:55:00 AM"},
      {12, "119,181,2,20,1,1,1", "20-FEB-1981 12:00:00 AM"},
      {180, "120,121,7,17,24,47,9,11,126,246,112", "17-JUL-2021 11:46:08.192870000 PM"},
      {180, "120,120,2,4,14,60,24", "04-FEB-2020 01:59:23 PM"},
      {180, "120,115,7,31,9,56,7,9,92,88,216", "31-JUL-2015 08:55:06.157047000 AM"},
      {181, "120,121,7,18,1,6,16,48,196,170,56,20,60", "18-JUL-2021 12:05:15.818195000 AM +00:00"},
      {181, "120,103,6,17,1,20,20,0,0,0,0,12,60", "16-JUN-2003 04:19:19.000000000 PM -08:00"},
      {181, "119,199,10,30,5,1,1,0,0,0,0,137,156", "30-OCT-1999 04:00:00.000000000 AM +00:00"},
      {181, "120,114,1,2,23,3,52,53,20,241,136,13,60", "02-JAN-2014 03:02:51.890565000 PM -07:00"},
      {231, "120,114,2,27,18,3,33,12,162,221,0", "27-FEB-2014 05:02:32.212000000 PM"},
      {183, "128,0,0,5,60,60,70,128,0,0,0", "5 0:0:10.000000000"},
      {183, "128,0,0,2,72,83,94,155,46,2,0", "2 12:23:34.456000000"},
      {182, "128,0,7,229,70", "2021-10"},
      {182, "127,255,255,251,50", "-5-10"},
      {100, "195,6,115,51", "134.449997"},
      {100, "191,221,179,215", "1.732051"},
      {101, "192,96,206,102,102,102,102,102", "134.450000"},
      {101, "192,147,74,61,112,163,215,10", "1234.560000"},
      {96, "116,104,97,110,107,115", "thanks"},
      {96, "206,163,206,177,207,130,32,206,181,207,133,207,135,206,177,207,129,206,185,207,131,207,132,207,142", "Σας ευχαριστώ"},
      {96, "97,32,32,32,32,32,32,32,32,32", "a         "},
      {96, "49,50,51,32,32,32,32,32,32,32", "123       "},
      {96, "52,51,48,55,48,53,48,48,48,48,48,48,48,48,57,50", "4307050000000092"},
      {96, "97", "a"},
      {1, "83,69,76,69,67,84", "SELECT"},
      {1, "75,69,68,86,48,49", "KEDV01"},
      {1, "83,69,76,69,67,84,32,32,32,32,48,49,50,51,52,53,54,55,56,57,48,49,50,51,52,53,54,55,56,57,48,49,50,51,52,53,54,55,56,57", "SELECT    012345678901234567890123456789"},
      {1, "98", "b"},
      {1, "83,77,73,84,72", "SMITH"},
      {1, "67,76,69,82,75", "CLERK"},
      {1, "83,65,76,69,83,77,65,78", "SALESMAN"},
      {1, "49,50,51", "123"},
      {1, "193,233,187,238,190,205,210,181,200,203,212,177", "灵活就业人员"},
      {1, "206,247,186,254,185,220,192,237,199,248,213,254,214,206,178,191", "西湖管理区政治部"},
      {23, "0,1,2,3,5,7,11,13", "0001020305070b0d"},
      {23, "5,7,11,13", "05070b0d"},
      {69, "0,1,50,231,1,64,0,253,0,1", "000000fd.0001.0005"},
  };
  std::map<std::pair<int, std::string>, std::string> texts;
  for (const auto& e : expected) texts[{e.type, e.bytes}] = e.text;

  const auto lines = ReadVectors();
  ASSERT_EQ(lines.size(), std::size(expected));
  for (const auto& line : lines) {
    SCOPED_TRACE(::testing::Message() << line.type << " " << line.bytes_text << " (" << line.shown << ")");
    ASSERT_EQ(line.bytes.size(), line.length);
    const auto it = texts.find({line.type, line.bytes_text});
    ASSERT_NE(it, texts.end()) << "no expectation for this line";
    // The sources' character data comes from AL32UTF8 databases, except the
    // lines that name ZHS16GBK.
    const bool gbk = (line.shown + line.source).find("ZHS16GBK") != std::string::npos;
    DecodeContext context(*FindCharset(std::string_view(gbk ? "ZHS16GBK" : "AL32UTF8")));
    const ColumnDescriptor column{PackedCode(static_cast<std::uint32_t>(line.type)), 0, "C"};
    const DecodedValue v =
        DecodeColumnValue(column, {ByteView(line.bytes.data(), line.bytes.size())}, DecodeMode::kBrowse, context);
    EXPECT_EQ(v.text, it->second);
    EXPECT_FALSE(v.malformed);
  }
}

}  // namespace
}  // namespace quillon
