#pragma once

#include "core/sites/Sites.h"

namespace cq {

// The tone library's upload area: the second column of the library's search page, without
// duplicates; the melody page holds one file, told by its extension.
class TToneUploadsSite : public TSite {
 public:
  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
};

}  // namespace cq
