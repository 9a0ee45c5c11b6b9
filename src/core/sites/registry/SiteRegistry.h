#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/sites/Sites.h"
#include "core/sites/definitions/DefinitionSites.h"

namespace cq {

// The sites a program searches, in order: a site's position is its identity in check lists and
// settings. Whoever starts a program builds one and hands it to what needs it; nothing changes it
// once a job may use its sites.
class TSiteRegistry {
 public:
  TSiteRegistry() = default;
  TSiteRegistry(const TSiteRegistry&) = delete;
  TSiteRegistry& operator=(const TSiteRegistry&) = delete;
  TSiteRegistry(TSiteRegistry&&) = default;
  TSiteRegistry& operator=(TSiteRegistry&&) = default;
  ~TSiteRegistry() = default;

  // A site the caller keeps alive as long as anything uses the registry.
  void Add(const TSite& site);
  void Add(std::unique_ptr<const TSite> site);
  // Reads the definition files of `folders` (see LoadDefinitions) and adds their valid sites
  // after those already here.
  void AddDefinitions(const std::vector<std::string>& folders);

  const std::vector<const TSite*>& Sites() const { return sites_; }
  // Every definition file AddDefinitions read, valid or not, in the order of their sites.
  const std::vector<TDefinitionEntry>& DefinitionEntries() const { return definitions_; }

 private:
  std::vector<std::unique_ptr<const TSite>> owned_;
  std::vector<TDefinitionEntry> definitions_;
  std::vector<const TSite*> sites_;
};

}  // namespace cq
