#include "cli/Command.h"

namespace cq::cli {

int RunFetch(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"fetch",
       "Fetches an address into the page cache and prints the cache file's name.\n"
       "A cached copy is used when there is one; --no-cache always downloads anew.",
       "fetch [--no-cache] URL", RunFetch},
  };
  return commands;
}

}  // namespace cq::cli
