// The layout engine: writes the database a DatabaseModel describes into a
// folder and reports where everything went.
//
// Each datafile gets block 0 (the operating-system header: block size at
// offset 4, block count, magic) and the file header block 1 (type 0x0B) in
// the release's format; locally managed files keep blocks 2 to 8 for the
// file space header (0x1D) and bitmap blocks (0x1E). Segments are laid out
// in model order, each in its datafile, extent after extent (segment_writer.h
// says how). Blocks no segment uses stay zero (or become formatted empty
// blocks). Damage from the model is applied last, then the decoy files are
// written beside the datafiles.
//
// Files are written through large buffers, block images are built in
// reusable buffers: a gigabyte takes a few seconds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testdb/layout_result.h"
#include "testdb/model.h"

namespace quillon::testdb {

// Writes the database into folder (created when missing; files of the same
// names are replaced). False with a one-line message when the model is
// invalid or a file cannot be written.
bool WriteDatabase(const DatabaseModel& model, const std::string& folder, LayoutResult& result,
                   std::string& error);

// Where the first extent of every segment starts (block number in its
// datafile), in model order, when the model has first_extents_up_front;
// empty otherwise.
std::vector<std::uint32_t> PlanFirstExtents(const DatabaseModel& model);
// The segment header DBA of every segment, in model order, when the model
// has first_extents_up_front (empty otherwise): the layout engine puts the
// headers exactly there, whatever the rows.
std::vector<std::uint32_t> PlanSegmentHeaders(const DatabaseModel& model);

}  // namespace quillon::testdb
