#include <iostream>
#include <memory>

#include "cli/Command.h"
#include "cli/DefinitionCommands.h"
#include "cli/SearchRun.h"
#include "core/platform/Terminal.h"

namespace cq::cli {

std::function<int()> DeclareSearch(CLI::App& command) {
  auto options = std::make_shared<TSearchOptions>();
  DeclareSearchOptions(command, *options);
  return [options] {
    std::vector<const TSite*> known = RegisteredSites();
    std::vector<std::unique_ptr<const TDefinitionSite>> definitions;
    if (options->Definitions.empty()) {
      ReportDefinitionProblems();
    } else {
      known.clear();
      for (const std::string& file : options->Definitions) {
        definitions.push_back(ReadDefinitionSite(file));
        if (!definitions.back()) return kMisused;
        known.push_back(definitions.back().get());
      }
    }
    std::vector<const TSite*> sites;
    if (auto error = SelectSites(known, options->Sites, sites)) return Misuse(*error);
    return RunSearch(*options, sites, std::cout, std::cerr, ErrorOutputIsTerminal());
  };
}

}  // namespace cq::cli
