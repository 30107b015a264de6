// The mount points offered under "Look In:" in place of drive letters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon::app {

// The mount points of real file systems (pseudo file systems such as proc,
// sysfs, cgroup or tmpfs left out) in a mounts table's text, each once, sorted.
std::vector<std::string> ParseMountPoints(std::string_view mounts_text);
// The same for /proc/self/mounts; "/" when it cannot be read.
std::vector<std::string> ListMountPoints();

}  // namespace quillon::app
