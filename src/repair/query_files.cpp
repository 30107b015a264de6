#include "repair/query_files.h"

#include <filesystem>
#include <fstream>

namespace quillon::repair {

std::string QueryFileEntry(const Statement& statement) {
  // Passwords never reach a file: their place holds the preview's mask.
  const std::string text = statement.Render(kPasswordMask);
  std::string out;
  out.reserve(text.size() + 4);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  out += "\n/\n\n";
  return out;
}

void QueryFileSink::Accept(const Statement& statement) {
  if (!statement.query_file.empty()) files_[statement.query_file] += QueryFileEntry(statement);
  next_.Accept(statement);
}

std::vector<std::string> QueryFileSink::WriteInto(const std::string& folder) const {
  std::vector<std::string> failed;
  for (const auto& [name, text] : files_) {
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) failed.push_back(path.string());
  }
  return failed;
}

}  // namespace quillon::repair
