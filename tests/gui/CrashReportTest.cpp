#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "GuiTestMain.h"
#include "core/Errors.h"
#include "core/transfer/Version.h"
#include "gui/crash/CrashReport.h"
#include "gui/crash/CrashReporting.h"
#include "gui/crash/MailSender.h"
#include "support/FolderFiles.h"

using namespace cq;

namespace {

struct TShown {
  QString report;
  QString file;
};

// An object whose event handler fails the way it is told.
class TFailingObject : public QObject {
 public:
  enum TFailure { fNone, fStdException, fAbort, fUnknown };
  TFailure failure = fNone;

  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    switch (failure) {
      case fStdException:
        throw std::runtime_error("handler broke");
      case fAbort:
        throw EAbort();
      case fUnknown:
        throw 42;
      case fNone:
        break;
    }
    return true;
  }
};

// The child process of the fatal-error tests: configured like the program, then it dies the way
// it is told. A message box would wait for a click, so the report is shown on standard output.
[[noreturn]] void FailTerminally(const char* how) {
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  ConfigureCrashReporting();
  SetCrashPresenter([](const QString& report, const QString& file) {
    std::printf("shown %s\n%s", qPrintable(file), qPrintable(report));
    std::fflush(stdout);
  });
  if (std::strcmp(how, "terminate") == 0) {
    std::thread([] { throw std::logic_error("nobody caught this"); }).join();
  }
  std::raise(SIGSEGV);
  std::_Exit(0);
}

struct TChildRun {
  QProcess::ExitStatus status;
  QString output;
  QStringList reports;  // the texts of the files written
};

TChildRun RunDying(const char* how) {
  const QString appData = test::TestHome() + QStringLiteral("/child-") + QString::fromLatin1(how);
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_DATA_HOME"), appData);
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--die-by"), QString::fromLatin1(how)});
  child.waitForFinished(30000);
  TChildRun run{child.exitStatus(), QString::fromUtf8(child.readAllStandardOutput()), {}};
  const QDir folder(appData + QStringLiteral("/Chimequest"));
  for (const QString& name : folder.entryList(QDir::Files)) {
    QFile file(folder.filePath(name));
    if (file.open(QIODevice::ReadOnly)) run.reports << QString::fromUtf8(file.readAll());
  }
  return run;
}

}  // namespace

class CrashReportTest : public QObject {
  Q_OBJECT

  QList<TShown> shown_;

 private slots:
  void init() {
    shown_.clear();
    SetCrashPresenter([this](const QString& report, const QString& file) {
      shown_ << TShown{report, file};
    });
  }

  void cleanup() { SetCrashPresenter({}); }

  void reportIsWrittenToApplicationDataAndShown() {
    ReportFailure(RenderFailureReport("disk on fire", "#0 somewhere\r\n"));
    QCOMPARE(shown_.size(), 1);
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Chimequest/");
    QCOMPARE(CrashReportFolder(), folder);
    QVERIFY(shown_[0].file.startsWith(folder));
    const QString written = QString::fromUtf8(test::ReadAll(shown_[0].file));
    QCOMPARE(written, shown_[0].report);
    QVERIFY(written.startsWith(QStringLiteral("Chimequest crash report\r\n")));
    QVERIFY(written.contains(QStringLiteral("Message: disk on fire\r\n")));
    QVERIFY(written.contains(QStringLiteral("Call stack:\r\n#0 somewhere\r\n")));
    QVERIFY(written.contains(QString::fromStdString(VersionText())));
  }

  void everyReportGetsItsOwnFile() {
    ReportFailure(RenderFailureReport("first", ""));
    ReportFailure(RenderFailureReport("second", ""));
    QCOMPARE(shown_.size(), 2);
    QVERIFY(shown_[0].file != shown_[1].file);
    QVERIFY(test::ReadAll(shown_[0].file).contains("first"));
    QVERIFY(test::ReadAll(shown_[1].file).contains("second"));
  }

  void unwritableFolderStillShowsTheReport() {
    const QString folder = CrashReportFolder();
    QDir(folder).removeRecursively();
    QFile blocker(folder.chopped(1));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReportFailure(RenderFailureReport("nowhere to write", ""));
    QFile::remove(folder.chopped(1));
    QCOMPARE(shown_.size(), 1);
    QVERIFY(shown_[0].file.isEmpty());
    QVERIFY(shown_[0].report.contains(QStringLiteral("nowhere to write")));
  }

  void failuresEscapingHandlers_data() {
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("standard exception")
        << int{TFailingObject::fStdException} << QStringLiteral("Message: handler broke");
    QTest::newRow("anything else")
        << int{TFailingObject::fUnknown} << QStringLiteral("Message: An unknown failure");
    QTest::newRow("silent abort") << int{TFailingObject::fAbort} << QString();
  }

  void failuresEscapingHandlers() {
    QFETCH(int, failure);
    QFETCH(QString, message);
    TFailingObject object;
    object.failure = static_cast<TFailingObject::TFailure>(failure);
    QEvent event(QEvent::User);
    const bool handled = QCoreApplication::sendEvent(&object, &event);
    QCOMPARE(handled, failure == TFailingObject::fNone);
    QCOMPARE(shown_.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
      QVERIFY(shown_[0].report.contains(message));
      QVERIFY(shown_[0].report.contains(QStringLiteral("Call stack")));
      QVERIFY(shown_[0].report.contains(QStringLiteral("\n#0 ")));
    }
  }

  void terminateWritesAndShowsAReport() {
    const TChildRun run = RunDying("terminate");
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.reports.size(), 1);  // the abort that follows writes no second one
    QVERIFY(run.reports[0].contains(QStringLiteral("Message: nobody caught this")));
    QVERIFY(run.reports[0].contains(QStringLiteral("\n#0 ")));
    QVERIFY(run.output.startsWith(QStringLiteral("shown ")));
    QVERIFY(run.output.contains(QStringLiteral("nobody caught this")));
  }

  void fatalSignalWritesAReport() {
    const TChildRun run = RunDying("signal");
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.reports.size(), 1);
    QVERIFY(run.reports[0].contains(QStringLiteral("Message: fatal signal %1").arg(SIGSEGV)));
    QVERIFY(run.reports[0].contains(QStringLiteral("Call stack:\r\n")));
    QVERIFY(run.reports[0].contains(QStringLiteral("gui_crash_tests")));
  }
};

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--die-by") == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TCrashApplication app(argc, argv);
    FailTerminally(argv[2]);
  }
  test::IsolateGuiTest();
  TCrashApplication app(argc, argv);
  CrashReportTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "CrashReportTest.moc"
