#pragma once

#include <QApplication>

namespace cq {

// The program's application object: a failure that escapes an event handler is reported (and
// the program goes on) instead of ending the program; the silent abort is swallowed.
class TCrashApplication : public QApplication {
 public:
  TCrashApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override;
};

// Called once at start-up: the feedback mail's recipient, and reports for fatal errors
// (std::terminate, and the fatal signals as far as a signal handler may safely go: the report
// file, without the message box).
void ConfigureCrashReporting();

}  // namespace cq
