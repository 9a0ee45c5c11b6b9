#pragma once

#include "core/sites/Sites.h"

namespace cq {

// The tone library: results as list items; the melody page tells MIDI from MMF only by a folder
// in the file address.
class TToneLibrarySite : public TSite {
 public:
  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
};

// The search page the library and its upload area share.
std::string ToneLibrarySearchAddress(const std::string& term);

}  // namespace cq
