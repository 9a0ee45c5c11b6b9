// Fault drill: the real program, ended by SIGTERM or by closing its window while five downloads
// trickle in. It exits promptly and cleanly, keeps the search it was given, and its next start
// finds a consistent cache in which the next fetch works. The program is driven from inside its
// own event loop by a test-only Qt input plugin (drill-driver/), as a user would drive it.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string_view>
#include <thread>

#include "GuiTestMain.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/Fetch.h"
#include "support/FaultOrigin.h"
#include "support/FolderFiles.h"

namespace cq {

namespace {

using test::FilesUnder;
using test::ReadAll;

// The file routes of the seven sites: every download trickles.
const std::pair<const char*, const char*> FileRoutes[] = {
    {"tunerequest.example", "/files/"}, {"files.melodyarchive.example", "/mel/"},
    {"wap.toneclub.example", "/get/"},  {"polycat.example", "/download/"},
    {"tonelibrary.example", "/files/"}, {"tonelibrary.example", "/temp/files/"},
    {"midiarchive.example", "/song/"},
};

// The program in a process of its own, its output in a file. posix_spawn rather than a fork of
// this threaded test, which the thread sanitizer cannot follow.
class TProgram {
 public:
  TProgram(const QStringList& settings, const QString& log) : log_(log) {
    QFile::remove(log_);
    std::vector<std::string> variables;
    for (const QString& setting : settings) variables.push_back(setting.toStdString());
    // The settings replace what this process has: the first of two equal names would win.
    for (char** variable = environ; *variable != nullptr; ++variable) {
      const std::string_view inherited(*variable);
      const std::string_view name = inherited.substr(0, inherited.find('=') + 1);
      const bool replaced = std::any_of(
          settings.begin(), settings.end(),
          [&](const QString& setting) { return setting.toStdString().starts_with(name); });
      if (!replaced) variables.emplace_back(inherited);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string logName = log_.toStdString();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logName.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::string program = CQ_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TProgram() {
    if (Running()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status_, 0);
    }
  }

  bool Started() const { return pid_ > 0; }
  bool Running() const { return pid_ > 0 && !ended_; }
  pid_t Pid() const { return pid_; }
  QString Output() const { return QString::fromLocal8Bit(ReadAll(log_)); }
  // Waits until the program ends; false when it does not within `limit`.
  bool WaitForEnd(std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!ended_) {
      if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
      } else if (std::chrono::steady_clock::now() > until) {
        return false;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return true;
  }
  bool ExitedCleanly() const { return ended_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0; }
  QString Status() const {
    if (!ended_) return "running";
    if (WIFSIGNALED(status_)) return QStringLiteral("killed by signal %1").arg(WTERMSIG(status_));
    return QStringLiteral("exit code %1").arg(WEXITSTATUS(status_));
  }

 private:
  QString log_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
};

}  // namespace

class ShutdownDrillTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The store exists: no first start. No update check either.
    QSettings store("ZEQ", "Chimequest");
    store.setValue("Updates", false);
    store.sync();
    cache_ = QString::fromStdString(CacheFolder());
  }

  void endsPromptlyWhileFiveDownloadsRun_data() {
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("SIGTERM") << true;
    QTest::newRow("window closed") << false;
  }
  void endsPromptlyWhileFiveDownloadsRun() {
    QFETCH(bool, bySignal);
    test::FaultOrigin origin(CQ_SAMPLE_SITES_DATA);
    for (const auto& [host, prefix] : FileRoutes) origin.Break(host, prefix, test::TFault::Trickle);
    const QString closeFile = test::TestHome() + "/close-window";
    QFile::remove(closeFile);
    QDir(cache_).removeRecursively();

    TProgram program(Environment(origin, "term=moon;count=5;close=" + closeFile),
                     test::TestHome() + "/first-run.log");
    QVERIFY(program.Started());
    QTRY_VERIFY2_WITH_TIMEOUT(origin.ActiveTrickles() >= 5, qPrintable(program.Output()), 60000);
    // Some bytes of each have arrived: partial files lie in the cache.
    QTest::qWait(300);
    QElapsedTimer ending;
    ending.start();
    if (bySignal) {
      ::kill(program.Pid(), SIGTERM);
    } else {
      QFile(closeFile).open(QIODevice::WriteOnly);
    }
    // Generous: the point is that it does not hang on the running transfers.
    QVERIFY2(program.WaitForEnd(std::chrono::seconds(10)), "the program did not end");
    const qsizetype partials = FilesUnder(cache_).filter("_partial").size();
    qInfo("ended %lld ms after being asked, %lld partial files left behind",
          static_cast<long long>(ending.elapsed()), static_cast<long long>(partials));
    QVERIFY2(program.ExitedCleanly(), qPrintable(program.Status() + "\n" + program.Output()));
    for (const QString& file : FilesUnder(test::TestHome()))
      QVERIFY2(!QFileInfo(file).fileName().startsWith("crash-"), qPrintable(file));
    // It ended the way closing the window ends it: the search is in the stored history.
    QVERIFY(QSettings("ZEQ", "Chimequest").value("SearchHistory").toString().contains("moon"));

    const std::vector<std::string> downloads = origin.TrickledUrls();
    QVERIFY(downloads.size() >= 5);
    origin.Heal();

    // The next start: a consistent cache before the window shows, and a clean end once closed.
    QFile::remove(closeFile);
    TProgram next(Environment(origin, "count=0;close=" + closeFile),
                  test::TestHome() + "/next-run.log");
    QVERIFY(next.Started());
    QTRY_VERIFY2_WITH_TIMEOUT(next.Output().contains("ready"), qPrintable(next.Output()), 30000);
    ExpectConsistentCache(origin);
    QFile(closeFile).open(QIODevice::WriteOnly);
    QVERIFY2(next.WaitForEnd(std::chrono::seconds(10)), "the program did not end");
    QVERIFY2(next.ExitedCleanly(), qPrintable(next.Status() + "\n" + next.Output()));
    ExpectConsistentCache(origin);

    // The next fetch of what was cut off works and is whole.
    ::setenv("http_proxy", origin.Address().c_str(), 1);
    for (const std::string& url : downloads) {
      const std::string file = FetchURL(url, true);
      QCOMPARE(ReadAll(QString::fromStdString(file)),
               QByteArray::fromStdString(*origin.Served(url)));
    }
    ExpectConsistentCache(origin);
  }

 private:
  static QStringList Environment(const test::FaultOrigin& origin, const QString& driverSpec) {
    QStringList settings = {
        "http_proxy=" + QString::fromStdString(origin.Address()),
        "QT_QPA_PLATFORM=offscreen",
        "QT_PLUGIN_PATH=" CQ_DRILL_PLUGINS,
        "QT_QPA_GENERIC_PLUGINS=cqdrill:" + driverSpec,
    };
#if defined(__SANITIZE_THREAD__)
    // The program is built with the thread sanitizer too; Qt, GLib and GStreamer are not, and
    // GStreamer forks its plugin scanner. None of that is ours to report.
    const QString suppressions = test::TestHome() + "/tsan-suppressions.txt";
    QFile file(suppressions);
    if (file.open(QIODevice::WriteOnly))
      file.write(
          "race:libQt6Core.so\nrace:libQt6Gui.so\nrace:libQt6Widgets.so\n"
          "race:libQt6Multimedia.so\nrace:libglib-2.0.so\nrace:libgobject-2.0.so\n"
          "race:libgstreamer-1.0.so\nrace:libpulse\n");
    settings << "TSAN_OPTIONS=die_after_fork=0 suppressions=" + suppressions;
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
    settings << QStringLiteral("LSAN_OPTIONS=suppressions=" CQ_LEAK_SUPPRESSIONS);
#endif
#endif
    return settings;
  }

  // No partial download is left, and every cached file is exactly what the server sent whole.
  void ExpectConsistentCache(const test::FaultOrigin& origin) {
    std::map<QString, std::string> addressOf;
    for (const auto& [url, body] : origin.AllServed())
      addressOf[QString::fromStdString(CacheFileName(url))] = url;
    for (const QString& file : FilesUnder(cache_)) {
      QVERIFY2(!file.contains("_partial"), qPrintable(file));
      const auto found = addressOf.find(file);
      QVERIFY2(found != addressOf.end(), qPrintable("never served whole: " + file));
      QCOMPARE(ReadAll(file), QByteArray::fromStdString(*origin.Served(found->second)));
    }
  }

  QString cache_;
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::ShutdownDrillTest)
#include "ShutdownDrillTest.moc"
