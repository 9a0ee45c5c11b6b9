#include "core/sites/registry/SiteRegistry.h"

#include <utility>

namespace cq {

void TSiteRegistry::Add(const TSite& site) {
  sites_.push_back(&site);
}

void TSiteRegistry::Add(std::unique_ptr<const TSite> site) {
  sites_.push_back(site.get());
  owned_.push_back(std::move(site));
}

void TSiteRegistry::AddDefinitions(const std::vector<std::string>& folders) {
  std::vector<TDefinitionEntry> entries = LoadDefinitions(folders, sites_);
  for (TDefinitionEntry& entry : entries) {
    if (entry.Site) sites_.push_back(entry.Site.get());
    definitions_.push_back(std::move(entry));
  }
}

}  // namespace cq
