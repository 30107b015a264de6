#include "reader/cluster_members.h"

#include <array>

namespace quillon {

namespace {

constexpr std::array<MemberRowParser, 19> kParsers = {
    &ParseTableRow,       &ParseClusterRow,     &ParseIndexRow,        &ParseIndexColumnRow,
    &ParseColumnRow,      &ParseLobRow,         &ParseColumnTypeRow,   &ParseNestedTableRow,
    &ParseOpaqueTypeRow,  &ParseAttributeColumnRow,                     // C_OBJ#
    &ParseTablespaceRow,                                                // C_TS#
    &ParseUserRow,                                                      // C_USER#
    &ParseConstraintRow,  &ParseConstraintColumnRow,                    // C_COBJ#
    &ParseTypeRow,        &ParseCollectionRow,  &ParseAttributeRow,    &ParseMethodRow,  // types
    &ParseMlogRow,                                                      // C_MLOG#
};

}  // namespace

MemberRowParser MemberParser(ClusterMember member) { return kParsers[static_cast<std::size_t>(member)]; }

std::uint64_t PackNumberBytes64(ByteView bytes) {
  std::uint64_t code = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 8; ++i) {
    code |= static_cast<std::uint64_t>(bytes.data()[i]) << (8 * i);
  }
  return code;
}

}  // namespace quillon
