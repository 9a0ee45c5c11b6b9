#include "gui/crash/CrashReport.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QThread>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "core/platform/ExceptionReport.h"
#include "core/platform/StackTrace.h"
#include "core/platform/UserFolders.h"
#include "gui/common/Desktop.h"
#include "gui/crash/TechnicalReport.h"

namespace cq {

namespace {

std::mutex g_presenterLock;
TCrashPresenter g_presenter;

void ShowInMessageBox(const QString& report, const QString& file) {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (app == nullptr || QThread::currentThread() != app->thread()) return;
  QString text = QStringLiteral("Chimequest met an error it could not handle.");
  if (!file.isEmpty()) text += QStringLiteral("\nThe report was saved to %1").arg(file);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Chimequest"), text, QMessageBox::Ok);
  ShowPlainText(box);
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
  return TStackTrace::Capture(static_cast<std::size_t>(skip) + 1).Render();
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
          .arg(QCoreApplication::applicationPid());
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
  return ExceptionReport(failure);
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
