// A small data dictionary for tests and benchmarks: the rows of the
// dictionary tables the reader needs, added object by object, laid out as
// the dictionary segments of a SYSTEM datafile (free-list segments at the
// release's data object numbers, the clustered tables in their clusters,
// every row in Oracle's stored column order: cluster member rows without
// their key columns, LONG columns last).
//
// It writes what a few objects need, not a whole database's dictionary: the
// full dictionary writer describes every table of every release.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/dictionary_segments.h"
#include "testdb/model.h"

namespace quillon::testdb {

class MiniDictionary {
 public:
  // release: "9i", "10.2", "11.1", "11.2"; alternative: the alternative 11g
  // Release 2 numbering.
  explicit MiniDictionary(std::string release, bool alternative = false);

  int release_code() const { return release_code_; }

  void AddTablespace(std::uint32_t number, std::string_view name, std::uint32_t block_size = 8192);
  // password: std::nullopt for NULL.
  void AddUser(std::uint32_t number, std::string_view name, std::uint32_t tablespace,
               std::optional<std::string> password = std::string("F894844C34402B67"));
  void AddRole(std::uint32_t number, std::string_view name);
  // An OBJ$ row; namespace and type as Oracle numbers them.
  void AddObject(std::uint32_t number, std::uint32_t owner, std::string_view name, std::uint32_t name_space,
                 std::uint32_t type, std::optional<std::uint32_t> data_object = std::nullopt,
                 std::string_view subname = {});
  // A table: its OBJ$ row and TAB$ row (in tablespace ts, segment header at
  // file/block when it has a segment).
  void AddTable(std::uint32_t number, std::uint32_t owner, std::string_view name, std::uint32_t tablespace,
                std::optional<std::uint32_t> data_object, std::uint32_t file = 4, std::uint32_t block = 100,
                std::uint64_t property = 0);
  struct Column {
    std::string name;
    std::uint32_t type = 2;  // COL$.TYPE#
    std::uint32_t length = 22;
    std::optional<std::uint32_t> precision;
    std::optional<std::uint32_t> scale;
    bool nullable = true;
    std::optional<std::string> default_text;
    std::uint32_t charset = 0;  // CHARSETID; 0: NULL
  };
  // A COL$ row: column number and internal column number `number`.
  void AddColumn(std::uint32_t table, std::uint32_t number, const Column& column);
  // CON$, CDEF$ and CCOL$ rows of a constraint on the columns (by number).
  void AddConstraint(std::uint32_t table, std::uint32_t owner, std::uint32_t constraint_number,
                     std::string_view name, std::uint32_t type, std::vector<std::uint32_t> columns,
                     std::optional<std::string> condition = std::nullopt);
  void AddIndex(std::uint32_t table, std::uint32_t index, std::uint32_t tablespace, bool unique,
                std::vector<std::uint32_t> columns);
  void AddViewText(std::uint32_t view, std::string_view text);
  void AddSourceLine(std::uint32_t object, std::uint32_t line, std::string_view text);
  void AddSequence(std::uint32_t object, std::int64_t increment, std::int64_t cache, std::int64_t high_water);
  void AddSynonym(std::uint32_t object, std::string_view owner, std::string_view name);
  void AddTrigger(std::uint32_t object, std::uint32_t base_object, std::uint32_t type, bool insert, bool update,
                  bool delete_, std::string_view definition, std::string_view body);
  // PROPS$ (a SYS table with its own segment) with the two character sets.
  void AddProperties(std::string_view character_set, std::string_view national_character_set,
                     std::uint32_t data_object = 96);

  // Appends every dictionary segment of the release to a model (in its
  // SYSTEM datafile, in object number order, empty where no rows were added).
  // migrated_every: every n-th OBJ$ row is stored as a migrated row (0: none).
  void AddSegments(DatabaseModel& model, std::uint32_t migrated_every = 0) const;

  // Rows of a heap segment and key rows of a cluster, by segment.
  std::map<SystemSegment, std::vector<Row>> heap_rows;
  struct ClusterRows {
    std::uint8_t members = 0;
    std::vector<ClusterKey> keys;
    std::map<std::string, std::size_t> key_index;  // key bytes -> position in keys
  };
  std::map<SystemSegment, ClusterRows> cluster_rows;
  // Extra heap segments (PROPS$), by data object number.
  std::map<std::uint32_t, std::vector<Row>> extra_heaps;

 private:
  void AddMember(SystemSegment cluster, std::vector<Bytes> key, std::uint8_t member, Row row);
  std::uint32_t Number(SystemSegment segment) const;

  std::string release_;
  int release_code_ = 0;
  bool alternative_ = false;
};

// A dictionary with n_tables tables of n_columns columns each (owner SCOTT,
// user 84), a few users, tablespaces, views, code and constraints: for
// benchmarks and fuzzing.
MiniDictionary SampleDictionary(const std::string& release, std::uint32_t n_tables, std::uint32_t n_columns);

}  // namespace quillon::testdb
