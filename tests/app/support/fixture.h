// Database folders made of synthetic datafiles, for the application tests.
#pragma once

#include <QString>
#include <cstdint>

namespace quillon::app::testing {

// Writes SYSTEM01.DBF (relative file 1, tablespace SYSTEM) and USERS01.DBF
// of database name into folder (created when missing), 8 KB blocks, 10g
// Release 2 headers. Returns the SYSTEM datafile's path.
QString WriteDatabaseFolder(const QString& folder, const QString& name = QStringLiteral("ORCL"));
// Writes the generator's sample database (11g Release 2, 8 KB blocks) into
// folder, with one more table, HR.AUDIT_TRAIL of extra_rows rows (none when
// 0), for paging through more rows than a page holds. Returns the SYSTEM
// datafile's path; an empty text when writing failed.
QString WriteSampleDatabase(const QString& folder, int extra_rows = 0);
// The name of the extra table's columns, in order.
inline constexpr const char* kAuditTrailColumns[] = {"ENTRY_ID", "ACTION", "DETAIL"};
// A file of size bytes of zeros.
void WriteFileOfSize(const QString& path, std::uint64_t size);

}  // namespace quillon::app::testing
