// Database folders made of synthetic datafiles, for the application tests.
#pragma once

#include <QString>
#include <cstdint>

namespace quillon::app::testing {

// Writes SYSTEM01.DBF (relative file 1, tablespace SYSTEM) and USERS01.DBF
// of database name into folder (created when missing), 8 KB blocks, 10g
// Release 2 headers. Returns the SYSTEM datafile's path.
QString WriteDatabaseFolder(const QString& folder, const QString& name = QStringLiteral("ORCL"));
// A file of size bytes of zeros.
void WriteFileOfSize(const QString& path, std::uint64_t size);

}  // namespace quillon::app::testing
