#include "repair/system_schemas.h"

#include <algorithm>
#include <iterator>

namespace quillon::repair {

namespace {

constexpr std::string_view kSystemSchemas[] = {
    "SYS", "SYSTEM", "EXFSYS", "OUTLN", "FLOWS_FILES", "MDSYS", "ORDSYS", "WMSYS", "WKSYS", "WK_TEST", "CTXSYS",
    "ANONYMOUS", "XDB", "WKPROXY", "ORDPLUGINS", "FLOWS_030000", "OWBSYS", "SI_INFORMTN_SCHEMA", "OLAPSYS",
    "ORACLE_OCM", "TSMSYS", "XS$NULL", "BI", "PM", "MDDATA", "IX", "SH", "DIP", "OE", "APEX_PUBLIC_USER",
    "SPATIAL_CSW_ADMIN_USR", "SPATIAL_WFS_ADMIN_USR", "SYSMAN", "DBSNMP", "MGMT_VIEW", "DMSYS", "ODM", "ODM_MTR",
    "QS_ADM", "QS", "QS_WS", "QS_ES", "QS_OS", "QS_CBADM", "QS_CB", "QS_CS", "RMAN"};

}  // namespace

bool IsSystemSchema(std::string_view name) {
  return std::find(std::begin(kSystemSchemas), std::end(kSystemSchemas), name) != std::end(kSystemSchemas);
}

bool IsSystemSchemaQualified(std::string_view qualified_name) {
  const auto dot = qualified_name.find('.');
  return dot != std::string_view::npos && IsSystemSchema(qualified_name.substr(0, dot));
}

bool IsXmlRepositoryTable(std::string_view owner, std::string_view table) {
  return owner == "XDB" && table.starts_with("XDB$");
}

}  // namespace quillon::repair
