// The stress database: many users, each with the same small set of tables,
// indexes, views, synonyms, sequences and stored code, for a dictionary of
// more than 50,000 objects. The tables live in a free-list tablespace of
// two-block extents, so the datafiles stay small and are written fast.
#pragma once

#include <cstdint>
#include <string>

#include "testdb/schema_model.h"

namespace quillon::testdb {

inline constexpr std::uint32_t kStressUsers = 200;

Schema StressSchema(const std::string& release, std::uint64_t seed);

}  // namespace quillon::testdb
