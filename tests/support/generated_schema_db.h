// Databases the dictionary writer generates from a schema description (the
// sample database), written once per process and release and shared by the
// tests that read them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "support/generated_db.h"
#include "testdb/dictionary_writer.h"
#include "testdb/layout.h"
#include "testdb/sample_database.h"

namespace quillon::test {

struct GeneratedSchemaDb {
  testdb::GeneratedDatabase db;
  testdb::LayoutResult layout;
  std::string folder;
  std::string system_path() const { return folder + "/SYSTEM01.DBF"; }
};

// Writes the database of a schema into a fresh folder; the test fails when
// building or writing fails.
inline std::unique_ptr<GeneratedSchemaDb> GenerateSchemaDb(testdb::Schema schema, const std::string& release,
                                                           std::uint32_t block_size, const std::string& name) {
  auto out = std::make_unique<GeneratedSchemaDb>();
  out->db = testdb::BuildDatabase(std::move(schema), *testdb::FindGeneratorRelease(release), block_size, 1);
  out->folder = FreshFolder(name);
  std::string error;
  EXPECT_TRUE(testdb::WriteDatabase(out->db.model, out->folder, out->layout, error)) << error;
  return out;
}

// The sample database of a release ("8i" .. "11.2", "11.2-alt").
inline const GeneratedSchemaDb& SampleDb(const std::string& release, std::uint32_t block_size) {
  static std::map<std::string, std::unique_ptr<GeneratedSchemaDb>> cache;
  const std::string key = release + "-" + std::to_string(block_size);
  auto& slot = cache[key];
  if (!slot) {
    const auto r = testdb::FindGeneratorRelease(release);
    slot = GenerateSchemaDb(testdb::SampleSchema(r->model_release), release, block_size, "sample-" + key);
  }
  return *slot;
}

// A generated database identified and its dictionary rebuilt, as a scan
// leaves it.
struct OpenedDb {
  explicit OpenedDb(const GeneratedSchemaDb& db) {
    IdentifyRelease(engine, db.system_path());
    ReadDictionary(engine);
  }
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
};

}  // namespace quillon::test
