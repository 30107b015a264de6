// Collection columns built from hand-made catalogues: which element types
// a collection's values can be written with, and why the others cannot
// (never a crash or an endless walk, whatever the catalogue links).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "reader/catalogue_views.h"
#include "reader/engine.h"
#include "reader/notify.h"
#include "reader/packed_codes.h"
#include "repair/collection_values.h"

namespace quillon {
namespace {

namespace tc = type_code;

// Builds a table with one collection column, its collection type, and for
// nested tables a storage table, into an engine's catalogue.
class CollectionCatalogue {
 public:
  explicit CollectionCatalogue(Catalogue& cat) : cat_(cat) {}

  std::uint32_t Object(ObjectKind kind, const std::string& name, const std::string& oid = "") {
    ObjectRecord o;
    o.object_number = next_object_++;
    o.owner = "APP";
    o.name = name;
    o.kind = kind;
    o.oid = oid;
    cat_.AddObject(o);
    return o.object_number;
  }
  // A type with its TYPE$ row; returns its TOID.
  std::string Type(const std::string& name, std::uint32_t typecode, std::uint32_t attributes = 0) {
    char oid[64];
    std::snprintf(oid, sizeof oid, " 00 00 00 00 00 00 00 00 00 00 00 00 00 7A 7A %02X", next_object_ & 0xFF);
    Object(ObjectKind::kType, name, oid);
    TypeVersion(oid, typecode, attributes, 1);
    return oid;
  }
  // A TYPE$ row of one version of a type.
  void TypeVersion(const std::string& oid, std::uint32_t typecode, std::uint32_t attributes, std::uint32_t version) {
    TypeRecord t;
    t.type_oid = oid;
    t.typecode = typecode;
    t.attribute_count = attributes;
    t.version = version;
    cat_.types.Append(t);
  }
  void Collection(const std::string& type_oid, const std::string& element_oid, std::uint32_t element_code) {
    CollectionRecord c;
    c.type_oid = type_oid;
    c.element_type_oid = element_oid;
    c.element_type_code = element_code;
    c.length = 20;
    cat_.collections.Append(c);
  }
  std::uint32_t Table(const std::string& name) {
    const std::uint32_t n = Object(ObjectKind::kTable, name);
    TableRecord t;
    t.object_number = n;
    cat_.tables.Append(t);
    return n;
  }
  void Column(std::uint32_t table, std::uint32_t internal, const std::string& name, std::uint32_t type_code,
              const std::string& type_oid = "", std::uint64_t property = 0) {
    ColumnInfo c;
    c.object_number = table;
    c.internal_column = internal;
    c.column_number = (property & 0x20) ? 0 : internal;
    c.segment_column = internal;
    c.name = name;
    c.type_code = type_code;
    c.property = property;
    cat_.columns.Append(c);
    if (!type_oid.empty()) cat_.column_types.Append(ColumnTypeRecord{table, internal, internal, type_oid, 1, 0});
  }
  void Attribute(const std::string& type_oid, std::uint32_t position, const std::string& name, std::uint32_t type_code,
                 std::uint32_t version = 1, const std::string& attribute_type_oid = "") {
    AttributeType a;
    a.type_oid = type_oid;
    a.attribute_type_oid = attribute_type_oid;
    a.position = position;
    a.attribute_name = name;
    a.type_code = type_code;
    a.version = version;
    cat_.attributes.Append(a);
  }
  void Storage(std::uint32_t table, std::uint32_t internal, std::uint32_t storage) {
    Nsdata n;
    n.table_object_number = table;
    n.internal_column = internal;
    n.storage_object_number = storage;
    cat_.nested_tables.Append(n);
  }

 private:
  Catalogue& cat_;
  std::uint32_t next_object_ = 81001;
};

TEST(CollectionColumns, ElementTypesThatCanAndCannotBeWritten) {
  constexpr std::uint32_t kScalar = 0, kObjectOk = 1, kVarrayOfObjects = 2, kAttributeMissing = 3, kLobAttribute = 4,
                          kSelfStored = 5, kNoStorage = 6, kRefs = 7, kNestedOfVarrays = 8,
                          kVarrayOfObjectsUnknownAttributes = 9, kVarrayOfObjectsWithALob = 10,
                          kVarrayOfObjectsOfAnEarlierVersion = 11, kVarrayOfNestedObjects = 12,
                          kVarrayOfObjectsContainingThemselves = 13, kVarrayOfObjectsWithAnUnknownObject = 14,
                          kVarrayOfVarrays = 15, kVarrayOfVarraysOfRefs = 16, kVarrayOfItself = 17,
                          kRefAttribute = 18;
  struct Case {
    const char* name;
    std::uint32_t shape;
    std::string why;  // empty: writable
  };
  const std::vector<Case> cases = {
      {"nested table of VARCHAR2", kScalar, ""},
      {"nested table of objects", kObjectOk, ""},
      // A VARRAY's object elements are read from their images with the
      // attributes of the element type's latest version.
      {"VARRAY of objects", kVarrayOfObjects, ""},
      {"VARRAY of objects of a type whose attributes are not all known", kVarrayOfObjectsUnknownAttributes,
       "the attributes of its element type are not all known"},
      {"VARRAY of objects with a CLOB attribute", kVarrayOfObjectsWithALob,
       "an attribute of its element type is of a type this builder does not write"},
      {"VARRAY of objects of an evolved type", kVarrayOfObjectsOfAnEarlierVersion, ""},
      {"VARRAY of objects with an object attribute", kVarrayOfNestedObjects, ""},
      {"VARRAY of objects whose object attribute is of their own type", kVarrayOfObjectsContainingThemselves,
       "the objects of its element type are nested too deeply"},
      {"VARRAY of objects with an object attribute of an unknown type", kVarrayOfObjectsWithAnUnknownObject,
       "an object attribute of its element type is of an unknown type"},
      {"object elements with an attribute missing", kAttributeMissing,
       "its storage table does not hold every attribute of its element type"},
      {"object elements with a CLOB attribute", kLobAttribute, ""},
      {"object elements with a REF attribute", kRefAttribute,
       "an attribute of its element type is of a type this builder does not write"},
      {"a storage table that stores itself", kSelfStored, "collections are nested too deeply"},
      {"no storage table recorded", kNoStorage, "its storage table is not known"},
      {"nested table of REFs", kRefs, "its elements are of a type this builder does not write"},
      {"nested table of VARRAYs of VARCHAR2", kNestedOfVarrays, ""},
      {"VARRAY of VARRAYs of VARCHAR2", kVarrayOfVarrays, ""},
      {"VARRAY of VARRAYs of REFs", kVarrayOfVarraysOfRefs,
       "its elements cannot be written: its elements are of a type this builder does not write"},
      {"VARRAY whose elements are of its own type", kVarrayOfItself, "collections are nested too deeply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NullSink sink;
    StopFlag stop;
    COracleRecoveryTools engine{sink, stop};
    CollectionCatalogue k(engine.catalogue);
    const std::uint32_t parent = k.Table("PARENT");
    const std::uint32_t storage = k.Table("PARENT_NT");
    const bool varray = c.shape == kVarrayOfObjects || c.shape == kVarrayOfObjectsUnknownAttributes ||
                        c.shape == kVarrayOfObjectsWithALob || c.shape == kVarrayOfObjectsOfAnEarlierVersion ||
                        (c.shape >= kVarrayOfNestedObjects && c.shape <= kVarrayOfItself);
    const std::string type = k.Type("COLL_T", varray ? 247 : 122);
    k.Column(parent, 1, "ID", tc::kNumber);
    k.Column(parent, 2, "ITEMS", varray ? tc::kVarray : tc::kNestedTable, type);
    if (c.shape != kNoStorage && !varray) k.Storage(parent, 2, storage);
    k.Column(storage, 1, "NESTED_TABLE_ID", tc::kRaw, "", 0x20);
    switch (c.shape) {
      case kScalar:
      case kNoStorage:
        k.Collection(type, "", tc::kVarchar2);
        k.Column(storage, 2, "COLUMN_VALUE", tc::kVarchar2);
        break;
      case kRefs:
        k.Collection(type, "", tc::kRef);
        k.Column(storage, 2, "COLUMN_VALUE", tc::kRef);
        break;
      case kObjectOk:
      case kVarrayOfObjects:
      case kVarrayOfObjectsUnknownAttributes:
      case kVarrayOfObjectsWithALob:
      case kVarrayOfObjectsOfAnEarlierVersion:
      case kAttributeMissing:
      case kLobAttribute:
      case kRefAttribute: {
        const std::string element = k.Type("ELEM_T", 108, 2);
        k.Collection(type, element, tc::kObject);
        if (c.shape != kVarrayOfObjectsUnknownAttributes) {
          k.Attribute(element, 1, "NAME", tc::kVarchar2);
          k.Attribute(element, 2, "BODY", c.shape == kVarrayOfObjectsWithALob ? tc::kClob : tc::kNumber);
        }
        if (c.shape == kVarrayOfObjectsOfAnEarlierVersion) {  // version 0 had a third attribute
          k.TypeVersion(element, 108, 3, 0);
          k.Attribute(element, 1, "NAME", tc::kVarchar2, 0);
          k.Attribute(element, 2, "BODY", tc::kNumber, 0);
          k.Attribute(element, 3, "OLD", tc::kClob, 0);
        }
        k.Column(storage, 2, "NAME", tc::kVarchar2);
        const std::uint32_t body = c.shape == kLobAttribute ? tc::kClob : c.shape == kRefAttribute ? tc::kRef : tc::kNumber;
        if (c.shape != kAttributeMissing) k.Column(storage, 3, "BODY", body);
        k.Column(storage, 4, "SYS_NC_ROWINFO$", tc::kObject, element, 0x20);
        break;
      }
      case kVarrayOfNestedObjects:
      case kVarrayOfObjectsContainingThemselves:
      case kVarrayOfObjectsWithAnUnknownObject: {
        const std::string element = k.Type("ELEM_T", 108, 2);
        k.Collection(type, element, tc::kObject);
        k.Attribute(element, 1, "NAME", tc::kVarchar2);
        std::string at = element;
        if (c.shape == kVarrayOfNestedObjects) {
          at = k.Type("GEO_T", 108, 2);
          k.Attribute(at, 1, "LAT", tc::kNumber);
          k.Attribute(at, 2, "LON", tc::kNumber);
        }
        if (c.shape == kVarrayOfObjectsWithAnUnknownObject) at = " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01";
        k.Attribute(element, 2, "AT", tc::kObject, 1, at);
        break;
      }
      case kVarrayOfVarrays:
      case kVarrayOfVarraysOfRefs: {
        const std::string inner = k.Type("CODES_T", 247);
        k.Collection(type, inner, tc::kVarray);
        k.Collection(inner, "", c.shape == kVarrayOfVarrays ? tc::kVarchar2 : tc::kRef);
        break;
      }
      case kVarrayOfItself:
        k.Collection(type, type, tc::kVarray);
        break;
      case kSelfStored:
        // The storage table's COLUMN_VALUE is a nested table stored in the
        // storage table itself.
        k.Collection(type, type, tc::kNestedTable);
        k.Column(storage, 2, "COLUMN_VALUE", tc::kNestedTable, type);
        k.Storage(storage, 2, storage);
        break;
      case kNestedOfVarrays: {
        const std::string inner = k.Type("CODES_T", 247);
        k.Collection(type, inner, tc::kVarray);
        k.Collection(inner, "", tc::kVarchar2);
        k.Column(storage, 2, "COLUMN_VALUE", tc::kVarray, inner);
        break;
      }
    }
    const CatalogueViews views(engine.catalogue);
    const TableDefinition table = views.Table(*engine.catalogue.Object(parent));
    const repair::CollectionColumn column(engine, table, 2);
    if (c.why.empty()) {
      EXPECT_EQ(column.unwritable(), "");
    } else {
      EXPECT_NE(column.unwritable().find(c.why), std::string::npos) << column.unwritable();
    }
  }
}

}  // namespace
}  // namespace quillon
