// The dictionary writer: turns a schema description into the DatabaseModel
// of a database that holds it.
//
// The model has a datafile per datafile of the description's tablespaces and
// a segment per segment the resolved schema needs, in this order: the
// dictionary segments of the SYSTEM tablespace (free-list segments at the
// release's data object numbers; the clusters, then the heap tables, the
// segment the SYSTEM scan stops at last), then the segments of the
// application objects in the order the resolver made them. First extents are
// given out up front, so every segment header's address follows from the
// model alone (PlanSegmentHeaders): the dictionary rows that point at
// segments (TAB$, CLU$, IND$, LOB$, the partition tables) are built from
// that plan, then the rows of every segment are filled in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "testdb/model.h"
#include "testdb/resolved_schema.h"

namespace quillon::testdb {

struct GeneratedDatabase {
  std::shared_ptr<const ResolvedSchema> schema;
  DatabaseModel model;
  std::vector<std::uint32_t> headers;  // header DBA of every resolved segment, by index
};

// with_rows false: the segments stay empty (what the layout plan and the
// describer need). The result keeps the schema alive. Throws
// std::invalid_argument for an inconsistent schema.
GeneratedDatabase BuildDatabase(Schema schema, const GeneratorRelease& release, std::uint32_t block_size,
                                std::uint64_t seed, bool with_rows = true, const std::string& name = "QUILLON");

}  // namespace quillon::testdb
