#include "gui/crash/CrashReporting.h"

#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <csignal>
#include <cstring>
#include <exception>
#include <string>

#include "core/Errors.h"
#include "core/Product.h"
#include "gui/crash/CrashReport.h"
#include "gui/crash/MailSender.h"

namespace cq {

namespace {

constexpr int FatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Everything the signal handler writes is prepared here, since it may not allocate.
char g_signalReportPath[4096];
char g_signalPreamble[8192];
std::size_t g_signalPreambleLength = 0;

void WriteAll(int fd, const char* text, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, text, length);
    if (written <= 0) return;
    text += written;
    length -= static_cast<std::size_t>(written);
  }
}

void WriteNumber(int fd, int value) {
  char digits[12];
  std::size_t n = 0;
  do {
    digits[sizeof digits - 1 - n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < sizeof digits);
  WriteAll(fd, digits + sizeof digits - n, n);
}

void OnFatalSignal(int signal) {
  const int fd = ::open(g_signalReportPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd >= 0) {
    static const char heading[] = "Chimequest crash report\r\n\r\nMessage: fatal signal ";
    WriteAll(fd, heading, sizeof heading - 1);
    WriteNumber(fd, signal);
    static const char stack[] = "\r\n\r\nCall stack:\r\n";
    WriteAll(fd, stack, sizeof stack - 1);
    void* frames[64];
    ::backtrace_symbols_fd(frames, ::backtrace(frames, 64), fd);
    WriteAll(fd, "\r\n", 2);
    WriteAll(fd, g_signalPreamble, g_signalPreambleLength);
    ::close(fd);
  }
  // SA_RESETHAND put the default action back: the signal now ends the program as it would have.
  ::raise(signal);
}

[[noreturn]] void OnTerminate() {
  // The abort below must not write a second report.
  std::signal(SIGABRT, SIG_DFL);
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
  const QByteArray path =
      (folder + QStringLiteral("crash-%1-signal.txt").arg(::getpid())).toLocal8Bit();
  std::strncpy(g_signalReportPath, path.constData(), sizeof g_signalReportPath - 1);
  const QByteArray preamble = CrashReportText("").toUtf8();
  g_signalPreambleLength =
      std::min(static_cast<std::size_t>(preamble.size()), sizeof g_signalPreamble);
  std::memcpy(g_signalPreamble, preamble.constData(), g_signalPreambleLength);
  // The first backtrace loads the unwinder, which must not happen inside the handler.
  void* frame[1];
  ::backtrace(frame, 1);
}

void InstallSignalHandlers() {
  // A stack overflow leaves no stack for the handler: give it its own.
  static char alternateStack[64 * 1024];
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  ::sigaltstack(&stack, nullptr);
  struct sigaction action {};
  action.sa_handler = OnFatalSignal;
  action.sa_flags = static_cast<int>(SA_RESETHAND | SA_ONSTACK);
  sigemptyset(&action.sa_mask);
  for (int signal : FatalSignals) ::sigaction(signal, &action, nullptr);
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
  InstallSignalHandlers();
}

}  // namespace cq
