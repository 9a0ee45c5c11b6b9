#include "gui/app/MainWindow.h"

#include "core/sites/registry/SiteRegistry.h"

namespace cq {

TMainWindow::TMainWindow(const TSiteRegistry& sites, TDesktop& desktop,
                         const QString& externalPlayer)
    : sites_(sites), form_(sites.Sites(), desktop, externalPlayer), firstStart_(&form_) {
  form_.SetFirstStartForm(&firstStart_);
}

TMainWindow::~TMainWindow() {
  settings_.reset();
}

void TMainWindow::RestoreSettings() {
  settings_ = std::make_unique<TSettingsForm>(sites_, firstStart_, form_, &form_);
  form_.SetSettingsForm(settings_.get());
}

}  // namespace cq
