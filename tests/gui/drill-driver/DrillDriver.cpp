// A test-only Qt input plugin that drives the real program the way a user would, from inside its
// own event loop: it types a term, presses Search and clicks format buttons until it has started
// the downloads it was asked for. Loaded by Qt itself (QT_QPA_GENERIC_PLUGINS=cqdrill:PLAN), so
// the program carries no hook of its own. PLAN is "key=value;..." with
//   term=    the search term
//   count=   how many downloads to start (0: only wait for the window)
//   close=   a file whose appearance makes the driver close the main window (and choose to quit
//            now when asked about running downloads)
// It prints "ready" once the window shows and "downloads N" once N downloads are started.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGenericPlugin>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "gui/app/RowPainter.h"

namespace {

QWidget* FindWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == "MainForm" && widget->isVisible()) return widget;
  return nullptr;
}

void Say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

class TDrillDriver : public QObject {
 public:
  explicit TDrillDriver(const QString& plan) {
    for (const QString& pair : plan.split(';', Qt::SkipEmptyParts)) {
      const QString key = pair.section('=', 0, 0);
      const QString value = pair.section('=', 1);
      if (key == "term") term_ = value;
      if (key == "count") count_ = value.toInt();
      if (key == "close") closeFile_ = value;
    }
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TDrillDriver::Tick);
    timer->start(40);
  }

 private:
  void Tick() {
    // A format menu is open (this tick runs inside its loop): take its first Download.
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      const auto downloads = menu->findChildren<QAction*>("MenuDownload");
      if (!downloads.isEmpty()) {
        downloads.first()->trigger();
        ++started_;
        Say(QStringLiteral("downloads %1").arg(started_));
      }
      menu->close();
      return;
    }
    if (clicking_) return;
    if (closing_) {
      QuitNowWhenAsked();
      return;
    }
    QWidget* window = FindWindow();
    if (window == nullptr) return;
    if (!ready_) {
      ready_ = true;
      Say("ready");
      if (count_ > 0) {
        window->findChild<QComboBox*>("SearchTerm")->setEditText(term_);
        window->findChild<QPushButton*>("SearchBtn")->click();
      }
      return;
    }
    if (!closeFile_.isEmpty() && QFile::exists(closeFile_)) {
      closeFile_.clear();
      closing_ = true;
      window->close();
      return;
    }
    if (started_ < count_) ClickNextButton(window);
  }

  void QuitNowWhenAsked() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      if (box == nullptr || !box->isVisible()) continue;
      for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::DestructiveRole) button->click();
    }
  }

  // One press on the next format button of the next row without a download; a press that opens
  // no menu (a row not read yet, a format it lacks) moves on to the next format.
  void ClickNextButton(QWidget* window) {
    auto* view = window->findChild<QWidget*>("PaintBox");
    if (view == nullptr) return;
    const QPoint at(
        cq::FormatButtonLeft(view->width(), static_cast<cq::TMelodyFormat>(format_)) + 16,
        row_ * cq::MelodyRowHeight + cq::FormatButtonTop + 6);
    if (at.y() >= view->height()) {
      row_ = 0;
      return;
    }
    clicking_ = true;
    // Not from inside this timer's own tick: the menu's loop must see the timer fire again.
    QMetaObject::invokeMethod(
        this,
        [this, view = QPointer<QWidget>(view), at] {
          const int before = started_;
          if (view) {
            QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &press);
          }
          if (view) {
            QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view, &release);
          }
          clicking_ = false;
          if (started_ > before) {
            ++row_;
            format_ = 0;
          } else {
            format_ = (format_ + 1) % static_cast<int>(cq::FormatCount);
          }
        },
        Qt::QueuedConnection);
  }

  QString term_;
  int count_ = 0;
  QString closeFile_;
  bool ready_ = false;
  bool clicking_ = false;
  bool closing_ = false;
  int started_ = 0;
  int row_ = 0;
  int format_ = 0;
};

}  // namespace

class TDrillDriverPlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "drill-driver.json")

 public:
  QObject* create(const QString& key, const QString& plan) override {
    return key == "cqdrill" ? new TDrillDriver(plan) : nullptr;
  }
};

#include "DrillDriver.moc"
