#include "core/sites/AllSites.h"

#include <mutex>

#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/Parser.h"
#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "core/sites/WapClubSite.h"

namespace cq {

void RegisterAllSites() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Parser diagnostics would stop every job thread at a prompt.
    ShowParserErrors.store(false);
    // The order is each site's identity in check lists and settings.
    static const TRequestCatalogSite requestCatalog{};
    static const TMelodyArchiveSite melodyArchive{};
    static const TWapClubSite wapClub{};
    static const TPolyCatalogSite polyCatalog{};
    static const TToneLibrarySite toneLibrary{};
    static const TMidiArchiveSite midiArchive{};
    static const TToneUploadsSite toneUploads{};
    for (const TSite* site : std::initializer_list<const TSite*>{
             &requestCatalog, &melodyArchive, &wapClub, &polyCatalog, &toneLibrary, &midiArchive,
             &toneUploads}) {
      RegisterSite(*site);
    }
  });
}

}  // namespace cq
