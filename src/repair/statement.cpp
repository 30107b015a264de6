#include "repair/statement.h"

namespace quillon::repair {

std::string Statement::Render(std::string_view password_form) const {
  if (!password_at || *password_at > text.size()) return text;
  std::string out;
  out.reserve(text.size() + password_form.size());
  out.append(text, 0, *password_at);
  out.append(password_form);
  out.append(text, *password_at);
  return out;
}

}  // namespace quillon::repair
