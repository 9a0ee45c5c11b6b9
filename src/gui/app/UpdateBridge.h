#pragma once

#include <functional>
#include <string>

#include "core/transfer/Updater.h"

namespace cq {

class TDesktop;

// Tells the main window what the update checker found, on the main thread. The offer of a new
// version waits for its answer without blocking any window.
class TUpdateBridge : public TUpdateSink {
 public:
  // `showJobButton` runs on the main thread.
  TUpdateBridge(std::function<void(bool)> showJobButton, TDesktop& desktop);

  void SetShowJobButton(bool on) override;
  void OfferNewVersion(const std::string& question, const std::string& homePage) override;

 private:
  std::function<void(bool)> showJobButton_;
  TDesktop& desktop_;
};

}  // namespace cq
