#include "gui/app/UpdateBridge.h"

#include <QApplication>
#include <QCheckBox>

#include "gui/common/Desktop.h"
#include "gui/common/QtText.h"

namespace cq {

TUpdateBridge::TUpdateBridge(QCheckBox* showJobButton, TDesktop& desktop)
    : showJobButton_(showJobButton), desktop_(desktop) {}

void TUpdateBridge::SetShowJobButton(bool on) {
  QMetaObject::invokeMethod(
      qApp,
      [button = showJobButton_, on] {
        if (QCheckBox* box = button.data(); box != nullptr) box->setChecked(on);
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
