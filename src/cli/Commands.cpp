#include <cstdio>

#include "cli/Command.h"
#include "cli/Shown.h"

namespace cq::cli {

std::function<int()> DeclareFetch(CLI::App& command, const TSiteRegistry& sites);
std::function<int()> DeclareParse(CLI::App& command, const TSiteRegistry& sites);
std::function<int()> DeclarePath(CLI::App& command, const TSiteRegistry& sites);
std::function<int()> DeclareSearch(CLI::App& command, const TSiteRegistry& sites);
std::function<int()> DeclareSites(CLI::App& command, const TSiteRegistry& sites);
std::function<int()> DeclareMelody(CLI::App& command, const TSiteRegistry& sites);
std::function<int()> DeclareCheck(CLI::App& command, const TSiteRegistry& sites);

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
       "Exit status 1 when a site or a page failed; the others go on; 2 when a --definition\n"
       "file is not valid.",
       DeclareSearch},
      {"sites", "Lists the sites, one a line: name, home page and a defined site's file (tabs).",
       "Sites read from definition files follow the built-in ones, each with its file.\n"
       "Definition files that are not valid are named on stderr with their problems.",
       DeclareSites},
      {"check", "Checks a site definition file and prints the site's name.",
       "A file that is not valid gives FILE:LINE: problem lines on stderr and exit status 2.\n"
       "With a TERM it also searches and reads the first melody's page, printing every step:\n"
       "the addresses fetched, the rows, titles and links found. Exit status 1 when a page failed.",
       DeclareCheck},
      {"melody", "Reads a melody's page and prints a line per link: format, caption, address.",
       "Exit status 1 when the page cannot be read.", DeclareMelody},
  };
  return commands;
}

}  // namespace cq::cli
