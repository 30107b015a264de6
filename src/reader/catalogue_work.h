// Work records of the readers that run after the dictionary rebuild: the
// LOB reader (LobDataPgStruct, LobPgStruct, lobdatastruct), the values of
// index-organized tables (IotStruct, IotStructdata), the datafile list of
// the source selection (fileProperty) and sorted name lists (SortedStruct).
// The catalogue does not hold them; each reader keeps its own while it works.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// One extent of a LOB segment.
struct LobDataPgStruct {
  std::uint32_t first_dba = 0;
  std::uint32_t block_count = 0;
};

// One LOB page found in a block.
struct LobPgStruct {
  std::vector<std::uint8_t> data;  // the page's bytes
  std::uint32_t page_number = 0;
  std::uint32_t version = 0;
  std::uint32_t byte_count = 0;
};

// A piece of a LOB value as the LOB reader hands it on.
struct lobdatastruct {
  std::uint32_t column_number = 0;
  std::uint32_t byte_count = 0;
  std::vector<std::uint8_t> data;
};

// A column of an index-organized table and the key under which its values
// are looked up (table object number, column number).
struct IotStruct {
  std::string column_name;
  std::uint32_t segment_column = 0;
  std::uint32_t type_code = 0;
  std::uint32_t table_object_number = 0;  // key, first part
  std::uint32_t column_number = 0;        // key, second part
};

struct IotStructdata {
  std::string column_name;
  std::uint32_t segment_column = 0;
  std::uint32_t type_code = 0;
  std::uint32_t table_object_number = 0;
  std::uint32_t column_number = 0;
  std::string value_text;
};

// A datafile as the source selection lists it.
struct fileProperty {
  std::string file_name;
  std::string tablespace;
  std::string relative_file;
  std::string block_size;
  std::string full_path;
};

struct SortedStruct {
  std::uint32_t key = 0;
  std::string text;
};

}  // namespace quillon
