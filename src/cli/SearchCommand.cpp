#include <unistd.h>

#include <iostream>

#include "cli/Command.h"
#include "cli/SearchRun.h"

namespace cq::cli {

int RunSearchCommand(const std::vector<std::string>& args) {
  TSearchOptions options;
  if (auto error = ParseSearchArgs(args, options)) return Fail(*error);
  std::vector<const TSite*> sites;
  if (auto error = SelectSites(RegisteredSites(), options.Sites, sites)) return Fail(*error);
  return RunSearch(options, sites, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}

}  // namespace cq::cli
