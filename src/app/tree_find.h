// Finding a caption in the object tree from the search bar: the next node,
// in pre-order after the selected one, whose caption holds the search text.
//
// Without match case both sides are compared in lower case (ASCII letters;
// other characters as they are). With whole word an occurrence counts only
// when the characters on either side of it are neither letters nor "_":
// digits, blanks, dots and the like separate words, so EMP is a whole word
// in EMP1 and SCOTT.EMP but not in EMPLOYEE or EMP_HIST. Bytes of non-ASCII
// characters count as letters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "browse/object_tree.h"

namespace quillon::app {

// The pattern searched for: text without its trailing blanks, in lower case
// without match case. Empty when text holds nothing but blanks, so that such
// a search finds nothing instead of every caption.
std::string SearchPattern(std::string_view text, bool match_case);

// Whether caption holds pattern (made by SearchPattern) under the rules
// above. An empty pattern matches nothing.
bool CaptionMatches(std::string_view caption, std::string_view pattern, bool match_case, bool whole_word);

// The node after node in pre-order (first child, else next sibling, else the
// next sibling of the nearest ancestor that has one); none at the end.
std::optional<NodeId> NextInPreOrder(const ObjectTree& tree, NodeId node);

// FindTreeItem: the first node after selected (from the top when selected
// is absent or the root) whose caption matches text, or none. A match is
// remembered in last_found.
std::optional<NodeId> FindTreeItem(const ObjectTree& tree, std::optional<NodeId> selected, std::string_view text,
                                   bool match_case, bool whole_word, std::optional<NodeId>& last_found);

}  // namespace quillon::app
