// The script preview of an object other than a plain table: which object a
// press on a tree caption names, and the statements the repair would run
// for it, as the script view shows them.
//
// The target is worked out on the GUI thread from the tree (the captions of
// the node and its ancestors) and the catalogue; the text is generated from
// the target alone, with no effect beyond the returned text, so it may run
// on the worker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "browse/object_tree.h"
#include "browse/tree_click.h"
#include "reader/catalogue.h"

namespace quillon::app {

// The object a script is asked for.
struct ScriptTarget {
  int kind = 0;                               // script_kind
  std::string label;                          // ScriptObjectLabel
  std::optional<std::uint32_t> object_number; // OBJ$ objects and XMLType tables
  std::string owner;                          // links, materialized view logs
  std::string name;                           // link name, log master, schema URL
};

// The target of a script request for the node that was pressed.
ScriptTarget ResolveScriptTarget(const ObjectTree& tree, NodeId node, const ClickRequest& request,
                                 const Catalogue& catalogue);

// The text of the script view: the header line naming the object, an empty
// line and the statements, each followed by a line holding "/". An object
// that gives no statements shows the header, the empty line and one "/".
std::string GenerateScriptPreview(const Catalogue& catalogue, const ScriptTarget& target);

}  // namespace quillon::app
