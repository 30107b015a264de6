// Objects defined by text: view texts (VIEW$), typed views (TYPED_VIEW$),
// synonyms (SYN$), sequences (SEQ$), triggers (TRIGGER$) and the source
// lines of stored code (SOURCE$).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// Texts a NULL MINVALUE and MAXVALUE of a sequence are kept as.
inline constexpr std::string_view kNullMinValueText = "0xFF";
inline constexpr std::string_view kNullMaxValueText = "0xff";

struct ViewTextRecord {
  std::uint32_t object_number = 0;  // OBJ#
  std::string text;                 // TEXT, joined over its row pieces
  std::uint32_t column_count = 0;   // COLS
};

struct TypedViewRecord {
  std::uint32_t object_number = 0;  // OBJ#
  std::string type_owner;           // TYPEOWNER
  std::string type_name;            // TYPENAME
  std::string oid_text;             // OIDTEXT: the attributes of the object identifier
};

struct SynonymRecord {
  std::uint32_t object_number = 0;  // OBJ#
  std::string link;                 // NODE: the database link of a remote target
  std::string target_owner;         // OWNER
  std::string target_name;          // NAME
};

struct SequenceRecord {
  std::uint32_t object_number = 0;  // OBJ#
  std::string increment;            // INCREMENT$ as number text
  std::string min_value;            // number text, kNullMinValueText when NULL
  std::string max_value;            // number text, kNullMaxValueText when NULL
  std::uint16_t cycle = 0;          // CYCLE# as stored (0x80: no cycle)
  std::uint16_t order = 0;          // ORDER$ as stored
  std::string cache;                // CACHE as number text ("0.0000": no cache)
  std::string high_water;           // HIGHWATER as number text
  bool cycles = false;              // CYCLE# decoded
  bool ordered = false;             // ORDER$ decoded
};

struct TriggerRecord {
  std::uint32_t object_number = 0;   // OBJ#
  std::uint32_t type_code = 0;       // TYPE# packed: 0 before statement .. 4 instead of
  std::uint32_t update_code = 0;     // UPDATE$ packed
  std::uint32_t insert_code = 0;     // INSERT$ packed
  std::uint32_t delete_code = 0;     // DELETE$ packed
  std::uint32_t base_object = 0;     // BASEOBJECT
  std::string old_name;              // REFOLDNAME
  std::string new_name;              // REFNEWNAME
  std::string definition;            // DEFINITION: the trigger's description
  std::string when_clause;           // WHENCLAUSE
  std::uint32_t enabled = 0;         // ENABLED: 1 enabled
  std::uint32_t property = 0;        // PROPERTY
  std::uint32_t nested_column = 0;   // NTTRIGCOL: INTCOL# of the nested-table column (0: none)
  std::string parent_name;           // REFPRTNAME; empty when NULL or not in the row
  std::string body;                  // ACTION#, with the line ends rewritten for the release
  std::uint32_t type = 0;            // TYPE# decoded
  bool fires_on_insert = false;
  bool fires_on_update = false;
  bool fires_on_delete = false;
};

// One line of stored code (the rows of the segment read as kind 5: SOURCE$).
struct SourceLineRecord {
  std::uint32_t object_number = 0;  // OBJ#
  std::string line_text;            // LINE as number text
  std::uint32_t line = 0;           // LINE decoded
  std::string text;                 // SOURCE
};

// The trigger body as the code generators write it. Release 9: every "--"
// comment becomes "/* " + the comment up to and including its line feed +
// "*/ " + "\r\n"; the later releases get "\r\n" before every line feed and a
// blank before every blank.
std::string TriggerBodyText(std::string_view body, int release_code);

}  // namespace quillon
