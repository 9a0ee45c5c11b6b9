#pragma once

#include <functional>
#include <string>

#include "core/sites/Sites.h"
#include "core/sites/definitions/Definition.h"

namespace cq {

// Receives each step of a definition site's work (windows-1251 lines), for a definition's
// writer to see where it breaks.
using TDefinitionTrace = std::function<void(const std::string& line)>;

// A site read from a definition file: the scrapers' pattern driven by the file's paths.
class TDefinitionSite : public TSite {
 public:
  TDefinitionSite(TDefinition definition, std::string fileName);

  std::string GetName() const override;
  std::string GetHomePage() const override;
  void Search(const std::string& term, TMelodyList& melodies,
              const TFetchContext& fetch) const override;
  void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const override;

  void SearchTraced(const std::string& term, TMelodyList& melodies, const TFetchContext& fetch,
                    const TDefinitionTrace& trace) const;
  void LoadMelodyPageTraced(TMelody& melody, const TFetchContext& fetch,
                            const TDefinitionTrace& trace) const;

  // The file the site comes from (UTF-8).
  const std::string& FileName() const { return fileName_; }
  // The search address for a term and page number.
  std::string SearchAddress(const std::string& term, int page) const;

 private:
  const TDefinition definition_;
  const std::string fileName_;
};

}  // namespace cq
