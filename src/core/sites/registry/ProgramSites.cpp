#include "core/sites/registry/ProgramSites.h"

#include <memory>
#include <mutex>

#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "core/sites/WapClubSite.h"

namespace cq {

TSiteRegistry BuiltInSites() {
  TSiteRegistry registry;
  registry.Add(std::make_unique<const TRequestCatalogSite>());
  registry.Add(std::make_unique<const TMelodyArchiveSite>());
  registry.Add(std::make_unique<const TWapClubSite>());
  registry.Add(std::make_unique<const TPolyCatalogSite>());
  registry.Add(std::make_unique<const TToneLibrarySite>());
  registry.Add(std::make_unique<const TMidiArchiveSite>());
  registry.Add(std::make_unique<const TToneUploadsSite>());
  return registry;
}

TSiteRegistry ProgramSites() {
  TSiteRegistry registry = BuiltInSites();
  registry.AddDefinitions(DefinitionFolders());
  return registry;
}

const TSiteRegistry& KeptUntilExit(TSiteRegistry registry) {
  // Never destroyed, and reachable from here to the end, so leak checks count nothing lost.
  static std::mutex& lock = *new std::mutex;
  static auto& kept = *new std::vector<std::unique_ptr<const TSiteRegistry>>;
  const std::lock_guard guard(lock);
  kept.push_back(std::make_unique<const TSiteRegistry>(std::move(registry)));
  return *kept.back();
}

}  // namespace cq
