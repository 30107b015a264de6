// How an object value is re-made for an INSERT from the columns a table
// stores it in: its type's constructor over its attributes, in attribute
// order, "O"."PLACE_T"(?, "O"."GEO_T"(?, ?), TO_DATE(...)).
//
// Each attribute of an object column is a hidden column of its own, named in
// ATTRCOL$ by its path ("PLACE"."NAME"). An attribute that is an object
// itself is a hidden column holding its null image (NULL when that object is
// atomically NULL), with its own attributes after it ("PLACE"."AT"."LAT").
// A VARRAY, nested-table, LOB or BFILE attribute is a hidden column holding
// what a column of its type holds (the VARRAY's image, the nested table's
// identifier in its storage table, a LOB locator, a BFILE locator), made by
// the caller as such a column is. An object whose attribute columns are not
// those of its type (a column lost to damage, the hidden columns a
// substitutable column keeps for subtypes), or that has a REF attribute,
// cannot be written: a constructor with an argument too many or too few is
// refused by Oracle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "reader/catalogue.h"
#include "reader/catalogue_views.h"
#include "repair/insert_rows.h"
#include "rows/table_layout.h"

namespace quillon::repair {

struct ObjectShape {
  struct Attribute {
    std::size_t index = 0;            // layout index: the value, or an embedded object's null image
    std::vector<ObjectShape> object;  // an embedded object: its shape (one element)
    bool by_caller = false;           // a VARRAY, nested table, LOB or BFILE, made by the caller
  };
  std::string constructor;  // "OWNER"."TYPE"; empty: cannot be written, as why says
  std::string why;
  std::vector<Attribute> attributes;
};

// The shape of an object column of the table; layout_by_internal gives the
// layout index of each stored column by its INTCOL#.
ObjectShape ObjectShapeOf(const Catalogue& catalogue, const TableDefinition& table, const ColumnDefinition& column,
                          const std::map<std::uint32_t, std::size_t>& layout_by_internal);

// The layout indexes of the attributes of an object the caller makes, at
// any depth.
std::vector<std::size_t> CallerAttributes(const ObjectShape& shape);

// The item of an attribute the caller makes, by its layout index (lost: it
// cannot be made).
using CallerAttributeItem = std::function<ValueItem(std::size_t index)>;

// Appends the object's constructor over a row's values to item; false (item
// unspecified) when an attribute cannot be read, or is one the caller makes
// and no by_caller is given.
bool AppendObjectItem(const ObjectShape& shape, const TableLayout& layout, std::span<const StoredValue> values,
                      DecodeContext& context, ValueItem& item, const CallerAttributeItem& by_caller = {});

}  // namespace quillon::repair
