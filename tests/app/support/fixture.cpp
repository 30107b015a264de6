#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <span>
#include <vector>

#include "testdb/block_writer.h"
#include "testdb/dictionary_writer.h"
#include "testdb/layout.h"
#include "testdb/resolved_schema.h"
#include "testdb/sample_database.h"
#include "testdb/schema_builders.h"

namespace quillon::app::testing {

namespace {

constexpr std::uint32_t kBlockSize = 8192;
constexpr std::uint32_t kBlocks = 4;

void WriteDatafile(const QString& path, const QString& database, std::uint32_t file, const char* tablespace) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kBlockSize) * kBlocks, 0);
  std::span<std::uint8_t> all(bytes);
  testdb::WriteOsHeaderBlock(all.subspan(0, kBlockSize), format::header_format::k8K, kBlockSize, kBlocks - 1);
  testdb::FileHeaderDescription wanted;
  wanted.relative_file = file;
  wanted.compatibility_code = 0x0A20;  // 10.2
  wanted.database_name = database.toStdString();
  wanted.tablespace_name = tablespace;
  wanted.block_count = kBlocks - 1;
  testdb::WriteFileHeaderBlock(all.subspan(kBlockSize, kBlockSize), wanted);
  QFile out(path);
  if (out.open(QIODevice::WriteOnly)) {
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
}

}  // namespace

QString WriteDatabaseFolder(const QString& folder, const QString& name) {
  QDir().mkpath(folder);
  const QString system = QDir(folder).filePath(QStringLiteral("SYSTEM01.DBF"));
  WriteDatafile(system, name, 1, "SYSTEM");
  WriteDatafile(QDir(folder).filePath(QStringLiteral("USERS01.DBF")), name, 4, "USERS");
  return system;
}

QString WriteSampleDatabase(const QString& folder, int extra_rows) {
  testdb::Schema schema = testdb::SampleSchema("11.2");
  if (extra_rows > 0) {
    testdb::TableDescription trail = testdb::Table("HR", "AUDIT_TRAIL", "HR_DATA",
                                            {{kAuditTrailColumns[0], testdb::Number(8)},
                                             {kAuditTrailColumns[1], testdb::Varchar2(12)},
                                             {kAuditTrailColumns[2], testdb::Varchar2(60)}});
    for (int i = 1; i <= extra_rows; ++i) {
      trail.rows.push_back({testdb::val::Num(std::int64_t{i}), testdb::val::Text(i % 3 == 0 ? "DELETE" : "UPDATE"),
                            testdb::val::Text("entry " + std::to_string(i) + " of the audit trail")});
    }
    schema.tables.push_back(std::move(trail));
  }
  const testdb::GeneratedDatabase db =
      testdb::BuildDatabase(std::move(schema), *testdb::FindGeneratorRelease("11.2"), 8192, 1);
  testdb::LayoutResult layout;
  std::string error;
  if (!testdb::WriteDatabase(db.model, folder.toStdString(), layout, error)) return {};
  return QDir(folder).filePath(QStringLiteral("SYSTEM01.DBF"));
}

void WriteFileOfSize(const QString& path, std::uint64_t size) {
  QFile out(path);
  if (out.open(QIODevice::WriteOnly)) out.resize(static_cast<qint64>(size));
}

}  // namespace quillon::app::testing
