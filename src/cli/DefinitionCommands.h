#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/sites/definitions/DefinitionSite.h"

namespace cq::cli {

// Reads a definition file for the command line: its problems, as FILE:LINE: problem lines, go to
// stderr. Null when it is not valid.
std::unique_ptr<const TDefinitionSite> ReadDefinitionSite(const std::string& fileName);

// Exit status of a command given a definition that is not valid.
inline constexpr int InvalidDefinitionStatus = 2;

}  // namespace cq::cli
