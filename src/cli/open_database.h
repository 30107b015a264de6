// What the commands that read rows do first: identify the release of the
// database in a folder, register its datafiles and rebuild its dictionary;
// and how they name tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/terminal_sink.h"
#include "reader/engine.h"

namespace quillon::cli {

struct OpenedDatabase {
  OpenedDatabase(std::ostream& err, bool progress) : sink(nullptr, err, progress), engine(sink, stop) {}
  TerminalSink sink;
  StopFlag stop;
  COracleRecoveryTools engine;
};

// Identifies the database in dir and reads its dictionary. Failure when there
// is no SYSTEM datafile, its release is not supported or it cannot be read.
std::unique_ptr<OpenedDatabase> OpenDatabase(const std::string& dir, Io& io);

// The object number of the table named OWNER.TABLE (names compared as given,
// then in upper case). UsageError when the text is not OWNER.TABLE, Failure
// when the catalogue has no such table.
std::uint32_t FindTable(const Catalogue& catalogue, const std::string& owner_dot_table);

// The tables an export writes by default: every table the object tree shows
// (ShownTableList), in tree order.
std::vector<std::uint32_t> ShownTables(const COracleRecoveryTools& engine);

// OWNER.TABLE of a table.
std::string TableName(const Catalogue& catalogue, std::uint32_t table_object_number);

}  // namespace quillon::cli
