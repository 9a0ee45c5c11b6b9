#pragma once

#include "core/sites/Sites.h"

namespace cq {

// The request catalogue: one melody per row of the result table; the melody page names the formats
// in link texts and shows the file addresses as underlined text.
class TRequestCatalogSite : public TSite {
 public:
  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
};

}  // namespace cq
