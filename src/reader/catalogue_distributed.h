// Database links (LINK$), materialized views (SUM$ and SNAP$) and
// materialized view logs (MLOG$ in its cluster, MLOG_REFCOL$).
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

struct DatabaseLinkRecord {
  std::uint32_t owner_number = 0;     // OWNER#
  std::string name;
  std::string created;                // CTIME as date text (DateTimeToText)
  std::string host;                   // HOST: the connect string
  std::string user_name;              // USERID
  std::string password;               // PASSWORD (before 10g R2 the clear text)
  // The length byte of PASSWORDX (10g and later, links with a user): 255
  // when that column is NULL.
  std::uint8_t password_marker = 0;
};

// SUM$ row: the summary of a materialized view (the segment read as kind 14).
struct MaterializedViewRecord {
  std::uint32_t object_number = 0;          // OBJ#
  std::uint32_t container_object_number = 0;  // CONTAINEROBJ#: the container table
  std::uint32_t container_type = 0;         // CONTAINERTYPE
  std::string container_name;               // CONTAINERNAM
  std::uint16_t refresh_mode = 0;           // REFRESHMODE as stored
  std::string mutable_flags;                // MFLAGS as number text
  std::string detail_table_count;           // NUMDETAILTAB
  std::string aggregate_count;              // NUMAGGREGATES
  std::string key_column_count;             // NUMKEYCOLUMNS
  std::string join_count;                   // NUMJOINS
  std::string text_length;                  // SUMTEXTLEN
  std::string query;                        // SUMTEXT
  std::uint64_t pflags = 0;                 // PFLAGS
  std::uint64_t xpflags = 0;                // XPFLAGS
};

// SNAP$ row (the segment read as kind 16): how a materialized view is built
// and refreshed.
struct SnapshotRecord {
  std::string owner;            // SOWNER
  std::string name;             // VNAME
  std::string table_name;       // TNAME
  std::string master_owner;     // MOWNER
  std::string master;           // MASTER
  std::string master_link;      // MLINK
  std::string last_refresh;     // SNAPTIME as date text
  std::string modified;         // MTIME as date text
  std::uint64_t flag = 0;       // FLAG (0x02 updatable, 0x10 rowid, 0x20 primary key)
  std::uint64_t flag2 = 0;      // FLAG2
  std::uint32_t status = 0;     // STATUS
  std::string query;            // QUERY_TXT
};

// MLOG$ row (the materialized view log cluster, keyed by MASTER and MOWNER).
struct MaterializedViewLogRecord {
  std::string master;           // MASTER, first key column
  std::string master_owner;     // MOWNER, second key column
  std::string log_table;        // LOG
  std::string trigger;          // TRIG
  std::uint64_t flag = 0;       // FLAG: 0x01 rowid, 0x02 primary key, 0x04 filter columns ...
  std::string temporary_log;    // TEMP_LOG
};

// MLOG_REFCOL$ row: a filter column of a materialized view log.
struct MaterializedViewLogColumnRecord {
  std::string master_owner;     // MOWNER
  std::string master;           // MASTER
  std::string column_name;      // COLNAME
  std::uint16_t flag_code = 0;  // FLAG as stored
  std::uint64_t flag = 0;
};

}  // namespace quillon
