// The state of one dictionary rebuild: the engine it fills, the block source
// it reads through, the block lists of the dictionary segments found by the
// segment scans, and the loops every dictionary reader shares.
//
// The loops read whole blocks, take only data blocks of the list's own
// segment (a block of another object lying in the extents, after space was
// reused, is skipped), report progress (start with the number of blocks, a
// step and ShowMemory per block, finish) and poll the stop flag after every
// block: when it is set they return false at once and what was read stays.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "reader/block_source.h"
#include "reader/block_view.h"
#include "reader/dictionary_row.h"
#include "reader/dictionary_segments.h"
#include "reader/engine.h"

namespace quillon {

// The blocks of one dictionary segment, in extent order.
struct SegmentBlockList {
  std::uint32_t object_number = 0;  // data object number from the segment header
  std::uint32_t header_dba = 0;     // 0: not found
  SpaceManagement space = SpaceManagement::kFreeList;
  std::vector<std::uint32_t> dbas;

  bool found() const { return header_dba != 0; }
  void Clear() { *this = SegmentBlockList{}; }
};

class DictionaryReader {
 public:
  explicit DictionaryReader(COracleRecoveryTools& engine);
  DictionaryReader(const DictionaryReader&) = delete;
  DictionaryReader& operator=(const DictionaryReader&) = delete;

  COracleRecoveryTools& engine;
  Catalogue& catalogue;
  BlockSource source;

  // Segment lists of the SYSTEM tablespace: the release's numbers, and (for
  // release 18) the alternative numbers.
  std::array<SegmentBlockList, kSystemSegmentCount> standard;
  std::array<SegmentBlockList, kSystemSegmentCount> alternative;
  // XML repository segments (kinds 37 to 44, in XmlRepositoryTable order).
  std::array<SegmentBlockList, kXmlKindCount> xml;
  // Every free-list segment header of the SYSTEM datafile: data object
  // number -> header DBA.
  std::unordered_map<std::uint32_t, std::uint32_t> system_headers;

  // The SYSTEM datafile was scanned.
  bool system_scanned = false;
  // The running record count shown while the dictionary is read.
  std::uint64_t record_counter = 0;

  int release() const { return engine.release_code(); }
  bool alternative_layout() const { return engine.layout_variant == kAlternativeLayout; }
  // The list a segment is read from: the alternative one when the database
  // uses the alternative numbering and the segment has its own number there.
  SegmentBlockList& List(SystemSegment segment);

  // A text column, converted from the database character set.
  std::string Text(const DictionaryRow& row, std::size_t n) const;
  // Raises the running record count and shows it.
  void CountRecord();
  bool StopRequested() const { return engine.StopRequested(); }

  // Every data block of the list that belongs to its segment. progress_total
  // overrides the number of steps announced at the start.
  using BlockVisitor = std::function<void(const DataBlock& data, const Block& block)>;
  bool ForEachBlock(const SegmentBlockList& list, const BlockVisitor& visit,
                    std::optional<std::uint64_t> progress_total = std::nullopt);
  // Every row of a heap segment, joined over its pieces.
  using RowVisitor = std::function<void(const DictionaryRow& row)>;
  bool ForEachRow(const SegmentBlockList& list, const RowVisitor& visit,
                  std::optional<std::uint64_t> progress_total = std::nullopt);

  static constexpr std::uint8_t kAlternativeLayout = 19;
};

}  // namespace quillon
