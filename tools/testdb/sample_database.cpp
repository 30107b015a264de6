#include "testdb/sample_database.h"

#include <array>
#include <tuple>

#include "testdb/schema_builders.h"

namespace quillon::testdb {

namespace {

// What a release offers, by the order of the releases.
struct Features {
  int order = 5;  // 8i 0, 9i 1, 10.1 2, 10.2 3, 11.1 4, 11.2 5
  bool timestamps() const { return order >= 1; }      // TIMESTAMP, INTERVAL (9i)
  bool xml() const { return order >= 1; }             // XMLType (9i)
  bool list_partitions() const { return order >= 1; }  // LIST and range-list (9i)
  bool binary_floats() const { return order >= 2; }   // BINARY_FLOAT, BINARY_DOUBLE (10g)
  bool virtual_columns() const { return order >= 4; }  // virtual columns, interval partitions (11g)
};

Features FeaturesOf(const std::string& release) {
  constexpr std::array<const char*, 6> kOrder = {"8i", "9i", "10.1", "10.2", "11.1", "11.2"};
  Features f;
  for (std::size_t i = 0; i < kOrder.size(); ++i) {
    if (release == kOrder[i]) f.order = static_cast<int>(i);
  }
  return f;
}

using val::Collection;
using val::DaySecond;
using val::Double;
using val::Hex;
using val::Null;
using val::Num;
using val::Object;
using val::Stamp;
using val::StampRegion;
using val::StampTz;
using val::Text;
using val::YearMonth;

// Value forms whose plain names are column types here.
Value Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return val::Date(year, month, day, hour, minute, second);
}
Value Real(float v) { return val::Float(v); }
Value Address(std::uint32_t object, std::uint32_t file, std::uint32_t block, std::uint16_t row) {
  return val::Rowid(object, file, block, row);
}
Value File(std::string directory, std::string file) { return val::Bfile(std::move(directory), std::move(file)); }

ColumnDescription NotNull(std::string name, ColumnType type) { return ColumnDescription(std::move(name), std::move(type), false); }

// ------------------------------------------------------------------ security
void Security(Schema& s, const Features& f) {
  const SpaceManagement space = f.order == 0 ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
  s.tablespaces.push_back({"HR_DATA", TablespaceContents::kPermanent, space, {"HR_DATA01.DBF"}, 0});
  s.tablespaces.push_back({"SALES_DATA", TablespaceContents::kPermanent, space, {"SALES01.DBF", "SALES02.DBF"}, 0});
  s.tablespaces.push_back({"SALES_HIST", TablespaceContents::kPermanent, space, {"SALES_HIST01.DBF"}, 0});

  s.users.push_back(User("HR", "HR_DATA"));
  s.users.push_back(User("SALES", "SALES_DATA"));
  UserDescription reporter = User("REPORTER", "USERS", Authentication::kGlobal);
  reporter.account_status = 8;  // locked
  s.users.push_back(reporter);
  UserDescription ops = User("OPS$BATCH", "USERS", Authentication::kExternal);
  ops.external_name = "cn=batch,ou=apps,o=example";
  s.users.push_back(ops);
  s.users.push_back(User("GUEST", "USERS", Authentication::kNone));
  s.roles.push_back(Role("HR_CLERK"));
  s.roles.push_back(Role("SALES_MANAGER", Authentication::kPassword));

  for (const char* user : {"HR", "SALES", "REPORTER", "OPS$BATCH"}) s.system_grants.push_back({user, "CREATE SESSION"});
  s.system_grants.push_back({"HR", "RESOURCE", true});
  s.system_grants.push_back({"SALES", "RESOURCE", true});
  s.system_grants.push_back({"HR", "CREATE VIEW"});
  s.system_grants.push_back({"HR", "CREATE DATABASE LINK"});
  s.system_grants.push_back({"SALES", "CREATE MATERIALIZED VIEW"});
  s.system_grants.push_back({"SALES", "UNLIMITED TABLESPACE"});
  s.system_grants.push_back({"HR", "UNLIMITED TABLESPACE"});
  s.system_grants.push_back({"REPORTER", "HR_CLERK", true});
  s.system_grants.push_back({"SALES", "SALES_MANAGER", true, true});
  s.system_grants.push_back({"SALES_MANAGER", "SELECT ANY TABLE", false, true});
}

void ObjectGrants(Schema& s) {
  s.object_grants.push_back(Grant("SELECT", "HR", "EMPLOYEES", "REPORTER"));
  s.object_grants.push_back(Grant("SELECT", "HR", "DEPARTMENTS", "HR_CLERK"));
  ObjectGrantDescription update = Grant("UPDATE", "HR", "EMPLOYEES", "HR_CLERK");
  update.column = "SALARY";
  s.object_grants.push_back(update);
  ObjectGrantDescription execute = Grant("EXECUTE", "HR", "RAISE_SALARY", "SALES");
  execute.grant_option = true;
  s.object_grants.push_back(execute);
  s.object_grants.push_back(Grant("SELECT", "SALES", "ORDERS", "HR"));
  s.object_grants.push_back(Grant("REFERENCES", "HR", "EMPLOYEES", "SALES"));
}

// ------------------------------------------------------------------ types
void Types(Schema& s) {
  TypeDescription address;
  address.owner = "HR";
  address.name = "ADDRESS_T";
  address.attributes = {{"STREET", Varchar2(40)}, {"CITY", Varchar2(30)}, {"POSTCODE", Varchar2(10)}};
  address.methods = {"FULL_ADDRESS"};
  address.lines = Lines(
      "TYPE address_t AS OBJECT (\n"
      "  street   VARCHAR2(40),\n"
      "  city     VARCHAR2(30),\n"
      "  postcode VARCHAR2(10),\n"
      "  MEMBER FUNCTION full_address RETURN VARCHAR2\n"
      ");");
  s.types.push_back(address);
  TypeDescription phones;
  phones.owner = "HR";
  phones.name = "PHONE_LIST_T";
  phones.kind = TypeKind::kVarray;
  phones.element = Varchar2(20);
  phones.upper_bound = 5;
  phones.lines = Lines("TYPE phone_list_t AS VARRAY(5) OF VARCHAR2(20);");
  s.types.push_back(phones);
  TypeDescription skills;
  skills.owner = "HR";
  skills.name = "SKILL_TAB_T";
  skills.kind = TypeKind::kNestedTable;
  skills.element = Varchar2(40);
  skills.lines = Lines("TYPE skill_tab_t AS TABLE OF VARCHAR2(40);");
  s.types.push_back(skills);
  s.code.push_back(Code("HR", "ADDRESS_T", CodeKind::kTypeBody,
                        Lines("TYPE BODY address_t AS\n"
                              "  MEMBER FUNCTION full_address RETURN VARCHAR2 IS\n"
                              "  BEGIN\n"
                              "    RETURN street || ', ' || postcode || ' ' || city;\n"
                              "  END;\n"
                              "END;")));
}

// ------------------------------------------------------------------ HR
const std::array<std::array<const char*, 5>, 20> kEmployees = {{
    {"100", "Steven", "King", "SKING", "24000"},      {"101", "Neena", "Kochhar", "NKOCHHAR", "17000"},
    {"102", "Lex", "De Haan", "LDEHAAN", "17000"},    {"103", "Alexander", "Hunold", "AHUNOLD", "9000"},
    {"104", "Bruce", "Ernst", "BERNST", "6000"},      {"105", "David", "Austin", "DAUSTIN", "4800"},
    {"106", "Valli", "Pataballa", "VPATABAL", "4800"}, {"107", "Diana", "Lorentz", "DLORENTZ", "4200"},
    {"108", "Nancy", "Greenberg", "NGREENBE", "12008"}, {"109", "Daniel", "Faviet", "DFAVIET", "9000"},
    {"110", "John", "Chen", "JCHEN", "8200"},          {"111", "Ismael", "Sciarra", "ISCIARRA", "7700"},
    {"112", "Jose Manuel", "Urman", "JMURMAN", "7800"}, {"113", "Luis", "Popp", "LPOPP", "6900"},
    {"114", "Den", "Raphaely", "DRAPHEAL", "11000"},   {"115", "Alexander", "Khoo", "AKHOO", "3100"},
    {"116", "Shelli", "Baida", "SBAIDA", "2900"},      {"117", "Sigal", "Tobias", "STOBIAS", "2800"},
    {"118", "J\u00FCrgen", "M\u00FCller", "JMUELLER", "3300"}, {"119", "Karen", "Colmenares", "KCOLMENA", "2500"},
}};

void HrTables(Schema& s, const Features& f) {
  TableDescription regions = Table("HR", "REGIONS", "HR_DATA", {NotNull("REGION_ID", Number()), {"REGION_NAME", Varchar2(25)}});
  regions.constraints = {PrimaryKey("REG_ID_PK", {"REGION_ID"})};
  regions.rows = {{Num(1), Text("Europe")}, {Num(2), Text("Americas")}, {Num(3), Text("Asia")},
                  {Num(4), Text("Middle East and Africa")}};
  s.tables.push_back(regions);

  // An index-organized table.
  TableDescription countries = Table("HR", "COUNTRIES", "HR_DATA",
                              {NotNull("COUNTRY_ID", Char(2)), {"COUNTRY_NAME", Varchar2(40)}, {"REGION_ID", Number()}});
  countries.organization = Organization::kIndex;
  countries.constraints = {PrimaryKey("COUNTRY_C_ID_PK", {"COUNTRY_ID"}),
                           ForeignKey("COUNTR_REG_FK", {"REGION_ID"}, "HR", "REGIONS")};
  countries.rows = {{Text("UK"), Text("United Kingdom"), Num(1)}, {Text("DE"), Text("Germany"), Num(1)},
                    {Text("US"), Text("United States of America"), Num(2)}, {Text("JP"), Text("Japan"), Num(3)},
                    {Text("CH"), Text("Switzerland"), Num(1)},  {Text("EG"), Text("Egypt"), Num(4)}};
  s.tables.push_back(countries);

  TableDescription locations =
      Table("HR", "LOCATIONS", "HR_DATA",
            {NotNull("LOCATION_ID", Number(4)), {"STREET_ADDRESS", Varchar2(40)}, {"POSTAL_CODE", Varchar2Chars(12)},
             NotNull("CITY", Varchar2(30)), {"COUNTRY_ID", Char(2)}});
  locations.constraints = {PrimaryKey("LOC_ID_PK", {"LOCATION_ID"}),
                           ForeignKey("LOC_C_ID_FK", {"COUNTRY_ID"}, "HR", "COUNTRIES")};
  locations.rows = {{Num(1400), Text("2014 Jabberwocky Rd"), Text("26192"), Text("Southlake"), Text("US")},
                    {Num(1700), Text("2004 Charade Rd"), Text("98199"), Text("Seattle"), Text("US")},
                    {Num(2400), Text("8204 Arthur St"), Null(), Text("London"), Text("UK")},
                    {Num(2700), Text("Schwanthalerstr. 7031"), Text("80925"), Text("M\u00FCnchen"), Text("DE")},
                    {Num(3000), Text("Murtenstrasse 921"), Text("3095"), Text("Bern"), Text("CH")}};
  s.tables.push_back(locations);

  // Two tables in an index cluster.
  ClusterDescription cluster;
  cluster.owner = "HR";
  cluster.name = "DEPT_CLU";
  cluster.tablespace = "HR_DATA";
  cluster.key_columns = {{"DEPARTMENT_ID", Number(4)}};
  cluster.size = 512;
  s.clusters.push_back(cluster);
  IndexDescription cluster_index = Index("HR", "DEPT_CLU_IX", "DEPT_CLU", {}, "HR_DATA");
  cluster_index.on_cluster = true;
  s.indexes.push_back(cluster_index);
  TableDescription departments = Table("HR", "DEPARTMENTS", "HR_DATA",
                                {NotNull("DEPARTMENT_ID", Number(4)), NotNull("DEPARTMENT_NAME", Varchar2(30)),
                                 {"MANAGER_ID", Number(6)}, {"LOCATION_ID", Number(4)}});
  departments.cluster = "DEPT_CLU";
  departments.cluster_columns = {"DEPARTMENT_ID"};
  departments.constraints = {PrimaryKey("DEPT_ID_PK", {"DEPARTMENT_ID"}),
                             ForeignKey("DEPT_LOC_FK", {"LOCATION_ID"}, "HR", "LOCATIONS")};
  departments.rows = {{Num(10), Text("Administration"), Num(100), Num(1700)},
                      {Num(20), Text("Marketing"), Num(101), Num(1700)},
                      {Num(50), Text("Shipping"), Num(114), Num(1400)},
                      {Num(60), Text("IT"), Num(103), Num(1400)},
                      {Num(80), Text("Sales"), Null(), Num(2400)},
                      {Num(90), Text("Executive"), Num(100), Num(1700)}};
  s.tables.push_back(departments);
  TableDescription budgets = Table("HR", "DEPT_BUDGETS", "HR_DATA",
                            {NotNull("DEPARTMENT_ID", Number(4)), NotNull("FISCAL_YEAR", Number(4)),
                             {"BUDGET", Number(12, 2)}});
  budgets.cluster = "DEPT_CLU";
  budgets.cluster_columns = {"DEPARTMENT_ID"};
  budgets.constraints = {PrimaryKey("DEPT_BUDGET_PK", {"DEPARTMENT_ID", "FISCAL_YEAR"})};
  budgets.rows = {{Num(10), Num(2009), Num("125000.50")}, {Num(20), Num(2009), Num("98000")},
                  {Num(10), Num(2010), Num("130000")},    {Num(60), Num(2010), Num("455000.75")},
                  {Num(90), Num(2010), Null()}};
  s.tables.push_back(budgets);

  std::vector<ColumnDescription> emp_columns = {NotNull("EMPLOYEE_ID", Number(6)),
                                         {"FIRST_NAME", Varchar2(20)},
                                         NotNull("LAST_NAME", Varchar2(25)),
                                         NotNull("EMAIL", Varchar2(25)),
                                         {"PHONE_NUMBER", Varchar2(20)},
                                         ColumnDescription("HIRE_DATE", Date(), false, "SYSDATE"),
                                         {"JOB_ID", Varchar2(10)},
                                         {"SALARY", Number(8, 2)},
                                         {"COMMISSION_PCT", Number(2, 2)},
                                         {"MANAGER_ID", Number(6)},
                                         {"DEPARTMENT_ID", Number(4)},
                                         ColumnDescription("ACTIVE", Char(1), true, "'Y'")};
  if (f.virtual_columns()) emp_columns.push_back(ColumnDescription("ANNUAL_SALARY", Number(10, 2), true, "", "\"SALARY\"*12"));
  TableDescription employees = Table("HR", "EMPLOYEES", "HR_DATA", emp_columns);
  ConstraintDescription manager = ForeignKey("EMP_MANAGER_FK", {"MANAGER_ID"}, "HR", "EMPLOYEES");
  manager.deferrable = true;
  manager.initially_deferred = true;
  ConstraintDescription salary = Check("EMP_SALARY_MIN", "salary > 0", {"SALARY"});
  ConstraintDescription commission = Check("EMP_COMMISSION_CK", "commission_pct between 0 and 0.99", {"COMMISSION_PCT"});
  commission.enabled = false;
  commission.validated = false;
  ConstraintDescription active = Check("", "active in ('Y', 'N')", {"ACTIVE"});
  active.rely = true;
  employees.constraints = {PrimaryKey("EMP_EMP_ID_PK", {"EMPLOYEE_ID"}),
                           Unique("EMP_EMAIL_UK", {"EMAIL"}),
                           salary,
                           commission,
                           active,
                           manager,
                           ForeignKey("EMP_DEPT_FK", {"DEPARTMENT_ID"}, "HR", "DEPARTMENTS", DeleteRule::kSetNull)};
  for (std::size_t i = 0; i < kEmployees.size(); ++i) {
    const auto& e = kEmployees[i];
    const int department = i == 0 || i == 1 || i == 2 ? 90 : i < 8 ? 60 : i < 14 ? 50 : i == 14 ? 80 : 50;
    RowValues row = {Num(e[0]),
                     Text(e[1]),
                     Text(e[2]),
                     Text(e[3]),
                     i % 5 == 4 ? Null() : Text("515.123." + std::to_string(4567 + i)),
                     Day(2003 + static_cast<int>(i % 6), 1 + static_cast<int>(i % 12), 1 + static_cast<int>((i * 7) % 28)),
                     Text(i < 3 ? "AD_VP" : i < 8 ? "IT_PROG" : "ST_CLERK"),
                     Num(e[4]),
                     i % 4 == 0 ? Num("0.2") : Null(),
                     i == 0 ? Null() : Num(i < 3 ? 100 : 103),
                     Num(department),
                     Text(i % 7 == 6 ? "N" : "Y")};
    if (f.virtual_columns()) row.push_back(Null());
    employees.rows.push_back(std::move(row));
  }
  s.tables.push_back(employees);
  s.indexes.push_back(Index("HR", "EMP_NAME_IX", "EMPLOYEES", {"LAST_NAME", "FIRST_NAME"}, "HR_DATA"));
  s.indexes.push_back(Index("HR", "EMP_UPPER_NAME_IX", "EMPLOYEES", {"(UPPER(\"LAST_NAME\"))"}, "HR_DATA"));
  IndexDescription reverse = Index("HR", "EMP_PHONE_RIX", "EMPLOYEES", {"PHONE_NUMBER"}, "HR_DATA");
  reverse.reverse = true;
  s.indexes.push_back(reverse);
  IndexDescription bitmap = Index("HR", "EMP_JOB_BIX", "EMPLOYEES", {"JOB_ID"}, "HR_DATA");
  bitmap.bitmap = true;
  s.indexes.push_back(bitmap);

  // An index-organized table whose rows continue in an overflow segment.
  TableDescription history = Table("HR", "JOB_HISTORY", "HR_DATA",
                            {NotNull("EMPLOYEE_ID", Number(6)), NotNull("START_DATE", Date()), {"END_DATE", Date()},
                             {"JOB_ID", Varchar2(10)}, {"DEPARTMENT_ID", Number(4)}, {"COMMENTS", Varchar2(200)}});
  history.organization = Organization::kIndexWithOverflow;
  history.including_column = "JOB_ID";
  history.overflow_tablespace = "USERS";
  history.pct_threshold = 30;
  history.constraints = {PrimaryKey("JHIST_EMP_ID_ST_DATE_PK", {"EMPLOYEE_ID", "START_DATE"})};
  history.rows = {{Num(102), Day(2001, 1, 13), Day(2006, 7, 24), Text("IT_PROG"), Num(60), Text("Moved to executive")},
                  {Num(101), Day(1997, 9, 21), Day(2001, 10, 27), Text("AC_ACCOUNT"), Num(110), Null()},
                  {Num(114), Day(2006, 3, 24), Day(2007, 12, 31), Text("ST_CLERK"), Num(50), Text("Promoted")},
                  {Num(101), Day(2001, 10, 28), Day(2005, 3, 15), Text("AC_MGR"), Num(110), Text("Reorganisation")}};
  s.tables.push_back(history);

  // A table with a column of every type the release has.
  std::vector<ColumnDescription> details = {NotNull("ID", Number(6)),
                                     {"CODE", CharChars(5)},
                                     {"LABEL_N", NVarchar2(30)},
                                     {"CODE_N", NChar(4)},
                                     {"RATIO", Float(63)},
                                     {"BIG_NUMBER", Number(38)},
                                     {"ANY_NUMBER", Number()},
                                     {"TOKEN", Raw(16)},
                                     {"SEEN", Date()},
                                     {"ROW_ADDRESS", Rowid()},
                                     {"ANY_ADDRESS", Urowid()},
                                     {"RESUME", Clob()},
                                     {"RESUME_N", NClob()},
                                     {"PHOTO", Blob()},
                                     {"CONTRACT", Bfile()},
                                     {"ADDRESS", ObjectOf("HR", "ADDRESS_T")},
                                     {"PHONES", VarrayOf("HR", "PHONE_LIST_T")},
                                     {"SKILLS", NestedTableOf("HR", "SKILL_TAB_T")}};
  if (f.timestamps()) {
    details.insert(details.end(), {{"STARTED", Timestamp(6)},
                                   {"STARTED_TZ", TimestampTz(3)},
                                   {"STARTED_LTZ", TimestampLtz(0)},
                                   {"TENURE", IntervalYm(3)},
                                   {"SHIFT", IntervalDs(2, 6)}});
  }
  if (f.binary_floats()) details.insert(details.end(), {{"SCORE", BinaryFloat()}, {"MEASURE", BinaryDouble()}});
  if (f.xml()) details.push_back({"PROFILE", XmlType()});
  TableDescription detail = Table("HR", "EMP_DETAILS", "HR_DATA", details);
  detail.constraints = {PrimaryKey("EMP_DETAILS_PK", {"ID"})};
  detail.nested_tables = {{"SKILLS", "EMP_SKILLS_NT"}};
  const auto detail_row = [&](int id, bool sparse) {
    RowValues r = {Num(id),
                   sparse ? Null() : Text("A" + std::to_string(id)),
                   sparse ? Null() : Text("\u0395\u03BB\u03AD\u03BD\u03B7 " + std::to_string(id)),
                   Text("N" + std::to_string(id)),
                   Num(sparse ? "-0.000125" : "3.14159265358979"),
                   Num(sparse ? "-99999999999999999999999999999999999999" : "12345678901234567890123456789012345678"),
                   Num(sparse ? "0" : "-1e-40"),
                   sparse ? Null() : Hex("00FF7F80DEADBEEF0123456789ABCDEF"),
                   Day(sparse ? -4712 : 2009, sparse ? 1 : 12, sparse ? 1 : 31, sparse ? 0 : 23, sparse ? 0 : 59, sparse ? 0 : 58),
                   Address(74001, 4, 130 + static_cast<std::uint32_t>(id), static_cast<std::uint16_t>(id)),
                   sparse ? Null() : Address(74002, 4, 200, 7),
                   Text(sparse ? "" : "Worked on the payroll system.\nLed the migration to 11g."),
                   sparse ? Null() : Text("\u0391\u03B8\u03AE\u03BD\u03B1 \u2013 r\u00E9sum\u00E9"),
                   sparse ? Null() : Hex("89504E470D0A1A0A0000000D49484452"),
                   sparse ? Null() : File("DOC_DIR", "contract_" + std::to_string(id) + ".pdf"),
                   sparse ? Null() : Object({Text("1 Main St"), Text("Z\u00FCrich"), Null()}),
                   sparse ? Null() : Collection({Text("+41 44 123 45 67"), Text("+1 650 555 0100")}),
                   Collection(sparse ? std::vector<Value>{} : std::vector<Value>{Text("SQL"), Text("PL/SQL"), Text("C++")})};
    if (sparse) r[11] = Null();
    if (f.timestamps()) {
      r.insert(r.end(), {Stamp(2009, 6, 15, 8, 30, 0, 123456000),
                         sparse ? StampRegion(2009, 6, 15, 6, 30, 0, 0x0161) : StampTz(2009, 6, 15, 8, 30, 0, 250000000, 120),
                         Stamp(2009, 6, 15, 6, 30, 0, 0),
                         sparse ? YearMonth(-1, -6) : YearMonth(12, 3),
                         DaySecond(sparse ? -3 : 4, sparse ? -12 : 5, sparse ? -30 : 6, sparse ? 0 : 7, sparse ? 0 : 890000000)});
    }
    if (f.binary_floats()) r.insert(r.end(), {Real(sparse ? -0.5f : 3.25f), Double(sparse ? 1e-300 : 6.02214076e23)});
    if (f.xml()) r.push_back(sparse ? Null() : Text("<profile><level>senior</level></profile>"));
    return r;
  };
  detail.rows = {detail_row(1, false), detail_row(2, true), detail_row(3, false)};
  s.tables.push_back(detail);

  // LONG and LONG RAW, each in a table of its own (one LONG per table).
  TableDescription notes = Table("HR", "EMP_NOTES", "HR_DATA", {NotNull("EMPLOYEE_ID", Number(6)), {"NOTE", Long()},
                                                         {"WRITTEN", Date()}});
  notes.rows = {{Num(100), Text("Founder of the company.\nKeep on the board."), Day(2008, 5, 1)},
                {Num(101), Null(), Day(2008, 5, 2)},
                {Num(103), Text(std::string(3000, 'x')), Null()}};
  s.tables.push_back(notes);
  TableDescription badges = Table("HR", "EMP_BADGES", "HR_DATA", {NotNull("EMPLOYEE_ID", Number(6)), {"PICTURE", LongRaw()}});
  badges.rows = {{Num(100), Hex("FFD8FFE000104A464946000101")}, {Num(104), Null()}};
  s.tables.push_back(badges);

  if (f.xml()) {
    TableDescription xml = Table("HR", "EMP_RESUMES_XML", "HR_DATA", {});
    xml.xmltype_table = true;
    xml.rows = {{Text("<resume><name>Steven King</name><years>22</years></resume>")},
                {Text("<resume><name>Neena Kochhar</name></resume>")}};
    s.tables.push_back(xml);
  }
}

void HrViewsAndCode(Schema& s) {
  ViewDescription emp_v;
  emp_v.owner = "HR";
  emp_v.name = "EMP_V";
  emp_v.text = "select employee_id, last_name, salary from hr.employees where active = 'Y'";
  emp_v.columns = {{"EMPLOYEE_ID", Number(6)}, {"LAST_NAME", Varchar2(25)}, {"SALARY", Number(8, 2)}};
  s.views.push_back(emp_v);
  // A view text longer than any block: its VIEW$ row spans row pieces.
  ViewDescription big;
  big.owner = "HR";
  big.name = "EMP_ALL_DEPTS_V";
  for (int d = 1; d <= 360; ++d) {
    big.text += std::string(d == 1 ? "" : "union all\n") +
                "select employee_id, first_name, last_name, salary from hr.employees where department_id = " +
                std::to_string(d * 10) + "\n";
  }
  big.columns = {{"EMPLOYEE_ID", Number(6)}, {"FIRST_NAME", Varchar2(20)}, {"LAST_NAME", Varchar2(25)},
                 {"SALARY", Number(8, 2)}};
  s.views.push_back(big);
  ViewDescription object_view;
  object_view.owner = "HR";
  object_view.name = "LOCATION_ADDRESS_OV";
  object_view.text = "select street_address, city, postal_code from hr.locations";
  object_view.columns = {{"STREET", Varchar2(40)}, {"CITY", Varchar2(30)}, {"POSTCODE", Varchar2(10)}};
  object_view.type_owner = "HR";
  object_view.type_name = "ADDRESS_T";
  object_view.oid_text = "STREET";
  s.views.push_back(object_view);

  SynonymDescription staff;
  staff.owner = "HR";
  staff.name = "STAFF";
  staff.target_owner = "HR";
  staff.target_name = "EMPLOYEES";
  s.synonyms.push_back(staff);
  SynonymDescription pub = staff;
  pub.owner = "PUBLIC";
  pub.name = "EMPLOYEES";
  s.synonyms.push_back(pub);

  SequenceDescription emp_seq;
  emp_seq.owner = "HR";
  emp_seq.name = "EMPLOYEES_SEQ";
  emp_seq.high_water = "221";
  s.sequences.push_back(emp_seq);
  SequenceDescription dept_seq;
  dept_seq.owner = "HR";
  dept_seq.name = "DEPARTMENTS_SEQ";
  dept_seq.increment = "-10";
  dept_seq.min_value = std::nullopt;
  dept_seq.max_value = "-1";
  dept_seq.cycle = true;
  dept_seq.order = true;
  dept_seq.cache = "0";
  dept_seq.high_water = "-271";
  s.sequences.push_back(dept_seq);

  const auto trigger = [&](std::string name, TriggerTiming timing, TriggerLevel level, bool ins, bool upd, bool del,
                           std::string body) {
    TriggerDescription t;
    t.owner = "HR";
    t.name = std::move(name);
    t.table = "EMPLOYEES";
    t.timing = timing;
    t.level = level;
    t.on_insert = ins;
    t.on_update = upd;
    t.on_delete = del;
    std::string events;
    for (const auto& [on, word] : {std::pair{ins, "insert"}, std::pair{upd, "update"}, std::pair{del, "delete"}}) {
      if (on) events += (events.empty() ? "" : " or ") + std::string(word);
    }
    t.description = "hr." + t.name + "\n" + (timing == TriggerTiming::kBefore ? "before " : "after ") + events +
                    " on hr.employees" + (level == TriggerLevel::kRow ? "\nfor each row" : "") + "\n";
    t.body = std::move(body);
    return t;
  };
  s.triggers.push_back(trigger("EMP_BI_TRG", TriggerTiming::kBefore, TriggerLevel::kRow, true, false, false,
                               "begin\n  -- new employees start active\n  :new.active := 'Y';\nend;"));
  TriggerDescription salary = trigger("EMP_SALARY_TRG", TriggerTiming::kBefore, TriggerLevel::kRow, false, true, false,
                               "begin\n  :new.salary := round(:new.salary, 2);\nend;");
  salary.when_clause = "new.salary > old.salary * 2";
  s.triggers.push_back(salary);
  s.triggers.push_back(trigger("EMP_AUDIT_TRG", TriggerTiming::kAfter, TriggerLevel::kRow, true, true, true,
                               "begin\n  null;  -- audited elsewhere\nend;"));
  s.triggers.push_back(trigger("EMP_BS_TRG", TriggerTiming::kBefore, TriggerLevel::kStatement, true, false, true,
                               "begin\n  dbms_application_info.set_action('employees');\nend;"));
  TriggerDescription disabled = trigger("EMP_AS_TRG", TriggerTiming::kAfter, TriggerLevel::kStatement, false, true, false,
                                 "begin\n  null;\nend;");
  disabled.enabled = false;
  s.triggers.push_back(disabled);
  TriggerDescription instead = trigger("EMP_V_IOI_TRG", TriggerTiming::kInsteadOf, TriggerLevel::kRow, true, false, false,
                                "begin\n  insert into hr.employees (employee_id, last_name, email, hire_date)\n"
                                "  values (:new.employee_id, :new.last_name, 'X' || :new.employee_id, sysdate);\nend;");
  instead.target = TriggerTarget::kView;
  instead.table = "EMP_V";
  instead.description = "hr.emp_v_ioi_trg\ninstead of insert on hr.emp_v\nfor each row\n";
  s.triggers.push_back(instead);
  TriggerDescription logon;
  logon.owner = "HR";
  logon.name = "HR_LOGON_TRG";
  logon.target = TriggerTarget::kDatabase;
  logon.timing = TriggerTiming::kAfter;
  logon.level = TriggerLevel::kStatement;
  logon.system_events = 0x08;
  logon.description = "hr.hr_logon_trg\nafter logon on database\n";
  logon.body = "begin\n  execute immediate 'alter session set nls_date_format = ''YYYY-MM-DD''';\nend;";
  s.triggers.push_back(logon);
  TriggerDescription ddl = logon;
  ddl.name = "HR_DDL_TRG";
  ddl.target = TriggerTarget::kSchema;
  ddl.timing = TriggerTiming::kBefore;
  ddl.system_events = 0x80;
  ddl.description = "hr.hr_ddl_trg\nbefore create on hr.schema\n";
  ddl.body = "begin\n  null;\nend;";
  s.triggers.push_back(ddl);

  s.code.push_back(Code("HR", "RAISE_SALARY", CodeKind::kProcedure,
                        Lines("PROCEDURE raise_salary (p_id IN NUMBER, p_pct IN NUMBER) IS\n"
                              "BEGIN\n"
                              "  UPDATE employees SET salary = salary * (1 + p_pct / 100)\n"
                              "   WHERE employee_id = p_id;\n"
                              "END raise_salary;")));
  s.code.push_back(Code("HR", "GET_DEPARTMENT_NAME", CodeKind::kFunction,
                        Lines("FUNCTION get_department_name (p_id IN NUMBER) RETURN VARCHAR2 IS\n"
                              "  v_name departments.department_name%TYPE;\n"
                              "BEGIN\n"
                              "  SELECT department_name INTO v_name FROM departments WHERE department_id = p_id;\n"
                              "  RETURN v_name;\n"
                              "END;")));
  s.code.push_back(Code("HR", "EMP_PKG", CodeKind::kPackage,
                        Lines("PACKAGE emp_pkg AS\n"
                              "  PROCEDURE hire (p_name VARCHAR2);\n"
                              "  FUNCTION headcount RETURN NUMBER;\n"
                              "END emp_pkg;")));
  s.code.push_back(Code("HR", "EMP_PKG", CodeKind::kPackageBody,
                        Lines("PACKAGE BODY emp_pkg AS\n"
                              "  PROCEDURE hire (p_name VARCHAR2) IS\n"
                              "  BEGIN\n"
                              "    INSERT INTO employees (employee_id, last_name, email)\n"
                              "    VALUES (employees_seq.NEXTVAL, p_name, upper(p_name));\n"
                              "  END;\n"
                              "  FUNCTION headcount RETURN NUMBER IS\n"
                              "    n NUMBER;\n"
                              "  BEGIN\n"
                              "    SELECT count(*) INTO n FROM employees;\n"
                              "    RETURN n;\n"
                              "  END;\n"
                              "END emp_pkg;")));

  DatabaseLinkDescription hq;
  hq.owner = "HR";
  hq.name = "HQ.EXAMPLE.COM";
  hq.host = "hq-db.example.com:1521/HQ";
  hq.user_name = "SCOTT";
  hq.password = "TIGER";
  s.links.push_back(hq);
  DatabaseLinkDescription archive;
  archive.owner = "PUBLIC";
  archive.name = "ARCHIVE.EXAMPLE.COM";
  archive.host = "ARCHIVE";
  s.links.push_back(archive);

  MaterializedViewLogDescription log;
  log.owner = "HR";
  log.master = "EMPLOYEES";
  log.filter_columns = {"SALARY", "DEPARTMENT_ID"};
  log.tablespace = "HR_DATA";
  s.materialized_view_logs.push_back(log);
  MaterializedViewDescription mv;
  mv.owner = "HR";
  mv.name = "EMP_SALARY_MV";
  mv.query = "select employee_id, salary, department_id from hr.employees";
  mv.master_owner = "HR";
  mv.master = "EMPLOYEES";
  mv.refresh_fast = true;
  mv.tablespace = "HR_DATA";
  mv.columns = {NotNull("EMPLOYEE_ID", Number(6)), {"SALARY", Number(8, 2)}, {"DEPARTMENT_ID", Number(4)}};
  for (std::size_t i = 0; i < 6; ++i) mv.rows.push_back({Num(kEmployees[i][0]), Num(kEmployees[i][4]), Num(i < 3 ? 90 : 60)});
  s.materialized_views.push_back(mv);
}

// ------------------------------------------------------------------ SALES
void SalesTables(Schema& s, const Features& f) {
  const std::string to_date = "TO_DATE(' ";
  const auto date_bound = [&](int year) {
    return to_date + std::to_string(year) + "-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')";
  };
  // Range partitions with a LOB column: a LOB fragment in every partition.
  TableDescription orders = Table("SALES", "ORDERS", "SALES_DATA",
                           {NotNull("ORDER_ID", Number(12)), NotNull("ORDER_DATE", Date()), {"CUSTOMER_ID", Number(6)},
                            {"STATUS", Varchar2(10)}, {"TOTAL", Number(10, 2)}, {"SCAN", Blob()}});
  orders.constraints = {PrimaryKey("ORDERS_PK", {"ORDER_ID"})};
  orders.partitioning.kind = PartitionKind::kRange;
  orders.partitioning.columns = {"ORDER_DATE"};
  int order_id = 2400;
  for (const auto& [name, year, ts] : {std::tuple{"ORDERS_2008", 2009, "SALES_HIST"}, std::tuple{"ORDERS_2009", 2010, "SALES_HIST"},
                                       std::tuple{"ORDERS_2010", 2011, "SALES_DATA"}}) {
    PartitionDescription p;
    p.name = name;
    p.high_value = date_bound(year);
    p.tablespace = ts;
    for (int i = 0; i < 4; ++i) {
      p.rows.push_back({Num(order_id++), Day(year - 1, 1 + 3 * i, 10 + i), Num(101 + i), Text(i % 2 ? "SHIPPED" : "OPEN"),
                        Num(std::to_string(100 + 37 * i) + ".95"), i == 1 ? Hex("25504446") : Null()});
    }
    orders.partitioning.partitions.push_back(std::move(p));
  }
  PartitionDescription max;
  max.name = "ORDERS_MAX";
  max.high_value = "MAXVALUE";
  orders.partitioning.partitions.push_back(max);
  s.tables.push_back(orders);
  IndexDescription local = Index("SALES", "ORDERS_DATE_LIX", "ORDERS", {"ORDER_DATE"}, "SALES_DATA");
  local.local_partitions = true;
  s.indexes.push_back(local);

  TableDescription customers = Table("SALES", "CUSTOMERS", "SALES_DATA",
                              {NotNull("CUSTOMER_ID", Number(6)), NotNull("NAME", Varchar2(50)), {"CITY", Varchar2(30)},
                               {"CREDIT_LIMIT", Number(9, 2)}});
  customers.constraints = {PrimaryKey("CUSTOMERS_PK", {"CUSTOMER_ID"}),
                           Check("CUST_CREDIT_LIMIT_MAX", "credit_limit <= 5000000", {"CREDIT_LIMIT"})};
  customers.partitioning.kind = PartitionKind::kHash;
  customers.partitioning.columns = {"CUSTOMER_ID"};
  const std::array<const char*, 8> names = {"Acme Corp", "Globex", "Initech", "Umbrella", "Stark Industries",
                                            "Wayne Enterprises", "Cyberdyne", "Soylent"};
  for (int p = 0; p < 4; ++p) {
    PartitionDescription part;
    part.name = "CUSTOMERS_P" + std::to_string(p + 1);
    for (int i = p; i < 8; i += 4) {
      part.rows.push_back({Num(101 + i), Text(names[static_cast<std::size_t>(i)]), i == 3 ? Null() : Text("Springfield"),
                           Num(std::to_string(5000 * (i + 1)))});
    }
    customers.partitioning.partitions.push_back(std::move(part));
  }
  s.tables.push_back(customers);

  // Composite range-hash partitions with a CLOB: LOB partitions and fragments per subpartition.
  TableDescription items = Table("SALES", "ORDER_ITEMS", "SALES_DATA",
                          {NotNull("ORDER_ID", Number(12)), NotNull("LINE_NO", Number(3)), {"PRODUCT", Varchar2(40)},
                           {"QUANTITY", Number(8)}, {"NOTES", Clob()}});
  items.constraints = {PrimaryKey("ORDER_ITEMS_PK", {"ORDER_ID", "LINE_NO"})};
  items.partitioning.kind = PartitionKind::kRange;
  items.partitioning.columns = {"ORDER_ID"};
  items.partitioning.subpartition_kind = PartitionKind::kHash;
  items.partitioning.subpartition_columns = {"LINE_NO"};
  for (int p = 0; p < 2; ++p) {
    PartitionDescription part;
    part.name = "ITEMS_P" + std::to_string(p + 1);
    part.high_value = p == 0 ? "2405" : "MAXVALUE";
    for (int sp = 0; sp < 2; ++sp) {
      SubpartitionDescription sub;
      sub.name = part.name + "_S" + std::to_string(sp + 1);
      for (int line = 1 + sp; line <= 4; line += 2) {
        sub.rows.push_back({Num(2400 + 6 * p), Num(line), Text("Widget " + std::to_string(line)), Num(line * 3),
                            line == 2 ? Text("Gift wrapped") : Null()});
      }
      part.subpartitions.push_back(std::move(sub));
    }
    items.partitioning.partitions.push_back(std::move(part));
  }
  s.tables.push_back(items);

  if (f.list_partitions()) {
    TableDescription regions = Table("SALES", "REGION_SALES", "SALES_DATA",
                              {NotNull("REGION", Varchar2(2)), NotNull("QUARTER", Varchar2(7)), {"AMOUNT", Number(12, 2)}});
    regions.partitioning.kind = PartitionKind::kList;
    regions.partitioning.columns = {"REGION"};
    const std::array<std::tuple<const char*, const char*, const char*>, 3> lists = {
        std::tuple{"RS_EUROPE", "'EU', 'UK'", "EU"}, std::tuple{"RS_AMERICA", "'US', 'CA'", "US"},
        std::tuple{"RS_OTHER", "DEFAULT", "JP"}};
    for (const auto& [name, values, region] : lists) {
      PartitionDescription p;
      p.name = name;
      p.high_value = values;
      p.rows = {{Text(region), Text("2009-Q4"), Num("125000.10")}, {Text(region), Text("2010-Q1"), Null()}};
      regions.partitioning.partitions.push_back(std::move(p));
    }
    s.tables.push_back(regions);

    TableDescription shipments = Table("SALES", "SHIPMENTS", "SALES_DATA",
                                {NotNull("SHIPMENT_ID", Number(10)), NotNull("SHIP_DATE", Date()), {"CARRIER", Varchar2(10)}});
    shipments.partitioning.kind = PartitionKind::kRange;
    shipments.partitioning.columns = {"SHIP_DATE"};
    shipments.partitioning.subpartition_kind = PartitionKind::kList;
    shipments.partitioning.subpartition_columns = {"CARRIER"};
    for (int year : {2009, 2010}) {
      PartitionDescription p;
      p.name = "SHIP_" + std::to_string(year);
      p.high_value = date_bound(year + 1);
      const std::array<std::pair<const char*, const char*>, 2> carriers = {std::pair{"'DHL'", "DHL"}, std::pair{"DEFAULT", "UPS"}};
      for (std::size_t c = 0; c < carriers.size(); ++c) {
        SubpartitionDescription sub;
        sub.name = p.name + (c == 0 ? "_DHL" : "_OTHER");
        sub.high_value = carriers[c].first;
        sub.rows = {{Num(year * 10 + static_cast<int>(c)), Day(year, 3, 1), Text(carriers[c].second)}};
        p.subpartitions.push_back(std::move(sub));
      }
      shipments.partitioning.partitions.push_back(std::move(p));
    }
    s.tables.push_back(shipments);
  }
  if (f.virtual_columns()) {
    TableDescription events = Table("SALES", "EVENTS", "SALES_DATA", {NotNull("EVENT_ID", Number(10)), NotNull("EVENT_DATE", Date()),
                                                               {"KIND", Varchar2(20)}});
    events.partitioning.kind = PartitionKind::kRange;
    events.partitioning.columns = {"EVENT_DATE"};
    events.partitioning.interval = "NUMTOYMINTERVAL(1,'MONTH')";
    PartitionDescription first;
    first.name = "EVENTS_FIRST";
    first.high_value = date_bound(2010);
    first.rows = {{Num(1), Day(2009, 12, 24), Text("launch")}};
    events.partitioning.partitions.push_back(first);
    s.tables.push_back(events);
  }

  TableDescription products = Table("SALES", "PRODUCTS", "SALES_DATA",
                             {NotNull("PRODUCT_ID", Number(6)), NotNull("NAME", Varchar2(40)), {"LIST_PRICE", Number(8, 2)},
                              ColumnDescription("STATUS", Varchar2(10), true, "'orderable'")});
  products.constraints = {PrimaryKey("PRODUCTS_PK", {"PRODUCT_ID"}), Unique("PRODUCTS_NAME_UK", {"NAME"})};
  products.rows = {{Num(1), Text("Widget"), Num("9.99"), Text("orderable")},
                   {Num(2), Text("Gadget"), Num("24.50"), Text("obsolete")},
                   {Num(3), Text("Gizmo"), Null(), Null()}};
  s.tables.push_back(products);
  TableDescription lines = Table("SALES", "PRICE_HISTORY", "SALES_DATA",
                          {NotNull("PRODUCT_ID", Number(6)), NotNull("CHANGED", Date()), {"PRICE", Number(8, 2)}});
  ConstraintDescription cascade = ForeignKey("PRICE_PRODUCT_FK", {"PRODUCT_ID"}, "SALES", "PRODUCTS", DeleteRule::kCascade);
  lines.constraints = {cascade};
  lines.rows = {{Num(1), Day(2009, 1, 1), Num("8.99")}, {Num(1), Day(2010, 1, 1), Num("9.99")}};
  s.tables.push_back(lines);

  ViewDescription summary;
  summary.owner = "SALES";
  summary.name = "ORDER_SUMMARY_V";
  summary.text = "select customer_id, count(*) orders, sum(total) total from sales.orders group by customer_id";
  summary.columns = {{"CUSTOMER_ID", Number(6)}, {"ORDERS", Number()}, {"TOTAL", Number()}};
  summary.read_only = true;
  s.views.push_back(summary);

  SynonymDescription remote;
  remote.owner = "SALES";
  remote.name = "HQ_ORDERS";
  remote.target_owner = "SALES";
  remote.target_name = "ORDERS";
  remote.link = "HQ.EXAMPLE.COM";
  s.synonyms.push_back(remote);

  SequenceDescription order_seq;
  order_seq.owner = "SALES";
  order_seq.name = "ORDER_SEQ";
  order_seq.increment = "1";
  order_seq.min_value = "1000";
  order_seq.max_value = "99999999";
  order_seq.cache = "100";
  order_seq.high_water = "2500";
  s.sequences.push_back(order_seq);

  if (f.xml()) {
    XmlSchemaDescription po;
    po.owner = "SALES";
    po.url = "http://www.example.com/schemas/purchase_order.xsd";
    po.target_namespace = "http://www.example.com/po";
    const auto element = [](std::string name, std::string type, std::string sql_name, std::string sql_type, bool global) {
      XmlElementDescription e;
      e.name = std::move(name);
      e.type = std::move(type);
      e.sql_name = std::move(sql_name);
      e.sql_type = std::move(sql_type);
      e.global = global;
      return e;
    };
    po.elements = {element("PurchaseOrder", "PurchaseOrderType", "PURCHASEORDER", "PURCHASEORDER_T", true),
                   element("Reference", "string", "REFERENCE", "VARCHAR2", false),
                   element("OrderDate", "date", "ORDERDATE", "DATE", false),
                   element("Amount", "decimal", "AMOUNT", "NUMBER", false),
                   element("Customer", "CustomerType", "CUSTOMER", "CUSTOMER_T", false)};
    po.elements.back().min_occurs = "0";
    po.elements.back().max_occurs = "unbounded";
    po.attributes = {element("currency", "string", "CURRENCY", "VARCHAR2", false)};
    po.complex_types = {{"PurchaseOrderType", "PURCHASEORDER_T"}, {"CustomerType", "CUSTOMER_T"}};
    po.simple_types = {"MoneyType"};
    s.xml_schemas.push_back(po);
  }

  s.code.push_back(Code("SALES", "ORDER_TOTAL", CodeKind::kFunction,
                        Lines("FUNCTION order_total (p_order IN NUMBER) RETURN NUMBER IS\n"
                              "  v NUMBER;\n"
                              "BEGIN\n"
                              "  SELECT total INTO v FROM orders WHERE order_id = p_order;\n"
                              "  RETURN v;\n"
                              "END;")));
}

}  // namespace

Schema SampleSchema(const std::string& release) {
  Schema s = BaseSchema(release);
  const Features f = FeaturesOf(release);
  s.time_zone = f.order >= 1 ? "+01:00" : "";
  Security(s, f);
  Types(s);
  HrTables(s, f);
  HrViewsAndCode(s);
  SalesTables(s, f);
  ObjectGrants(s);
  return s;
}

}  // namespace quillon::testdb
