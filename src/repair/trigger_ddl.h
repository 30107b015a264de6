// Trigger DDL: CREATE TRIGGER from TRIGGER$ and its action text, and
// ALTER TRIGGER ... DISABLE for a disabled trigger.
//
// A DML trigger (one that fires on INSERT, UPDATE or DELETE) is written
// from its parts: timing by TYPE# (0 BEFORE, 1 BEFORE ... FOR EACH ROW,
// 2 AFTER, 3 AFTER ... FOR EACH ROW, 4 INSTEAD OF ... FOR EACH ROW), the
// events, ON the base object (ON NESTED TABLE "C" OF the view for a trigger
// on a nested-table column), REFERENCING when it renames OLD, NEW or PARENT
// (OLD and NEW are both written, or a body that uses the other would not
// compile; PARENT where the trigger has a parent row or renamed it), FOR
// EACH ROW, WHEN and the action text. Any other trigger (on a schema or
// the database) is written from its description, whose leading name is
// replaced by the quoted owner and name.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "reader/catalogue.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseTrigger = "Repairing Trigger ";

void CreateTriggers(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});

}  // namespace quillon::repair
