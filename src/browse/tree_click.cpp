#include "browse/tree_click.h"

#include <algorithm>

#include "reader/catalogue_views.h"
#include "repair/table_ddl.h"

namespace quillon {

namespace {

enum class Level : std::uint8_t { kParent, kGrandparent, kGreatGrandparent };
enum class KeyForm : std::uint8_t {
  kOwnerDotCaption,  // label prefix + G + "." + caption; key G + "." + caption
  kCaption,          // label and key: the caption
  kGrantOfUser,      // label and key: G + "." + caption
  kGrantOfRole,      // label: the caption; key: G + "." + caption
};
// How P relates to "Object Privileges Granted" for the grant rules.
enum class ObjectGrants : std::uint8_t { kAny, kOnly, kNot };

struct ScriptRule {
  Level level;
  std::string_view caption;
  ObjectGrants object_grants;
  int kind;
  std::string_view label_prefix;
  KeyForm form;
};

constexpr std::string_view kObjectPrivileges = "Object Privileges Granted";

// First match wins.
constexpr ScriptRule kScriptRules[] = {
    {Level::kParent, "Indexes", ObjectGrants::kAny, script_kind::kIndex, "Index ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Clusters", ObjectGrants::kAny, script_kind::kCluster, "Cluster ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Views", ObjectGrants::kAny, script_kind::kView, "View ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Synonyms", ObjectGrants::kAny, script_kind::kSynonym, "Synonym ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Sequences", ObjectGrants::kAny, script_kind::kSequence, "Sequence ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Procedures", ObjectGrants::kAny, script_kind::kProcedure, "Procedure ",
     KeyForm::kOwnerDotCaption},
    {Level::kParent, "Functions", ObjectGrants::kAny, script_kind::kFunction, "Function ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Packages", ObjectGrants::kAny, script_kind::kPackage, "Package ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Package Bodies", ObjectGrants::kAny, script_kind::kPackageBody, "Package Body ",
     KeyForm::kOwnerDotCaption},
    {Level::kParent, "Triggers", ObjectGrants::kAny, script_kind::kTrigger, " Trigger ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Types", ObjectGrants::kAny, script_kind::kType, "Type ", KeyForm::kOwnerDotCaption},
    {Level::kParent, "Type Bodies", ObjectGrants::kAny, script_kind::kTypeBody, "Type Body ",
     KeyForm::kOwnerDotCaption},
    {Level::kParent, "Materialized Views", ObjectGrants::kAny, script_kind::kMaterializedView, "", KeyForm::kCaption},
    {Level::kParent, "Materialized View Logs", ObjectGrants::kAny, script_kind::kMaterializedViewLog, "",
     KeyForm::kCaption},
    {Level::kGrandparent, "Database Links", ObjectGrants::kAny, script_kind::kDatabaseLink, "", KeyForm::kCaption},
    {Level::kGreatGrandparent, "Users", ObjectGrants::kNot, script_kind::kUserGrant, "", KeyForm::kGrantOfUser},
    {Level::kGreatGrandparent, "Users", ObjectGrants::kOnly, script_kind::kUserObjectGrant, "", KeyForm::kGrantOfUser},
    {Level::kGreatGrandparent, "Roles", ObjectGrants::kNot, script_kind::kRoleGrant, "", KeyForm::kGrantOfRole},
    {Level::kGreatGrandparent, "Roles", ObjectGrants::kOnly, script_kind::kRoleObjectGrant, "", KeyForm::kGrantOfRole},
};

// Constraint captions: the type word the tree put in front of the name.
struct ConstraintRule {
  std::string_view first_letter;
  int kind;
  std::string_view label_prefix;
  std::size_t caption_prefix_length;  // "CHECK ", "PRIMARY ", "UNIQUE ", "FOREIGN "
};
constexpr ConstraintRule kConstraintRules[] = {
    {"C", script_kind::kKeyConstraint, "Check ", 6},
    {"P", script_kind::kKeyConstraint, "Primary Key ", 8},
    {"U", script_kind::kKeyConstraint, "Unique Key ", 7},
    {"F", script_kind::kForeignKey, "Foreign Key ", 8},
};

std::string_view At(const ClickCaptions& c, Level level) {
  switch (level) {
    case Level::kParent: return c.parent;
    case Level::kGrandparent: return c.grandparent;
    case Level::kGreatGrandparent: return c.great_grandparent;
  }
  return {};
}

ClickRequest Script(int kind, std::string label, std::string key) {
  ClickRequest r;
  r.kind = ClickRequest::Kind::kScriptPreview;
  r.script_kind = kind;
  r.label = std::move(label);
  r.key = std::move(key);
  return r;
}

ClickRequest ClearPane() {
  ClickRequest r;
  r.kind = ClickRequest::Kind::kClearPane;
  return r;
}

ClickRequest TableRequest(const ClickCaptions& c, const Catalogue& cat) {
  const std::string wanted = std::string(c.grandparent) + "." + std::string(c.caption);
  std::size_t index = 0;
  for (const ObjectRecord& o : cat.ObjectsOfKind(ObjectKind::kTable)) {
    if (o.owner + "." + o.name == wanted) {
      ClickRequest r;
      r.table_index = index;
      if (repair::IsXmlTypeTable(CatalogueViews(cat).Table(o))) {
        r.kind = ClickRequest::Kind::kScriptPreview;
        r.script_kind = script_kind::kXmlTable;
        r.label = "XML Table  " + wanted;
      } else {
        r.kind = ClickRequest::Kind::kRecordView;
      }
      return r;
    }
    ++index;
  }
  return {};  // a table the catalogue does not have: ignored
}

}  // namespace

ClickRequest RequestForCaptions(const ClickCaptions& c, const Catalogue& cat) {
  if (c.is_root) return ClearPane();
  if (c.parent == "Tables") return TableRequest(c, cat);

  const std::string caption(c.caption);
  const std::string owner_dot = std::string(c.grandparent) + "." + caption;
  for (const ScriptRule& rule : kScriptRules) {
    if (At(c, rule.level) != rule.caption) continue;
    const bool object_grants = c.parent == kObjectPrivileges;
    if (rule.object_grants == ObjectGrants::kOnly && !object_grants) continue;
    if (rule.object_grants == ObjectGrants::kNot && object_grants) continue;
    switch (rule.form) {
      case KeyForm::kOwnerDotCaption: return Script(rule.kind, std::string(rule.label_prefix) + owner_dot, owner_dot);
      case KeyForm::kCaption: return Script(rule.kind, caption, caption);
      case KeyForm::kGrantOfUser: return Script(rule.kind, owner_dot, owner_dot);
      case KeyForm::kGrantOfRole: return Script(rule.kind, caption, owner_dot);
    }
  }
  if (c.great_grandparent == "XML Schema" && c.parent == "XML URL") {
    return Script(script_kind::kXmlSchema, caption, caption);
  }
  if (c.parent == "Constraints") {
    for (const ConstraintRule& rule : kConstraintRules) {
      if (!c.caption.starts_with(rule.first_letter)) continue;
      const std::string name = caption.substr(std::min(rule.caption_prefix_length, caption.size()));
      return Script(rule.kind, std::string(rule.label_prefix) + name, caption);
    }
  }
  return ClearPane();
}

ClickRequest RequestForClick(const ObjectTree& tree, NodeId node, const Catalogue& cat) {
  if (cat.ObjectsOfKind(ObjectKind::kTable).empty() || tree.node(tree.root()).children.empty()) return {};
  ClickCaptions c;
  c.caption = tree.node(node).caption;
  c.parent = tree.AncestorCaption(node, 1);
  c.grandparent = tree.AncestorCaption(node, 2);
  c.great_grandparent = tree.AncestorCaption(node, 3);
  c.is_root = node == tree.root();
  return RequestForCaptions(c, cat);
}

}  // namespace quillon
