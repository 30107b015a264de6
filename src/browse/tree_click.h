// What a click on a caption of the object tree asks for: the record view of
// a table, the script of another object, or only an empty right pane.
//
// The request follows from captions alone: the node's own, its parent's (P),
// grandparent's (G) and great-grandparent's (GG). A table (P is "Tables") is
// found in the catalogue's table list by G + "." + caption, and its position
// there is what the record view starts from; an XMLType table (recognised
// as the table DDL recognises it) shows its table script instead. Other objects map to a script kind by the folder
// they sit in (see kScriptRules in tree_click.cpp), with a label for the
// script pane and the key the script generator looks the object up by.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "browse/object_tree.h"
#include "reader/catalogue.h"

namespace quillon {

// Script kinds (ScriptObjectKind).
namespace script_kind {
inline constexpr int kIndex = 1;
inline constexpr int kCluster = 2;
inline constexpr int kView = 3;
inline constexpr int kSynonym = 4;
inline constexpr int kSequence = 5;
inline constexpr int kProcedure = 6;
inline constexpr int kFunction = 7;
inline constexpr int kPackage = 8;
inline constexpr int kPackageBody = 9;
inline constexpr int kTrigger = 10;
inline constexpr int kType = 11;
inline constexpr int kTypeBody = 12;
inline constexpr int kKeyConstraint = 13;     // check, primary key, unique key
inline constexpr int kForeignKey = 14;
inline constexpr int kMaterializedView = 15;
inline constexpr int kMaterializedViewLog = 16;
inline constexpr int kDatabaseLink = 17;
inline constexpr int kUserGrant = 18;          // a role or system privilege of a user
inline constexpr int kUserObjectGrant = 19;
inline constexpr int kRoleGrant = 20;
inline constexpr int kRoleObjectGrant = 21;
inline constexpr int kXmlSchema = 22;
inline constexpr int kXmlTable = 2525;         // the DDL of an XMLType table
}  // namespace script_kind

struct ClickRequest {
  enum class Kind : std::uint8_t {
    kNothing,        // the click is ignored
    kClearPane,      // the right pane is emptied, nothing starts
    kRecordView,     // the rows of the table at table_index
    kScriptPreview,  // the script of script_kind for key
  };
  Kind kind = Kind::kNothing;
  std::size_t table_index = 0;  // position in the catalogue's table list (kRecordView, XML tables)
  int script_kind = 0;
  std::string label;            // ScriptObjectLabel
  std::string key;              // ScriptBuffer: the object the generator looks up

  bool operator==(const ClickRequest&) const = default;
};

// The captions a click is decided by.
struct ClickCaptions {
  std::string_view caption;
  std::string_view parent;
  std::string_view grandparent;
  std::string_view great_grandparent;
  bool is_root = false;
};

// The request for a click on a node with these captions.
ClickRequest RequestForCaptions(const ClickCaptions& captions, const Catalogue& catalogue);

// The request for a click on a node of the tree. Nothing happens when the
// catalogue has no tables or the root has no children.
ClickRequest RequestForClick(const ObjectTree& tree, NodeId node, const Catalogue& catalogue);

}  // namespace quillon
