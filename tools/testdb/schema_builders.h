// Short forms for writing schema descriptions (the sample and stress
// databases): users, tables, constraints, indexes, code objects.
#pragma once

#include <string>
#include <vector>

#include "testdb/schema_model.h"

namespace quillon::testdb {

UserSpec User(std::string name, std::string default_tablespace, Authentication authentication = Authentication::kPassword);
RoleSpec Role(std::string name, Authentication authentication = Authentication::kNone);
TableSpec Table(std::string owner, std::string name, std::string tablespace, std::vector<ColumnSpec> columns);
ConstraintSpec PrimaryKey(std::string name, std::vector<std::string> columns);
ConstraintSpec Unique(std::string name, std::vector<std::string> columns);
ConstraintSpec Check(std::string name, std::string condition, std::vector<std::string> columns = {});
ConstraintSpec ForeignKey(std::string name, std::vector<std::string> columns, std::string ref_owner,
                          std::string ref_table, DeleteRule rule = DeleteRule::kNoAction);
IndexSpec Index(std::string owner, std::string name, std::string table, std::vector<std::string> columns,
                std::string tablespace);
CodeSpec Code(std::string owner, std::string name, CodeKind kind, std::vector<std::string> lines);
ObjectGrantSpec Grant(std::string privilege, std::string owner, std::string object, std::string grantee);
// Lines of source text, each ending with a line feed, from one text.
std::vector<std::string> Lines(const std::string& text);

}  // namespace quillon::testdb
