#pragma once

#include "core/sites/registry/SiteRegistry.h"

namespace cq {

// The seven built-in sites, made anew, in their fixed order.
TSiteRegistry BuiltInSites();

// The programs' sites: the built-in ones, then the valid definition sites of the shipped and the
// user's folder.
TSiteRegistry ProgramSites();

// Moves `registry` where it lasts until the process ends, for a program's main: job threads that
// a closing program abandons may still use its sites while the process exits.
const TSiteRegistry& KeptUntilExit(TSiteRegistry registry);

}  // namespace cq
