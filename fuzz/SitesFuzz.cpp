// Feeds any bytes to every scraper as the page it asks for: each site's first search page and,
// where a melody page is read, that page too. Pages come from the page cache, which the target
// fills before each call; a page that is not there stops the operation before any connection,
// so no run ever touches the network. A site must fail only with its own message (or the stop),
// and whatever it finds must be its own.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzHome.h"
#include "core/Errors.h"
#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/Parser.h"
#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "core/sites/WapClubSite.h"
#include "core/sites/Xlat.h"
#include "core/transfer/AddressEncoding.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/FileText.h"

namespace {

constexpr std::string_view kTerm = "love";

// One scraper operation and the addresses of the pages it reads at once, first one first.
struct TOperation {
  const cq::TSite* site;
  std::vector<std::string> urls;
  bool melodyPage;
};

const cq::TRequestCatalogSite g_requestCatalog;
const cq::TMelodyArchiveSite g_melodyArchive;
const cq::TWapClubSite g_wapClub;
const cq::TPolyCatalogSite g_polyCatalog;
const cq::TToneLibrarySite g_toneLibrary;
// The file server's retry never runs here; it must not sleep if it did.
const cq::TMidiArchiveSite g_midiArchive([](std::chrono::seconds) {});
const cq::TToneUploadsSite g_toneUploads;

std::vector<TOperation> g_operations;

void Require(bool condition) {
  if (!condition) std::abort();
}

// The addresses as each site builds them for kTerm; Initialize proves they match.
std::vector<TOperation> Operations() {
  using namespace cq;
  const std::string query = EncodeQuery(kTerm);
  const auto melodyPage = [](std::string_view host) {
    return std::string(host) + "/melody/1.html";
  };
  const auto wapKind = [&](std::string_view kind) {
    return std::string(hosts::WapClub) +
           "/?mod=mod_midisearch&srch=" + EncodeQuery(XlatEncode(kTerm)) +
           "&where=" + std::string(kind) + "&start=0";
  };
  const std::string toneLibrary = ToneLibrarySearchAddress(std::string(kTerm));
  return {
      {&g_requestCatalog,
       {std::string(hosts::RequestCatalog) + "/search/index.shtml?request=" + query + "&where=all"},
       false},
      {&g_requestCatalog, {melodyPage(hosts::RequestCatalog)}, true},
      {&g_melodyArchive,
       {std::string(hosts::MelodyArchiveSearch) + "/1/search.php?mmsearch=" + query + "&where=all"},
       false},
      {&g_melodyArchive, {melodyPage(hosts::MelodyArchiveSearch)}, true},
      // The first page of each kind of melody.
      {&g_wapClub, {wapKind("mono"), wapKind("poly"), wapKind("mmf")}, false},
      {&g_polyCatalog,
       {std::string(hosts::PolyCatalog) + "/search/index.shtml?request=" + query +
        "&type=poly&where=all"},
       false},
      {&g_polyCatalog, {melodyPage(hosts::PolyCatalog)}, true},
      {&g_toneLibrary, {toneLibrary}, false},
      {&g_toneLibrary, {melodyPage(hosts::ToneLibrary)}, true},
      {&g_midiArchive,
       {std::string(hosts::MidiArchive) + "/find_midi.php?find=" + query + "&page=1"},
       false},
      {&g_toneUploads, {toneLibrary}, false},
      {&g_toneUploads, {melodyPage(hosts::ToneLibrary)}, true},
  };
}

// Runs the operation over `page`; true when its first page came from the cache.
bool Run(const TOperation& operation, const std::string& page) {
  for (const std::string& url : operation.urls) {
    const std::filesystem::path file(cq::CacheFileName(url));
    std::filesystem::create_directories(file.parent_path());
    cq::WriteFileText(page, file.string());
  }
  bool firstPageCached = false;
  bool first = true;
  // A page missing from the cache stops the operation where it would connect.
  const cq::TFetchContext cacheOnly{[&](cq::TJobStatus status, double) {
    if (first) firstPageCached = status == cq::jsProcessing;
    first = false;
    return status == cq::jsConnecting;
  }};
  try {
    if (operation.melodyPage) {
      cq::TMelody melody;
      melody.PageURL = operation.urls.front();
      melody.Site = operation.site;
      operation.site->LoadMelodyPage(melody, cacheOnly);
      Require(melody.Processed);
    } else {
      cq::TMelodyList melodies;
      operation.site->Search(std::string(kTerm), melodies, cacheOnly);
      for (const cq::TMelody& melody : melodies) Require(melody.Site == operation.site);
    }
  } catch (const cq::ESiteError&) {
  } catch (const cq::EAbort&) {
  }
  return firstPageCached;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cq::fuzz::IsolateHome();
  g_operations = Operations();
  // An address that no longer matches its site would leave that site unfuzzed: every operation
  // must find its first page in the cache.
  for (const TOperation& operation : g_operations) {
    if (!Run(operation, "<html></html>")) {
      std::fprintf(stderr, "%s reads another page than %s\n", operation.site->GetName().c_str(),
                   operation.urls.front().c_str());
      std::abort();
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An empty file stands for a failed fetch, which the scrapers' own tests cover.
  if (size == 0) return 0;
  const std::string page(reinterpret_cast<const char*>(data), size);
  for (const TOperation& operation : g_operations) Run(operation, page);
  return 0;
}
