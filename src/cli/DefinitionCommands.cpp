#include "cli/DefinitionCommands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/Errors.h"
#include "core/platform/Text.h"
#include "core/sites/definitions/DefinitionFile.h"
#include "core/sites/registry/SiteRegistry.h"

namespace cq::cli {

namespace {

void PrintProblems(const TDefinitionFile& file) {
  for (const TDefinitionProblem& problem : file.Problems) {
    std::fprintf(stderr, "%s\n", Shown(ProblemLine(file.FileName, problem)).c_str());
  }
}

void PrintStep(const std::string& line) {
  std::printf("%s\n", Shown(Cp1251ToUtf8(line)).c_str());
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
    std::fprintf(stderr, "search failed: %s\n", Shown(Cp1251ToUtf8(error.what())).c_str());
    return kFailed;
  }
  PrintStep("melodies: " + std::to_string(melodies.size()));
  if (melodies.empty()) return kSucceeded;
  TMelody& first = melodies.front();
  if (!first.Processed) {
    try {
      site.LoadMelodyPageTraced(first, {}, PrintStep);
    } catch (const EAbort&) {
      throw;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "melody page failed: %s\n", Shown(Cp1251ToUtf8(error.what())).c_str());
      return kFailed;
    }
  }
  for (const TMelodyFormat format : AllFormats) {
    for (const TMelodyLink& link : first.Links[format]) {
      PrintStep("file: " + std::string(FormatNames[format]) + " '" + link.Caption.str() + "' " +
                link.URL.str());
    }
  }
  return kSucceeded;
}

}  // namespace

std::unique_ptr<const TDefinitionSite> ReadDefinitionSite(const std::string& fileName,
                                                          const TSiteRegistry& registry) {
  TDefinitionFile file = LoadDefinitionFile(fileName);
  for (const TSite* site : registry.Sites()) {
    if (!file.SiteName.empty() && EqualsIgnoringLatinCase(site->GetName(), file.SiteName)) {
      file.Problems.push_back(BuiltInNameProblem(file.SiteName));
    }
  }
  PrintProblems(file);
  if (!file.Problems.empty()) return nullptr;
  return std::make_unique<const TDefinitionSite>(*file.Definition, fileName);
}

void ReportDefinitionProblems(const TSiteRegistry& registry) {
  for (const TDefinitionEntry& entry : registry.DefinitionEntries()) PrintProblems(entry.File);
}

std::function<int()> DeclareCheck(CLI::App& command, const TSiteRegistry& registry) {
  struct Options {
    std::string file;
    std::string term;
  };
  auto options = std::make_shared<Options>();
  command.add_option("FILE", options->file, "the site definition file")->required();
  command.add_option("TERM", options->term, "search for this and read the first melody's page");
  return [options, &registry] {
    const std::unique_ptr<const TDefinitionSite> site = ReadDefinitionSite(options->file, registry);
    if (!site) return kMisused;
    std::printf("%s\n", Shown(Cp1251ToUtf8(site->GetName())).c_str());
    return options->term.empty() ? kSucceeded : TraceSearch(*site, options->term);
  };
}

}  // namespace cq::cli
