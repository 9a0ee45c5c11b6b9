#include <unistd.h>

#include <iostream>

#include "cli/Command.h"
#include "cli/DefinitionCommands.h"
#include "cli/SearchRun.h"

namespace cq::cli {

int RunSearchCommand(const std::vector<std::string>& args) {
  TSearchOptions options;
  if (auto error = ParseSearchArgs(args, options)) return Fail(*error);
  std::vector<const TSite*> known = RegisteredSites();
  std::vector<std::unique_ptr<const TDefinitionSite>> definitions;
  if (options.Definitions.empty()) {
    ReportDefinitionProblems();
  } else {
    known.clear();
    for (const std::string& file : options.Definitions) {
      definitions.push_back(ReadDefinitionSite(file));
      if (!definitions.back()) return InvalidDefinitionStatus;
      known.push_back(definitions.back().get());
    }
  }
  std::vector<const TSite*> sites;
  if (auto error = SelectSites(known, options.Sites, sites)) return Fail(*error);
  return RunSearch(options, sites, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}

}  // namespace cq::cli
