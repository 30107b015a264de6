// TRIGGER$ and the source lines of stored code (SOURCE$).
#include "reader/dictionary_kinds.h"

namespace quillon {

namespace {

// TRIGGER$ in stored order: ACTION# (a LONG) is stored last, so ACTIONSIZE,
// ENABLED and PROPERTY follow WHENCLAUSE directly, and REFPRTNAME (the
// eighteenth column as declared, in every release) is stored seventeenth.
namespace trigger {
constexpr std::size_t kObj = 1, kType = 2, kUpdate = 3, kInsert = 4, kDelete = 5, kBaseObject = 6, kOldName = 7,
                      kNewName = 8, kDefinition = 9, kWhen = 10, kEnabled = 12, kProperty = 13, kNestedColumn = 15,
                      kParentName = 17;
}
namespace source {
constexpr std::size_t kObj = 1, kLine = 2, kText = 3;
}

}  // namespace

void ParseTriggerRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < trigger::kProperty || row.IsNull(trigger::kObj)) return;
  TriggerRecord t;
  t.object_number = row.Unsigned(trigger::kObj);
  t.type_code = row.Packed(trigger::kType);
  t.update_code = row.Packed(trigger::kUpdate);
  t.insert_code = row.Packed(trigger::kInsert);
  t.delete_code = row.Packed(trigger::kDelete);
  t.base_object = row.Unsigned(trigger::kBaseObject);
  t.old_name = reader.Text(row, trigger::kOldName);
  t.new_name = reader.Text(row, trigger::kNewName);
  t.definition = reader.Text(row, trigger::kDefinition);
  t.when_clause = reader.Text(row, trigger::kWhen);
  t.enabled = row.Unsigned(trigger::kEnabled);
  t.property = row.Unsigned(trigger::kProperty);
  // Both may be missing from a short (damaged) row: no nested-table column,
  // and the PARENT name left to its default.
  t.nested_column = row.Unsigned(trigger::kNestedColumn);
  t.parent_name = reader.Text(row, trigger::kParentName);
  const ReleaseLayout& layout = LayoutFor(reader.release());
  const std::size_t count = row.column_count();
  if (count == layout.trigger_columns || (layout.trigger_columns_older != 0 && count == layout.trigger_columns_older)) {
    t.body = reader.Text(row, count);
  }
  t.type = row.Unsigned(trigger::kType);
  t.fires_on_insert = row.Integer(trigger::kInsert).value_or(0) != 0;
  t.fires_on_update = row.Integer(trigger::kUpdate).value_or(0) != 0;
  t.fires_on_delete = row.Integer(trigger::kDelete).value_or(0) != 0;
  reader.catalogue.triggers.Append(std::move(t));
}

void ParseSourceRow(DictionaryReader& reader, const DictionaryRow& row) {
  // A NULL SOURCE is an empty line: the row then stores two columns.
  if (row.column_count() < source::kLine || row.column_count() > source::kText || row.IsNull(source::kObj)) return;
  SourceLineRecord s;
  s.object_number = row.Unsigned(source::kObj);
  s.line_text = row.NumberText(source::kLine);
  s.line = row.Unsigned(source::kLine);
  s.text = reader.Text(row, source::kText);
  reader.catalogue.source_lines.Append(std::move(s));
}

}  // namespace quillon
