#include "reader/database_properties.h"

#include <string_view>

#include "reader/charset.h"
#include "reader/extent_map.h"
#include "reader/obj_columns.h"

namespace quillon {

namespace {

namespace props {
constexpr std::size_t kName = 1, kValue = 2;
}

constexpr std::string_view kPropsTable = "PROPS$";

bool IsAscii(ByteView bytes, std::string_view text) {
  return bytes.size() == text.size() && std::equal(text.begin(), text.end(), bytes.data());
}

SegmentBlockList ListFromHeader(DictionaryReader& reader, std::uint32_t header_dba) {
  SegmentBlockList list;
  const SegmentWalk walk = WalkSegment(reader.source, reader.engine.datafiles, header_dba, &reader.engine.stop());
  if (!walk.header_found) return list;
  list.object_number = walk.object_number;
  list.header_dba = header_dba;
  list.space = walk.space;
  list.dbas = walk.blocks;
  return list;
}

}  // namespace

bool ReadProperties(DictionaryReader& reader, const SegmentBlockList& list) {
  DatabaseProperties& p = reader.catalogue.properties;
  bool any = false;
  reader.ForEachRow(list, [&](const DictionaryRow& row) {
    if (row.IsNull(props::kName)) return;
    // Property names and values are ASCII in every database character set.
    const ByteView name = row.Bytes(props::kName);
    const std::string value(reinterpret_cast<const char*>(row.Bytes(props::kValue).data()),
                            row.Bytes(props::kValue).size());
    if (IsAscii(name, "NLS_CHARACTERSET")) {
      p.character_set = value;
    } else if (IsAscii(name, "NLS_NCHAR_CHARACTERSET")) {
      p.national_character_set = value;
    } else if (IsAscii(name, "DBTIMEZONE")) {
      p.time_zone = value;
    } else {
      return;
    }
    any = true;
  });
  if (!any) return false;
  p.found = true;
  if (!reader.engine.keep_character_sets) {
    if (const CharsetInfo* cs = FindCharset(std::string_view(p.character_set))) {
      reader.engine.values.SetDatabaseCharset(*cs);
    }
    if (const CharsetInfo* cs = FindCharset(std::string_view(p.national_character_set))) {
      reader.engine.values.SetNationalCharset(*cs);
    }
  }
  return true;
}

bool ReadPropertiesEarly(DictionaryReader& reader) {
  std::optional<std::uint32_t> data_object;
  reader.ForEachRow(reader.List(SystemSegment::kObj), [&](const DictionaryRow& row) {
    if (!data_object && row.Integer(obj::kOwner) == 0 && IsAscii(row.Bytes(obj::kName), kPropsTable)) {
      data_object = row.OptionalUnsigned(obj::kDataObj);
    }
  });
  if (!data_object) return false;
  const auto header = reader.system_headers.find(*data_object);
  if (header == reader.system_headers.end()) return false;
  return ReadProperties(reader, ListFromHeader(reader, header->second));
}

bool ReadPropertiesThroughTab(DictionaryReader& reader) {
  const Catalogue& c = reader.catalogue;
  const ObjectRecord* table = c.FindObject(ObjectKind::kTable, "SYS", std::string(kPropsTable));
  if (table == nullptr || table->owner_number != 0) return false;
  const TableRecord* tab = c.tables.First<0>(table->object_number);
  if (tab == nullptr || !tab->data_object_number || tab->header_block > format::kDbaBlockMask) return false;
  const DatafileEntry* file = reader.engine.datafiles.FindByRelativeFile(tab->relative_file_number);
  if (file == nullptr) return false;
  const std::uint32_t header_dba =
      (file->file_base_dba & format::kDbaFileMask) | static_cast<std::uint32_t>(tab->header_block);
  return ReadProperties(reader, ListFromHeader(reader, header_dba));
}

}  // namespace quillon
