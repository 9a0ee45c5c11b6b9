#include "gui/app/UpdateBridge.h"

#include <QApplication>

#include "gui/common/Desktop.h"
#include "gui/common/QtText.h"

namespace cq {

TUpdateBridge::TUpdateBridge(std::function<void(bool)> showJobButton, TDesktop& desktop)
    : showJobButton_(std::move(showJobButton)), desktop_(desktop) {}

void TUpdateBridge::SetShowJobButton(bool on) {
  QMetaObject::invokeMethod(
      qApp,
      [show = showJobButton_, on] {
        if (show) show(on);
      },
      Qt::QueuedConnection);
}

void TUpdateBridge::OfferNewVersion(const std::string& question, const std::string& homePage) {
  QMetaObject::invokeMethod(
      qApp,
      [&desktop = desktop_, question, homePage] {
        desktop.AskYesNoLater(FromCp1251(question), [&desktop, homePage](bool yes) {
          if (yes) OpenWebAddress(desktop, homePage);
        });
      },
      Qt::QueuedConnection);
}

}  // namespace cq
