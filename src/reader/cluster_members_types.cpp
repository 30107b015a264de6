// Builders of the object type cluster (C_TOID_VERSION#, keyed by the type
// identifier TOID and VERSION#): TYPE$, COLLECTION$, ATTRIBUTE$, METHOD$.
#include "reader/cluster_members.h"
#include "reader/packed_codes.h"

namespace quillon {

namespace {

namespace type {
constexpr std::size_t kVersionName = 1, kTypecode = 3, kProperties = 4, kAttributes = 5, kMethods = 6,
                      kSupertoid = 20;
}
namespace collection {
constexpr std::size_t kElemToid = 3, kProperties = 6, kCharset = 7, kLength = 9, kPrecision = 10, kScale = 11,
                      kUpperBound = 12;
}
namespace attribute {
constexpr std::size_t kName = 1, kNumber = 2, kAttrToid = 3, kProperties = 6, kCharset = 7, kLength = 9,
                      kPrecision = 10;
}
namespace method {
constexpr std::size_t kNumber = 1, kName = 2, kProperties = 3, kParameters = 4, kResults = 5;
}

constexpr std::size_t kToidSize = 16;

// The OCI type code of a type: its TYPE$ row, or the code a built-in TOID
// carries in its last byte.
std::optional<std::uint32_t> TypecodeOf(const Catalogue& c, const std::string& oid) {
  if (const TypeRecord* t = c.types.First<0>(oid)) return t->typecode;
  return BuiltinTypecode(oid);
}

// The name of a type: its OBJ$ row (a type's OID$ is its TOID), or the
// built-in type's name.
std::string TypeNameOf(const Catalogue& c, const std::string& oid) {
  if (const ObjectRecord* o = c.ObjectWithOid(oid)) return o->name;
  if (const auto code = TypecodeOf(c, oid)) return std::string(BuiltinTypeName(*code));
  return {};
}

}  // namespace

void ParseTypeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < type::kProperties || row.IsNull(type::kTypecode)) return;
  TypeRecord t;
  t.type_oid = key.oid;
  t.version = key.version;
  t.version_name = reader.Text(row, type::kVersionName);
  t.typecode = row.Unsigned(type::kTypecode);
  t.properties = row.Bits(type::kProperties);
  t.attribute_count = row.Unsigned(type::kAttributes);
  t.method_count = row.Unsigned(type::kMethods);
  if (row.Bytes(type::kSupertoid).size() == kToidSize) t.supertype_oid = OidText(row.Bytes(type::kSupertoid));
  reader.catalogue.types.Append(std::move(t));
}

void ParseCollectionRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < collection::kProperties || row.Bytes(collection::kElemToid).size() != kToidSize) return;
  CollectionRecord r;
  r.type_oid = key.oid;
  r.version = key.version;
  r.element_type_oid = OidText(row.Bytes(collection::kElemToid));
  r.element_type_code = SqlTypeCodeOfTypecode(TypecodeOf(reader.catalogue, r.element_type_oid).value_or(0));
  r.charset_id = row.Packed(collection::kCharset);
  r.length = row.Unsigned(collection::kLength);
  r.precision = row.Unsigned(collection::kPrecision);
  r.scale = row.Unsigned(collection::kScale);
  r.upper_bound = row.Integer(collection::kUpperBound).value_or(0);
  reader.catalogue.collections.Append(std::move(r));
}

void ParseAttributeRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < attribute::kProperties || row.IsNull(attribute::kName) ||
      row.Bytes(attribute::kAttrToid).size() != kToidSize) {
    return;
  }
  const Catalogue& c = reader.catalogue;
  AttributeType a;
  a.attribute_name = reader.Text(row, attribute::kName);
  if (const ObjectRecord* owner_type = c.ObjectWithOid(key.oid)) {
    a.type_owner = owner_type->owner;
    a.type_name = owner_type->name;
  }
  a.position = row.Unsigned(attribute::kNumber);
  a.attribute_type_oid = OidText(row.Bytes(attribute::kAttrToid));
  a.attribute_type_name = TypeNameOf(c, a.attribute_type_oid);
  a.charset_id = row.Packed(attribute::kCharset);
  a.type_code = SqlTypeCodeOfTypecode(TypecodeOf(c, a.attribute_type_oid).value_or(0));
  a.length = row.Unsigned(attribute::kLength);
  a.precision = row.Unsigned(attribute::kPrecision);
  a.type_oid = key.oid;
  a.version = key.version;
  reader.catalogue.attributes.Append(std::move(a));
}

void ParseMethodRow(DictionaryReader& reader, const ClusterKey& key, const DictionaryRow& row) {
  if (row.column_count() < method::kName || row.IsNull(method::kName)) return;
  MethodRecord m;
  m.type_oid = key.oid;
  m.version = key.version;
  m.method_number = row.Unsigned(method::kNumber);
  m.name = reader.Text(row, method::kName);
  m.properties = row.Bits(method::kProperties);
  m.parameter_count = row.Unsigned(method::kParameters);
  m.result_count = row.Unsigned(method::kResults);
  reader.catalogue.methods.Append(std::move(m));
}

}  // namespace quillon
