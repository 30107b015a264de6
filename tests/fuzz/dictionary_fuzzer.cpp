// The dictionary rebuild of a small generated database with one block of its
// SYSTEM datafile replaced by the fuzz input (the input is a block image; its
// rdba field chooses which block of the dictionary segments it replaces).
// The rebuild may find fewer records, but must not crash, hang or read
// outside a buffer, and the catalogue must still turn into JSON.
//
// The database is generated, loaded into memory and identified once; an input
// patches the block in memory (memory_files.h), rebuilds the dictionary into
// a fresh engine and puts the block back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/memory_files.h"
#include "reader/catalogue_json.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "testdb/layout.h"
#include "testdb/mini_dictionary.h"

using namespace quillon;

namespace {

constexpr std::uint32_t kBlockSize = 2048;

struct Database {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools identified{sink, stop};  // the engine after IdentifyRelease
  std::vector<std::uint8_t>* system = nullptr;  // the SYSTEM datafile's image
  std::vector<std::uint32_t> blocks;  // block numbers of the dictionary segments in SYSTEM01.DBF
};

Database& TheDatabase() {
  static Database db;
  static const bool ready = [] {
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("quillon-dictionary-fuzzer-" + std::to_string(::getpid())))
            .string();
    auto model = testdb::NewDatabaseModel("FUZZ", "11.2", kBlockSize, 5);
    model.decoys = {false, false, false, false};
    testdb::SampleDictionary("11.2", 6, 5).AddSegments(model, 4);
    testdb::LayoutResult layout;
    std::string error;
    if (!testdb::WriteDatabase(model, folder, layout, error) || !fuzz::LoadFolder(folder)) std::abort();
    const std::string system_path = folder + "/SYSTEM01.DBF";
    IdentifyRelease(db.identified, system_path);
    db.system = fuzz::FileImage(system_path);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);  // everything is in memory now
    if (!db.system) std::abort();
    for (const auto& s : layout.segments) {
      if (s.relative_file != 1) continue;
      db.blocks.push_back(s.header_dba & format::kDbaBlockMask);
      for (const std::uint32_t dba : s.data_blocks) db.blocks.push_back(dba & format::kDbaBlockMask);
    }
    return true;
  }();
  (void)ready;
  return db;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TheDatabase();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Database& db = TheDatabase();
  if (db.blocks.empty() || size < 8) return 0;
  const std::uint32_t selector = static_cast<std::uint32_t>(data[4]) | (static_cast<std::uint32_t>(data[5]) << 8);
  const std::uint32_t block = db.blocks[selector % db.blocks.size()];

  std::vector<std::uint8_t> image(kBlockSize, 0);
  std::copy(data, data + std::min<std::size_t>(size, kBlockSize), image.begin());
  const fuzz::PatchedBytes patch(*db.system, static_cast<std::size_t>(block) * kBlockSize, image.data(), kBlockSize);

  // A fresh engine in the state IdentifyRelease leaves (it sets these three
  // and nothing else): what the rebuild starts from.
  COracleRecoveryTools engine(db.sink, db.stop);
  engine.identification = db.identified.identification;
  engine.datafiles = db.identified.datafiles;
  engine.datafiles_registered = db.identified.datafiles_registered;
  ReadDictionary(engine);
  const std::string json = CatalogueToJson(engine.catalogue, JsonHeaderOf(engine), false);
  if (json.empty()) std::abort();
  return 0;
}
