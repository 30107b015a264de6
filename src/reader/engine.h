// COracleRecoveryTools: the engine object. It owns everything read from one
// source database (the release, the registered datafiles and the catalogue)
// and lives from one Open Database to the next. The reading routines live in
// their own files and work on it; the engine itself only holds state.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "reader/catalogue.h"
#include "reader/datafile.h"
#include "reader/notify.h"
#include "reader/release.h"
#include "reader/value_decode.h"

namespace quillon {

// What the SYSTEM datafile's header says.
struct Identification {
  std::string system_datafile;   // the path the identification read
  bool header_found = false;     // a 0x0B header block at the block size
  std::uint16_t block_size = 0;
  std::uint8_t format_byte = 0;
  HeaderFormat format = HeaderFormat::kUnknown;
  Release release;               // code 0 while unidentified
  std::string database_name;
  bool unsupported = false;      // no release could be identified
};

class COracleRecoveryTools {
 public:
  COracleRecoveryTools(NotificationSink& sink, const StopFlag& stop) : sink_(&sink), stop_(&stop) {}
  COracleRecoveryTools(const COracleRecoveryTools&) = delete;
  COracleRecoveryTools& operator=(const COracleRecoveryTools&) = delete;

  NotificationSink& sink() const { return *sink_; }
  const StopFlag& stop() const { return *stop_; }
  bool StopRequested() const { return stop_->requested(); }

  Identification identification;
  DatafileList datafiles;
  bool datafiles_registered = false;
  // 0, or 19 once the dictionary reader has recognised the alternative 11g
  // Release 2 object numbering.
  std::uint8_t layout_variant = 0;
  // Character sets of the source database (WE8MSWIN1252 and AL16UTF16 until
  // set; the dictionary reader sets them from PROPS$) and the last
  // nested-table identifier read, for the value decoder.
  DecodeContext values;
  // The user chose the character sets: the dictionary reader leaves them as
  // they are instead of taking the database's own from PROPS$.
  bool keep_character_sets = false;
  // Everything the dictionary rebuild read (catalogue.h).
  Catalogue catalogue;
  // A segment header's extent count disagreeing with its extent list has
  // been written to the log (once per database).
  mutable std::atomic<bool> extent_count_noted{false};

  int release_code() const { return identification.release.code; }
  const std::string& release_text() const { return identification.release.text; }
  std::size_t datafile_count() const { return datafiles.size(); }

 private:
  NotificationSink* sink_;
  const StopFlag* stop_;
};

}  // namespace quillon
