#include "gui/crash/CrashReport.h"

#include <cxxabi.h>
#include <execinfo.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QThread>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "core/platform/SpecialFolders.h"
#include "gui/crash/TechnicalReport.h"

namespace cq {

namespace {

constexpr int MaxFrames = 64;

std::mutex g_presenterLock;
TCrashPresenter g_presenter;

// "binary(mangled+0x1f) [0x...]" with the mangled name made readable.
std::string DemangledFrame(const char* symbol) {
  std::string line = symbol;
  const auto open = line.find('(');
  const auto plus = line.find('+', open);
  if (open == std::string::npos || plus == std::string::npos || plus == open + 1) return line;
  const std::string mangled = line.substr(open + 1, plus - open - 1);
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status), &std::free);
  if (status != 0 || !name) return line;
  return line.substr(0, open + 1) + name.get() + line.substr(plus);
}

void ShowInMessageBox(const QString& report, const QString& file) {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (app == nullptr || QThread::currentThread() != app->thread()) return;
  QString text = QStringLiteral("Chimequest met an error it could not handle.");
  if (!file.isEmpty()) text += QStringLiteral("\nThe report was saved to %1").arg(file);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Chimequest"), text, QMessageBox::Ok);
  box.setDetailedText(report);
  box.exec();
}

}  // namespace

std::string RenderFailureReport(std::string_view message, std::string_view stack) {
  std::string report = "Message: ";
  report += message;
  report += "\r\n\r\nCall stack:\r\n";
  report += stack.empty() ? std::string_view("(not available)\r\n") : stack;
  return report;
}

std::string CurrentStackText(int skip) {
  void* frames[MaxFrames];
  const int count = ::backtrace(frames, MaxFrames);
  std::unique_ptr<char*, decltype(&std::free)> symbols(::backtrace_symbols(frames, count),
                                                       &std::free);
  std::string text;
  for (int i = 1 + skip, n = 0; i < count; ++i, ++n) {
    text += "#" + std::to_string(n) + " ";
    text += symbols ? DemangledFrame(symbols.get()[i]) : std::string("?");
    text += "\r\n";
  }
  return text;
}

QString CrashReportText(std::string_view failure) {
  return QStringLiteral("Chimequest crash report\r\n\r\n") +
         QString::fromUtf8(failure.data(), static_cast<qsizetype>(failure.size())) +
         QStringLiteral("\r\n") + TechnicalReport();
}

QString CrashReportFolder() {
  const std::string appData = GetSpecialFolder(sfAppData, QDir::tempPath().toStdString());
  return QString::fromStdString(appData) + QStringLiteral("/Chimequest/");
}

QString WriteCrashReport(const QString& report) {
  const QString folder = CrashReportFolder();
  if (!QDir().mkpath(folder)) return {};
  const QString stem =
      QStringLiteral("crash-%1-%2")
          .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz")))
          .arg(::getpid());
  for (int n = 0; n < 100; ++n) {
    const QString name = folder + stem + (n == 0 ? QString() : QStringLiteral("-%1").arg(n)) +
                         QStringLiteral(".txt");
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) continue;
    const QByteArray bytes = report.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) return {};
    return name;
  }
  return {};
}

void SetCrashPresenter(TCrashPresenter presenter) {
  const std::lock_guard lock(g_presenterLock);
  g_presenter = std::move(presenter);
}

std::string RenderException(const std::exception& failure) {
  return RenderFailureReport(failure.what(), CurrentStackText(1));
}

void ReportFailure(std::string_view renderedFailure) {
  const QString report = CrashReportText(renderedFailure);
  const QString file = WriteCrashReport(report);
  TCrashPresenter presenter;
  {
    const std::lock_guard lock(g_presenterLock);
    presenter = g_presenter;
  }
  if (presenter) {
    presenter(report, file);
  } else {
    ShowInMessageBox(report, file);
  }
}

}  // namespace cq
