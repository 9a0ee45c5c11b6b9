#include "gui/crash/CrashReporting.h"

#include <QDir>
#include <cstdlib>
#include <exception>
#include <string>

#include "core/Errors.h"
#include "core/Product.h"
#include "gui/crash/CrashReport.h"
#include "gui/crash/MailSender.h"
#include "gui/platform/FatalSignals.h"

namespace cq {

namespace {

[[noreturn]] void OnTerminate() {
  // The abort below must not write a second report.
  ForgetAbortSignal();
  std::string failure =
      RenderFailureReport("The program was ended without a failure to report", CurrentStackText(1));
  if (const std::exception_ptr pending = std::current_exception()) {
    try {
      std::rethrow_exception(pending);
    } catch (const std::exception& caught) {
      failure = RenderException(caught);
    } catch (...) {
      failure = RenderFailureReport("An unknown failure", CurrentStackText(1));
    }
  }
  ReportFailure(failure);
  std::abort();
}

void PrepareSignalReport() {
  const QString folder = CrashReportFolder();
  QDir().mkpath(folder);
  ReportFatalSignals(
      {(folder + QStringLiteral("crash-%1-signal.txt").arg(QCoreApplication::applicationPid()))
           .toLocal8Bit(),
       "Chimequest crash report\r\n\r\nMessage: fatal signal ", CrashReportText("").toUtf8()});
}

}  // namespace

bool TCrashApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const EAbort&) {
  } catch (const std::exception& failure) {
    ReportFailure(RenderException(failure));
  } catch (...) {
    ReportFailure(RenderFailureReport("An unknown failure", CurrentStackText()));
  }
  return false;
}

void ConfigureCrashReporting() {
  MailSender().SetRecipient(QString::fromUtf8(
      product::SupportAddress.data(), static_cast<qsizetype>(product::SupportAddress.size())));
  std::set_terminate(OnTerminate);
  PrepareSignalReport();
}

}  // namespace cq
