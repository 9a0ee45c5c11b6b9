#include "cli/Command.h"

namespace cq::cli {

int RunFetch(const std::vector<std::string>& args);
int RunParse(const std::vector<std::string>& args);
int RunPath(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"fetch", "Fetches an address into the page cache and prints the cache file's name.",
       "fetch [--no-cache] URL", RunFetch},
      {"parse", "Prints the element tree of a page, one node a line (line breaks shown as \\r \\n).",
       "parse FILE", RunParse},
      {"path", "Prints the text of the element a path leads to, or one of its attributes.",
       "path FILE PATH [--attr NAME]", RunPath},
  };
  return commands;
}

}  // namespace cq::cli
