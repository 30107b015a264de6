// LOB segments for test databases: the pages of out-of-line LOBs and the
// locators that point at them (format.h, lob_locator and lob_page).
//
// A LOB segment is written into an existing datafile from a given block on:
// a segment header (0x17 in a free-list tablespace, 0x23 with automatic
// space management) at the start of the first extent, extents of a fixed
// size with a gap of free blocks between them, and an extent map block
// (0x12 or 0x24) at the start of the extent that follows a full map, so a
// LOB's pages spread over several extents and maps. Each LOB's data goes in
// pages of block size - 60 bytes; with a chunk of several blocks a page is a
// chunk of consecutive blocks of one extent that share their page number,
// and the blocks of the last chunk after the LOB's end are written too
// (without data the reader may use). Rewritten pages are written twice: an
// older version with other bytes and the current one. A decoy page of
// another segment with the same identifier lies among them.
//
// Locators are written as Oracle writes them (format.h, lob_locator): the
// inode flag says whether the data are in the row, the inode gives the
// block and byte counts and the LOB's version, and an out-of-line LOB of a
// column with ENABLE STORAGE IN ROW lists the DBAs of its first chunks.
// PlanLobSegment gives those DBAs before the segment is written, so rows can
// carry the locators first.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reader/block_view.h"
#include "testdb/block_writer.h"

namespace quillon::testdb {

struct LobValue {
  LobValue(std::uint32_t key, Bytes bytes) : page_key(key), data(std::move(bytes)) {}
  // The LOB's identifier (LobIdentifier): its pages carry all ten bytes.
  std::uint32_t page_key = 0;     // the identifier's last four bytes, as stored
  std::uint16_t id_high = 0;      // identifier bytes 4..5
  Bytes data;                     // at least one byte
  std::uint32_t version = 2;      // version of the current pages (and of the LOB)
  std::vector<std::uint32_t> rewritten_pages;  // pages with an older copy
  bool old_copy_first = true;     // the older copy lies before the current one
};

struct LobSegmentDescription {
  std::uint32_t object_number = 0;  // data object number
  SpaceManagement space = SpaceManagement::kFreeList;
  std::uint32_t chunk = 1;          // blocks per chunk
  std::uint32_t extent_blocks = 8;
  std::uint32_t extents_per_map = 2;  // a map block follows after this many extents
  std::uint32_t gap_blocks = 2;     // free blocks between extents
  bool decoy = true;                // a page of another segment with the first LOB's identifier
  AssmHeaderOrder assm_order = AssmHeaderOrder::kCountNextObject;  // of a 0x23 header
  std::vector<LobValue> lobs;
};

struct LobSegmentWritten {
  std::uint32_t header_dba = 0;
  std::vector<std::vector<std::uint32_t>> chunk_dbas;  // per LOB: the first DBA of each current chunk
  std::vector<ExtentDescription> extents;
  std::vector<std::uint32_t> map_dbas;  // extent map blocks after the header
  std::uint32_t end_block = 0;          // first block after the segment
};

// The 10 identifier bytes of a LOB, as locators and pages store them: a
// fixed front like Oracle's (00 00 00 01), id_high, then page_key (first
// byte lowest).
std::array<std::uint8_t, 10> LobIdentifier(std::uint32_t page_key, std::uint16_t id_high);

// Bytes of data in a full LOB page.
std::size_t LobPageBytes(std::uint32_t block_size);

// What a locator says besides its data.
struct LocatorDescription {
  std::uint32_t page_key = 0;     // identifier bytes 16..19 (first byte lowest)
  std::uint16_t id_high = 0;      // identifier bytes 14..15
  bool character = false;         // CLOB or NCLOB (type 0x02), else BLOB (0x01)
  std::uint16_t byte_length = 1;  // 2: character data kept in UCS2
  std::uint64_t version = 1;      // 1 until the LOB's first update (48 bits)
  bool storage_in_row = true;     // false: DISABLE STORAGE IN ROW, a 20-byte locator when out of line
};

// The locator of an out-of-line LOB of `length` bytes in chunks of `chunk`
// blocks; chunk_dbas (at most 12 are written) when the column stores LOBs
// in the row.
Bytes OutOfLineLobLocator(const LocatorDescription& wanted, std::size_t length, std::uint32_t block_size,
                          std::span<const std::uint32_t> chunk_dbas = {});
Bytes OutOfLineLobLocator(std::uint32_t page_key, std::size_t length, std::uint32_t block_size,
                          bool character);
// The locator of a LOB stored in the row.
Bytes InRowLobLocator(const LocatorDescription& wanted, const Bytes& data);
Bytes InRowLobLocator(std::uint32_t page_key, const Bytes& data, bool character);

// Where WriteLobSegment would put everything, without writing (header,
// extents, maps, chunk DBAs).
LobSegmentWritten PlanLobSegment(std::uint32_t relative_file, std::uint32_t block_size, std::uint32_t first_block,
                                 const LobSegmentDescription& wanted);

// Writes the segment into the datafile at path (relative file number
// relative_file) from block first_block on; the file grows as needed. False
// with a message when the file cannot be written or a LOB is empty.
bool WriteLobSegment(const std::string& path, std::uint32_t relative_file, std::uint32_t block_size,
                     std::uint32_t first_block, const LobSegmentDescription& wanted, LobSegmentWritten& out,
                     std::string& error);

}  // namespace quillon::testdb
