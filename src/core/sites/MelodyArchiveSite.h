#pragma once

#include "core/sites/Sites.h"

namespace cq {

// The melody archive: searched on one host, its melody pages and files on another.
class TMelodyArchiveSite : public TSite {
 public:
  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
};

}  // namespace cq
