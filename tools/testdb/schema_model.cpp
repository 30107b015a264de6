#include "testdb/schema_model.h"

#include "testdb/release_profile.h"
#include "testdb/values.h"

namespace quillon::testdb {

namespace {

ColumnType Sized(SqlType type, std::uint32_t length) {
  ColumnType t;
  t.type = type;
  t.length = length;
  return t;
}

ColumnType Typed(SqlType type, std::string owner, std::string name) {
  ColumnType t;
  t.type = type;
  t.type_owner = std::move(owner);
  t.type_name = std::move(name);
  return t;
}

ColumnType Fraction(SqlType type, std::int32_t fraction) {
  ColumnType t;
  t.type = type;
  t.scale = fraction;
  return t;
}

}  // namespace

ColumnType Varchar2(std::uint32_t bytes) { return Sized(SqlType::kVarchar2, bytes); }
ColumnType NVarchar2(std::uint32_t characters) { return Sized(SqlType::kNVarchar2, characters); }
ColumnType Char(std::uint32_t bytes) { return Sized(SqlType::kChar, bytes); }
ColumnType NChar(std::uint32_t characters) { return Sized(SqlType::kNChar, characters); }
ColumnType Varchar2Chars(std::uint32_t characters) {
  ColumnType t = Sized(SqlType::kVarchar2, characters);
  t.char_semantics = true;
  return t;
}
ColumnType CharChars(std::uint32_t characters) {
  ColumnType t = Sized(SqlType::kChar, characters);
  t.char_semantics = true;
  return t;
}
ColumnType Number() { return Sized(SqlType::kNumber, 0); }
ColumnType Number(std::uint32_t precision, std::int32_t scale) {
  ColumnType t = Number();
  t.precision = precision;
  t.scale = scale;
  return t;
}
ColumnType Float(std::uint32_t precision) {
  ColumnType t = Sized(SqlType::kFloat, 0);
  t.precision = precision;
  return t;
}
ColumnType Integer() {
  ColumnType t = Number();
  t.scale = 0;
  return t;
}
ColumnType Long() { return Sized(SqlType::kLong, 0); }
ColumnType Date() { return Sized(SqlType::kDate, 0); }
ColumnType Raw(std::uint32_t bytes) { return Sized(SqlType::kRaw, bytes); }
ColumnType LongRaw() { return Sized(SqlType::kLongRaw, 0); }
ColumnType Rowid() { return Sized(SqlType::kRowid, 0); }
ColumnType Urowid() { return Sized(SqlType::kUrowid, 0); }
ColumnType BinaryFloat() { return Sized(SqlType::kBinaryFloat, 0); }
ColumnType BinaryDouble() { return Sized(SqlType::kBinaryDouble, 0); }
ColumnType Clob() { return Sized(SqlType::kClob, 0); }
ColumnType NClob() { return Sized(SqlType::kNClob, 0); }
ColumnType Blob() { return Sized(SqlType::kBlob, 0); }
ColumnType Bfile() { return Sized(SqlType::kBfile, 0); }
ColumnType Timestamp(std::int32_t fraction) { return Fraction(SqlType::kTimestamp, fraction); }
ColumnType TimestampTz(std::int32_t fraction) { return Fraction(SqlType::kTimestampTz, fraction); }
ColumnType TimestampLtz(std::int32_t fraction) { return Fraction(SqlType::kTimestampLtz, fraction); }
ColumnType IntervalYm(std::uint32_t year_precision) {
  ColumnType t = Sized(SqlType::kIntervalYm, 0);
  t.precision = year_precision;
  t.scale = 0;
  return t;
}
ColumnType IntervalDs(std::uint32_t day_precision, std::int32_t fraction) {
  ColumnType t = Sized(SqlType::kIntervalDs, 0);
  t.precision = day_precision;
  t.scale = fraction;
  return t;
}
ColumnType ObjectOf(std::string owner, std::string name) { return Typed(SqlType::kObject, owner, name); }
ColumnType RefTo(std::string owner, std::string name) { return Typed(SqlType::kRef, owner, name); }
ColumnType NestedTableOf(std::string owner, std::string name) { return Typed(SqlType::kNestedTable, owner, name); }
ColumnType VarrayOf(std::string owner, std::string name) { return Typed(SqlType::kVarray, owner, name); }
ColumnType XmlType() { return Typed(SqlType::kXmlType, "SYS", "XMLTYPE"); }

namespace val {

Value Null() { return {}; }

Value Text(std::string text) {
  Value v;
  v.kind = Value::Kind::kText;
  v.text = std::move(text);
  return v;
}

Value Num(std::string decimal) {
  Value v;
  v.kind = Value::Kind::kNumber;
  v.text = std::move(decimal);
  return v;
}

Value Num(std::int64_t value) { return Num(std::to_string(value)); }

Value Date(int year, int month, int day, int hour, int minute, int second) {
  return Stamp(year, month, day, hour, minute, second, 0);
}

Value Stamp(int year, int month, int day, int hour, int minute, int second, std::int32_t nanoseconds) {
  Value v;
  v.kind = Value::Kind::kDateTime;
  v.time = DateTimeFields{year, month, day, hour, minute, second, static_cast<std::uint32_t>(nanoseconds)};
  return v;
}

Value StampTz(int year, int month, int day, int hour, int minute, int second, std::int32_t nanoseconds,
              int offset_minutes) {
  Value v = Stamp(year, month, day, hour, minute, second, nanoseconds);
  v.kind = Value::Kind::kTimestampTz;
  v.a = offset_minutes;
  return v;
}

Value StampRegion(int year, int month, int day, int hour, int minute, int second, std::uint16_t region_id) {
  Value v = Stamp(year, month, day, hour, minute, second, 0);
  v.kind = Value::Kind::kTimestampTzRegion;
  v.a = region_id;
  return v;
}

Value YearMonth(std::int32_t years, int months) {
  Value v;
  v.kind = Value::Kind::kIntervalYm;
  v.a = years;
  v.b = months;
  return v;
}

Value DaySecond(std::int32_t days, int hours, int minutes, int seconds, std::int32_t nanoseconds) {
  Value v;
  v.kind = Value::Kind::kIntervalDs;
  v.a = days;
  v.b = hours;
  v.c = minutes;
  v.d = seconds;
  v.e = nanoseconds;
  return v;
}

Value Float(float value) {
  Value v;
  v.kind = Value::Kind::kBinaryFloat;
  v.real = value;
  return v;
}

Value Double(double value) {
  Value v;
  v.kind = Value::Kind::kBinaryDouble;
  v.real = value;
  return v;
}

Value Bytes(testdb::Bytes bytes) {
  Value v;
  v.kind = Value::Kind::kBytes;
  v.bytes = std::move(bytes);
  return v;
}

Value Hex(std::string_view hex) { return Bytes(EncodeRaw(hex)); }

Value Rowid(std::uint32_t object, std::uint32_t file, std::uint32_t block, std::uint16_t row) {
  Value v;
  v.kind = Value::Kind::kRowid;
  v.a = static_cast<std::int32_t>(object);
  v.b = static_cast<std::int32_t>(file);
  v.c = static_cast<std::int32_t>(block);
  v.d = row;
  return v;
}

Value Bfile(std::string directory, std::string file) {
  Value v;
  v.kind = Value::Kind::kBfile;
  v.text = std::move(directory);
  v.text2 = std::move(file);
  return v;
}

Value Object(std::vector<Value> attributes) {
  Value v;
  v.kind = Value::Kind::kObject;
  v.items = std::move(attributes);
  return v;
}

Value Collection(std::vector<Value> elements) {
  Value v;
  v.kind = Value::Kind::kCollection;
  v.items = std::move(elements);
  return v;
}

}  // namespace val

Schema BaseSchema(const std::string& release) {
  Schema s;
  const auto profile = FindReleaseProfile(release);
  const bool sysaux = profile && profile->has_sysaux;
  const bool legacy = !sysaux;
  // 8i and 9i databases were mostly created in a single-byte character set.
  if (legacy) s.character_set = "WE8ISO8859P1";
  const SpaceManagement user_space = release == "8i" ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
  s.tablespaces.push_back({"SYSTEM", TablespaceContents::kPermanent, SpaceManagement::kFreeList, {"SYSTEM01.DBF"}});
  s.tablespaces.push_back({"UNDOTBS1", TablespaceContents::kUndo, SpaceManagement::kFreeList, {"UNDOTBS01.DBF"}});
  if (sysaux) s.tablespaces.push_back({"SYSAUX", TablespaceContents::kPermanent, SpaceManagement::kAssm, {"SYSAUX01.DBF"}});
  s.tablespaces.push_back({"TEMP", TablespaceContents::kTemporary, SpaceManagement::kFreeList, {}});
  s.tablespaces.push_back({"USERS", TablespaceContents::kPermanent, user_space, {"USERS01.DBF"}});
  // 9i keeps the XML repository in a tablespace of its own.
  if (legacy) s.tablespaces.push_back({"XDB", TablespaceContents::kPermanent, user_space, {"XDB01.DBF"}});
  const std::string aux = sysaux ? "SYSAUX" : "XDB";

  const auto user = [](std::string name, std::uint32_t number, std::string tablespace, std::string hash,
                       std::uint32_t status) {
    UserDescription u;
    u.name = std::move(name);
    u.number = number;
    u.default_tablespace = std::move(tablespace);
    u.password_hash = std::move(hash);
    u.account_status = status;
    return u;
  };
  // 9: expired and locked, as a fresh database has its internal accounts.
  s.users = {user("SYS", 0, "SYSTEM", "8A8F025737A9097A", 0), user("SYSTEM", 5, "SYSTEM", "2D594E86F93B17A1", 0),
             user("OUTLN", 11, "SYSTEM", "4A3BA55E08595C81", 9), user("XDB", 35, aux, "88D8364765FCE6AF", 9)};
  const auto role = [](std::string name, std::uint32_t number) {
    RoleDescription r;
    r.name = std::move(name);
    r.number = number;
    return r;
  };
  s.roles = {role("PUBLIC", 1), role("CONNECT", 2), role("RESOURCE", 3), role("DBA", 4)};
  s.system_grants = {
      {"CONNECT", "CREATE SESSION"},
      {"RESOURCE", "CREATE TABLE"},
      {"RESOURCE", "CREATE SEQUENCE"},
      {"RESOURCE", "CREATE PROCEDURE"},
      {"RESOURCE", "CREATE TRIGGER"},
      {"RESOURCE", "CREATE TYPE"},
      {"RESOURCE", "CREATE CLUSTER"},
      {"DBA", "CREATE USER", false, true},
      {"DBA", "UNLIMITED TABLESPACE", false, true},
      {"SYSTEM", "DBA", true, true},
      {"SYSTEM", "UNLIMITED TABLESPACE"},
  };
  return s;
}

}  // namespace quillon::testdb
