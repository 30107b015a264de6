#include "browse/object_tree.h"

#include "browse/tree_icons.h"
#include "reader/datafile.h"

namespace quillon {

namespace {

bool IsSchemaOrTables(std::string_view caption) {
  return caption == tree_caption::kSchema || caption == tree_caption::kTables;
}

bool HasBox(const TreeNode& n) { return n.state != CheckState::kNone; }

}  // namespace

ObjectTree::ObjectTree(std::string root_caption) {
  TreeNode root;
  root.caption = std::move(root_caption);
  root.icon = tree_icon::kRoot;
  nodes_.push_back(std::move(root));
}

NodeId ObjectTree::Add(NodeId parent, std::string caption, int icon, CheckState state, bool expanded) {
  const auto id = static_cast<NodeId>(nodes_.size());
  TreeNode n;
  n.caption = std::move(caption);
  n.icon = icon;
  n.state = state;
  n.expanded = expanded;
  n.parent = parent;
  nodes_.push_back(std::move(n));
  nodes_[parent].children.push_back(id);
  return id;
}

std::optional<NodeId> ObjectTree::Child(NodeId parent, std::string_view caption) const {
  for (const NodeId c : nodes_[parent].children) {
    if (nodes_[c].caption == caption) return c;
  }
  return std::nullopt;
}

std::optional<NodeId> ObjectTree::Find(const std::vector<std::string_view>& path) const {
  NodeId at = root();
  for (const std::string_view caption : path) {
    const auto next = Child(at, caption);
    if (!next) return std::nullopt;
    at = *next;
  }
  return at;
}

std::string_view ObjectTree::AncestorCaption(NodeId id, int levels) const {
  std::optional<NodeId> at = id;
  for (int i = 0; i < levels && at; ++i) at = nodes_[*at].parent;
  return at ? std::string_view(nodes_[*at].caption) : std::string_view();
}

void ObjectTree::ToggleCheck(NodeId id) {
  TreeNode& pressed = nodes_[id];
  if (!HasBox(pressed)) return;  // nothing to press
  const CheckState state = pressed.state == CheckState::kUnchecked ? CheckState::kChecked : CheckState::kUnchecked;
  pressed.state = state;
  if (pressed.parent) RecomputeCheckState(*pressed.parent);

  // Down the Schema / owner / Tables / table path, at most four levels.
  const std::string_view n = nodes_[id].caption;
  for (const NodeId c : nodes_[id].children) {
    const std::string_view cc = nodes_[c].caption;
    if (IsSchemaOrTables(cc) || IsSchemaOrTables(n)) nodes_[c].state = state;
    for (const NodeId d : nodes_[c].children) {
      const std::string_view dc = nodes_[d].caption;
      if (IsSchemaOrTables(cc) || (n == tree_caption::kSchema && dc == tree_caption::kTables)) {
        nodes_[d].state = state;
      }
      for (const NodeId e : nodes_[d].children) {
        const std::string_view ec = nodes_[e].caption;
        const bool schema_tables = cc == tree_caption::kSchema && ec == tree_caption::kTables;
        if (schema_tables || (n == tree_caption::kSchema && dc == tree_caption::kTables)) nodes_[e].state = state;
        if (!schema_tables) continue;
        for (const NodeId f : nodes_[e].children) nodes_[f].state = state;
      }
    }
  }
}

void ObjectTree::RecomputeCheckState(NodeId id) {
  std::optional<NodeId> at = id;
  while (at) {
    TreeNode& node = nodes_[*at];
    std::size_t boxed = 0, checked = 0, partial = 0;
    for (const NodeId c : node.children) {
      switch (nodes_[c].state) {
        case CheckState::kNone: continue;
        case CheckState::kChecked: ++checked; break;
        case CheckState::kPartial: ++partial; break;
        case CheckState::kUnchecked: break;
      }
      ++boxed;
    }
    if (checked == boxed) {
      node.state = CheckState::kChecked;
    } else if (checked > 0 || partial > 0) {
      node.state = CheckState::kPartial;
    } else {
      node.state = CheckState::kUnchecked;
    }
    at = node.parent;
  }
}

std::vector<std::string> ObjectTree::CollectRepairTableList() const {
  std::vector<std::string> out;
  const auto& top = nodes_[root()].children;
  if (top.empty()) return out;
  const auto chosen = [this](NodeId id) {
    const CheckState s = nodes_[id].state;
    return s == CheckState::kChecked || s == CheckState::kPartial;
  };
  for (const NodeId owner : nodes_[top.front()].children) {
    if (!chosen(owner)) continue;
    for (const NodeId folder : nodes_[owner].children) {
      if (!chosen(folder)) continue;
      for (const NodeId table : nodes_[folder].children) {
        if (nodes_[table].state == CheckState::kChecked) {
          out.push_back(nodes_[owner].caption + "." + nodes_[table].caption);
        }
      }
    }
  }
  return out;
}

void ObjectTree::UncheckTable(const std::vector<std::string>& repair_tables, std::size_t position) {
  // Past the end of the list the entry is empty: no table matches, but empty
  // Tables folders are still cleared.
  const std::string entry = position < repair_tables.size() ? repair_tables[position] : std::string();
  const std::size_t dot = entry.find('.');
  const std::string owner = entry.substr(0, dot);
  const std::string table = dot == std::string::npos ? std::string() : entry.substr(dot + 1);

  for (const NodeId top : nodes_[root()].children) {
    const std::string_view caption = nodes_[top].caption;
    if (caption == tree_caption::kSecurity || caption == tree_caption::kStorage ||
        caption == tree_caption::kDistributed) {
      continue;
    }
    for (const NodeId o : nodes_[top].children) {
      const auto& folders = nodes_[o].children;
      if (folders.empty()) continue;
      if (nodes_[folders.front()].children.empty()) {
        nodes_[folders.front()].state = CheckState::kUnchecked;
        RecomputeCheckState(o);
        continue;
      }
      if (!EqualsIgnoreCase(nodes_[o].caption, owner)) continue;
      for (const NodeId f : folders) {
        for (const NodeId t : nodes_[f].children) {
          // Only a node with a box can lose its check mark.
          if (nodes_[t].caption != table || !HasBox(nodes_[t])) continue;
          nodes_[t].state = CheckState::kUnchecked;
          RecomputeCheckState(f);
        }
      }
    }
  }
}

void ObjectTree::SetExpanded(NodeId id, bool expanded) {
  nodes_[id].expanded = expanded;
  if (IsSchemaOrTables(AncestorCaption(id, 2))) {
    nodes_[id].icon = expanded ? tree_icon::kFolderOpen : tree_icon::kFolderClosed;
  }
}

std::string ObjectTree::Outline() const {
  std::string out;
  struct Item {
    NodeId id;
    std::size_t depth;
  };
  std::vector<Item> stack{{root(), 0}};
  while (!stack.empty()) {
    const Item item = stack.back();
    stack.pop_back();
    const TreeNode& n = nodes_[item.id];
    out.append(2 * item.depth, ' ');
    switch (n.state) {
      case CheckState::kNone: break;
      case CheckState::kUnchecked: out += "[ ] "; break;
      case CheckState::kChecked: out += "[x] "; break;
      case CheckState::kPartial: out += "[~] "; break;
    }
    out += n.caption;
    out += '\n';
    for (auto it = n.children.rbegin(); it != n.children.rend(); ++it) stack.push_back({*it, item.depth + 1});
  }
  return out;
}

}  // namespace quillon
