// The DDL of one object, as the script preview and `quillon ddl
// OWNER.OBJECT` show it: the generator of the object's kind run for that
// object alone, with its phase line. One place decides which generator
// answers for which kind.
#pragma once

#include <cstdint>
#include <string_view>

#include "reader/catalogue.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

// The remark after an XMLType table's statements.
inline constexpr std::string_view kXmlTableNote = "this is XML type Table so Data not Shown";

// The statements of the OBJ$ object with this number: a table (with its
// constraints, indexes, defaults and foreign keys), view, synonym,
// sequence, trigger, function, procedure, package, package body, type,
// type body, materialized view, index or cluster. False when there is no
// such object or its kind has no DDL of its own here (partitions, LOBs).
bool GenerateObjectDdl(const Catalogue& c, std::uint32_t object_number, StatementSink& sink);

// The statement of one constraint of a table, by the table's OBJ# and the
// constraint's name: a primary key, unique or check constraint as the
// constraint phase adds it, a foreign key as the foreign key phase does.
// False when the table has no constraint of that name.
bool GenerateConstraintDdl(const Catalogue& c, std::uint32_t table_object_number, std::string_view name,
                           StatementSink& sink);

// One user (or role) as the repair creates it, with the roles and system
// privileges granted to it; passwords as the sink masks them. False when
// there is no such user or role.
bool GenerateAccountDdl(const Catalogue& c, std::string_view name, bool role, StatementSink& sink);

// The object privileges granted to one user (or role), as the repair's
// object privilege phase grants them. False when there is no such grantee.
bool GenerateObjectGrantDdl(const Catalogue& c, std::string_view grantee, bool role, StatementSink& sink);

// The statements of a database link, by its owner and name. False when
// the catalogue has no such link.
bool GenerateDatabaseLinkDdl(const Catalogue& c, std::string_view owner, std::string_view name, StatementSink& sink);

// The materialized view log on a table, by the table's owner and name.
// False when the table has no log.
bool GenerateMaterializedViewLogDdl(const Catalogue& c, std::string_view owner, std::string_view master,
                                    StatementSink& sink);

// The registration of the XML schema with this URL. False when the
// catalogue has no such schema.
bool GenerateXmlSchemaDdl(const Catalogue& c, std::string_view url, StatementSink& sink);

}  // namespace quillon::repair
