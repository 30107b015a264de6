#include "repair/trigger_ddl.h"

#include "reader/catalogue_view_security.h"
#include "repair/code_ddl.h"
#include "repair/quoting.h"
#include "repair/system_schemas.h"

namespace quillon::repair {

namespace {

// TRIGGER$.PROPERTY bits.
constexpr std::uint32_t kTriggerOnNestedTable = 0x20;

std::string_view Timing(std::uint32_t type) {
  switch (type) {
    case 0:
    case 1: return "BEFORE ";
    case 2:
    case 3: return "AFTER ";
    case 4: return "INSTEAD OF ";
    default: return {};
  }
}

bool RowLevel(std::uint32_t type) { return type == 1 || type == 3 || type == 4; }

std::string Events(const TriggerRecord& t) {
  std::string out;
  for (const auto& [on, word] : {std::pair{t.fires_on_insert, "INSERT"}, std::pair{t.fires_on_update, "UPDATE"},
                                 std::pair{t.fires_on_delete, "DELETE"}}) {
    if (!on) continue;
    if (!out.empty()) out += " OR ";
    out += word;
  }
  return out;
}

std::string WithoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return std::string(s);
}

// A referencing name as the dictionary keeps it, defaulted when NULL.
std::string ReferencingName(const std::string& name, std::string_view standard) {
  return name.empty() ? std::string(standard) : name;
}

// The name of the nested-table column a trigger is defined on (TRIGGER$
// NTTRIGCOL is its INTCOL# in the view), or nullptr.
const ColumnInfo* NestedColumn(const Catalogue& c, const TriggerRecord& t) {
  if (t.nested_column == 0) return nullptr;
  for (const ColumnInfo& col : c.columns.All<0>(t.base_object)) {
    if (col.internal_column == t.nested_column) return &col;
  }
  return nullptr;
}

// REFERENCING of a row trigger. OLD and NEW are written together whenever
// either is renamed: a body that uses the other name must still compile.
// PARENT names the row of the parent table, and only a trigger on a
// nested-table column has one (on a table or view Oracle leaves PARENT
// undefined). So it is always written for those, together with OLD and NEW;
// for any other trigger only when it was renamed, which the source database
// accepted when the trigger was made, so that the statement keeps what the
// dictionary records. An unwritable renamed PARENT of such a trigger is
// dropped rather than losing the trigger: its body cannot refer to it.
void AppendReferencing(SqlBuilder& sql, const TriggerRecord& t, bool on_nested_table) {
  const std::string old_name = ReferencingName(t.old_name, "OLD");
  const std::string new_name = ReferencingName(t.new_name, "NEW");
  const std::string parent_name = ReferencingName(t.parent_name, "PARENT");
  const bool parent = on_nested_table || (parent_name != "PARENT" && QuoteIdent(parent_name).ok());
  if (!parent && old_name == "OLD" && new_name == "NEW") return;
  sql.Raw("\n  REFERENCING OLD AS ").Ident(old_name).Raw(" NEW AS ").Ident(new_name);
  if (parent) sql.Raw(" PARENT AS ").Ident(parent_name);
}

}  // namespace

void CreateTriggers(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kTrigger)) {
    if (only && o.object_number != *only) continue;
    if (o.owner == "SYS" || o.name == "NO_VM_CREATE" || o.name == "NO_VM_DROP") continue;
    const StatementNote note{std::string(kPhaseTrigger), "Trigger " + o.owner + "." + o.name, IsBuiltinUser(o.owner)};
    const TriggerRecord* t = c.triggers.First<0>(o.object_number);
    if (t == nullptr) {
      sink.Skipped(note, "its TRIGGER$ row is not in the dictionary");
      continue;
    }
    if (t->body.find_first_not_of(" \t\r\n") == std::string::npos) {
      sink.Skipped(note, "its action text is not in the dictionary");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE TRIGGER ").Ident(o.owner).Raw(".").Ident(o.name);
    const std::string events = Events(*t);
    if (!events.empty()) {
      const std::string_view timing = Timing(t->type);
      if (timing.empty()) {
        sink.Skipped(note, "its trigger type " + std::to_string(t->type) + " is not one Oracle knows");
        continue;
      }
      const ObjectRecord* base = c.Object(t->base_object);
      if (base == nullptr) {
        sink.Skipped(note, "its table or view " + NumberedName(t->base_object) + " is not in the dictionary");
        continue;
      }
      sql.Raw("\n").Raw(timing).Raw(events).Raw(" ON ");
      // A trigger on a nested-table column of a view fires for the rows of
      // that column: ON NESTED TABLE "C" OF the view.
      const bool on_nested_table = (t->property & kTriggerOnNestedTable) != 0;
      if (on_nested_table) {
        const ColumnInfo* column = NestedColumn(c, *t);
        if (column == nullptr) {
          sink.Skipped(note, "its nested-table column " + std::to_string(t->nested_column) + " of " +
                                 PrintableName(base->owner + "." + base->name) + " is not in the dictionary");
          continue;
        }
        sql.Raw("NESTED TABLE ").Ident(column->name).Raw(" OF ");
      }
      sql.Ident(base->owner).Raw(".").Ident(base->name);
      if (RowLevel(t->type) || on_nested_table) {
        AppendReferencing(sql, *t, on_nested_table);
        sql.Raw("\n  FOR EACH ROW");
        const std::string when = WithoutTrailingBlanks(t->when_clause);
        if (!when.empty()) sql.Raw("\n  WHEN (").Raw(when).Raw(")");
      }
    } else {
      // The description opens with the trigger's name as it was written
      // (perhaps with its schema); the rest is the event clause.
      const std::string_view text = t->definition;
      std::size_t pos = text.find_first_not_of(" \t\r\n");
      std::size_t end = pos == std::string_view::npos ? pos : NameEnd(text, pos);
      if (end != std::string_view::npos && end < text.size() && text[end] == '.') end = NameEnd(text, end + 1);
      const std::string rest = end == std::string_view::npos ? std::string() : WithoutTrailingBlanks(text.substr(end));
      if (rest.find_first_not_of(" \t\r\n") == std::string::npos) {
        sink.Skipped(note, "its description is not in the dictionary");
        continue;
      }
      sql.Raw(rest);
    }
    sql.Raw("\n").Raw(WithoutTrailingBlanks(t->body));
    if (!sql.ok()) {
      sink.Skipped(note, sql.reason());
      continue;
    }
    Statement s = sql.Build(note, StatementKind::kPlsqlUnit);
    if (!IsSystemSchema(o.owner)) s.query_file = std::string(kQueryOfTrigger);
    s.retry_when_failed = true;
    sink.Accept(s);
    if (t->enabled == 0) {
      SqlBuilder disable;
      disable.Raw("ALTER TRIGGER ").Ident(o.owner).Raw(".").Ident(o.name).Raw(" DISABLE");
      if (!disable.ok()) continue;
      Statement d = disable.Build(note);
      // Run again with the trigger when that failed the first time.
      d.retry_when_failed = true;
      sink.Accept(d);
    }
  }
}

}  // namespace quillon::repair
