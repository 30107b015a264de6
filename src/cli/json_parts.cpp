#include "cli/json_parts.h"

namespace quillon::cli {

void WriteIdentificationMembers(JsonWriter& j, const COracleRecoveryTools& engine) {
  const Identification& id = engine.identification;
  j.Member("system_datafile", id.system_datafile);
  j.Member("release", id.release.text);
  j.Member("release_code", id.release.code);
  j.Member("supported", !id.unsupported);
  j.Member("database", id.database_name);
  j.Member("block_size", static_cast<unsigned>(id.block_size));
  j.Key("datafiles").BeginArray();
  for (const auto& f : engine.datafiles) {
    j.BeginObject();
    j.Member("path", f.full_path);
    j.Member("tablespace", f.tablespace_name);
    j.Member("relative_file", static_cast<unsigned>(f.relative_file_number));
    j.Member("base_dba", static_cast<unsigned>(f.file_base_dba));
    j.Member("block_size", static_cast<unsigned>(f.block_size));
    j.EndObject();
  }
  j.EndArray();
}

}  // namespace quillon::cli
