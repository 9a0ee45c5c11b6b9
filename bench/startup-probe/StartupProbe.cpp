// A bench-only Qt input plugin (QT_QPA_GENERIC_PLUGINS=cqstartup): the moment the program's first
// window is exposed it prints "shown" and ends the process, so the bench times the real start-up
// without any hook in the program.
#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace {

class TExposeWatch : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose) {
      const auto* window = qobject_cast<QWindow*>(watched);
      if (window != nullptr && window->isExposed()) {
        std::printf("shown %s\n", qPrintable(window->objectName()));
        std::fflush(stdout);
        // Nothing of the run after this point is measured.
        std::_Exit(0);
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

class TStartupProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startup-probe.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    if (key != "cqstartup") return nullptr;
    auto* watch = new TExposeWatch;
    QCoreApplication::instance()->installEventFilter(watch);
    return watch;
  }
};

#include "StartupProbe.moc"
