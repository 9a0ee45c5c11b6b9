#include "core/sites/AllSites.h"

#include <mutex>

#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "core/sites/WapClubSite.h"

namespace cq {

void RegisterAllSites() {
  static std::once_flag once;
  std::call_once(once, [] {
    // The order is each site's identity in check lists and settings. Never destroyed, like the
    // registry: job threads may use the sites until the process ends.
    RegisterSite(*new TRequestCatalogSite);
    RegisterSite(*new TMelodyArchiveSite);
    RegisterSite(*new TWapClubSite);
    RegisterSite(*new TPolyCatalogSite);
    RegisterSite(*new TToneLibrarySite);
    RegisterSite(*new TMidiArchiveSite);
    RegisterSite(*new TToneUploadsSite);
  });
}

}  // namespace cq
