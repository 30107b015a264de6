// The repair into an Oracle target (a database or a SQL*Plus script): every
// phase in the repair's order, each statement executed on the target as it
// is generated, then each selected table's rows.
#pragma once

#include <cstdint>
#include <vector>

#include "repair/repair_process.h"

namespace quillon::repair {

// The phases and the row pass, logging through the engine's sink; fills
// result. The opening and closing lines are the caller's.
void RunOraclePhases(COracleRecoveryTools& engine, Target& target, const std::vector<std::uint32_t>& tables,
                     const OracleRepairOptions& options, RepairResult& result);

}  // namespace quillon::repair
