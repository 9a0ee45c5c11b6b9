#include "core/sites/ToneLibrarySite.h"

#include "core/config/Translation.h"
#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

constexpr TFixUp kFixUps[] = {{"</td>\r\n<td>\r\n", ""}};
constexpr std::string_view kResultCell = "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\TR\\TD";
constexpr std::string_view kLinkCell = "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\2 CENTER\\2 TABLE\\TR\\TD";

// The format shows only in the folder of the file's address.
std::string CaptionOfAddress(const std::string& address) {
  if (address.find("/mmf/") != std::string::npos) return "MMF";
  if (address.find("/vib/") != std::string::npos) {
    return "MMF " + Translate("Formats.WithVibration", "with vibration");
  }
  if (address.find("/mid/") != std::string::npos) return "MIDI";
  return {};
}

}  // namespace

std::string ToneLibrarySearchAddress(const std::string& term) {
  return std::string(hosts::ToneLibrary) + "/search.php?q=" + EncodeQuery(term) + "&act=search";
}

std::string TToneLibrarySite::GetName() const {
  return "Tone Library";
}

std::string TToneLibrarySite::GetHomePage() const {
  return std::string(hosts::ToneLibrary) + "/";
}

void TToneLibrarySite::Search(const std::string& term, TMelodyList& melodies,
                              const TFetchContext& fetch) const {
  TMelodyList found;
  ScrapePage(*this, ToneLibrarySearchAddress(term), SearchContext(term), kFixUps, fetch,
             [&](const TElem& root) {
               for (const TElem* item : NeedElem(root, kResultCell).Children()) {
                 if (item->Name() != "LI") continue;
                 const TElem& link = FirstChild(*item);
                 const std::string address = link.Attribute("href");
                 if (!ShortString::Fits(address)) continue;
                 TMelody& melody = found.emplace_back();
                 melody.Title = FirstChildText(link);
                 melody.PageURL = address;
                 melody.Site = this;
               }
             });
  melodies = std::move(found);
}

void TToneLibrarySite::LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const {
  if (melody.Processed) return;
  std::array<TMelodyLinkList, FormatCount> links;
  ScrapePage(*this, melody.PageURL.str(), MelodyPageContext(melody), kFixUps, fetch,
             [&](const TElem& root) {
               for (const TElem* child : NeedElem(root, kLinkCell).Children()) {
                 if (child->Name() != "A") continue;
                 const std::string address = child->Attribute("href");
                 const std::string caption = CaptionOfAddress(address);
                 if (!caption.empty()) AddLinkByCaption(links, caption, address);
               }
             });
  melody.Links = std::move(links);
  melody.Processed = true;
}

}  // namespace cq
