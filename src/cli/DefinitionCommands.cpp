#include "cli/DefinitionCommands.h"

#include <cstdio>
#include <exception>

#include "cli/Command.h"
#include "core/Errors.h"
#include "core/platform/Text.h"
#include "core/sites/definitions/DefinitionFile.h"

namespace cq::cli {

namespace {

void PrintProblems(const TDefinitionFile& file) {
  for (const TDefinitionProblem& problem : file.Problems) {
    std::fprintf(stderr, "%s\n", ProblemLine(file.FileName, problem).c_str());
  }
}

void PrintStep(const std::string& line) {
  std::printf("%s\n", Cp1251ToUtf8(line).c_str());
  std::fflush(stdout);
}

// Searches, then reads the first melody's page, printing every step; 1 when a stage failed.
int TraceSearch(const TDefinitionSite& site, const std::string& term) {
  TMelodyList melodies;
  try {
    site.SearchTraced(Utf8ToCp1251(term), melodies, {}, PrintStep);
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "search failed: %s\n", Cp1251ToUtf8(error.what()).c_str());
    return 1;
  }
  PrintStep("melodies: " + std::to_string(melodies.size()));
  if (melodies.empty()) return 0;
  TMelody& first = melodies.front();
  if (!first.Processed) {
    try {
      site.LoadMelodyPageTraced(first, {}, PrintStep);
    } catch (const EAbort&) {
      throw;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "melody page failed: %s\n", Cp1251ToUtf8(error.what()).c_str());
      return 1;
    }
  }
  for (const TMelodyFormat format : AllFormats) {
    for (const TMelodyLink& link : first.Links[format]) {
      PrintStep("file: " + std::string(FormatNames[format]) + " '" + link.Caption.str() + "' " +
                link.URL.str());
    }
  }
  return 0;
}

}  // namespace

std::unique_ptr<const TDefinitionSite> ReadDefinitionSite(const std::string& fileName) {
  TDefinitionFile file = LoadDefinitionFile(fileName);
  for (const TSite* site : RegisteredSites()) {
    if (!file.SiteName.empty() && EqualsIgnoringLatinCase(site->GetName(), file.SiteName)) {
      file.Problems.push_back(
          {0, "a built-in site is called '" + Cp1251ToUtf8(file.SiteName) + "'"});
    }
  }
  PrintProblems(file);
  if (!file.Problems.empty()) return nullptr;
  return std::make_unique<const TDefinitionSite>(*file.Definition, fileName);
}

int RunCheck(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return Fail("check: a definition file and at most one term");
  const std::unique_ptr<const TDefinitionSite> site = ReadDefinitionSite(args[0]);
  if (!site) return InvalidDefinitionStatus;
  std::printf("%s\n", Cp1251ToUtf8(site->GetName()).c_str());
  return args.size() == 2 ? TraceSearch(*site, args[1]) : 0;
}

}  // namespace cq::cli
