#include <cstdio>

#include "cli/Command.h"
#include "cli/Shown.h"

namespace cq::cli {

std::function<int()> DeclareFetch(CLI::App& command);
std::function<int()> DeclareParse(CLI::App& command);
std::function<int()> DeclarePath(CLI::App& command);
std::function<int()> DeclareSearch(CLI::App& command);
std::function<int()> DeclareSites(CLI::App& command);
std::function<int()> DeclareMelody(CLI::App& command);

int Fail(const std::string& message) {
  std::fprintf(stderr, "chimequest-cli: %s\n", Shown(message).c_str());
  return kFailed;
}

int Misuse(const std::string& message) {
  std::fprintf(stderr, "chimequest-cli: %s (try --help)\n", Shown(message).c_str());
  return kMisused;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"fetch", "Fetches an address into the page cache and prints the cache file's name.",
       "A cached copy is used when there is one; --no-cache always downloads anew.", DeclareFetch},
      {"parse", "Prints the element tree of a page, one node a line.",
       "Control characters in names and attributes are shown escaped (\\t \\n \\x1b).",
       DeclareParse},
      {"path", "Prints the text of the element a path leads to, or one of its attributes.",
       "Exit status 1 when the path leads nowhere.", DeclarePath},
      {"search", "Searches the sites and prints a line per melody: site, title, page (tabs).",
       "Exit status 1 when a site or a page failed; the others go on.", DeclareSearch},
      {"sites", "Lists the sites, one a line: name and home page (tab-separated).", "",
       DeclareSites},
      {"melody", "Reads a melody's page and prints a line per link: format, caption, address.",
       "Exit status 1 when the page cannot be read.", DeclareMelody},
  };
  return commands;
}

}  // namespace cq::cli
