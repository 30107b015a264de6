#include "repair/collection_values.h"

#include <algorithm>
#include <map>
#include <utility>

#include "reader/packed_codes.h"
#include "repair/object_shape.h"
#include "repair/quoting.h"
#include "rows/value_texts.h"

namespace quillon::repair {

namespace {

namespace tc = type_code;

// Collections of collections deeper than this are not written (a damaged
// catalogue could also link a storage table to itself).
constexpr int kMaxCollectionDepth = 8;

ValueItem LostCollectionItem() {
  ValueItem item;
  item.sql = "NULL";
  item.lost = true;
  return item;
}

bool IsScalarElementType(std::uint32_t code) {
  return code != 0 && code != tc::kObject && code != tc::kNestedTable && code != tc::kVarray && code != tc::kRef &&
         code != tc::kXmlType && code != tc::kBfile && !IsLargeType(code);
}

// An attribute of a nested table's element that the caller makes from the
// storage table's row: a LOB or a BFILE.
bool IsCallerAttribute(std::uint32_t code) { return code == tc::kClob || code == tc::kBlob || code == tc::kBfile; }

// "OWNER"."TYPE" of the type with this TOID; empty when the type is not
// known or its name cannot be quoted (*known says which).
std::string ConstructorOf(const Catalogue& c, const std::string& type_oid, bool* known) {
  const ObjectRecord* type = c.ObjectWithOid(type_oid);
  *known = type != nullptr;
  if (!type) return {};
  const Quoted owner = QuoteIdent(type->owner);
  const Quoted name = QuoteIdent(type->name);
  if (!owner || !name) return {};
  return owner.text() + "." + name.text();
}

std::string SetKey(ByteView id) { return std::string(reinterpret_cast<const char*>(id.data()), id.size()); }

void AppendElement(ValueItem& collection, ValueItem element) {
  if (collection.sql.back() != '(') collection.sql += ", ";
  collection.sql += element.sql;
  for (Value& v : element.values) collection.values.push_back(std::move(v));
}

}  // namespace

CollectionColumn::CollectionColumn(const COracleRecoveryTools& engine, const TableDefinition& table,
                                   std::uint32_t internal_column, int depth) {
  const ColumnDefinition* d = table.ColumnByInternalNumber(internal_column);
  if (!d || !d->user_type) {
    why_ = "its type is not known";
    return;
  }
  type_code_ = d->type_code;
  const Quoted owner = QuoteIdent(d->user_type->owner);
  const Quoted type = QuoteIdent(d->user_type->name);
  if (!owner || !type) {
    why_ = "its type's name cannot be quoted";
    return;
  }
  const Catalogue& c = engine.catalogue;
  const CollectionRecord* collection = nullptr;
  for (const ColumnTypeRecord& t : c.column_types.All<0>(table.object.object_number)) {
    if (t.internal_column == internal_column) collection = c.collections.First<0>(t.type_oid);
  }
  if (!collection) {
    why_ = "its element type is not known";
    return;
  }
  const std::uint32_t element = collection->element_type_code;
  const bool nested = type_code_ == tc::kNestedTable;
  if (nested) {
    for (const Nsdata& n : c.nested_tables.All<0>(table.object.object_number)) {
      if (n.internal_column == internal_column) storage_ = n.storage_object_number;
    }
    if (storage_ == 0) {
      why_ = "its storage table is not known";
      return;
    }
  }
  constructor_ = owner.text() + "." + type.text();
  if (!nested) {
    for (const LobRecord& lob : c.lobs.All<0>(table.object.object_number)) {
      if (lob.internal_column == internal_column) stored_as_lob_ = true;
    }
  }
  if (!nested) {
    ImageElements(engine, *collection, table.object.object_number, depth);
    return;
  }
  if (IsScalarElementType(element)) {
    SetScalarElement(engine, *collection, table.object.object_number);
    return;
  }
  // Nested tables of objects and of collections: their storage table gives
  // the elements as columns.
  const bool composite = element == tc::kObject || element == tc::kNestedTable || element == tc::kVarray;
  if (!composite) {
    why_ = "its elements are of a type this builder does not write";
    return;
  }
  if (depth >= kMaxCollectionDepth) {
    why_ = "its collections are nested too deeply";
    return;
  }
  const ObjectRecord* storage_object = c.Object(storage_);
  if (!storage_object) {
    why_ = "its storage table is not known";
    return;
  }
  const TableDefinition storage = CatalogueViews(c).Table(*storage_object);
  if (element != tc::kObject) {
    const ColumnDefinition* value = nullptr;
    for (const ColumnDefinition& col : storage.columns) {
      if (col.name == "COLUMN_VALUE") value = &col;
    }
    if (!value || value->type_code != element) {
      why_ = "its storage table has no column of its element type";
      return;
    }
    inner_ = std::make_unique<CollectionColumn>(engine, storage, value->internal_column, depth + 1);
    if (!inner_->why_.empty()) why_ = "its elements cannot be written: " + inner_->why_;
    if (inner_->stored_as_lob_) why_ = "its elements are VARRAYs stored as LOBs";
    return;
  }
  if (!SetElementConstructor(c, collection->element_type_oid)) return;
  // The storage table's own columns, as its CREATE TABLE lists them, are
  // the element type's attributes.
  for (const ColumnDefinition* col : storage.DeclaredColumns()) {
    if (col->is_virtual || col->hidden || col->system_generated || col->segment_column == 0) continue;
    // An object attribute is an object column of the storage table, its
    // own attributes hidden columns after it.
    if (!IsScalarElementType(col->type_code) && col->type_code != tc::kObject && !IsCallerAttribute(col->type_code)) {
      why_ = "an attribute of its element type is of a type this builder does not write";
      return;
    }
    attribute_columns_.push_back(col->internal_column);
  }
  const TypeRecord* record = c.LatestTypeVersion(collection->element_type_oid);
  if (attribute_columns_.empty() || (record && record->attribute_count != attribute_columns_.size())) {
    why_ = "its storage table does not hold every attribute of its element type";
  }
}

CollectionColumn::CollectionColumn(const COracleRecoveryTools& engine, const std::string& type_oid,
                                   std::uint32_t table, int depth) {
  type_code_ = tc::kVarray;  // read from its image, whichever kind of collection it is
  const Catalogue& c = engine.catalogue;
  const CollectionRecord* collection = c.collections.First<0>(type_oid);
  bool known = false;
  constructor_ = ConstructorOf(c, type_oid, &known);
  if (!known || !collection) {
    why_ = "its type is not known";
    return;
  }
  if (constructor_.empty()) {
    why_ = "its type's name cannot be quoted";
    return;
  }
  ImageElements(engine, *collection, table, depth);
}

void CollectionColumn::SetScalarElement(const COracleRecoveryTools& engine, const CollectionRecord& collection,
                                        std::uint32_t table) {
  element_.object_number = table;
  element_.name = "COLUMN_VALUE";
  element_.type_code = collection.element_type_code;
  element_.charset_id = collection.charset_id;
  element_.charset_form = engine.values.IsNational(collection.charset_id) ? 2 : 1;
  element_.data_length = collection.length;
}

void CollectionColumn::ImageElements(const COracleRecoveryTools& engine, const CollectionRecord& collection,
                                     std::uint32_t table, int depth) {
  const std::uint32_t element = collection.element_type_code;
  if (IsScalarElementType(element)) {
    SetScalarElement(engine, collection, table);
    return;
  }
  if (element == tc::kObject) {
    ReadImageObjectType(engine, collection, table, depth);
    return;
  }
  if (element != tc::kVarray && element != tc::kNestedTable) {
    why_ = "its elements are of a type this builder does not write";
    return;
  }
  // Collections as elements: each element is an image of its own.
  if (depth >= kMaxCollectionDepth) {
    why_ = "its collections are nested too deeply";
    return;
  }
  inner_ = std::make_unique<CollectionColumn>(engine, collection.element_type_oid, table, depth + 1);
  if (!inner_->why_.empty()) why_ = "its elements cannot be written: " + inner_->why_;
}

bool CollectionColumn::SetElementConstructor(const Catalogue& c, const std::string& element_type_oid) {
  bool known = false;
  element_constructor_ = ConstructorOf(c, element_type_oid, &known);
  if (!known) {
    why_ = "its element type is not known";
    return false;
  }
  if (element_constructor_.empty()) {
    why_ = "its element type's name cannot be quoted";
    return false;
  }
  return true;
}

void CollectionColumn::ReadImageObjectType(const COracleRecoveryTools& engine, const CollectionRecord& collection,
                                           std::uint32_t table, int depth) {
  if (!SetElementConstructor(engine.catalogue, collection.element_type_oid)) return;
  AddImageAttributes(engine, collection.element_type_oid, table, depth);
}

bool CollectionColumn::AddImageAttributes(const COracleRecoveryTools& engine, const std::string& type_oid,
                                          std::uint32_t table, int depth) {
  const Catalogue& c = engine.catalogue;
  if (depth >= kMaxCollectionDepth) {
    why_ = "the objects of its element type are nested too deeply";
    return false;
  }
  // The attributes of the type's latest version, in attribute order.
  std::uint32_t latest = 0;
  for (const AttributeType& a : c.attributes.All<0>(type_oid)) latest = std::max(latest, a.version);
  std::map<std::uint32_t, const AttributeType*> by_position;
  for (const AttributeType& a : c.attributes.All<0>(type_oid)) {
    if (a.version == latest) by_position.emplace(a.position, &a);
  }
  const TypeRecord* record = c.LatestTypeVersion(type_oid);
  if (by_position.empty() || (record && record->attribute_count != by_position.size()) ||
      by_position.rbegin()->first != by_position.size()) {
    why_ = "the attributes of its element type are not all known";
    return false;
  }
  for (const auto& [position, a] : by_position) {
    const std::size_t entry = image_attributes_.size();
    ColumnInfo attribute;
    attribute.object_number = table;
    attribute.name = a->attribute_name;
    attribute.type_code = a->type_code;
    attribute.charset_id = a->charset_id;
    attribute.charset_form = 1;
    attribute.data_length = a->length;
    image_attributes_.push_back(std::move(attribute));
    image_in_line_.push_back(0);
    image_constructors_.emplace_back();
    image_collections_.emplace_back();
    if (a->type_code == tc::kVarray || a->type_code == tc::kNestedTable) {
      // A collection attribute: an image of its own.
      auto collection = std::make_unique<CollectionColumn>(engine, a->attribute_type_oid, table, depth + 1);
      if (!collection->why_.empty()) {
        why_ = "a collection attribute of its element type cannot be written: " + collection->why_;
        return false;
      }
      image_collections_[entry] = std::move(collection);
    } else if (a->type_code == tc::kObject) {
      // An object attribute: written in line, its attributes after it.
      bool known = false;
      image_constructors_[entry] = ConstructorOf(c, a->attribute_type_oid, &known);
      if (image_constructors_[entry].empty()) {
        why_ = "an object attribute of its element type is of an unknown type";
        return false;
      }
      if (!AddImageAttributes(engine, a->attribute_type_oid, table, depth + 1)) return false;
      image_in_line_[entry] = image_attributes_.size() - entry - 1;
    } else if (!IsScalarElementType(a->type_code)) {
      why_ = "an attribute of its element type is of a type this builder does not write";
      return false;
    }
  }
  return true;
}

ValueItem CollectionColumn::ImageObjectItem(const StoredValue& element, DecodeContext& context) const {
  if (element.is_null) {
    ValueItem null;
    null.sql = "NULL";
    return null;
  }
  const auto attributes = ObjectImageAttributes(element.bytes, image_in_line_);
  ValueItem item;
  item.sql = element_constructor_ + "(";
  if (!attributes || !AppendImageAttributes(*attributes, 0, attributes->size(), item, context)) {
    return LostCollectionItem();
  }
  item.sql += ")";
  return item;
}

bool CollectionColumn::AppendImageAttributes(const std::vector<StoredValue>& values, std::size_t begin,
                                             std::size_t end, ValueItem& item, DecodeContext& context) const {
  for (std::size_t a = begin; a < end && a < values.size();) {
    ValueItem value;
    if (!image_constructors_[a].empty()) {
      if (values[a].is_null) {
        value.sql = "NULL";
      } else {
        value.sql = image_constructors_[a] + "(";
        if (!AppendImageAttributes(values, a + 1, a + 1 + image_in_line_[a], value, context)) return false;
        value.sql += ")";
      }
      AppendElement(item, std::move(value));
      a += 1 + image_in_line_[a];
      continue;
    }
    if (image_collections_[a]) {
      std::string ignored;
      value = image_collections_[a]->Item(values[a], context, {}, &ignored);
    } else {
      ColumnInfo attribute = image_attributes_[a];
      attribute.charset_form = context.IsNational(attribute.charset_id) ? 2 : 1;
      value = ScalarValueItem(attribute, values[a], context);
    }
    if (value.lost) return false;
    AppendElement(item, std::move(value));
    ++a;
  }
  return true;
}

// Gathers the rows of a storage table into collections of element items.
class CollectionColumn::StorageRows final : public RowConsumer {
 public:
  StorageRows(CollectionColumn& owner, COracleRecoveryTools& engine, const TableLayout& layout, std::size_t id,
              std::vector<std::size_t> values, std::vector<ObjectShape> objects, std::optional<std::size_t> row_object,
              const StorageAttributeItem& by_caller)
      : owner_(owner),
        engine_(engine),
        layout_(layout),
        id_(id),
        values_(std::move(values)),
        objects_(std::move(objects)),
        row_object_(row_object),
        by_caller_(by_caller) {}

  bool Row(const TableRow& row) override {
    const StoredValue& id = row.values[id_];
    if (id.is_null) {
      owner_.incomplete_ = true;
      return !engine_.StopRequested();
    }
    NestedSet& set = owner_.sets_[SetKey(id.bytes)];
    ValueItem item = Element(row);
    if (item.lost || row.partial()) set.broken = true;
    set.elements.push_back(std::move(item));
    return !engine_.StopRequested();
  }

 private:
  ValueItem Element(const TableRow& row) {
    if (owner_.inner_) {
      std::string ignored;
      return owner_.inner_->Item(row.values[values_.front()], engine_.values, {}, &ignored);
    }
    if (owner_.element_constructor_.empty()) {
      return ScalarValueItem(owner_.element_, row.values[values_.front()], engine_.values);
    }
    // An atomically NULL element: its null indicator is NULL.
    if (row_object_ && row.values[*row_object_].is_null) {
      ValueItem null;
      null.sql = "NULL";
      return null;
    }
    ValueItem item;
    item.sql = owner_.element_constructor_ + "(";
    for (std::size_t k = 0; k < values_.size(); ++k) {
      const std::size_t index = values_[k];
      ValueItem attribute;
      const ColumnInfo& column = *layout_.columns()[index];
      if (IsCallerAttribute(column.type_code) && !row.values[index].is_null) {
        attribute = by_caller_ ? by_caller_(row, column, row.values[index]) : LostCollectionItem();
      } else if (objects_[k].constructor.empty()) {
        attribute = ScalarValueItem(column, row.values[index], engine_.values);
      } else if (row.values[index].is_null) {  // an atomically NULL object attribute
        attribute.sql = "NULL";
      } else if (!AppendObjectItem(objects_[k], layout_, row.values, engine_.values, attribute)) {
        attribute.lost = true;
      }
      if (attribute.lost) return LostCollectionItem();
      AppendElement(item, std::move(attribute));
    }
    item.sql += ")";
    return item;
  }

  CollectionColumn& owner_;
  COracleRecoveryTools& engine_;
  const TableLayout& layout_;
  std::size_t id_;
  std::vector<std::size_t> values_;  // COLUMN_VALUE, or the attribute columns
  std::vector<ObjectShape> objects_;  // per value: an object attribute's shape (no constructor: a scalar)
  std::optional<std::size_t> row_object_;  // object elements: their null indicator, when stored
  const StorageAttributeItem& by_caller_;
};

void CollectionColumn::ReadStorage(COracleRecoveryTools& engine, BlockSource& source,
                                   const StorageAttributeItem& by_caller) {
  if (storage_ == 0 || !why_.empty()) return;
  if (inner_) inner_->ReadStorage(engine, source, by_caller);
  TableRowReader reader(engine, source, storage_);
  const auto& columns = reader.layout().columns();
  std::optional<std::size_t> id;
  std::optional<std::size_t> row_object;
  std::vector<std::size_t> values;
  std::map<std::uint32_t, std::size_t> by_internal;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i]->name == "NESTED_TABLE_ID") id = i;
    // The row object of a storage table of objects: where it has storage,
    // its null indicator tells an atomically NULL element from an object
    // whose attributes are all NULL; where it is virtual, it is not read.
    if (columns[i]->name == "SYS_NC_ROWINFO$" && !element_constructor_.empty() && columns[i]->segment_column != 0) {
      row_object = i;
    }
    if (columns[i]->name == "COLUMN_VALUE" && element_constructor_.empty()) values.push_back(i);
    by_internal.emplace(columns[i]->internal_column, i);
  }
  std::vector<ObjectShape> objects(values.size());
  std::optional<TableDefinition> storage;
  for (const std::uint32_t internal : attribute_columns_) {
    const auto at = by_internal.find(internal);
    if (at == by_internal.end()) continue;
    values.push_back(at->second);
    objects.emplace_back();
    if (columns[at->second]->type_code != tc::kObject) continue;
    if (!storage) {
      const ObjectRecord* storage_object = engine.catalogue.Object(storage_);
      if (!storage_object) {
        incomplete_ = true;
        return;
      }
      storage = CatalogueViews(engine.catalogue).Table(*storage_object);
    }
    const ColumnDefinition* column = storage->ColumnByInternalNumber(internal);
    if (!column) {
      incomplete_ = true;
      return;
    }
    objects.back() = ObjectShapeOf(engine.catalogue, *storage, *column, by_internal);
    if (objects.back().constructor.empty()) {
      why_ = "an object attribute of its element type cannot be written (" + objects.back().why + ")";
      return;
    }
  }
  const std::size_t wanted = element_constructor_.empty() ? 1 : attribute_columns_.size();
  if (!reader.table_found() || !id || values.size() != wanted) {
    incomplete_ = true;
    return;
  }
  StorageRows rows(*this, engine, reader.layout(), *id, std::move(values), std::move(objects), row_object, by_caller);
  reader.Read(TableRowReader::Begin(), 0, rows);
  if (reader.stopped() || reader.stats().damaged_total > 0) incomplete_ = true;
}

ValueItem CollectionColumn::Item(const StoredValue& value, DecodeContext& context, const std::string& what,
                                 std::string* note) const {
  if (value.is_null) {
    ValueItem null;
    null.sql = "NULL";
    return null;
  }
  if (!why_.empty()) {
    *note = what + " cannot be written (" + why_ + "): written as NULL";
    return LostCollectionItem();
  }
  ValueItem item;
  item.sql = constructor_ + "(";
  if (type_code_ == tc::kVarray) {
    const auto elements = VarrayElements(value.bytes);
    if (!elements) {
      *note = what + " is damaged: written as NULL";
      return LostCollectionItem();
    }
    for (const StoredValue& e : *elements) {
      std::string ignored;
      ValueItem element = inner_                      ? inner_->Item(e, context, {}, &ignored)
                          : image_attributes_.empty() ? ScalarValueItem(element_, e, context)
                                                      : ImageObjectItem(e, context);
      if (element.lost) {
        *note = "an element of " + what + " cannot be read: the collection is written as NULL";
        return LostCollectionItem();
      }
      AppendElement(item, std::move(element));
    }
  } else {
    const auto set = sets_.find(SetKey(value.bytes));
    if (set == sets_.end()) {
      // No rows under its identifier: an empty collection, unless the
      // storage table could not be read whole.
      if (incomplete_) {
        *note = "the rows of " + what + " are not found in its damaged storage table: written as NULL";
        return LostCollectionItem();
      }
    } else if (set->second.broken) {
      *note = "an element of " + what + " cannot be read: the collection is written as NULL";
      return LostCollectionItem();
    } else {
      for (const ValueItem& element : set->second.elements) AppendElement(item, element);
    }
  }
  item.sql += ")";
  return item;
}

}  // namespace quillon::repair
