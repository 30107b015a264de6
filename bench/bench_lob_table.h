// A database of one table of a few rows, each with one out-of-line BLOB, or
// CLOB kept in UTF-16, of a given size (LOBS.DOCS: ID NUMBER, DOC BLOB or
// CLOB), for the peak memory of a repair against the size of its LOBs.
//
// The LOB segment is written after the table's (testdb/lob_writer.h). The
// small dictionary has no LOB$ rows, so the segment's place is left in
// lob.info beside the datafiles; AddLobRecord puts it into a catalogue read
// from that dictionary, as LOB$ would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "reader/catalogue.h"
#include "testdb/lob_writer.h"
#include "testdb/values.h"

namespace quillon::bench {

inline constexpr const char* kLobOwner = "LOBS";
inline constexpr const char* kLobTable = "DOCS";
inline constexpr std::uint64_t kLobRows = 3;
inline constexpr std::uint32_t kLobTableObject = 71000;
inline constexpr std::uint32_t kLobColumnObject = 71001;
inline constexpr std::uint32_t kLobSegmentObject = 71100;

enum class LobColumn { kBlob, kClob };

inline testdb::DatabaseModel LobTableModel(std::uint64_t lob_bytes, LobColumn kind) {
  testdb::DatabaseModel model = testdb::NewDatabaseModel("LOBS", "11.2", 8192, 5);
  model.decoys = {false, false, false, false};
  testdb::SegmentModel t;
  t.name = kLobTable;
  t.object_number = kLobTableObject;
  for (std::uint32_t i = 0; i < kLobRows; ++i) {
    testdb::LocatorDescription locator;
    locator.page_key = i + 1;
    locator.character = kind == LobColumn::kClob;
    locator.byte_length = kind == LobColumn::kClob ? 2 : 0;  // a CLOB in UCS2
    t.rows.emplace_back(std::vector<testdb::ColumnBytes>{testdb::EncodeNumber(static_cast<std::int64_t>(i) + 1),
                                                         testdb::OutOfLineLobLocator(locator, lob_bytes, 8192)});
  }
  model.segments.push_back(std::move(t));
  return model;
}

// Writes the database into folder (in a child process, which holds the LOBs'
// bytes while it writes them).
inline bool WriteLobTable(const std::string& folder, std::uint64_t lob_bytes, LobColumn kind = LobColumn::kBlob) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    testdb::LayoutResult layout;
    std::string error;
    if (!testdb::WriteDatabase(LobTableModel(lob_bytes, kind), folder, layout, error)) _exit(1);
    const std::uint32_t header = layout.FindSegment(kLobTableObject)->header_dba;
    std::filesystem::remove_all(folder);
    testdb::MiniDictionary d("11.2");
    d.AddTablespace(0, "SYSTEM");
    d.AddTablespace(4, "USERS");
    d.AddUser(0, "SYS", 0);
    d.AddUser(91, kLobOwner, 4);
    d.AddTable(kLobTableObject, 91, kLobTable, 4, kLobTableObject, format::DbaFile(header), format::DbaBlock(header));
    testdb::MiniDictionary::Column id;
    id.name = "ID";
    id.nullable = false;
    d.AddColumn(kLobTableObject, 1, id);
    testdb::MiniDictionary::Column doc;
    doc.name = "DOC";
    doc.type = kind == LobColumn::kClob ? 112 : 113;
    doc.length = 4000;
    d.AddColumn(kLobTableObject, 2, doc);
    testdb::DatabaseModel model = LobTableModel(lob_bytes, kind);
    d.AddSegments(model);
    if (!testdb::WriteDatabase(model, folder, layout, error)) _exit(1);
    const testdb::FileLayout* users = layout.FindFile("USERS01.DBF");
    testdb::LobSegmentDescription lobs;
    lobs.object_number = kLobSegmentObject;
    lobs.extent_blocks = 1024;
    lobs.extents_per_map = 64;
    lobs.decoy = false;
    for (std::uint32_t i = 0; i < kLobRows; ++i) {
      testdb::Bytes data(lob_bytes);
      for (std::size_t k = 0; k < data.size(); ++k) {
        // A CLOB: UTF-16 of letters; a BLOB: any bytes.
        data[k] = kind == LobColumn::kClob ? (k % 2 == 0 ? 0 : static_cast<std::uint8_t>('a' + (k / 2 + i) % 26))
                                           : static_cast<std::uint8_t>((k * 31 + i) >> 3);
      }
      lobs.lobs.emplace_back(i + 1, std::move(data));
    }
    testdb::LobSegmentWritten written;
    if (!testdb::WriteLobSegment(users->path, users->relative_file, 8192, users->block_count + 4, lobs, written,
                                 error)) {
      std::fprintf(stderr, "LOB segment: %s\n", error.c_str());
      _exit(1);
    }
    std::ofstream(folder + "/lob.info") << written.header_dba << "\n";
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The LOB$ record and LOB object of the table's BLOB column, when folder
// holds a lob.info.
inline void AddLobRecord(Catalogue& catalogue, const std::string& folder) {
  std::ifstream in(folder + "/lob.info");
  std::uint32_t header = 0;
  if (!(in >> header)) return;
  LobRecord l;
  l.table_object_number = kLobTableObject;
  l.column_number = 2;
  l.internal_column = 2;
  l.lob_object_number = kLobColumnObject;
  l.relative_file_number = format::DbaFile(header);
  l.header_block = format::DbaBlock(header);
  l.chunk = 1;
  catalogue.lobs.Append(l);
  ObjectRecord o;
  o.object_number = kLobColumnObject;
  o.data_object_number = kLobSegmentObject;
  o.name = "SYS_LOB" + std::to_string(kLobColumnObject);
  catalogue.AddObject(o);
}

}  // namespace quillon::bench
