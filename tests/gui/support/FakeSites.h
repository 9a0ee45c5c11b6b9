#pragma once

#include <string>

#include "core/sites/Sites.h"

namespace cq::test {

// A site that is only a name: enough for the settings' site list.
class TNamedSite : public TSite {
 public:
  explicit TNamedSite(std::string name) : name_(std::move(name)) {}
  std::string GetName() const override { return name_; }
  std::string GetHomePage() const override { return "http://" + name_ + ".example/"; }
  void Search(const std::string&, TMelodyList& melodies, const TProgressCallback&) const override {
    melodies.clear();
  }
  void LoadMelodyPage(TMelody& melody, const TProgressCallback&) const override {
    melody.Processed = true;
  }

 private:
  std::string name_;
};

// Registers two sites, one with a Cyrillic (windows-1251) name, once per process.
inline void RegisterFakeSites() {
  static const TNamedSite latin("Alpha Tones");
  static const TNamedSite cyrillic("\xC1\xE5\xF2\xE0 \xEC\xE5\xEB\xEE\xE4\xE8\xE8");
  if (!RegisteredSites().empty()) return;
  RegisterSite(latin);
  RegisterSite(cyrillic);
}

}  // namespace cq::test
