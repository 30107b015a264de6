#include "reader/catalogue_security.h"

namespace quillon {

std::string_view IdentificationText(bool password_is_null, std::size_t password_length) {
  if (password_is_null) return kIdentifiedNone;
  if (password_length == kIdentifiedGlobally.size()) return kIdentifiedGlobally;
  if (password_length == kIdentifiedExternally.size()) return kIdentifiedExternally;
  return kRepairPassword;
}

}  // namespace quillon
