// The rows of every dictionary table for a resolved schema, in the stored
// order of the release: heap tables as row lists, clusters as keys with the
// rows of their member tables. Rows that point at segments (TAB$, IND$,
// CLU$, LOB$, the partition tables) take the segment header addresses the
// layout plan gives (PlanSegmentHeaders), so they point at the real
// segments.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "testdb/dictionary_row.h"
#include "testdb/resolved_schema.h"

namespace quillon::testdb {

class DictionaryRows {
 public:
  // headers: the header DBA of every segment of the resolved schema, by its
  // index in ResolvedSchema::segments.
  DictionaryRows(const ResolvedSchema& schema, const std::vector<std::uint32_t>& headers, std::uint32_t block_size);

  // The rows of a heap dictionary table, in insertion order (moved out).
  std::shared_ptr<const CompactRows> TakeHeapRows(const std::string& table);
  // The keys of a dictionary cluster in key order, each with the rows of the
  // cluster's member tables under it (moved out).
  std::vector<ClusterKey> TakeClusterKeys(const std::string& cluster);

 private:
  // dictionary_rows.cpp: objects, users, tablespaces, grants, properties
  void Objects();
  void Security();
  void Tablespaces();
  void Properties();
  // dictionary_rows_tables.cpp: the C_OBJ# members, constraints, partitions
  void TablesAndColumns();
  void Indexes();
  void Lobs();
  void TypedColumns();
  void Constraints();
  void Partitions();
  void ColumnRow(std::uint32_t object, const RColumn& column);
  // dictionary_rows_code.cpp: views, synonyms, sequences, triggers, source,
  // types, links, materialized views and logs
  void Views();
  void Synonyms();
  void Sequences();
  void Triggers();
  void Source();
  void Types();
  void Links();
  void MaterializedViews();

  DictRow New(const std::string& table) const;
  void Add(const std::string& table, DictRow& row);
  void Add(const std::string& table, DictRow&& row) { Add(table, row); }
  std::uint32_t File(int segment) const;
  std::uint32_t Block(int segment) const;
  const DateTimeFields& Created() const { return created_; }

  const ResolvedSchema& r_;
  const std::vector<std::uint32_t>& headers_;
  std::uint32_t block_size_;
  DictVersion version_;
  const CharsetInfo* charset_;
  DateTimeFields created_;
  // What Add needs of every dictionary table, looked up once.
  struct TableInfo {
    bool exists = false;
    std::uint32_t position = 0;      // TAB# in its cluster; 0 for heap tables
    std::size_t member_count = 0;    // members of its cluster
    std::vector<int> stored;         // stored column positions (member rows for cluster members)
    CompactRows* heap = nullptr;
    std::map<std::vector<Bytes>, ClusterKey>* keys = nullptr;
  };
  TableInfo& Info(const std::string& table);
  std::map<std::string, TableInfo, std::less<>> info_;
  std::map<std::string, std::shared_ptr<CompactRows>> heaps_;
  std::map<std::string, std::map<std::vector<Bytes>, ClusterKey>> clusters_;
};

// AUDIT$ of an object nothing is audited on.
inline constexpr std::string_view kNoAudit = "--------------------------------------";

}  // namespace quillon::testdb
