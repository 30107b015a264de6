#include "repair/built_in_names.h"

#include <algorithm>
#include <iterator>

namespace quillon::repair {

namespace {

// Accounts created by the database creation assistant of 10g and 11g with
// its default options (sample schemas such as SCOTT and HR are not listed:
// they are the user's choice and worth rescuing).
constexpr std::string_view kUsers[] = {
    "SYS", "SYSTEM", "OUTLN", "DBSNMP", "SYSMAN", "MGMT_VIEW", "DIP", "TSMSYS", "ORACLE_OCM",
    "APPQOSSYS", "WMSYS", "EXFSYS", "CTXSYS", "XDB", "ANONYMOUS", "ORDSYS", "ORDDATA", "ORDPLUGINS",
    "SI_INFORMTN_SCHEMA", "MDSYS", "OLAPSYS", "MDDATA", "SPATIAL_WFS_ADMIN_USR", "SPATIAL_CSW_ADMIN_USR",
    "FLOWS_FILES", "FLOWS_030000", "APEX_030200", "APEX_PUBLIC_USER", "OWBSYS", "OWBSYS_AUDIT", "XS$NULL",
    "DMSYS", "WK_TEST", "WKSYS", "WKPROXY", "PUBLIC"};

constexpr std::string_view kRoles[] = {
    "PUBLIC", "CONNECT", "RESOURCE", "DBA", "SELECT_CATALOG_ROLE", "EXECUTE_CATALOG_ROLE",
    "DELETE_CATALOG_ROLE", "EXP_FULL_DATABASE", "IMP_FULL_DATABASE", "DATAPUMP_EXP_FULL_DATABASE",
    "DATAPUMP_IMP_FULL_DATABASE", "RECOVERY_CATALOG_OWNER", "GATHER_SYSTEM_STATISTICS",
    "LOGSTDBY_ADMINISTRATOR", "AQ_ADMINISTRATOR_ROLE", "AQ_USER_ROLE", "GLOBAL_AQ_USER_ROLE",
    "SCHEDULER_ADMIN", "HS_ADMIN_ROLE", "HS_ADMIN_SELECT_ROLE", "HS_ADMIN_EXECUTE_ROLE", "OEM_ADVISOR",
    "OEM_MONITOR", "WM_ADMIN_ROLE", "JAVAUSERPRIV", "JAVAIDPRIV", "JAVASYSPRIV", "JAVADEBUGPRIV",
    "EJBCLIENT", "JAVA_ADMIN", "JAVA_DEPLOY", "JMXSERVER", "CTXAPP", "XDBADMIN", "XDB_SET_INVOKER",
    "AUTHENTICATEDUSER", "XDB_WEBSERVICES", "XDB_WEBSERVICES_WITH_PUBLIC", "XDB_WEBSERVICES_OVER_HTTP",
    "MGMT_USER", "DBFS_ROLE", "ADM_PARALLEL_EXECUTE_TASK", "CSW_USR_ROLE", "WFS_USR_ROLE",
    "SPATIAL_CSW_ADMIN", "SPATIAL_WFS_ADMIN", "OLAP_DBA", "OLAP_USER", "OLAP_XS_ADMIN", "ORDADMIN",
    "CWM_USER", "OWB_USER", "OWB$CLIENT", "OWB_DESIGNCENTER_VIEW", "APEX_ADMINISTRATOR_ROLE",
    "XDBWEBSERVICES", "SNMPAGENT", "WKUSER"};

constexpr std::string_view kTablespaces[] = {"SYSTEM", "SYSAUX", "UNDOTBS1", "UNDOTBS2",
                                                          "UNDOTBS", "TEMP", "USERS", "EXAMPLE"};

template <std::size_t N>
bool Contains(const std::string_view (&list)[N], std::string_view name) {
  return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

}  // namespace

bool IsBuiltInUser(std::string_view name) { return Contains(kUsers, name); }
bool IsBuiltInRole(std::string_view name) { return Contains(kRoles, name); }
bool IsBuiltInTablespace(std::string_view name) { return Contains(kTablespaces, name); }

}  // namespace quillon::repair
