#include "repair/object_shape.h"

#include <algorithm>
#include <utility>

#include "reader/packed_codes.h"
#include "repair/quoting.h"
#include "rows/value_texts.h"

namespace quillon::repair {

namespace {

ObjectShape NotWritten(std::string why) {
  ObjectShape shape;
  shape.why = std::move(why);
  return shape;
}

// The shape of the object whose attribute columns are named path.X.
ObjectShape ShapeOf(const Catalogue& catalogue, const TableDefinition& table, const ColumnDefinition& column,
                    const std::vector<std::string>& path,
                    const std::map<std::uint32_t, std::size_t>& layout_by_internal) {
  if (!column.user_type) return NotWritten("its type is not known");
  const Quoted owner = QuoteIdent(column.user_type->owner);
  const Quoted type = QuoteIdent(column.user_type->name);
  if (!owner || !type) return NotWritten("its type's name cannot be quoted");
  std::vector<std::pair<std::uint32_t, ObjectShape::Attribute>> found;
  for (const ColumnDefinition& c : table.columns) {
    if (!c.attribute_name || c.internal_column == column.internal_column) continue;
    const std::vector<std::string> parts = AttributeNameParts(*c.attribute_name);
    if (parts.size() != path.size() + 1 || !std::equal(path.begin(), path.end(), parts.begin())) continue;
    const auto at = layout_by_internal.find(c.internal_column);
    if (at == layout_by_internal.end()) return NotWritten("an attribute is not stored");
    ObjectShape::Attribute attribute{at->second, {}};
    if (c.type_code == type_code::kObject) {
      ObjectShape embedded = ShapeOf(catalogue, table, c, parts, layout_by_internal);
      if (embedded.constructor.empty()) return embedded;
      attribute.object.push_back(std::move(embedded));
    } else if (c.type_code == type_code::kVarray || c.type_code == type_code::kNestedTable ||
               c.type_code == type_code::kClob || c.type_code == type_code::kBlob ||
               c.type_code == type_code::kBfile) {
      attribute.by_caller = true;
    } else if (c.type_code == type_code::kRef || IsLargeType(c.type_code)) {
      return NotWritten("it has a REF attribute, or one of a type no attribute has");
    }
    found.emplace_back(c.internal_column, std::move(attribute));
  }
  const ObjectRecord* type_object = catalogue.Object(column.user_type->object_number);
  const TypeRecord* latest = type_object ? catalogue.LatestTypeVersion(type_object->oid) : nullptr;
  if (found.empty() || (latest && latest->attribute_count != found.size())) {
    return NotWritten("its attribute columns are not those of its type");
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  ObjectShape shape;
  for (auto& [internal, attribute] : found) shape.attributes.push_back(std::move(attribute));
  shape.constructor = owner.text() + "." + type.text();
  return shape;
}

}  // namespace

ObjectShape ObjectShapeOf(const Catalogue& catalogue, const TableDefinition& table, const ColumnDefinition& column,
                          const std::map<std::uint32_t, std::size_t>& layout_by_internal) {
  return ShapeOf(catalogue, table, column, {column.name}, layout_by_internal);
}

std::vector<std::size_t> CallerAttributes(const ObjectShape& shape) {
  std::vector<std::size_t> out;
  for (const ObjectShape::Attribute& a : shape.attributes) {
    if (a.by_caller) out.push_back(a.index);
    for (const ObjectShape& embedded : a.object) {
      const std::vector<std::size_t> inner = CallerAttributes(embedded);
      out.insert(out.end(), inner.begin(), inner.end());
    }
  }
  return out;
}

bool AppendObjectItem(const ObjectShape& shape, const TableLayout& layout, std::span<const StoredValue> values,
                      DecodeContext& context, ValueItem& item, const CallerAttributeItem& by_caller) {
  item.sql += shape.constructor;
  item.sql += '(';
  for (std::size_t a = 0; a < shape.attributes.size(); ++a) {
    const ObjectShape::Attribute& attribute = shape.attributes[a];
    if (a > 0) item.sql += ", ";
    if (attribute.index >= values.size() || attribute.index >= layout.columns().size()) return false;
    if (!attribute.object.empty()) {
      if (values[attribute.index].is_null) {
        item.sql += "NULL";
      } else if (!AppendObjectItem(attribute.object.front(), layout, values, context, item, by_caller)) {
        return false;
      }
      continue;
    }
    ValueItem value;
    if (attribute.by_caller) {
      if (!by_caller) return false;
      value = by_caller(attribute.index);
    } else {
      value = ScalarValueItem(*layout.columns()[attribute.index], values[attribute.index], context);
    }
    if (value.lost) return false;
    item.sql += value.sql;
    for (Value& v : value.values) item.values.push_back(std::move(v));
  }
  item.sql += ')';
  return true;
}

}  // namespace quillon::repair
