#include <algorithm>
#include <cstdio>

#include "cli/Command.h"
#include "core/platform/Text.h"
#include "core/sites/Sites.h"
#include "core/sites/definitions/DefinitionSites.h"

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

void ReportDefinitionProblems() {
  for (const TDefinitionEntry& entry : DefinitionEntries()) {
    for (const TDefinitionProblem& problem : entry.File.Problems) {
      std::fprintf(stderr, "%s\n", ProblemLine(entry.File.FileName, problem).c_str());
    }
  }
}

int RunSites(const std::vector<std::string>& args) {
  if (!args.empty()) return Fail("sites: no arguments are taken");
  for (const TSite* site : RegisteredSites()) {
    std::printf("%s\t%s", NameOf(*site).c_str(), Cp1251ToUtf8(site->GetHomePage()).c_str());
    const auto& entries = DefinitionEntries();
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const TDefinitionEntry& e) {
      return e.Site.get() == site;
    });
    if (entry != entries.end()) std::printf("\t%s", entry->File.FileName.c_str());
    std::printf("\n");
  }
  ReportDefinitionProblems();
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
                  Cp1251ToUtf8(link.Caption).c_str(), Cp1251ToUtf8(link.URL).c_str());
    }
  }
  return 0;
}

}  // namespace cq::cli
