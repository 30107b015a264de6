// Positions of OBJ$'s columns (1-based, as the dictionary row reader counts
// them); the same in every release this reader knows.
#pragma once

#include <cstddef>

namespace quillon::obj {

inline constexpr std::size_t kObj = 1, kDataObj = 2, kOwner = 3, kName = 4, kNamespace = 5, kSubname = 6,
                             kType = 7, kStatus = 11, kFlags = 14, kOid = 15;

}  // namespace quillon::obj
