// The dictionary rebuild of a small generated database with one block of its
// SYSTEM datafile replaced by the fuzz input (the input is a block image; its
// rdba field chooses which block of the dictionary segments it replaces).
// The rebuild may find fewer records, but must not crash, hang or read
// outside a buffer, and the catalogue must still turn into JSON.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "reader/catalogue_json.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "testdb/layout.h"
#include "testdb/mini_dictionary.h"

using namespace quillon;

namespace {

struct Database {
  ~Database() {
    std::error_code ec;
    if (!folder.empty()) std::filesystem::remove_all(folder, ec);
  }
  std::string folder;
  std::string system_path;
  std::uint32_t block_size = 2048;
  std::vector<std::uint32_t> blocks;  // block numbers of the dictionary segments in SYSTEM01.DBF
};

const Database& TheDatabase() {
  static Database db = [] {
    Database d;
    d.folder = (std::filesystem::temp_directory_path() / ("quillon-dictionary-fuzzer-" + std::to_string(::getpid())))
                   .string();
    auto model = testdb::NewDatabaseModel("FUZZ", "11.2", d.block_size, 5);
    model.decoys = {false, false, false, false};
    testdb::SampleDictionary("11.2", 6, 5).AddSegments(model, 4);
    testdb::LayoutResult layout;
    std::string error;
    if (!testdb::WriteDatabase(model, d.folder, layout, error)) std::abort();
    d.system_path = d.folder + "/SYSTEM01.DBF";
    for (const auto& s : layout.segments) {
      if (s.relative_file != 1) continue;
      d.blocks.push_back(s.header_dba & format::kDbaBlockMask);
      for (const std::uint32_t dba : s.data_blocks) d.blocks.push_back(dba & format::kDbaBlockMask);
    }
    return d;
  }();
  return db;
}

std::vector<char> ReadAt(const std::string& path, std::uint64_t offset, std::size_t size) {
  std::vector<char> bytes(size);
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  return bytes;
}

void WriteAt(const std::string& path, std::uint64_t offset, const std::vector<char>& bytes) {
  std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
  out.seekp(static_cast<std::streamoff>(offset));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Database& db = TheDatabase();
  if (db.blocks.empty() || size < 8) return 0;
  const std::uint32_t selector = static_cast<std::uint32_t>(data[4]) | (static_cast<std::uint32_t>(data[5]) << 8);
  const std::uint32_t block = db.blocks[selector % db.blocks.size()];
  const std::uint64_t offset = static_cast<std::uint64_t>(block) * db.block_size;

  const std::vector<char> original = ReadAt(db.system_path, offset, db.block_size);
  std::vector<char> image(db.block_size, 0);
  std::copy(data, data + std::min<std::size_t>(size, db.block_size), image.begin());
  WriteAt(db.system_path, offset, image);

  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, db.system_path);
  ReadDictionary(engine);
  const std::string json = CatalogueToJson(engine.catalogue, JsonHeaderOf(engine), false);
  if (json.empty()) std::abort();

  WriteAt(db.system_path, offset, original);
  return 0;
}
