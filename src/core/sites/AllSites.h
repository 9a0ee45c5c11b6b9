#pragma once

namespace cq {

// Registers the seven sites, once, in their fixed order; later calls do nothing. Call it at
// start-up, before any thread uses RegisteredSites.
void RegisterAllSites();

}  // namespace cq
