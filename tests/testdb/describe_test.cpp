// The description the generator prints (--describe): the catalogue of the
// database it would write, in the reader's JSON shape, the same on every run,
// pointing at the segment headers the layout engine places, with the rows'
// value texts under their tables.
#include <sstream>

#include <gtest/gtest.h>

#include "reader/format.h"
#include "support/generated_schema_db.h"
#include "testdb/describe.h"
#include "testdb/program.h"

namespace quillon {
namespace {

testdb::GeneratedDatabase Described(const std::string& release, std::uint32_t block_size) {
  const auto r = testdb::FindGeneratorRelease(release);
  return testdb::BuildDatabase(testdb::SampleSchema(r->model_release), *r, block_size, 1, false);
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Describe, IsStableAndListsEveryKindOfObject) {
  const std::string a = testdb::DescribeJson(Described("11.2", 8192), false);
  const std::string b = testdb::DescribeJson(Described("11.2", 8192), false);
  EXPECT_EQ(a, b);
  for (const char* part : {"\"format\": \"quillon-catalogue\"", "\"EMPLOYEES\": {", "\"DEPT_CLU\": {",
                           "\"EMP_ALL_DEPTS_V\": {", "\"STAFF\": {", "\"EMPLOYEES_SEQ\": {", "\"EMP_SALARY_TRG\": {",
                           "\"RAISE_SALARY\": {", "\"EMP_PKG\": {", "\"ADDRESS_T\": {", "\"EMP_SALARY_MV\": {",
                           "\"HQ.EXAMPLE.COM\": {", "\"type\": \"RANGE\"", "\"subpartitioning\": \"HASH\"",
                           "\"type\": \"LIST\"", "\"interval\": \"NUMTOYMINTERVAL(1,'MONTH')\"",
                           "\"character_set\": \"AL32UTF8\"", "\"layout_variant\": 0"}) {
    EXPECT_TRUE(Has(a, part)) << part;
  }
  // The alternative numbering says so; 9i has no interval partitioning.
  EXPECT_TRUE(Has(testdb::DescribeJson(Described("11.2-alt", 8192), false), "\"layout_variant\": 19"));
  EXPECT_FALSE(Has(testdb::DescribeJson(Described("9i", 8192), false), "\"interval\": \"NUM"));
}

TEST(Describe, SegmentsAreThoseTheLayoutEnginePlaces) {
  const auto& db = test::SampleDb("10.2", 8192);
  const std::string json = testdb::DescribeJson(db.db, false);
  const testdb::ResolvedSchema& r = *db.db.schema;
  for (const char* name : {"REGIONS", "EMPLOYEES", "DEPARTMENTS"}) {
    const testdb::RTable* t = r.TableNamed("HR", name);
    ASSERT_NE(t, nullptr);
    const std::uint32_t header = db.layout.segments[static_cast<std::size_t>(t->segment)].header_dba;
    const std::string segment = "\"segment\": {\n            \"header_block\": " +
                                std::to_string(format::DbaBlock(header)) + ",\n            \"relative_file\": " +
                                std::to_string(format::DbaFile(header));
    EXPECT_TRUE(Has(json, segment)) << name;
  }
}

TEST(Describe, RowsCarryTheRepairModeValueTexts) {
  const std::string json = testdb::DescribeJson(Described("10.2", 8192), true);
  for (const char* part : {"\"LAST_NAME\": \"King\"", "\"SALARY\": \"024000\"", "\"COMMISSION_PCT\": null",
                           "\"REGION_NAME\": \"Europe\"", "\"RESUME_N\": \"\u0391\u03B8\u03AE\u03BD\u03B1 \u2013 r\u00E9sum\u00E9\"",
                           "\"PHOTO\": \"89504e470d0a1a0a0000000d49484452\"", "\"TOKEN\": \"00ff7f80deadbeef0123456789abcdef\"",
                           "\"NOTE\": \"Founder of the company.\\nKeep on the board.\"", "\"PICTURE\": \"ffd8ffe000104a464946000101\""}) {
    EXPECT_TRUE(Has(json, part)) << part;
  }
  EXPECT_FALSE(Has(testdb::DescribeJson(Described("10.2", 8192), false), "\"rows\""));
}

TEST(Describe, ProgramPrintsTheDescription) {
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* out;  // part of the output stream
  };
  const std::vector<Case> cases = {
      {{"--db", "sample", "--release", "11.2-alt", "--block-size", "8192", "--describe"}, testdb::kExitOk,
       "\"layout_variant\": 19"},
      {{"--db", "sample", "--release", "9i", "--block-size", "4096", "--describe", "--with-rows"}, testdb::kExitOk,
       "\"rows\": ["},
      {{"--db", "default", "--release", "10.2", "--block-size", "8192", "--describe"}, testdb::kExitUsage, ""},
      {{"--db", "sample", "--release", "10.2", "--block-size", "8192", "--with-rows", "--out", "x"}, testdb::kExitUsage,
       ""},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(testdb::RunTestdbProgram(c.args, out, err), c.code) << err.str();
    EXPECT_TRUE(Has(out.str(), c.out));
  }
}

}  // namespace
}  // namespace quillon
