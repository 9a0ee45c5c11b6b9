#include <unistd.h>

#include <iostream>
#include <memory>

#include "cli/Command.h"
#include "cli/SearchRun.h"

namespace cq::cli {

std::function<int()> DeclareSearch(CLI::App& command) {
  auto options = std::make_shared<TSearchOptions>();
  DeclareSearchOptions(command, *options);
  return [options] {
    std::vector<const TSite*> sites;
    if (auto error = SelectSites(RegisteredSites(), options->Sites, sites)) return Misuse(*error);
    return RunSearch(*options, sites, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
  };
}

}  // namespace cq::cli
