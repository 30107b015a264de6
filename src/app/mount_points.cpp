#include "app/mount_points.h"

#include <algorithm>
#include <iterator>
#include <fstream>
#include <sstream>

namespace quillon::app {

namespace {

constexpr std::string_view kPseudoFileSystems[] = {
    "autofs",   "binfmt_misc", "bpf",       "cgroup",   "cgroup2",  "configfs",  "debugfs",
    "devpts",   "devtmpfs",    "efivarfs",  "fusectl",  "hugetlbfs", "mqueue",   "nsfs",
    "proc",     "pstore",      "ramfs",     "rpc_pipefs", "securityfs", "selinuxfs", "squashfs",
    "sysfs",    "tmpfs",       "tracefs",   "nfsd",     "fuse.gvfsd-fuse", "fuse.portal"};

bool IsPseudo(std::string_view type) {
  return std::find(std::begin(kPseudoFileSystems), std::end(kPseudoFileSystems), type) != std::end(kPseudoFileSystems);
}

// The mounts table writes blanks, tabs, newlines and backslashes in paths as
// three-digit octal escapes.
std::string Unescape(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto is_octal = [](char c) { return c >= '0' && c <= '7'; };
    if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) && is_octal(field[i + 2]) &&
        is_octal(field[i + 3])) {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
      i += 3;
      continue;
    }
    out.push_back(field[i]);
  }
  return out;
}

}  // namespace

std::vector<std::string> ParseMountPoints(std::string_view mounts_text) {
  std::vector<std::string> out;
  std::istringstream in{std::string(mounts_text)};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, mount_point, type;
    if (!(fields >> device >> mount_point >> type)) continue;
    if (IsPseudo(type)) continue;
    out.push_back(Unescape(mount_point));
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::vector<std::string> ListMountPoints() {
  std::ifstream in("/proc/self/mounts");
  std::ostringstream text;
  if (in) text << in.rdbuf();
  std::vector<std::string> out = ParseMountPoints(text.str());
  if (out.empty()) out.push_back("/");
  return out;
}

}  // namespace quillon::app
