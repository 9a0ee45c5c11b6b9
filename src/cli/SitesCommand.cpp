#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/Command.h"
#include "cli/DefinitionCommands.h"
#include "cli/Shown.h"
#include "core/platform/Text.h"
#include "core/sites/Sites.h"
#include "core/sites/definitions/DefinitionSites.h"
#include "core/sites/registry/SiteRegistry.h"

namespace cq::cli {

namespace {

std::string NameOf(const TSite& site) {
  return Cp1251ToUtf8(site.GetName());
}

const TSite* FindSite(const TSiteRegistry& registry, const std::string& name) {
  for (const TSite* site : registry.Sites()) {
    if (EqualsIgnoringLatinCase(NameOf(*site), name)) return site;
  }
  return nullptr;
}

}  // namespace

std::function<int()> DeclareSites(CLI::App&, const TSiteRegistry& registry) {
  return [&registry] {
    const auto& entries = registry.DefinitionEntries();
    for (const TSite* site : registry.Sites()) {
      std::printf("%s\t%s", Shown(NameOf(*site)).c_str(),
                  Shown(Cp1251ToUtf8(site->GetHomePage())).c_str());
      const auto entry = std::ranges::find_if(
          entries, [&](const TDefinitionEntry& known) { return known.Site.get() == site; });
      if (entry != entries.end()) std::printf("\t%s", Shown(entry->File.FileName).c_str());
      std::printf("\n");
    }
    ReportDefinitionProblems(registry);
    return kSucceeded;
  };
}

std::function<int()> DeclareMelody(CLI::App& command, const TSiteRegistry& registry) {
  struct Options {
    std::string site;
    std::string page;
  };
  auto options = std::make_shared<Options>();
  command.add_option("SITE", options->site, "the site's name, as `sites` lists it")->required();
  command.add_option("PAGEURL", options->page, "the address of the melody's page")->required();
  return [options, &registry] {
    const TSite* site = FindSite(registry, options->site);
    if (site == nullptr) {
      std::string error = "melody: no site is called '" + options->site + "'; the sites are:";
      for (const TSite* known : registry.Sites()) error += " '" + NameOf(*known) + "'";
      return Misuse(error);
    }
    TMelody melody;
    melody.PageURL = Utf8ToCp1251(options->page);
    melody.Site = site;
    site->LoadMelodyPage(melody, {});
    for (const TMelodyFormat format : AllFormats) {
      for (const TMelodyLink& link : melody.Links[format]) {
        std::printf("%s\t%s\t%s\n", std::string(FormatNames[format]).c_str(),
                    Shown(Cp1251ToUtf8(link.Caption)).c_str(),
                    Shown(Cp1251ToUtf8(link.URL)).c_str());
      }
    }
    return kSucceeded;
  };
}

}  // namespace cq::cli
