// Database link DDL.
//
// A link's name cannot carry a schema (its dots belong to the name), so a
// link is created by its owner: CREATE PUBLIC DATABASE LINK for PUBLIC's
// links, and for a schema's links a statement marked with the owner's
// session (Statement::session_user). Links owned by SYS are left out.
//
// No password reaches a statement: the dictionary of 10g Release 2 on
// keeps only a hash of it, and an older clear one is not written into
// scripts or logs either. A link with a user gets the placeholder password
// of ten asterisks, which its owner replaces (ALTER DATABASE LINK in 11g
// Release 2, or a new link) once the remote password is known.
#pragma once

#include <string_view>

#include "reader/catalogue.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseDatabaseLink = "Repairing Database Link ";
inline constexpr std::string_view kLinkPasswordPlaceholder = "**********";

// With only_owner and only_name given, just that link.
void CreateDatabaseLinks(const Catalogue& c, StatementSink& sink, std::string_view only_owner = {},
                         std::string_view only_name = {});

}  // namespace quillon::repair
