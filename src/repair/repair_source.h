// The rescued database as the repair's generators read it: the catalogue
// views, and the source's datafiles as definitions (file names without
// their folder). The storage and security generators read nothing else;
// the code-object generators still take the catalogue's records.
//
// Make it after the dictionary rebuild (the views index the catalogue when
// they are made); it must not outlive the catalogue.
#pragma once

#include <vector>

#include "reader/catalogue.h"
#include "reader/catalogue_views.h"
#include "reader/datafile.h"

namespace quillon::repair {

struct RepairSource {
  RepairSource(const Catalogue& catalogue_records, const DatafileList& datafile_list)
      : catalogue(catalogue_records), views(catalogue_records), datafiles(DatafileDefinitions(datafile_list)) {}

  const Catalogue& catalogue;
  CatalogueViews views;
  std::vector<DatafileDefinition> datafiles;
};

}  // namespace quillon::repair
