#include "gui/app/MainWindow.h"

#include "core/sites/Sites.h"

namespace cq {

TMainWindow::TMainWindow(TDesktop& desktop, const QString& externalPlayer)
    : form_(RegisteredSites(), desktop, externalPlayer), firstStart_(&form_) {
  form_.SetFirstStartForm(&firstStart_);
}

TMainWindow::~TMainWindow() {
  settings_.reset();
}

void TMainWindow::RestoreSettings() {
  settings_ = std::make_unique<TSettingsForm>(firstStart_, form_, &form_);
  form_.SetSettingsForm(settings_.get());
}

}  // namespace cq
