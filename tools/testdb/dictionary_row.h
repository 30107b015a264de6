// One row of a dictionary table, filled column by column by name and
// written in the stored order of a release (dictionary_tables.h): LONG
// columns last, cluster key columns in the key row only, the columns the
// release does not have left out.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/charset.h"
#include "reader/value_datetime.h"
#include "testdb/dictionary_tables.h"
#include "testdb/model.h"

namespace quillon::testdb {

// NUMBER bytes of an integer, fast for the small non-negative values the
// dictionary is full of.
Bytes NumberBytes(std::int64_t value);

// Rows kept in one buffer, each as its columns with their length bytes
// (the stored form): a heap dictionary table of many rows costs one
// allocation, and the layout engine takes them through a RowGenerator.
class CompactRows {
 public:
  void Append(std::span<const ColumnBytes* const> columns);
  std::size_t size() const { return starts_.size(); }
  // Row index into buffer; false past the last row.
  bool Get(std::size_t index, RowBuffer& buffer) const;
  RowGenerator Generator(std::shared_ptr<const CompactRows> self) const;

 private:
  Bytes data_;
  std::vector<std::uint32_t> starts_;  // where each row starts in data_
};

class DictRow {
 public:
  DictRow(const DictTable& table, const CharsetInfo& charset);

  DictRow& Num(std::string_view column, std::int64_t value);
  DictRow& Num(std::string_view column, std::optional<std::int64_t> value);
  DictRow& NumText(std::string_view column, const std::optional<std::string>& decimal);
  DictRow& Text(std::string_view column, std::string_view text);  // "" stays NULL
  DictRow& Raw(std::string_view column, const Bytes& bytes);      // empty stays NULL
  DictRow& Date(std::string_view column, const DateTimeFields& time);

  // The row with the columns at the given positions (StoredColumns: the
  // stored order of a release); moves the values out.
  Row TakeStored(const std::vector<int>& stored_columns);
  void AppendStored(const std::vector<int>& stored_columns, CompactRows& out) const;
  const DictTable& table() const { return *table_; }
  // The cluster key columns, in key order.
  std::vector<Bytes> Key() const;

 private:
  std::size_t Index(std::string_view column) const;

  const DictTable* table_;
  const CharsetInfo* charset_;
  std::vector<ColumnBytes> values_;  // by position in the table's columns
};

}  // namespace quillon::testdb
