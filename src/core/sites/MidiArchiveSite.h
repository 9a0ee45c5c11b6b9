#pragma once

#include <chrono>
#include <functional>

#include "core/sites/Sites.h"

namespace cq {

// Waits the given time; tests pass one that only records.
using TSleeper = std::function<void(std::chrono::seconds)>;

// The MIDI archive: results in pages, three table rows per melody, each melody's one MIDI file
// known from the search. Its file server sometimes answers a download with a short waiting page,
// so FetchFile waits and tries again, 5 seconds longer each time, a bounded number of times.
class TMidiArchiveSite : public TSite {
 public:
  // A page list that announces more pages than this is read only this far.
  static constexpr int MaxSearchPages = 100;
  // A download answered by the waiting page this many times fails: the server may never let go.
  static constexpr int MaxWaitingPages = 6;

  // `sleeper` waits during the retry countdown; by default the thread sleeps.
  explicit TMidiArchiveSite(TSleeper sleeper = {});

  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
  void FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex, const TFetchContext& fetch,
                 std::string& fileName) const override;

 private:
  TSleeper sleeper_;
};

}  // namespace cq
