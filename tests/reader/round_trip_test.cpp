// The whole round trip: the generator writes the sample database of every
// release and numbering, the dictionary rebuild reads it back, and the
// catalogue it finds, printed as JSON, is the one the generator describes.
#include <sstream>

#include <gtest/gtest.h>

#include "reader/catalogue_json.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "support/generated_schema_db.h"
#include "testdb/describe.h"

namespace quillon {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The first lines where two JSON texts part, with the lines before them
// (the member names that say where), for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  const auto a = LinesOf(expected), b = LinesOf(actual);
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  std::ostringstream out;
  out << "first difference at line " << i + 1 << "\n";
  for (std::size_t k = i >= 12 ? i - 12 : 0; k < i; ++k) out << "    " << a[k] << "\n";
  for (std::size_t k = i; k < i + 6 && k < a.size(); ++k) out << "  - " << a[k] << "\n";
  for (std::size_t k = i; k < i + 6 && k < b.size(); ++k) out << "  + " << b[k] << "\n";
  return out.str();
}

std::string ReadBack(const test::GeneratedSchemaDb& db) {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, db.system_path());
  ReadDictionary(engine);
  return CatalogueToJson(engine.catalogue, JsonHeaderOf(engine));
}

TEST(RoundTrip, TheRebuiltCatalogueIsTheDescribedOne) {
  for (const char* release : {"8i", "9i", "10.1", "10.2", "11.1", "11.2", "11.2-alt"}) {
    for (const std::uint32_t block_size : {8192u}) {
      SCOPED_TRACE(std::string(release) + " " + std::to_string(block_size));
      const auto& db = test::SampleDb(release, block_size);
      const std::string expected = testdb::DescribeJson(db.db, false);
      const std::string actual = ReadBack(db);
      EXPECT_TRUE(expected == actual) << FirstDifference(expected, actual);
    }
  }
}

}  // namespace
}  // namespace quillon
