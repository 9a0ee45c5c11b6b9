#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/sites/definitions/DefinitionFile.h"
#include "core/sites/definitions/DefinitionSite.h"

namespace cq {

// One definition file found at start: its site when it is valid, else its problems.
struct TDefinitionEntry {
  TDefinitionFile File;
  std::unique_ptr<const TDefinitionSite> Site;
};

// Where definitions lie: the shipped ones beside the programs, the user's in the data folder
// (both with a trailing separator).
std::string ShippedDefinitionFolder();
std::string UserDefinitionFolder();
// Both, the user's (when there is a data folder) last.
std::vector<std::string> DefinitionFolders();

// Reads the definition files (*.yaml, *.yml) of the folders in order; a file of a later folder
// replaces an earlier folder's file for the same site. A file that names a site in `taken` (the
// built-in ones) or a site another file of its folder names is a problem. Ordered by site name.
std::vector<TDefinitionEntry> LoadDefinitions(const std::vector<std::string>& folders,
                                              const std::vector<const TSite*>& taken);

}  // namespace cq
