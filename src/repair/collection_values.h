// VARRAY and nested-table values of row inserts: each value goes in through
// its type's constructor over its elements, "OWNER"."TYPE"(e1, e2, ...).
//
// A VARRAY's elements come from its stored image (VarrayElements), which a
// VARRAY stored as a LOB keeps as the LOB's data (the caller reads it); a nested
// table's from the rows of its storage table, under the identifier the
// parent row stores (the storage table's NESTED_TABLE_ID). Elements are
// - scalars, bound like a column of the element type;
// - objects: the element type's constructor over the attributes,
//   "O"."LINE_T"(?, ?, NULL), or NULL for an element that is NULL as a
//   whole. A nested table's come from the storage table's attribute
//   columns (its row object, where it has storage, is the element's null
//   indicator; an object attribute is an object column of its own, made as
//   object_shape.h says; a LOB or BFILE attribute is made by the caller, a
//   LOB's bytes waiting in the spill folder); a VARRAY's from each
//   element's own image, read with the element type's attributes (scalars;
//   objects written in line, NULL as a whole or made through their own
//   constructors; collections, each an image of its own);
// - collections: a nested table's storage table's COLUMN_VALUE is a VARRAY
//   or a nested table of its own, a VARRAY's element an image of its own,
//   made the same way, level by level.
// A collection with an element that cannot be read is written as NULL and
// said so, never as a shorter collection.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "reader/block_source.h"
#include "reader/catalogue_views.h"
#include "reader/engine.h"
#include "repair/insert_rows.h"
#include "rows/row_reader.h"

namespace quillon::repair {

// The item of a LOB or BFILE attribute of a nested table's element, made
// by the caller from the storage table's row (lost: it cannot be made).
using StorageAttributeItem = std::function<ValueItem(const TableRow&, const ColumnInfo&, const StoredValue&)>;

class CollectionColumn {
 public:
  // The column with this INTCOL# of the table (a VARRAY or nested-table
  // column). depth counts the collection levels above this one.
  CollectionColumn(const COracleRecoveryTools& engine, const TableDefinition& table, std::uint32_t internal_column,
                   int depth = 0);

  // A collection of the type with this TOID inside an image (an element of
  // a VARRAY, or a collection attribute of its object elements): read from
  // its own image, whatever kind of collection it is.
  CollectionColumn(const COracleRecoveryTools& engine, const std::string& type_oid, std::uint32_t table, int depth);

  // Nested tables: reads the storage table's rows (and those of the
  // levels below), grouped by collection. Called once, before the parent's
  // rows are read.
  void ReadStorage(COracleRecoveryTools& engine, BlockSource& source, const StorageAttributeItem& by_caller = {});

  // The item of one value. A value that cannot be made whole gives a lost
  // item (NULL) and *note says why, naming the value as `what`.
  ValueItem Item(const StoredValue& value, DecodeContext& context, const std::string& what, std::string* note) const;

  // Why no value of this column can be written; empty when they can.
  const std::string& unwritable() const { return why_; }
  // A VARRAY stored as a LOB (it has a LOB$ row): the row holds a LOB
  // locator, and the LOB's bytes are the image Item takes.
  bool stored_as_lob() const { return stored_as_lob_; }

 private:
  struct NestedSet {
    std::vector<ValueItem> elements;
    bool broken = false;  // an element could not be read
  };
  class StorageRows;

  // The element type's constructor, "OWNER"."TYPE"; false (and why_ set)
  // when the type or its name is not usable.
  bool SetElementConstructor(const Catalogue& c, const std::string& element_type_oid);
  // The elements of a collection read from its image: scalars, objects, or
  // collections (each an image of its own).
  void ImageElements(const COracleRecoveryTools& engine, const CollectionRecord& collection, std::uint32_t table,
                     int depth);
  void SetScalarElement(const COracleRecoveryTools& engine, const CollectionRecord& collection, std::uint32_t table);
  // A VARRAY of objects: the element type and its attributes.
  void ReadImageObjectType(const COracleRecoveryTools& engine, const CollectionRecord& collection,
                           std::uint32_t table, int depth);
  // Appends the attributes of a type's latest version to the image
  // attributes, an object attribute followed by its own; false (why_ set)
  // when they are not all known or of a type this builder does not write.
  bool AddImageAttributes(const COracleRecoveryTools& engine, const std::string& type_oid, std::uint32_t table,
                          int depth);
  // One element of a VARRAY of objects, from its image.
  ValueItem ImageObjectItem(const StoredValue& element, DecodeContext& context) const;
  // The attributes [begin, end) of an element's image values, into item.
  bool AppendImageAttributes(const std::vector<StoredValue>& values, std::size_t begin, std::size_t end,
                             ValueItem& item, DecodeContext& context) const;

  std::uint32_t type_code_ = 0;  // VARRAY or nested table
  std::string constructor_;      // "OWNER"."TYPE"
  std::string why_;
  ColumnInfo element_;           // scalar elements, as a column of the element type
  // Object elements: the element type's constructor and the INTCOL#s of
  // the storage table's attribute columns, in attribute order; a VARRAY's:
  // the attributes, as columns of their types, in attribute order, each
  // object attribute followed by its own attributes (image_in_line_ says
  // how many, image_constructors_ gives its type's constructor).
  std::string element_constructor_;
  std::vector<std::uint32_t> attribute_columns_;
  std::vector<ColumnInfo> image_attributes_;
  std::vector<std::size_t> image_in_line_;
  std::vector<std::string> image_constructors_;
  std::vector<std::unique_ptr<CollectionColumn>> image_collections_;  // a collection attribute's reader
  // Elements that are collections: the storage table's COLUMN_VALUE (nested
  // tables), or each element's own image (VARRAYs).
  std::unique_ptr<CollectionColumn> inner_;
  // Nested tables: the storage table, and its rows by collection
  // identifier (the 16 bytes of NESTED_TABLE_ID).
  std::uint32_t storage_ = 0;
  std::map<std::string, NestedSet> sets_;
  // The storage table could not be read whole: a collection without rows
  // there may have lost them, and is not written as empty.
  bool incomplete_ = false;
  bool stored_as_lob_ = false;
};

}  // namespace quillon::repair
