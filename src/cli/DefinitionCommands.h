#pragma once

#include <memory>
#include <string>

#include "core/sites/definitions/DefinitionSite.h"

namespace cq::cli {

// Reads a definition file for the command line: its problems, as FILE:LINE: problem lines, go to
// stderr. Null when it is not valid.
std::unique_ptr<const TDefinitionSite> ReadDefinitionSite(const std::string& fileName);

// Names on stderr the definition files found at start that are not valid, with their problems.
void ReportDefinitionProblems();

}  // namespace cq::cli
