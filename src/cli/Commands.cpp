#include "cli/Command.h"

namespace cq::cli {

int RunFetch(const std::vector<std::string>& args);
int RunParse(const std::vector<std::string>& args);
int RunPath(const std::vector<std::string>& args);
int RunSearchCommand(const std::vector<std::string>& args);
int RunSites(const std::vector<std::string>& args);
int RunMelody(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"fetch",
       "Fetches an address into the page cache and prints the cache file's name.\n"
       "A cached copy is used when there is one; --no-cache always downloads anew.",
       "fetch [--no-cache] URL", RunFetch},
      {"parse", "Prints the element tree of a page, one node a line (control characters escaped).",
       "parse FILE", RunParse},
      {"path", "Prints the text of the element a path leads to, or one of its attributes.",
       "path FILE PATH [--attr NAME]", RunPath},
      {"search", "Searches the sites and prints a line per melody: site, title, page (tabs).",
       "search [--site NAME]... [--pages] [--json] TERM\n\n"
       "  --site NAME  search only this site (repeatable)\n"
       "  --pages      also read every melody's page and print its links per format\n"
       "  --json       print one JSON object per melody\n\n"
       "Exit status 1 when a site or a page failed; the others go on.",
       RunSearchCommand},
      {"sites", "Lists the sites, one a line: name and home page (tab-separated).", "sites",
       RunSites},
      {"melody", "Reads a melody's page and prints a line per link: format, caption, address.",
       "melody SITE PAGEURL\n\nExit status 1 when the page cannot be read.", RunMelody},
  };
  return commands;
}

}  // namespace cq::cli
