#pragma once

#include "core/sites/Sites.h"

namespace cq {

// The poly catalogue: the request catalogue's search scheme for polyphonic tones; its melody page
// names each format after a fixed Russian lead-in.
class TPolyCatalogSite : public TSite {
 public:
  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
};

}  // namespace cq
