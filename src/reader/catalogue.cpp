#include "reader/catalogue.h"

namespace quillon {

std::uint32_t Catalogue::AddObject(ObjectRecord record) {
  const std::optional<ObjectKind> kind = record.kind;
  const std::uint32_t position = objects.Append(std::move(record));
  if (kind) {
    kind_positions_[static_cast<std::size_t>(*kind)].push_back(position);
    if (const auto counter = InfoOf(*kind).counter) Raise(*counter);
  }
  return position;
}

const ObjectRecord* Catalogue::FindObject(ObjectKind kind, const std::string& owner, const std::string& name) const {
  for (const ObjectRecord& o : objects.All<1>(OwnerAndName{owner, name})) {
    if (o.kind == kind) return &o;
  }
  return nullptr;
}

const ObjectRecord* Catalogue::UserTypeOf(const ColumnInfo& column) const {
  for (const ColumnTypeRecord& t : column_types.All<0>(column.object_number)) {
    if (t.internal_column == column.internal_column) return ObjectWithOid(t.type_oid);
  }
  return nullptr;
}

const TypeRecord* Catalogue::LatestTypeVersion(const std::string& toid) const {
  const TypeRecord* latest = nullptr;
  for (const TypeRecord& t : types.All<0>(toid)) {
    if (!latest || t.version > latest->version) latest = &t;
  }
  return latest;
}

std::string Catalogue::OwnerName(std::uint32_t user_number) const {
  if (const UserRecord* u = users.First<0>(user_number)) return u->name;
  if (const RoleRecord* r = roles.First<0>(user_number)) return r->name;
  return std::string(kUnknownOwnerName);
}

std::string Catalogue::TablespaceName(std::uint32_t tablespace_number) const {
  const TablespaceRecord* t = tablespaces.First<0>(tablespace_number);
  return t ? t->name : std::string();
}

std::string Catalogue::ColumnName(std::uint32_t table, std::uint32_t internal_column) const {
  for (const ColumnInfo& col : columns.All<0>(table)) {
    if (col.internal_column == internal_column) return col.name;
  }
  return NumberedName(internal_column);
}

std::string Catalogue::ConstraintName(std::uint32_t constraint_number) const {
  const ConstraintNameRecord* n = constraint_names.First<0>(constraint_number);
  return n ? n->name : NumberedName(constraint_number);
}

std::string NumberedName(std::uint64_t number) {
  std::string text(1, '#');
  text += std::to_string(number);
  return text;
}

}  // namespace quillon
