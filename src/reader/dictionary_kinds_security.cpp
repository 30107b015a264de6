// OBJAUTH$, SYSAUTH$, SYSTEM_PRIVILEGE_MAP and TABLE_PRIVILEGE_MAP.
#include "reader/dictionary_kinds.h"

namespace quillon {

namespace {

namespace objauth {
constexpr std::size_t kObj = 1, kGrantor = 2, kGrantee = 3, kPrivilege = 4, kSequence = 5, kOption = 7, kCol = 8;
}
namespace sysauth {
constexpr std::size_t kGrantee = 1, kPrivilege = 2, kSequence = 3, kOption = 4;
}
namespace privilege_map {
constexpr std::size_t kPrivilege = 1, kName = 2, kProperty = 3;
}

void ParsePrivilegeName(DictionaryReader& reader, const DictionaryRow& row,
                        IndexedList<PrivilegeNameRecord, std::int64_t>& list) {
  if (row.column_count() < privilege_map::kName || row.IsNull(privilege_map::kName)) return;
  const auto number = row.Integer(privilege_map::kPrivilege);
  if (!number) return;
  PrivilegeNameRecord p;
  p.privilege = *number;
  p.privilege_code = row.Packed(privilege_map::kPrivilege);
  p.name = reader.Text(row, privilege_map::kName);
  p.property = static_cast<std::uint16_t>(row.Unsigned(privilege_map::kProperty));
  list.Append(std::move(p));
}

}  // namespace

void ParseObjectGrantRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < objauth::kSequence || row.IsNull(objauth::kObj)) return;
  ObjectGrantRecord g;
  g.object_number = row.Unsigned(objauth::kObj);
  g.grantor_number = row.Integer(objauth::kGrantor).value_or(0);
  g.grantee_number = row.Unsigned(objauth::kGrantee);
  g.privilege = row.Integer(objauth::kPrivilege).value_or(0);
  g.sequence = row.Integer(objauth::kSequence).value_or(0);
  g.option = row.Integer(objauth::kOption).value_or(0);
  g.column_number = row.Integer(objauth::kCol);
  reader.catalogue.object_grants.Append(std::move(g));
}

void ParseSystemGrantRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < sysauth::kSequence || row.IsNull(sysauth::kGrantee) || row.IsNull(sysauth::kPrivilege)) {
    return;
  }
  SystemGrantRecord g;
  g.grantee_number = row.Unsigned(sysauth::kGrantee);
  g.privilege_code = row.Packed(sysauth::kPrivilege);
  g.privilege = row.Integer(sysauth::kPrivilege).value_or(0);
  g.sequence = row.Integer(sysauth::kSequence).value_or(0);
  g.option = row.Integer(sysauth::kOption).value_or(0);
  reader.catalogue.system_grants.Append(g);
}

void ParseSystemPrivilegeRow(DictionaryReader& reader, const DictionaryRow& row) {
  ParsePrivilegeName(reader, row, reader.catalogue.system_privilege_names);
}

void ParseTablePrivilegeRow(DictionaryReader& reader, const DictionaryRow& row) {
  ParsePrivilegeName(reader, row, reader.catalogue.table_privilege_names);
}

}  // namespace quillon
