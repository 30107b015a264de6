#include "repair/link_ddl.h"

#include "reader/catalogue_view_security.h"
#include "repair/code_ddl.h"
#include "repair/quoting.h"
#include "repair/system_schemas.h"

namespace quillon::repair {

void CreateDatabaseLinks(const Catalogue& c, StatementSink& sink, std::string_view only_owner,
                         std::string_view only_name) {
  for (const DatabaseLinkRecord& link : c.database_links) {
    const std::string owner = c.OwnerName(link.owner_number);
    if (!only_name.empty() && (owner != only_owner || link.name != only_name)) continue;
    if (owner == "SYS") continue;
    const StatementNote note{std::string(kPhaseDatabaseLink), "Database link " + owner + "." + link.name,
                             IsBuiltinUser(owner) && owner != "PUBLIC"};
    if (owner == kUnknownOwnerName) {
      sink.Skipped(note, "its owner " + NumberedName(link.owner_number) + " is not in the dictionary");
      continue;
    }
    const bool is_public = owner == "PUBLIC";
    if (const Quoted q = QuoteIdent(owner); !is_public && !q) {
      sink.Skipped(note, q.reason());
      continue;
    }
    SqlBuilder sql;
    sql.Raw(is_public ? "CREATE PUBLIC DATABASE LINK " : "CREATE DATABASE LINK ").Link(link.name);
    if (!link.user_name.empty()) {
      sql.Raw("\n  CONNECT TO ").Ident(link.user_name).Raw(" IDENTIFIED BY ");
      sql.Raw("\"").Raw(kLinkPasswordPlaceholder).Raw("\"");
    }
    if (!link.host.empty()) sql.Raw("\n  USING ").Literal(link.host);
    if (!sql.ok()) {
      sink.Skipped(note, sql.reason());
      continue;
    }
    Statement s = sql.Build(note);
    if (!is_public) s.session_user = owner;
    if (!IsSystemSchema(owner)) s.query_file = std::string(kQueryOfDatabaseLink);
    sink.Accept(s);
  }
}

}  // namespace quillon::repair
