// Databases written by the test database generator for tests: a temporary
// folder per test process, and the default database of each release and
// block size written once and shared by the tests that read it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

#include <gtest/gtest.h>

#include "testdb/default_database.h"
#include "testdb/layout.h"

namespace quillon::test {

// A folder under the system's temporary folder, removed with everything in
// it when the test process ends.
inline const std::filesystem::path& TestRoot() {
  struct Root {
    std::filesystem::path path;
    Root() {
      path = std::filesystem::temp_directory_path() / ("quillon-tests-" + std::to_string(::getpid()));
      std::filesystem::create_directories(path);
    }
    ~Root() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static Root root;
  return root.path;
}

// A fresh, empty folder for one test.
inline std::string FreshFolder(const std::string& name) {
  const auto path = TestRoot() / name;
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  std::filesystem::create_directories(path);
  return path.string();
}

struct GeneratedDb {
  testdb::DatabaseModel model;
  testdb::LayoutResult layout;
  std::string folder;
  std::string system_path() const { return folder + "/SYSTEM01.DBF"; }
};

// Writes a model into a fresh folder; the test fails when writing fails.
inline std::unique_ptr<GeneratedDb> Generate(testdb::DatabaseModel model, const std::string& name) {
  auto db = std::make_unique<GeneratedDb>();
  db->model = std::move(model);
  db->folder = FreshFolder(name);
  std::string error;
  EXPECT_TRUE(testdb::WriteDatabase(db->model, db->folder, db->layout, error)) << error;
  return db;
}

// The default database of a release and block size, written once per process.
inline const GeneratedDb& DefaultDb(const std::string& release, std::uint32_t block_size, std::uint64_t seed = 1) {
  static std::map<std::string, std::unique_ptr<GeneratedDb>> cache;
  const std::string key = release + "-" + std::to_string(block_size) + "-" + std::to_string(seed);
  auto& slot = cache[key];
  if (!slot) slot = Generate(testdb::DefaultDatabaseModel(release, block_size, seed), "default-" + key);
  return *slot;
}

}  // namespace quillon::test
