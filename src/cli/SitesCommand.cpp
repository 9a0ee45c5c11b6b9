#include <cstdio>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/platform/Text.h"
#include "core/sites/Sites.h"

namespace cq::cli {

namespace {

std::string NameOf(const TSite& site) {
  return Cp1251ToUtf8(site.GetName());
}

const TSite* FindSite(const std::string& name) {
  for (const TSite* site : RegisteredSites()) {
    if (EqualsIgnoringLatinCase(NameOf(*site), name)) return site;
  }
  return nullptr;
}

}  // namespace

int RunSites(const std::vector<std::string>& args) {
  if (!args.empty()) return Fail("sites: no arguments are taken");
  for (const TSite* site : RegisteredSites()) {
    std::printf("%s\t%s\n", Shown(NameOf(*site)).c_str(),
                Shown(Cp1251ToUtf8(site->GetHomePage())).c_str());
  }
  return 0;
}

int RunMelody(const std::vector<std::string>& args) {
  if (args.size() != 2) return Fail("melody: a site name and a melody page address are needed");
  const TSite* site = FindSite(args[0]);
  if (site == nullptr) {
    std::string error = "melody: no site is called '" + args[0] + "'; the sites are:";
    for (const TSite* known : RegisteredSites()) error += " '" + NameOf(*known) + "'";
    return Fail(error);
  }
  TMelody melody;
  melody.PageURL = Utf8ToCp1251(args[1]);
  melody.Site = site;
  site->LoadMelodyPage(melody, {});
  for (const TMelodyFormat format : AllFormats) {
    for (const TMelodyLink& link : melody.Links[format]) {
      std::printf("%s\t%s\t%s\n", std::string(FormatNames[format]).c_str(),
                  Shown(Cp1251ToUtf8(link.Caption)).c_str(), Shown(Cp1251ToUtf8(link.URL)).c_str());
    }
  }
  return 0;
}

}  // namespace cq::cli
