// The users, roles and tablespaces that a new Oracle 10g or 11g database
// already has. The repair still attempts them (their CREATE fails in the
// target), but their statements are marked as built in so that the log can
// tell these expected failures from lost objects.
#pragma once

#include <string_view>

namespace quillon::repair {

bool IsBuiltInUser(std::string_view name);
bool IsBuiltInRole(std::string_view name);
bool IsBuiltInTablespace(std::string_view name);

}  // namespace quillon::repair
