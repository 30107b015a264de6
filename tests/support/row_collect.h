// A row consumer that keeps copies of the rows it is handed, for tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rows/row_reader.h"

namespace quillon::test {

using Value = std::optional<std::vector<std::uint8_t>>;

struct CollectedRow {
  std::vector<Value> values;  // layout order
  std::string partition;
  RowBreak problem = RowBreak::kNone;
  bool suspect = false;
  RowPosition position;
};

class RowCollector final : public RowConsumer {
 public:
  explicit RowCollector(std::uint64_t stop_after = 0) : stop_after_(stop_after) {}
  bool Row(const TableRow& row) override {
    CollectedRow r;
    for (const StoredValue& v : row.values) {
      if (v.is_null) {
        r.values.emplace_back(std::nullopt);
      } else {
        r.values.emplace_back(std::vector<std::uint8_t>(v.bytes.data(), v.bytes.data() + v.bytes.size()));
      }
    }
    r.partition = std::string(row.partition);
    r.problem = row.problem;
    r.suspect = row.suspect;
    r.position = row.position;
    rows.push_back(std::move(r));
    return stop_after_ == 0 || rows.size() < stop_after_;
  }
  std::vector<CollectedRow> rows;

 private:
  std::uint64_t stop_after_;
};

// Every row of a table.
inline std::vector<CollectedRow> ReadAll(TableRowReader& reader) {
  RowCollector c;
  reader.Read(TableRowReader::Begin(), 0, c);
  return c.rows;
}

}  // namespace quillon::test
