// Builders of the small clusters: TS$ (C_TS#), USER$ (C_USER#), CDEF$ and
// CCOL$ (C_COBJ#), and MLOG$ (the materialized view log cluster).
#include "reader/cluster_members.h"
#include "reader/packed_codes.h"

namespace quillon {

namespace {

// TS$ member columns (TS# is the key).
namespace ts {
constexpr std::size_t kName = 1, kOwner = 2, kOnline = 3, kContents = 4, kBlockSize = 7, kLogging = 17,
                      kFlags = 22;
}
// USER$ member columns (USER# is the key).
namespace user {
constexpr std::size_t kName = 1, kType = 2, kPassword = 3, kDataTs = 4, kTempTs = 5, kStatus = 15,
                      kExternalName = 18;
}
// CDEF$ member columns (OBJ# is the key; the LONG CONDITION is stored last).
namespace cdef {
constexpr std::size_t kCon = 1, kCols = 2, kType = 3, kRobj = 4, kRcon = 5, kRrules = 6, kRefact = 8,
                      kEnabled = 9, kDefer = 13, kCondition = 20;
}
// CCOL$ member columns (OBJ# is the key).
namespace ccol {
constexpr std::size_t kCon = 1, kCol = 2, kPos = 3, kIntcol = 4;
}

constexpr std::uint32_t kUserType = PackedCode(1);
constexpr std::uint32_t kRoleType = PackedCode(0);

}  // namespace

void ParseTablespaceRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.IsNull(ts::kName) || row.column_count() < ts::kBlockSize) return;
  TablespaceRecord t;
  t.name = reader.Text(row, ts::kName);
  t.owner_code = row.Packed(ts::kOwner);
  t.contents = static_cast<std::uint16_t>(row.Packed(ts::kContents));
  t.block_size_code = row.Packed(ts::kBlockSize);
  t.online_status = static_cast<std::uint16_t>(row.Packed(ts::kOnline));
  t.default_logging = static_cast<std::uint16_t>(row.Packed(ts::kLogging));
  t.number = key.number;
  t.block_size = row.Unsigned(ts::kBlockSize);
  t.flags = row.Bits(ts::kFlags);
  reader.catalogue.tablespaces.Append(std::move(t));
  reader.catalogue.Raise(Counter::kTablespaces);
  reader.CountRecord();
}

void ParseUserRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.IsNull(user::kName) || row.column_count() < user::kType) return;
  const std::uint32_t type = row.Packed(user::kType);
  const std::string identification(IdentificationText(row.IsNull(user::kPassword), row.Bytes(user::kPassword).size()));
  Catalogue& c = reader.catalogue;
  if (type == kUserType) {
    UserRecord u;
    u.name = reader.Text(row, user::kName);
    u.default_tablespace_number = row.Unsigned(user::kDataTs);
    u.temporary_tablespace_number = row.Unsigned(user::kTempTs);
    u.default_tablespace = c.TablespaceName(u.default_tablespace_number);
    u.temporary_tablespace = c.TablespaceName(u.temporary_tablespace_number);
    u.account_status = static_cast<std::uint16_t>(row.Packed(user::kStatus));
    u.account_status_value = row.Integer(user::kStatus).value_or(0);
    u.number = key.number;
    u.identification = identification;
    if (row.Has(user::kExternalName)) u.external_name = reader.Text(row, user::kExternalName);
    c.users.Append(std::move(u));
    c.Raise(Counter::kUsers);
  } else if (type == kRoleType) {
    RoleRecord r;
    r.name = reader.Text(row, user::kName);
    r.number = key.number;
    r.identification = identification;
    c.roles.Append(std::move(r));
    c.Raise(Counter::kRoles);
  } else {
    return;  // adjunct schemas and schema synonyms (11g) are not users
  }
  reader.CountRecord();
}

void ParseConstraintRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.IsNull(cdef::kCon) || row.IsNull(cdef::kType)) return;
  ConstraintRecord r;
  r.table_object_number = key.number;
  r.constraint_number = row.Unsigned(cdef::kCon);
  r.column_count = row.Unsigned(cdef::kCols);
  r.type_code = row.Packed(cdef::kType);
  r.type = row.Unsigned(cdef::kType);
  r.referenced_object = row.Unsigned(cdef::kRobj);
  r.referenced_constraint = row.Unsigned(cdef::kRcon);
  r.rules_text = reader.Text(row, cdef::kRrules);
  r.delete_rule = row.Unsigned(cdef::kRefact);
  r.enabled = row.Unsigned(cdef::kEnabled);
  r.defer = row.Unsigned(cdef::kDefer);
  if (row.column_count() == cdef::kCondition) r.condition = reader.Text(row, cdef::kCondition);
  reader.catalogue.constraints.Append(std::move(r));
  reader.CountRecord();
}

void ParseConstraintColumnRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < ccol::kIntcol || row.IsNull(ccol::kCon)) return;
  ConstraintColumnRecord r;
  r.table_object_number = key.number;
  r.constraint_number = row.Unsigned(ccol::kCon);
  r.column_number = row.Unsigned(ccol::kCol);
  r.position = row.Unsigned(ccol::kPos);
  r.internal_column = row.Unsigned(ccol::kIntcol);
  reader.catalogue.constraint_columns.Append(r);
}

void ParseMlogRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  const std::size_t log = LayoutFor(reader.release()).mlog_log;
  if (row.column_count() < log + 3 || row.IsNull(log)) return;  // LOG and MTIME are NOT NULL
  MaterializedViewLogRecord r;
  r.master = key.first_text;
  r.master_owner = key.second_text;
  r.log_table = reader.Text(row, log);
  r.trigger = reader.Text(row, log + 1);
  r.flag = row.Bits(log + 2);
  r.temporary_log = reader.Text(row, log + 4);
  reader.catalogue.materialized_view_logs.Append(std::move(r));
  reader.catalogue.Raise(Counter::kMaterializedViewLogs);
  reader.CountRecord();
}

}  // namespace quillon
