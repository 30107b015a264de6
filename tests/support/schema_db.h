// A generated database with a data dictionary and table data for the scan
// tests: users SYS, SCOTT and HR, tables whose rows lie in USERS segments
// (EMP in automatic space management with migrated, chained, deleted rows
// and free slots; DEPT in a free-list segment; HR.EMPTY without rows), a
// table without columns and without segment (NOCOLS), a materialized view
// log table the tree hides (MLOG$_EMP), a view and a sequence.
//
// The dictionary names each table's segment header, so the data segments are
// laid out first (a dry run) to learn where their headers go; the dictionary
// segments all lie in SYSTEM and leave the USERS layout as it was.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "support/generated_db.h"
#include "testdb/mini_dictionary.h"

namespace quillon::test {

struct SchemaDb {
  std::unique_ptr<GeneratedDb> db;
  std::map<std::string, std::uint64_t> rows;  // rows with data written, by OWNER.TABLE
};

namespace schema_db {
inline constexpr std::uint32_t kEmp = 70101;
inline constexpr std::uint32_t kDept = 70102;
inline constexpr std::uint32_t kEmpty = 70103;
inline constexpr std::uint32_t kNoColumns = 70104;
inline constexpr std::uint32_t kMlog = 70105;
inline constexpr std::uint32_t kView = 70106;
inline constexpr std::uint32_t kSequence = 70107;
}  // namespace schema_db

// Rows that hold data: not deleted, not free slots.
inline std::uint64_t LiveRows(const std::vector<testdb::RowPlacement>& rows) {
  std::uint64_t n = 0;
  for (const testdb::RowPlacement& r : rows) {
    if (!r.pieces.empty() && r.pieces.front().flag != 0 && !(r.pieces.front().flag & format::row::kDeleted)) ++n;
  }
  return n;
}
inline std::uint64_t LiveRows(const testdb::SegmentLayout& s) { return LiveRows(s.rows); }

inline testdb::DatabaseModel SchemaDataModel(const std::string& release) {
  using testdb::Bytes;
  using testdb::Placement;
  using testdb::Row;
  auto model = testdb::NewDatabaseModel("SCAN", release, 8192, 11);
  model.decoys = {false, false, false, false};
  testdb::SegmentModel emp;
  emp.name = "EMP";
  emp.object_number = schema_db::kEmp;
  emp.space = SpaceManagement::kAssm;
  for (std::uint8_t i = 0; i < 150; ++i) {
    emp.rows.push_back(Row({Bytes{0xC2, 0x02, static_cast<std::uint8_t>(i % 99 + 1)}, Bytes(40, 'e')}));
  }
  emp.rows.push_back(Row({Bytes{0xC1, 0x02}, Bytes(20, 'm')}, Placement::kMigrated));
  emp.rows.push_back(Row({Bytes{0xC1, 0x03}, Bytes(20, 'c')}, Placement::kChained, 3));
  emp.rows.push_back(Row({}, Placement::kDeleted));
  emp.rows.push_back(Row({}, Placement::kFreeSlot));
  model.segments.push_back(emp);
  testdb::SegmentModel dept;
  dept.name = "DEPT";
  dept.object_number = schema_db::kDept;
  dept.space = SpaceManagement::kFreeList;
  for (std::uint8_t i = 1; i <= 4; ++i) dept.rows.push_back(Row({Bytes{0xC1, static_cast<std::uint8_t>(i + 1)}}));
  model.segments.push_back(dept);
  testdb::SegmentModel empty;
  empty.name = "EMPTY";
  empty.object_number = schema_db::kEmpty;
  model.segments.push_back(empty);
  return model;
}

// The database of a release ("9i", "10.2", "11.1", "11.2"), written once per
// process.
inline const SchemaDb& SchemaDatabase(const std::string& release) {
  static std::map<std::string, SchemaDb> cache;
  SchemaDb& out = cache[release];
  if (out.db) return out;
  namespace s = schema_db;
  const auto dry = Generate(SchemaDataModel(release), "schema-dry-" + release);
  const auto header = [&](std::uint32_t object) { return dry->layout.FindSegment(object)->header_dba; };

  testdb::MiniDictionary d(release);
  d.AddTablespace(0, "SYSTEM");
  d.AddTablespace(4, "USERS");
  d.AddUser(0, "SYS", 0);
  d.AddRole(1, "PUBLIC");
  d.AddUser(84, "SCOTT", 4);
  d.AddUser(85, "HR", 4);
  const auto table = [&](std::uint32_t object, std::uint32_t owner, const char* name, bool segment) {
    const std::uint32_t h = segment ? header(object) : 0;
    d.AddTable(object, owner, name, 4, segment ? std::optional<std::uint32_t>(object) : std::nullopt,
               format::DbaFile(h), format::DbaBlock(h));
  };
  testdb::MiniDictionary::Column number;
  number.name = "EMPNO";
  number.precision = 4;
  number.scale = 0;
  number.nullable = false;
  testdb::MiniDictionary::Column text;
  text.name = "ENAME";
  text.type = 1;
  text.length = 40;
  text.charset = 178;
  table(s::kEmp, 84, "EMP", true);
  d.AddColumn(s::kEmp, 1, number);
  d.AddColumn(s::kEmp, 2, text);
  table(s::kDept, 84, "DEPT", true);
  number.name = "DEPTNO";
  d.AddColumn(s::kDept, 1, number);
  table(s::kNoColumns, 84, "NOCOLS", false);
  table(s::kMlog, 84, "MLOG$_EMP", false);
  d.AddColumn(s::kMlog, 1, number);
  table(s::kEmpty, 85, "EMPTY", true);
  d.AddColumn(s::kEmpty, 1, number);
  d.AddObject(s::kView, 84, "V_EMP", 1, 4);
  d.AddViewText(s::kView, "select empno from emp");
  d.AddObject(s::kSequence, 84, "S_EMP", 1, 6);
  d.AddSequence(s::kSequence, 1, 20, 1);

  auto model = SchemaDataModel(release);
  d.AddSegments(model);
  out.db = Generate(std::move(model), "schema-" + release);
  for (const std::uint32_t object : {s::kEmp, s::kDept, s::kEmpty}) {
    // The dictionary segments must not have moved the data segments.
    EXPECT_EQ(out.db->layout.FindSegment(object)->header_dba, header(object));
  }
  out.rows["SCOTT.EMP"] = LiveRows(*out.db->layout.FindSegment(s::kEmp));
  out.rows["SCOTT.DEPT"] = LiveRows(*out.db->layout.FindSegment(s::kDept));
  out.rows["HR.EMPTY"] = 0;
  return out;
}

}  // namespace quillon::test
