// The structure of one block as a recovery engineer inspects it: header
// fields, the data header, the table directory and every row directory entry
// with its row piece and column bytes. Whatever a damaged block leaves
// readable is kept; each problem found is described in problems.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/block_view.h"
#include "reader/bytes.h"

namespace quillon {

struct RowDump {
  std::size_t table = 0;
  std::size_t slot = 0;
  std::uint16_t offset = 0;  // as stored in the row directory (relative to H)
  bool valid = false;        // the entry points at a readable row piece
  std::uint8_t flag = 0;
  std::uint8_t lock = 0;
  std::uint8_t column_count = 0;
  std::vector<std::optional<std::string>> columns;  // hex, std::nullopt for NULL
  std::optional<std::uint32_t> next_dba;            // chained pieces
  std::optional<std::uint16_t> next_slot;
  std::string problem;
};

struct TableDump {
  std::uint16_t first_row = 0;
  std::uint16_t row_count = 0;
};

struct BlockDump {
  std::uint8_t type = 0;
  std::uint8_t format = 0;
  std::uint32_t rdba = 0;
  bool checksum_flag = false;
  bool checksum_valid = false;
  bool tail_consistent = false;
  bool is_data = false;
  std::uint32_t object_number = 0;
  std::uint16_t itl_count = 0;
  SpaceManagement space = SpaceManagement::kFreeList;
  std::size_t data_header = 0;
  std::vector<TableDump> tables;
  std::vector<RowDump> rows;
  std::vector<std::string> problems;
};

// Guesses how the block's segment manages space from the data block flags
// (0x20 set in automatic space management blocks) and checks that the data
// header found there is plausible, trying the other layout when it is not.
SpaceManagement GuessSpaceManagement(ByteView block);

BlockDump DumpBlock(ByteView block, std::optional<SpaceManagement> space = std::nullopt);

}  // namespace quillon
