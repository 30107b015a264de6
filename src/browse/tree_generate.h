// Building the object tree from the catalogue (GenerateTree).
//
// Under the root (the source database's path): "Schema" with one owner node
// per user and its thirteen folders (tables with their columns, constraints
// and partitions; clusters, indexes, views, synonyms, sequences, procedures,
// functions, triggers, packages, package bodies, types, type bodies);
// "Security" with users and roles and what was granted to them; "Storage"
// with tablespaces and datafiles; "Distributed" with materialized view logs,
// materialized views and database links; "XML Schema" with the registered
// schemas' URLs.
//
// Which tables the tree shows (and so which the scan counts and the repair
// may write): a table of the owner whose property is not one of the internal
// kinds (see kHiddenTableProperties), whose name is not a materialized view
// log's or its helper's (MLOG$, RUPD$, USLOG$, compared with regard to case),
// not the overflow segment of an index-organized table (SYS_IOT_OVER,
// without regard to case), not in the recycle bin (OBJ$.FLAGS 128), neither
// compressed nor with encrypted columns:
//  - compressed: TAB$.SPARE1 holds the table's rows-per-block limit (the
//    "Hakan factor"); an uncompressed table's limit never exceeds what the
//    block size allows (736 rows in an 8 KB block, proportionally more in
//    larger blocks), a compressed table's does. The 0x8000 bit of SPARE1
//    (MINIMIZE RECORDS_PER_BLOCK) is not part of the limit.
//  - encrypted columns: TAB$.TRIGFLAG bit 0x10000 (server-held key) or
//    0x20000 (user-held key).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "browse/object_tree.h"
#include "reader/engine.h"

namespace quillon {

// TAB$.PROPERTY values of tables the tree leaves out (internal tables of
// queues, XML repositories and the like).
inline constexpr std::array<std::uint32_t, 11> kHiddenTableProperties = {
    0x26000000, 0x26000003, 0x26000004, 0x24000003, 0x26200000, 0x26200002,
    0x24000000, 0x26000010, 0x26200006, 0x26200012, 0x20000004,
};

// OBJ$.FLAGS of an object in the recycle bin (128, stored C2 02 1D).
inline constexpr std::uint32_t kRecycleBinFlagsCode = 0x1D02C2;

// TAB$.TRIGFLAG bits of tables with encrypted columns.
inline constexpr std::uint64_t kEncryptedColumnsFlags = 0x30000;

// The largest rows-per-block limit of an uncompressed table in blocks of
// this size.
std::uint32_t UncompressedRowLimit(std::uint32_t block_size);

// The whole tree; the shown tables are recorded on it. The root caption is
// the source database's path.
ObjectTree GenerateTree(const COracleRecoveryTools& engine, const std::string& root_caption);

// The parts of the tree below the root, each appended under the root in
// this order by GenerateTree.
void AddSchemaBranch(ObjectTree& tree, const COracleRecoveryTools& engine);
void AddSecurityBranch(ObjectTree& tree, const Catalogue& catalogue);
void AddStorageBranch(ObjectTree& tree, const COracleRecoveryTools& engine);
void AddDistributedBranch(ObjectTree& tree, const Catalogue& catalogue);
void AddXmlSchemaBranch(ObjectTree& tree, const Catalogue& catalogue);

}  // namespace quillon
