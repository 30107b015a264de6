// The catalogue as one JSON object, in the stable shape documented in
// docs/catalogue-json.md. The command line prints it for a scanned database;
// the test database generator prints it for the database it describes, so
// round-trip tests compare the two texts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reader/catalogue.h"
#include "reader/catalogue_view_security.h"

namespace quillon {

class COracleRecoveryTools;

// A datafile as the JSON's "datafiles" member lists it.
using CatalogueJsonDatafile = DatafileDefinition;

// One table row as the JSON's "rows" member lists it: column name and value
// text, std::nullopt for NULL.
using CatalogueJsonRow = std::vector<std::pair<std::string, std::optional<std::string>>>;

// What the JSON says about the database besides the catalogue.
struct CatalogueJsonHeader {
  std::string database_name;
  std::string release_text;
  int release_code = 0;
  std::uint32_t block_size = 0;
  std::uint8_t layout_variant = 0;
  std::vector<CatalogueJsonDatafile> datafiles;
  // Rows to list under tables, by table object number (tables without an
  // entry have no "rows" member).
  std::map<std::uint32_t, std::vector<CatalogueJsonRow>> table_rows;
};

// The header of a scanned database.
CatalogueJsonHeader JsonHeaderOf(const COracleRecoveryTools& engine);

// The JSON text (pretty: two-space indentation, one member per line).
std::string CatalogueToJson(const Catalogue& catalogue, const CatalogueJsonHeader& header, bool pretty = true);

// The letter Oracle's views use for a constraint type ("C", "P", "U", "R",
// "V", "O"; "?" for other types).
std::string_view ConstraintTypeLetter(std::uint32_t type);

}  // namespace quillon
