#include "app/script_preview.h"

#include <string_view>

#include "reader/datafile.h"
#include "repair/object_ddl.h"
#include "repair/statement_sink.h"

namespace quillon::app {

namespace {

// The OBJ$ kind of each script kind whose object is found by owner and name.
std::optional<ObjectKind> ObjectKindOf(int kind) {
  switch (kind) {
    case script_kind::kView: return ObjectKind::kView;
    case script_kind::kSynonym: return ObjectKind::kSynonym;
    case script_kind::kSequence: return ObjectKind::kSequence;
    case script_kind::kProcedure: return ObjectKind::kProcedure;
    case script_kind::kFunction: return ObjectKind::kFunction;
    case script_kind::kPackage: return ObjectKind::kPackage;
    case script_kind::kPackageBody: return ObjectKind::kPackageBody;
    case script_kind::kTrigger: return ObjectKind::kTrigger;
    case script_kind::kType: return ObjectKind::kType;
    case script_kind::kTypeBody: return ObjectKind::kTypeBody;
    case script_kind::kIndex: return ObjectKind::kIndex;
    case script_kind::kCluster: return ObjectKind::kCluster;
    default: return std::nullopt;
  }
}

// The tree lists an owner's objects under the owner's name without regard
// to case, so the owner is compared the same way here.
std::optional<std::uint32_t> FindOwned(const Catalogue& c, ObjectKind kind, std::string_view owner,
                                       std::string_view name) {
  for (const ObjectRecord& o : c.ObjectsOfKind(kind)) {
    if (o.name == name && EqualsIgnoreCase(o.owner, owner)) return o.object_number;
  }
  return std::nullopt;
}

}  // namespace

ScriptTarget ResolveScriptTarget(const ObjectTree& tree, NodeId node, const ClickRequest& request,
                                 const Catalogue& c) {
  ScriptTarget t;
  t.kind = request.script_kind;
  t.label = request.label;
  const std::string caption = tree.node(node).caption;
  if (const std::optional<ObjectKind> kind = ObjectKindOf(request.script_kind)) {
    t.owner = std::string(tree.AncestorCaption(node, 2));
    t.name = caption;
    t.object_number = FindOwned(c, *kind, t.owner, t.name);
    return t;
  }
  switch (request.script_kind) {
    case script_kind::kXmlTable: {
      std::size_t position = 0;
      for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kTable)) {
        if (position++ == request.table_index) {
          t.object_number = o.object_number;
          break;
        }
      }
      break;
    }
    case script_kind::kMaterializedView:
      // Captions are owner + "." + name.
      for (const MaterializedViewRecord& m : c.materialized_views) {
        const ObjectRecord* o = c.Object(m.object_number);
        if (o && o->owner + "." + o->name == caption) {
          t.object_number = m.object_number;
          break;
        }
      }
      break;
    case script_kind::kMaterializedViewLog:
      // Captions are the master's owner + "." + the master's name.
      for (const MaterializedViewLogRecord& l : c.materialized_view_logs) {
        if (l.master_owner + "." + l.master == caption) {
          t.owner = l.master_owner;
          t.name = l.master;
          break;
        }
      }
      break;
    case script_kind::kDatabaseLink:
      // Links sit under their owner's node.
      t.owner = std::string(tree.AncestorCaption(node, 1));
      t.name = caption;
      break;
    case script_kind::kXmlSchema:
      t.name = caption;
      break;
    case script_kind::kUserGrant:
    case script_kind::kRoleGrant:
    case script_kind::kUserObjectGrant:
    case script_kind::kRoleObjectGrant:
      // Users (or Roles) > grantee > "Roles Granted", "System Privileges
      // Granted" or "Object Privileges Granted" > grant.
      t.name = std::string(tree.AncestorCaption(node, 2));
      break;
    case script_kind::kKeyConstraint:
    case script_kind::kForeignKey: {
      // Owner > Tables > table > Constraints > "KIND NAME": the caption's
      // first word is the kind the tree put in front of the name.
      const std::size_t blank = caption.find(' ');
      t.name = blank == std::string::npos ? caption : caption.substr(blank + 1);
      t.owner = std::string(tree.AncestorCaption(node, 4));
      t.object_number = FindOwned(c, ObjectKind::kTable, t.owner, tree.AncestorCaption(node, 2));
      break;
    }
    default:
      break;
  }
  return t;
}

std::string GenerateScriptPreview(const Catalogue& c, const ScriptTarget& t) {
  repair::PreviewSink sink;
  switch (t.kind) {
    case script_kind::kMaterializedViewLog:
      if (!t.name.empty()) repair::GenerateMaterializedViewLogDdl(c, t.owner, t.name, sink);
      break;
    case script_kind::kDatabaseLink:
      repair::GenerateDatabaseLinkDdl(c, t.owner, t.name, sink);
      break;
    case script_kind::kXmlSchema:
      repair::GenerateXmlSchemaDdl(c, t.name, sink);
      break;
    case script_kind::kUserGrant:
    case script_kind::kRoleGrant:
      repair::GenerateAccountDdl(c, t.name, t.kind == script_kind::kRoleGrant, sink);
      break;
    case script_kind::kUserObjectGrant:
    case script_kind::kRoleObjectGrant:
      repair::GenerateObjectGrantDdl(c, t.name, t.kind == script_kind::kRoleObjectGrant, sink);
      break;
    case script_kind::kKeyConstraint:
    case script_kind::kForeignKey:
      if (t.object_number) repair::GenerateConstraintDdl(c, *t.object_number, t.name, sink);
      break;
    default:
      if (t.object_number) repair::GenerateObjectDdl(c, *t.object_number, sink);
      break;
  }
  std::string text = sink.Text(t.label);
  // Nothing after the header and its empty line: the closing "/" alone.
  if (text.ends_with("\n\n")) text += "/\n";
  return text;
}

}  // namespace quillon::app
