// The content of the application segments of a resolved schema: a heap
// table's or partition's rows, a cluster's keys with the rows of its member
// tables (member rows without the key columns), an index-organized table's
// rows as leaf entries in primary key order (their overflow part in the
// overflow segment), and the leaf entries of B-tree indexes, which take the
// addresses of the indexed rows from the layout engine once the table's
// segment is placed (a SegmentPreparer).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "testdb/model.h"
#include "testdb/resolved_schema.h"
#include "testdb/row_encoder.h"

namespace quillon::testdb {

class SegmentFiller {
 public:
  SegmentFiller(std::shared_ptr<const ResolvedSchema> schema, std::shared_ptr<const RowEncoder> encoder);

  // Fills the model of resolved segment `index` (not a dictionary segment).
  void Fill(std::size_t index, SegmentModel& out);

 private:
  void TableRows(const RSegment& s, SegmentModel& out) const;
  void ClusterRows(const RSegment& s, SegmentModel& out);
  void IotRows(const RSegment& s, SegmentModel& out) const;
  void OverflowRows(const RSegment& s, SegmentModel& out) const;
  void IndexKeys(const RSegment& s, SegmentModel& out) const;

  // Where a clustered table's rows went: for each row, its key and its
  // position among the key's rows of that table.
  struct ClusterSlot {
    std::size_t key = 0;
    std::size_t member_row = 0;
  };
  using ClusterSlots = std::map<std::uint32_t, std::vector<ClusterSlot>>;  // table object -> rows

  std::shared_ptr<const ResolvedSchema> schema_;
  std::shared_ptr<const RowEncoder> encoder_;
  std::shared_ptr<ClusterSlots> cluster_slots_ = std::make_shared<ClusterSlots>();
  // The keys of every cluster in the order they were placed: cluster data object -> keys.
  using ClusterKeyBytes = std::map<std::uint32_t, std::vector<std::vector<Bytes>>>;
  std::shared_ptr<ClusterKeyBytes> cluster_keys_ = std::make_shared<ClusterKeyBytes>();
};

// The order in which a table's rows lie in its segment (indexes into
// table.rows): an index-organized table's by primary key, a clustered
// table's by cluster key (keys in the order they first appear), any other
// table's as given.
std::vector<std::size_t> StoredRowOrder(const ResolvedSchema& schema, const RTable& table, const RowEncoder& encoder);

}  // namespace quillon::testdb
