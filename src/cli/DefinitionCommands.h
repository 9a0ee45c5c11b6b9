#pragma once

#include <memory>
#include <string>

#include "core/sites/definitions/DefinitionSite.h"
#include "core/sites/registry/SiteRegistry.h"

namespace cq::cli {

// Reads a definition file for the command line: its problems, as FILE:LINE: problem lines, go to
// stderr. Null when it is not valid; naming a site of `registry` is a problem.
std::unique_ptr<const TDefinitionSite> ReadDefinitionSite(const std::string& fileName,
                                                          const TSiteRegistry& registry);

// Names on stderr the definition files of `registry` that are not valid, with their problems.
void ReportDefinitionProblems(const TSiteRegistry& registry);

}  // namespace cq::cli
