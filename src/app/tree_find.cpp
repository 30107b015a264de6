#include "app/tree_find.h"

namespace quillon::app {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool IsWordCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}

}  // namespace

std::string SearchPattern(std::string_view text, bool match_case) {
  const std::size_t end = text.find_last_not_of(" \t");
  if (end == std::string_view::npos) return {};
  const std::string_view kept = text.substr(0, end + 1);
  return match_case ? std::string(kept) : Lower(kept);
}

bool CaptionMatches(std::string_view caption, std::string_view pattern, bool match_case, bool whole_word) {
  if (pattern.empty()) return false;
  const std::string text = match_case ? std::string(caption) : Lower(caption);
  for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) {
    if (!whole_word) return true;
    const std::size_t after = at + pattern.size();
    const bool starts_word = at == 0 || !IsWordCharacter(text[at - 1]);
    const bool ends_word = after >= text.size() || !IsWordCharacter(text[after]);
    if (starts_word && ends_word) return true;
  }
  return false;
}

std::optional<NodeId> NextInPreOrder(const ObjectTree& tree, NodeId node) {
  if (!tree.node(node).children.empty()) return tree.node(node).children.front();
  for (NodeId at = node;;) {
    const std::optional<NodeId> parent = tree.node(at).parent;
    if (!parent) return std::nullopt;
    const std::vector<NodeId>& siblings = tree.node(*parent).children;
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i) {
      if (siblings[i] == at) return siblings[i + 1];
    }
    at = *parent;
  }
}

std::optional<NodeId> FindTreeItem(const ObjectTree& tree, std::optional<NodeId> selected, std::string_view text,
                                   bool match_case, bool whole_word, std::optional<NodeId>& last_found) {
  const std::string pattern = SearchPattern(text, match_case);
  if (pattern.empty()) return std::nullopt;
  std::optional<NodeId> candidate;
  if (!selected || *selected == tree.root() || *selected >= tree.size()) {
    const std::vector<NodeId>& top = tree.node(tree.root()).children;
    if (!top.empty()) candidate = top.front();
  } else {
    candidate = NextInPreOrder(tree, *selected);
  }
  for (; candidate; candidate = NextInPreOrder(tree, *candidate)) {
    if (CaptionMatches(tree.node(*candidate).caption, pattern, match_case, whole_word)) {
      last_found = candidate;
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace quillon::app
