#pragma once

#include <QPointer>
#include <string>

#include "core/transfer/Updater.h"

class QCheckBox;

namespace cq {

class TDesktop;

// Tells the main window what the update checker found, on the main thread. The offer of a new
// version waits for its answer without blocking any window.
class TUpdateBridge : public TUpdateSink {
 public:
  TUpdateBridge(QCheckBox* showJobButton, TDesktop& desktop);

  void SetShowJobButton(bool on) override;
  void OfferNewVersion(const std::string& question, const std::string& homePage) override;

 private:
  QPointer<QCheckBox> showJobButton_;
  TDesktop& desktop_;
};

}  // namespace cq
