// Fault drill: the real program, ended by SIGTERM or by closing its window while five downloads
// trickle in. It exits promptly and cleanly, keeps the search it was given, and its next start
// finds a consistent cache in which the next fetch works. The program is driven from inside its
// own event loop by a test-only Qt input plugin (drill-driver/), as a user would drive it.
#include <signal.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <map>
#include <memory>

#include "GuiTestMain.h"
#include "core/transfer/Inet.h"
#include "support/FaultOrigin.h"

namespace cq {

namespace {

QStringList FilesUnder(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  return files;
}

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file routes of the seven sites: every download trickles.
const std::pair<const char*, const char*> FileRoutes[] = {
    {"tunerequest.example", "/files/"},      {"files.melodyarchive.example", "/mel/"},
    {"wap.toneclub.example", "/get/"},       {"polycat.example", "/download/"},
    {"tonelibrary.example", "/files/"},      {"tonelibrary.example", "/temp/files/"},
    {"midiarchive.example", "/song/"},
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

    QProcess program;
    Start(program, origin, "term=moon;count=5;close=" + closeFile);
    QTRY_VERIFY2_WITH_TIMEOUT(origin.ActiveTrickles() >= 5, qPrintable(Output(program)), 60000);
    // Some bytes of each have arrived: partial files lie in the cache.
    QTest::qWait(300);
    QElapsedTimer ending;
    ending.start();
    if (bySignal) {
      ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    } else {
      QFile(closeFile).open(QIODevice::WriteOnly);
    }
    // Generous: the point is that it does not hang on the running transfers.
    QVERIFY2(program.waitForFinished(10000), "the program did not end");
    const qsizetype partials = FilesUnder(cache_).filter("_partial").size();
    qInfo("ended %lld ms after being asked, %lld partial files left behind",
          static_cast<long long>(ending.elapsed()), static_cast<long long>(partials));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    for (const QString& file : FilesUnder(test::TestHome()))
      QVERIFY2(!QFileInfo(file).fileName().startsWith("crash-"), qPrintable(file));
    // It ended the way closing the window ends it: the search is in the stored history.
    QVERIFY(QSettings("ZEQ", "Chimequest").value("SearchHistory").toString().contains("moon"));

    const std::vector<std::string> downloads = origin.TrickledUrls();
    QVERIFY(downloads.size() >= 5);
    origin.Heal();

    // The next start: a consistent cache before the window shows, and a clean end once closed.
    QFile::remove(closeFile);
    QProcess next;
    Start(next, origin, "count=0;close=" + closeFile);
    QByteArray said;
    QTRY_VERIFY2_WITH_TIMEOUT((said += next.readAllStandardOutput()).contains("ready"),
                              qPrintable(Output(next)), 30000);
    ExpectConsistentCache(origin);
    QFile(closeFile).open(QIODevice::WriteOnly);
    QVERIFY2(next.waitForFinished(10000), "the program did not end");
    QCOMPARE(next.exitCode(), 0);
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
  void Start(QProcess& program, const test::FaultOrigin& origin, const QString& driverSpec) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("http_proxy", QString::fromStdString(origin.Address()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QT_PLUGIN_PATH", CQ_DRILL_PLUGINS);
    environment.insert("QT_QPA_GENERIC_PLUGINS", "cqdrill:" + driverSpec);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(CQ_PROGRAM, {});
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));
  }

  static QString Output(QProcess& program) {
    return QString::fromLocal8Bit(program.readAllStandardOutput() + program.readAllStandardError());
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
