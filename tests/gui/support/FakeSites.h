#pragma once

#include "core/sites/Sites.h"
#include "support/NamedSite.h"

namespace cq::test {

// Registers two sites, one with a Cyrillic (windows-1251) name, once per process.
inline void RegisterFakeSites() {
  static const TNamedSite latin("Alpha Tones");
  static const TNamedSite cyrillic("\xC1\xE5\xF2\xE0 \xEC\xE5\xEB\xEE\xE4\xE8\xE8");
  if (!RegisteredSites().empty()) return;
  RegisterSite(latin);
  RegisterSite(cyrillic);
}

}  // namespace cq::test
