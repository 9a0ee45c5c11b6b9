#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace cq::test {

// Acts on the next modal dialog as soon as its loop runs: `act` clicks its way through it. A
// dialog still open after that is rejected, so a failing test never hangs.
inline void OnNextModal(std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    act(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
}

inline void Click(QDialog& dialog, const char* name) {
  auto* button = dialog.findChild<QPushButton*>(name);
  QVERIFY2(button != nullptr, name);
  QVERIFY2(button->isVisible(), name);
  button->click();
}

}  // namespace cq::test
