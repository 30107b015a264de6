// Short forms for writing schema descriptions (the sample and stress
// databases): users, tables, constraints, indexes, code objects.
#pragma once

#include <string>
#include <vector>

#include "testdb/schema_model.h"

namespace quillon::testdb {

UserDescription User(std::string name, std::string default_tablespace, Authentication authentication = Authentication::kPassword);
RoleDescription Role(std::string name, Authentication authentication = Authentication::kNone);
TableDescription Table(std::string owner, std::string name, std::string tablespace, std::vector<ColumnDescription> columns);
ConstraintDescription PrimaryKey(std::string name, std::vector<std::string> columns);
ConstraintDescription Unique(std::string name, std::vector<std::string> columns);
ConstraintDescription Check(std::string name, std::string condition, std::vector<std::string> columns = {});
ConstraintDescription ForeignKey(std::string name, std::vector<std::string> columns, std::string ref_owner,
                          std::string ref_table, DeleteRule rule = DeleteRule::kNoAction);
IndexDescription Index(std::string owner, std::string name, std::string table, std::vector<std::string> columns,
                std::string tablespace);
CodeDescription Code(std::string owner, std::string name, CodeKind kind, std::vector<std::string> lines);
ObjectGrantDescription Grant(std::string privilege, std::string owner, std::string object, std::string grantee);
// Lines of source text, each ending with a line feed, from one text.
std::vector<std::string> Lines(const std::string& text);

}  // namespace quillon::testdb
