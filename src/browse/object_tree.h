// The object tree: the schema of the rescued database as a tree of captions
// with icons and check marks, built from the catalogue once the scan has read
// the dictionary (tree_generate.h), and the rules the front end applies to it
// (check toggles, the tables chosen for repair, folder icons).
//
// Nodes carry a caption, an icon index (tree_icons.h), a check state and an
// expanded flag, nothing else: every way from a node back into the catalogue
// goes through captions (owner name and object name). The model holds no GUI
// type; the desktop application renders it, the command line prints it.
//
// Nodes are addressed by NodeId, an index that stays valid for the life of
// the tree (nodes are never removed; a new tree replaces the old one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class CheckState : std::uint8_t {
  kNone = 0,       // no box
  kUnchecked = 1,
  kChecked = 2,
  kPartial = 3,    // some children checked
};

using NodeId = std::uint32_t;

struct TreeNode {
  std::string caption;
  int icon = 0;
  CheckState state = CheckState::kNone;
  bool expanded = false;
  std::optional<NodeId> parent;   // absent for the root
  std::vector<NodeId> children;   // in insertion order
};

// A table the tree shows: the OWNER.TABLE text (owner name, ".", table name
// as stored), and the object number it was made from, so the record counts
// can go back to exactly that table.
struct ShownTable {
  std::string text;
  std::uint32_t object_number = 0;
};

class ObjectTree {
 public:
  // A tree with a single root of this caption (icon 12, no box).
  explicit ObjectTree(std::string root_caption = "");

  NodeId root() const { return 0; }
  const TreeNode& node(NodeId id) const { return nodes_[id]; }
  std::size_t size() const { return nodes_.size(); }

  // Appends a node as the last child of parent.
  NodeId Add(NodeId parent, std::string caption, int icon, CheckState state = CheckState::kNone,
             bool expanded = false);
  void SetState(NodeId id, CheckState state) { nodes_[id].state = state; }
  void SetExpandedFlag(NodeId id, bool expanded) { nodes_[id].expanded = expanded; }

  // The first child of parent with this caption (exact comparison).
  std::optional<NodeId> Child(NodeId parent, std::string_view caption) const;
  // The node reached from the root through children of these captions.
  std::optional<NodeId> Find(std::initializer_list<std::string_view> path) const {
    return Find(std::vector<std::string_view>(path));
  }
  std::optional<NodeId> Find(const std::vector<std::string_view>& path) const;
  // The caption of the node's ancestor `levels` up (1: parent); empty when
  // there is none.
  std::string_view AncestorCaption(NodeId id, int levels) const;

  // ---- Check marks --------------------------------------------------------

  // A press on the node's box: checked when it was unchecked, else
  // unchecked; the parents are recomputed and the new state goes down the
  // Schema / owner / Tables / table path below the node.
  void ToggleCheck(NodeId id);
  // The node's state from its children (children without a box are
  // ignored; no children with a box counts as all checked), then the same
  // for every ancestor up to the root.
  void RecomputeCheckState(NodeId id);
  // OWNER.TABLE of every checked table under Schema, in tree order: the
  // repair's table list.
  std::vector<std::string> CollectRepairTableList() const;
  // The repair has finished entry `position` of its table list: that table's
  // box is cleared (an owner's empty Tables folder is cleared too).
  void UncheckTable(const std::vector<std::string>& repair_tables, std::size_t position);

  // ---- Expanding ----------------------------------------------------------

  // Expands or collapses a node; folders under an owner or a table switch
  // between the open and the closed folder icon.
  void SetExpanded(NodeId id, bool expanded);

  // ---- Shown tables -------------------------------------------------------

  const std::vector<ShownTable>& shown_tables() const { return shown_tables_; }
  void AddShownTable(ShownTable table) { shown_tables_.push_back(std::move(table)); }
  void ClearShownTables() { shown_tables_.clear(); }

  // The tree as an indented outline, one node a line: two blanks per level,
  // the check box ("[ ] ", "[x] ", "[~] ", nothing without a box), the
  // caption.
  std::string Outline() const;

 private:
  std::vector<TreeNode> nodes_;
  std::vector<ShownTable> shown_tables_;
};

// Folder captions the check rules and the click rules test.
namespace tree_caption {
inline constexpr std::string_view kSchema = "Schema";
inline constexpr std::string_view kTables = "Tables";
inline constexpr std::string_view kSecurity = "Security";
inline constexpr std::string_view kStorage = "Storage";
inline constexpr std::string_view kDistributed = "Distributed";
}  // namespace tree_caption

}  // namespace quillon
