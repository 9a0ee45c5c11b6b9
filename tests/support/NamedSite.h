#pragma once

#include <string>

#include "core/sites/Sites.h"

namespace cq::test {

// A site that is only a name: its own operations find nothing, so only the caller's part is
// under test.
class TNamedSite : public TSite {
 public:
  explicit TNamedSite(std::string name) : name_(std::move(name)) {}
  std::string GetName() const override { return name_; }
  std::string GetHomePage() const override { return "http://" + name_ + "/"; }
  void Search(const std::string&, TMelodyList& melodies, const TProgressCallback&) const override {
    melodies.clear();
  }
  void LoadMelodyPage(TMelody& melody, const TProgressCallback&) const override {
    melody.Processed = true;
  }

 private:
  std::string name_;
};

}  // namespace cq::test
