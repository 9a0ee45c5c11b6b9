#pragma once

#include "core/sites/Sites.h"

namespace cq {

// The WAP club: WML pages in UTF-8, searched per kind of tone, ten results a page. Every result
// carries its file address, so melodies come out processed and their pages are never read.
class TWapClubSite : public TSite {
 public:
  // A kind stops at the site's last page, at a page that repeats an earlier page of the kind
  // exactly, or after this many pages: a site that always offers one more page cannot keep a job
  // busy.
  static constexpr int MaxPagesPerKind = 100;
  static constexpr int LinksPerPage = 10;

  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;
};

}  // namespace cq
