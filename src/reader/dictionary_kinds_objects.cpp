// OBJ$, CON$, SYN$, SEQ$, TYPED_VIEW$ and VIEW$.
#include <array>

#include "reader/dictionary_kinds.h"
#include "reader/obj_columns.h"

namespace quillon {

namespace {

namespace con {
constexpr std::size_t kOwner = 1, kName = 2, kCon = 3;
}
namespace syn {
constexpr std::size_t kObj = 1, kNode = 2, kOwner = 3, kName = 4;
}
namespace seq {
constexpr std::size_t kObj = 1, kIncrement = 2, kMin = 3, kMax = 4, kCycle = 5, kOrder = 6, kCache = 7,
                      kHighWater = 8;
}
namespace typed_view {
constexpr std::size_t kObj = 1, kTypeOwner = 2, kTypeName = 3, kOidText = 7;
}
namespace view {
constexpr std::size_t kObj = 1, kCols = 3, kText = 8;
}

// The OBJ# bytes of TRIGGER$ and PARTOBJ$ in the alternative numbering.
constexpr std::array<std::uint8_t, 3> kAlternativeTriggerObj = {0xC2, 0x02, 0x3C};  // 159
constexpr std::array<std::uint8_t, 3> kAlternativePartobjObj = {0xC2, 0x06, 0x49};  // 572

bool SameBytes(ByteView bytes, const std::array<std::uint8_t, 3>& expected) {
  return bytes.size() == expected.size() && std::equal(expected.begin(), expected.end(), bytes.data());
}

}  // namespace

bool MarksAlternativeLayout(std::string_view name, ByteView object_number_bytes) {
  if (name != "TRIGGER$" && name != "PARTOBJ$") return false;
  return SameBytes(object_number_bytes, kAlternativeTriggerObj) ||
         SameBytes(object_number_bytes, kAlternativePartobjObj);
}

void ParseObjectRow(DictionaryReader& reader, const DictionaryRow& row) {
  // OBJ#, OWNER#, NAME, NAMESPACE, TYPE# and the three times up to STATUS are NOT NULL.
  if (row.column_count() < obj::kStatus) return;
  for (const std::size_t n : {obj::kObj, obj::kOwner, obj::kName, obj::kNamespace, obj::kType, obj::kStatus}) {
    if (row.IsNull(n)) return;
  }
  const auto number = row.OptionalUnsigned(obj::kObj);
  if (!number) return;
  Catalogue& c = reader.catalogue;
  ObjectRecord o;
  o.object_number = *number;
  o.data_object_number = row.OptionalUnsigned(obj::kDataObj);
  o.owner_number = row.Unsigned(obj::kOwner);
  o.owner = c.OwnerName(o.owner_number);
  o.name = reader.Text(row, obj::kName);
  o.namespace_code = row.Packed(obj::kNamespace);
  o.subname = reader.Text(row, obj::kSubname);
  o.type_code = row.Packed(obj::kType);
  o.type = row.Unsigned(obj::kType);
  o.status_code = static_cast<std::uint16_t>(row.Packed(obj::kStatus));
  o.status = row.Unsigned(obj::kStatus);
  o.flags_code = row.Packed(obj::kFlags);
  o.flags = row.Bits(obj::kFlags);
  if (!row.IsNull(obj::kOid)) o.oid = OidText(row.Bytes(obj::kOid));
  o.kind = KindOf(o.namespace_code, o.type_code);
  if (o.owner_number == 0 && LayoutFor(reader.release()).alternative_numbering &&
      MarksAlternativeLayout(o.name, row.Bytes(obj::kObj))) {
    reader.engine.layout_variant = DictionaryReader::kAlternativeLayout;
  }
  c.AddObject(std::move(o));
  reader.CountRecord();
}

void ParseConstraintNameRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < con::kCon || row.IsNull(con::kName) || row.IsNull(con::kCon)) return;
  ConstraintNameRecord r;
  r.owner_number = row.Unsigned(con::kOwner);
  r.name = reader.Text(row, con::kName);
  r.constraint_number = row.Unsigned(con::kCon);
  reader.catalogue.constraint_names.Append(std::move(r));
  reader.CountRecord();
}

void ParseSynonymRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < syn::kName || row.IsNull(syn::kObj)) return;
  SynonymRecord s;
  s.object_number = row.Unsigned(syn::kObj);
  s.link = reader.Text(row, syn::kNode);
  s.target_owner = reader.Text(row, syn::kOwner);
  s.target_name = reader.Text(row, syn::kName);
  reader.catalogue.synonyms.Append(std::move(s));
}

void ParseSequenceRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() < seq::kHighWater || row.IsNull(seq::kObj)) return;
  SequenceRecord s;
  s.object_number = row.Unsigned(seq::kObj);
  s.increment = row.NumberText(seq::kIncrement);
  s.min_value = row.IsNull(seq::kMin) ? std::string(kNullMinValueText) : row.NumberText(seq::kMin);
  s.max_value = row.IsNull(seq::kMax) ? std::string(kNullMaxValueText) : row.NumberText(seq::kMax);
  s.cycle = static_cast<std::uint16_t>(row.Packed(seq::kCycle));
  s.order = static_cast<std::uint16_t>(row.Packed(seq::kOrder));
  s.cache = row.NumberText(seq::kCache);
  s.high_water = row.NumberText(seq::kHighWater);
  s.cycles = row.Integer(seq::kCycle).value_or(0) != 0;
  s.ordered = row.Integer(seq::kOrder).value_or(0) != 0;
  reader.catalogue.sequences.Append(std::move(s));
  reader.CountRecord();
}

void ParseTypedViewRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.IsNull(typed_view::kObj)) return;
  TypedViewRecord v;
  v.object_number = row.Unsigned(typed_view::kObj);
  v.type_owner = reader.Text(row, typed_view::kTypeOwner);
  v.type_name = reader.Text(row, typed_view::kTypeName);
  v.oid_text = reader.Text(row, typed_view::kOidText);
  reader.catalogue.typed_views.Append(std::move(v));
}

void ParseViewRow(DictionaryReader& reader, const DictionaryRow& row) {
  if (row.column_count() != view::kText || row.IsNull(view::kObj)) return;
  ViewTextRecord v;
  v.object_number = row.Unsigned(view::kObj);
  v.column_count = row.Unsigned(view::kCols);
  v.text = reader.Text(row, view::kText);
  reader.catalogue.view_texts.Append(std::move(v));
}

bool ReadViewTexts(DictionaryReader& reader) {
  const std::uint64_t views = reader.catalogue.count(Counter::kViews);
  return reader.ForEachRow(reader.List(SystemSegment::kView),
                           [&](const DictionaryRow& row) { ParseViewRow(reader, row); }, views);
}

}  // namespace quillon
