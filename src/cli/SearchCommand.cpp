#include <iostream>
#include <memory>

#include "cli/Command.h"
#include "cli/DefinitionCommands.h"
#include "cli/SearchRun.h"
#include "core/platform/Terminal.h"
#include "core/sites/registry/SiteRegistry.h"

namespace cq::cli {

std::function<int()> DeclareSearch(CLI::App& command, const TSiteRegistry& registry) {
  auto options = std::make_shared<TSearchOptions>();
  DeclareSearchOptions(command, *options);
  return [options, &registry] {
    std::vector<const TSite*> known = registry.Sites();
    std::vector<std::unique_ptr<const TDefinitionSite>> definitions;
    if (options->Definitions.empty()) {
      ReportDefinitionProblems(registry);
    } else {
      known.clear();
      for (const std::string& file : options->Definitions) {
        definitions.push_back(ReadDefinitionSite(file, registry));
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
