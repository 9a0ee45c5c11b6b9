#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/sites/Sites.h"

namespace CLI {
class App;
}

namespace cq::cli {

struct TSearchOptions {
  std::vector<std::string> Sites;        // --site NAME (UTF-8); empty: every site
  std::vector<std::string> Definitions;  // --definition FILE: only the sites of these files
  bool Pages = false;                    // also read every melody's page and print its links
  bool Json = false;                     // one JSON object per melody
  std::string Term;                      // UTF-8
};

// Declares the search command's options and term on its parser, which fills `options`.
void DeclareSearchOptions(CLI::App& command, TSearchOptions& options);

// The sites named by --site (Latin letters compared case-blind), in registry order; all of
// `sites` when none is named. Answers an error message for a name no site has.
std::optional<std::string> SelectSites(const std::vector<const TSite*>& sites,
                                       const std::vector<std::string>& names,
                                       std::vector<const TSite*>& selected);

// Searches `sites` through the job manager (five slots, a step every 10 ms or as soon as a job
// finishes) and prints each melody as its row appears (or, with --pages, once its page is read).
// Failures go to `err` and the others go on. `progress`: show a progress line on `err`.
// Exit status: 0, or 1 when a site or a page failed.
int RunSearch(const TSearchOptions& options, const std::vector<const TSite*>& sites,
              std::ostream& out, std::ostream& err, bool progress);

}  // namespace cq::cli
