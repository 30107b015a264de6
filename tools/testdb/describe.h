// The catalogue of a generated database, built from its resolved schema
// (not from the files): what the dictionary rebuild must find in the
// database the dictionary writer wrote. Printed with the reader's own
// CatalogueToJson, so a round trip is one comparison of two JSON texts.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "reader/catalogue.h"
#include "reader/catalogue_json.h"
#include "testdb/dictionary_writer.h"

namespace quillon::testdb {

// Fills an empty catalogue with the records the dictionary rebuild appends
// for the generated database.
void DescribeCatalogue(const GeneratedDatabase& database, Catalogue& catalogue);
// The JSON header: name, release, block size, numbering and datafiles.
CatalogueJsonHeader DescribeHeader(const GeneratedDatabase& database);
// The rows of every application table, by table object number (a
// partitioned table's rows partition by partition), each row's columns in
// stored order with the value texts of the reader's repair mode.
std::map<std::uint32_t, std::vector<CatalogueJsonRow>> DescribeRows(const GeneratedDatabase& database);
// The description as catalogue JSON; with_rows adds every application
// table's rows (the value texts of the reader's repair mode).
std::string DescribeJson(const GeneratedDatabase& database, bool with_rows);

}  // namespace quillon::testdb
