#include "reader/xml_repository.h"

#include <algorithm>

#include "reader/datafile.h"

namespace quillon {

namespace {

constexpr std::string_view kXdbOwner = "XDB";
constexpr std::size_t kOidSize = 16;

std::string Normalized(std::string_view name) {
  std::string out;
  for (const char ch : name) {
    if (ch == '"') continue;
    out.push_back(static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch));
  }
  for (const std::string_view prefix : {"SYS_NC_ROWINFO$.", "XMLDATA."}) {
    if (out.rfind(prefix, 0) == 0) out.erase(0, prefix.size());
  }
  return out;
}

// The record builders of the repository tables, by table name.
enum class RepositoryTable : std::uint8_t {
  kSchema, kElement, kAttribute, kComplexType, kSimpleType, kSequenceModel, kChoiceModel, kAllModel, kOther
};

RepositoryTable TableOf(std::string_view name) {
  if (name == "XDB$SCHEMA") return RepositoryTable::kSchema;
  if (name == "XDB$ELEMENT") return RepositoryTable::kElement;
  if (name == "XDB$ATTRIBUTE") return RepositoryTable::kAttribute;
  if (name == "XDB$COMPLEX_TYPE") return RepositoryTable::kComplexType;
  if (name == "XDB$SIMPLE_TYPE") return RepositoryTable::kSimpleType;
  if (name == "XDB$SEQUENCE_MODEL") return RepositoryTable::kSequenceModel;
  if (name == "XDB$CHOICE_MODEL") return RepositoryTable::kChoiceModel;
  if (name == "XDB$ALL_MODEL") return RepositoryTable::kAllModel;
  return RepositoryTable::kOther;
}

// Schemas are read first; every other row names its schema by a REF, whose
// bytes hold the schema row's object identifier.
class RepositoryReader {
 public:
  explicit RepositoryReader(DictionaryReader& reader) : reader_(reader) {}

  bool ReadSegment(const SegmentBlockList& list, RepositoryTable table, std::uint32_t table_object) {
    const StoredColumnMap map(reader_.catalogue, table_object);
    if (map.empty()) return true;
    return reader_.ForEachRow(list, [&](const DictionaryRow& row) { Parse(table, map, row); });
  }

 private:
  std::string Text(const DictionaryRow& row, const StoredColumnMap& map, std::string_view path) const {
    const auto n = map.Find(path);
    return n ? reader_.Text(row, *n) : std::string();
  }
  std::string Number(const DictionaryRow& row, const StoredColumnMap& map, std::string_view path) const {
    const auto n = map.Find(path);
    return n && !row.IsNull(*n) ? PlainIntegerText(row.NumberText(*n)) : std::string();
  }
  std::string ObjectId(const DictionaryRow& row, const StoredColumnMap& map) const {
    const auto n = map.Find("SYS_NC_OID$");
    return n && row.Bytes(*n).size() == kOidSize ? OidText(row.Bytes(*n)) : std::string();
  }
  // The schema a REF column points at: the schema whose object identifier
  // its bytes contain.
  std::string SchemaOf(const DictionaryRow& row, const StoredColumnMap& map, std::string_view path) const {
    const auto n = map.Find(path);
    if (!n) return {};
    const ByteView ref = row.Bytes(*n);
    for (const auto& [id, bytes] : schema_ids_) {
      if (ref.size() < bytes.size()) continue;
      const auto begin = ref.data();
      const auto end = ref.data() + ref.size();
      if (std::search(begin, end, bytes.begin(), bytes.end()) != end) return id;
    }
    return {};
  }

  void Parse(RepositoryTable table, const StoredColumnMap& map, const DictionaryRow& row) {
    Catalogue& c = reader_.catalogue;
    switch (table) {
      case RepositoryTable::kSchema: {
        XmlSchemaRecord s;
        s.object_id = ObjectId(row, map);
        s.url = Text(row, map, "SCHEMA_URL");
        if (s.url.empty()) return;
        s.owner = Text(row, map, "SCHEMA_OWNER");
        s.target_namespace = Text(row, map, "TARGET_NAMESPACE");
        s.version = Text(row, map, "VERSION");
        if (const auto n = map.Find("SYS_NC_OID$"); n && row.Bytes(*n).size() == kOidSize) {
          const ByteView b = row.Bytes(*n);
          schema_ids_.emplace_back(s.object_id, std::vector<std::uint8_t>(b.data(), b.data() + b.size()));
        }
        c.xml_schemas.Append(std::move(s));
        return;
      }
      case RepositoryTable::kElement:
      case RepositoryTable::kAttribute: {
        // Elements embed the property type as PROPERTY; attributes are one.
        const std::string p = table == RepositoryTable::kElement ? "PROPERTY." : "";
        XmlElementRecord e;
        e.object_id = ObjectId(row, map);
        e.schema_id = SchemaOf(row, map, p + "PARENT_SCHEMA");
        e.name = Text(row, map, p + "NAME");
        if (e.name.empty()) return;
        e.type_name = Text(row, map, p + "TYPENAME.NAME");
        e.sql_name = Text(row, map, p + "SQLNAME");
        e.sql_type = Text(row, map, p + "SQLTYPE");
        e.sql_schema = Text(row, map, p + "SQLSCHEMA");
        if (const auto n = map.Find(p + "PROP_NUMBER")) e.property_number = row.Unsigned(*n);
        if (const auto n = map.Find(p + "GLOBAL")) e.global = row.Bytes(*n).size() == 1 && row.Bytes(*n).data()[0] != 0;
        e.min_occurs = Number(row, map, "MIN_OCCURS");
        e.max_occurs = Text(row, map, "MAX_OCCURS");
        e.default_table = Text(row, map, "DEFAULT_TABLE");
        e.is_attribute = table == RepositoryTable::kAttribute;
        c.xml_elements.Append(std::move(e));
        return;
      }
      case RepositoryTable::kComplexType:
      case RepositoryTable::kSimpleType: {
        XmlTypeRecord t;
        t.object_id = ObjectId(row, map);
        t.schema_id = SchemaOf(row, map, "PARENT_SCHEMA");
        t.name = Text(row, map, "NAME");
        t.sql_type = Text(row, map, "SQLTYPE");
        t.complex = table == RepositoryTable::kComplexType;
        c.xml_types.Append(std::move(t));
        return;
      }
      case RepositoryTable::kSequenceModel:
      case RepositoryTable::kChoiceModel:
      case RepositoryTable::kAllModel: {
        XmlModelRecord m;
        m.object_id = ObjectId(row, map);
        m.schema_id = SchemaOf(row, map, "PARENT_SCHEMA");
        m.kind = table == RepositoryTable::kSequenceModel ? "sequence"
                 : table == RepositoryTable::kChoiceModel ? "choice"
                                                          : "all";
        m.min_occurs = Number(row, map, "MIN_OCCURS");
        m.max_occurs = Text(row, map, "MAX_OCCURS");
        c.xml_models.Append(std::move(m));
        return;
      }
      case RepositoryTable::kOther:
        return;
    }
  }

  DictionaryReader& reader_;
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> schema_ids_;
};

// The XDB table object whose segment a list is.
const ObjectRecord* TableOfSegment(const Catalogue& c, std::uint32_t data_object_number) {
  for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kTable)) {
    if (o.data_object_number == data_object_number && o.owner == kXdbOwner) return &o;
  }
  return nullptr;
}

}  // namespace

std::string AttributePath(std::string_view qualified_name) { return Normalized(qualified_name); }

StoredColumnMap::StoredColumnMap(const Catalogue& catalogue, std::uint32_t table_object_number) {
  for (const ColumnInfo& col : catalogue.columns.All<0>(table_object_number)) {
    if (col.segment_column == 0) continue;
    std::string path = Normalized(col.name);
    for (const AttributeColumnRecord& a : catalogue.attribute_columns.All<0>(table_object_number)) {
      if (a.internal_column == col.internal_column) {
        path = Normalized(a.name);
        break;
      }
    }
    paths_.emplace_back(std::move(path), col.segment_column);
  }
}

std::optional<std::size_t> StoredColumnMap::Find(std::string_view path) const {
  const std::string wanted = Normalized(path);
  for (const auto& [p, position] : paths_) {
    if (p == wanted) return position;
  }
  return std::nullopt;
}

bool ReadXmlRepository(DictionaryReader& reader) {
  struct Segment {
    const SegmentBlockList* list;
    RepositoryTable table;
    std::uint32_t table_object;
  };
  std::vector<Segment> segments;
  for (std::size_t i = 0; i < reader.xml.size(); ++i) {
    const SegmentBlockList& list = reader.xml[i];
    if (!list.found()) continue;
    const ObjectRecord* table = TableOfSegment(reader.catalogue, list.object_number);
    if (table == nullptr) continue;  // no dictionary rows tell its columns
    segments.push_back({&list, TableOf(table->name), table->object_number});
  }
  // Schemas first: the other rows name them.
  std::stable_sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) {
    return (a.table == RepositoryTable::kSchema) > (b.table == RepositoryTable::kSchema);
  });
  RepositoryReader repository(reader);
  for (const Segment& s : segments) {
    if (!repository.ReadSegment(*s.list, s.table, s.table_object)) return false;
  }
  return true;
}

}  // namespace quillon
