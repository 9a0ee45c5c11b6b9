#include "core/sites/definitions/DefinitionSite.h"

#include <algorithm>
#include <optional>
#include <set>

#include "core/platform/Text.h"
#include "core/sites/Scraping.h"
#include "core/sites/WebAddress.h"
#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

// Lines are only made when someone reads them.
template <typename TLine>
void Trace(const TDefinitionTrace& trace, const TLine& line) {
  if (trace) trace(line());
}

bool IsWindows1251(const std::string& encoding) {
  return EqualsIgnoringLatinCase(encoding, "windows-1251") ||
         EqualsIgnoringLatinCase(encoding, "cp1251");
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The site's page in the core's windows-1251, its fix-ups applied.
std::function<void(std::string&)> Preparation(const std::string& encoding,
                                              const TTextPairs& fixUps) {
  return [&encoding, &fixUps](std::string& page) {
    if (!IsWindows1251(encoding)) page = ConvertText(page, "CP1251", encoding);
    std::vector<TFixUp> views;
    for (const auto& [from, to] : fixUps) views.push_back({from, to});
    ApplyFixUps(page, views);
  };
}

std::optional<TMelodyFormat> FormatOfExtension(std::string_view url) {
  const std::string path = LowerLatin(url.substr(0, url.find_first_of("?#")));
  if (path.ends_with(".midi")) return fmMidi;
  for (const TMelodyFormat format : AllFormats) {
    if (path.ends_with(FormatExtensions[format])) return format;
  }
  return std::nullopt;
}

struct TLinkCount {
  std::size_t Found = 0;
  std::size_t Read = 0;
};

// Reads the file links the rules find below `from`, on the page at `base`.
TLinkCount ReadLinks(const TLinkRules& rules, const TElem& from, const std::string& base,
                     std::array<TMelodyLinkList, FormatCount>& links,
                     const TDefinitionTrace& trace) {
  const std::vector<const TElem*> found = rules.Links.Select(from);
  std::vector<const TElem*> addresses;
  if (rules.Addresses) addresses = rules.Addresses->Select(from);
  TLinkCount count{found.size(), 0};
  Trace(trace, [&] {
    return "  links: " + std::to_string(found.size()) + " at '" + rules.Links.Text() + "'";
  });
  for (std::size_t i = 0; i < found.size(); ++i) {
    const auto number = [i] { return "  link " + std::to_string(i + 1) + ": "; };
    std::optional<std::string> caption = rules.Caption.Read(*found[i]);
    if (!caption) {
      Trace(trace,
            [&] { return number() + "skipped, no caption at '" + rules.Caption.Text() + "'"; });
      continue;
    }
    if (!rules.CaptionPrefix.empty()) {
      if (!caption->starts_with(rules.CaptionPrefix)) {
        Trace(trace, [&] {
          return number() + "skipped, '" + *caption + "' does not begin with the prefix";
        });
        continue;
      }
      caption->erase(0, rules.CaptionPrefix.size());
    }
    std::optional<std::string> href;
    if (rules.Addresses) {
      if (i < addresses.size()) href = ElemWords(*addresses[i]);
    } else {
      href = rules.Address.Read(*found[i]);
    }
    if (!href) {
      Trace(trace, [&] { return number() + "skipped, no address"; });
      continue;
    }
    if (rules.LowerCaseAddress) href = LowerLatin(*href);
    const std::optional<std::string> url = ResolveAddress(base, *href);
    if (!url) {
      Trace(trace, [&] { return number() + "skipped, not a web address: '" + *href + "'"; });
      continue;
    }
    if (!rules.CaptionByAddress.empty()) {
      const auto rule = std::find_if(
          rules.CaptionByAddress.begin(), rules.CaptionByAddress.end(),
          [&](const auto& pair) { return url->find(pair.first) != std::string::npos; });
      if (rule == rules.CaptionByAddress.end()) {
        Trace(trace, [&] { return number() + "skipped, no caption-by-address piece in " + *url; });
        continue;
      }
      caption = rule->second;
    }
    std::size_t added = 0;
    if (rules.FormatFromCaption) {
      for (const TMelodyFormat format : AllFormats) {
        if (!CaptionNamesFormat(*caption, format)) continue;
        links[format].push_back({*caption, *url});
        ++added;
      }
    } else if (const std::optional<TMelodyFormat> format = FormatOfExtension(*url)) {
      links[*format].push_back({*caption, *url});
      added = 1;
    }
    if (added == 0) {
      Trace(trace, [&] { return number() + "skipped, no format in '" + *caption + "' " + *url; });
      continue;
    }
    Trace(trace, [&] { return number() + "'" + *caption + "' " + *url; });
    ++count.Read;
  }
  return count;
}

void CheckExpected(const std::optional<TSelectPath>& expect, const TElem& root) {
  if (expect && expect->First(root) == nullptr) FailWalk("No element at " + expect->Text());
}

}  // namespace

TDefinitionSite::TDefinitionSite(TDefinition definition, std::string fileName)
    : definition_(std::move(definition)), fileName_(std::move(fileName)) {}

std::string TDefinitionSite::GetName() const {
  return definition_.Name;
}

std::string TDefinitionSite::GetHomePage() const {
  return definition_.HomePage;
}

std::string TDefinitionSite::SearchAddress(const std::string& term, int page) const {
  const TSearchRules& rules = definition_.Search;
  const std::string bytes =
      IsWindows1251(rules.TermEncoding) ? term : ConvertText(term, rules.TermEncoding, "CP1251");
  // The encoder writes a plus for a space only: a plus of the term itself comes out as %2B.
  std::string encoded = EncodeQuery(bytes);
  if (!rules.SpaceAsPlus) encoded = ReplaceAll(encoded, "+", "%20");
  std::string address = ReplaceAll(rules.Address, "{page}", std::to_string(page));
  return ReplaceAll(address, "{term}", encoded);
}

void TDefinitionSite::Search(const std::string& term, TMelodyList& melodies,
                             const TFetchContext& fetch) const {
  SearchTraced(term, melodies, fetch, {});
}

void TDefinitionSite::LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const {
  LoadMelodyPageTraced(melody, fetch, {});
}

void TDefinitionSite::SearchTraced(const std::string& term, TMelodyList& melodies,
                                   const TFetchContext& fetch,
                                   const TDefinitionTrace& trace) const {
  const TSearchRules& rules = definition_.Search;
  TMelodyList found;
  std::set<std::string> pages;
  std::set<std::string> fetched;
  int page = rules.FirstPage;
  std::string url = SearchAddress(term, page);
  for (int count = 0; count < rules.PageLimit; ++count) {
    Trace(trace, [&] { return "fetch " + url; });
    fetched.insert(url);
    std::optional<std::string> next;
    std::size_t rowsFound = 0;
    ScrapePreparedPage(
        *this, url, SearchContext(term), Preparation(definition_.Encoding, rules.FixUps), fetch,
        [&](const TElem& root) {
          CheckExpected(rules.Expect, root);
          const std::vector<const TElem*> rows = rules.Rows.Select(root);
          rowsFound = rows.size();
          Trace(trace, [&] {
            return "rows: " + std::to_string(rows.size()) + " at '" + rules.Rows.Text() + "'";
          });
          std::size_t read = 0;
          for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto number = [i] { return "row " + std::to_string(i + 1) + ": "; };
            std::string title;
            bool complete = true;
            for (const TValuePath& part : rules.Title) {
              const std::optional<std::string> text = part.Read(*rows[i]);
              if (!text) {
                Trace(trace,
                      [&] { return number() + "skipped, no title at '" + part.Text() + "'"; });
                complete = false;
                break;
              }
              title += (&part == &rules.Title.front() ? "" : rules.TitleSeparator) + *text;
            }
            if (!complete) continue;
            TMelody melody;
            melody.Title = title;
            melody.Site = this;
            if (rules.Page) {
              const std::optional<std::string> href = rules.Page->Read(*rows[i]);
              const std::optional<std::string> address =
                  href ? ResolveAddress(url, *href) : std::nullopt;
              if (!address) {
                Trace(trace, [&] {
                  return number() + "skipped, no web address at '" + rules.Page->Text() + "'";
                });
                continue;
              }
              if (rules.Distinct && !pages.insert(*address).second) {
                Trace(trace, [&] { return number() + "skipped, seen before: " + *address; });
                continue;
              }
              melody.PageURL = *address;
              Trace(trace, [&] { return number() + "'" + title + "' " + *address; });
            } else {
              Trace(trace, [&] { return number() + "'" + title + "'"; });
              if (ReadLinks(*rules.Files, *rows[i], url, melody.Links, trace).Read == 0) continue;
              melody.PageURL = url;
              melody.Processed = true;
            }
            found.push_back(std::move(melody));
            ++read;
          }
          if (read == 0 && !rows.empty()) FailWalk("None of the rows gave a melody");
          if (rules.NextPage) {
            const std::optional<std::string> href = rules.NextPage->Read(root);
            if (href) next = ResolveAddress(url, *href);
          }
        });
    if (rules.PageParameter) {
      if (rowsFound == 0) break;
      page += rules.PageStep;
      next = SearchAddress(term, page);
    }
    if (!next || fetched.count(*next) != 0) break;
    url = *next;
  }
  melodies = std::move(found);
}

void TDefinitionSite::LoadMelodyPageTraced(TMelody& melody, const TFetchContext& fetch,
                                           const TDefinitionTrace& trace) const {
  if (melody.Processed || !definition_.Melody) return;
  const TMelodyRules& rules = *definition_.Melody;
  const std::string url = melody.PageURL.str();
  std::array<TMelodyLinkList, FormatCount> links;
  Trace(trace, [&] { return "fetch " + url; });
  ScrapePreparedPage(*this, url, MelodyPageContext(melody),
                     Preparation(definition_.Encoding, rules.FixUps), fetch,
                     [&](const TElem& root) {
                       CheckExpected(rules.Expect, root);
                       const TLinkCount count = ReadLinks(rules.Files, root, url, links, trace);
                       if (count.Found > 0 && count.Read == 0) {
                         FailWalk("None of the links gave a file");
                       }
                     });
  melody.Links = std::move(links);
  melody.Processed = true;
}

}  // namespace cq
