// Time from starting the program to its first window on the screen, as whole processes: a warm
// start (a returning user's home, files in the system's cache) and a new user's first start (an
// empty home each time, the first-start dialog). Prints min, median and max of each; exits 1 when a
// median misses its target (0.3 s warm, 0.6 s first start). Usage: startup_bench [RUNS [PROGRAM]],
// PROGRAM to time another build of the program against this one.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct TMode {
  const char* Name;
  bool FirstStart;
  double TargetSeconds;
};

QProcessEnvironment Environment(const QString& home) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("HOME", home);
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    environment.remove(name);
  environment.insert("TMPDIR", home);
  environment.insert("XDG_RUNTIME_DIR", home);
  // An X server when there is one; otherwise Qt's off-screen platform.
  if (!environment.contains("DISPLAY")) environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("QT_PLUGIN_PATH", CQ_BENCH_PLUGINS);
  environment.insert("QT_QPA_GENERIC_PLUGINS", "cqstartup");
  return environment;
}

// A home whose settings store exists: no first-start dialog.
void StoreSettings(const QString& home) {
  QDir().mkpath(home + "/.config/ZEQ");
  QFile store(home + "/.config/ZEQ/Chimequest.conf");
  if (store.open(QIODevice::WriteOnly)) store.write("[General]\nUpdates=false\n");
}

// Seconds to "shown", or a negative number when the program never showed a window.
double TimeOneStart(const QString& program, const QString& home) {
  QProcess process;
  process.setProcessEnvironment(Environment(home));
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QElapsedTimer clock;
  clock.start();
  process.start(program, {});
  while (process.waitForReadyRead(10000)) {
    if (process.readAll().contains("shown")) {
      const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
      process.waitForFinished(5000);
      return seconds;
    }
  }
  process.kill();
  process.waitForFinished();
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const QString program = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(CQ_PROGRAM);
  const TMode modes[] = {{"warm start", false, 0.3}, {"first start", true, 0.6}};
  bool missed = false;
  for (const TMode& mode : modes) {
    QTemporaryDir scratch;
    std::vector<double> figures;
    // One start not counted: it brings the program's files into the system's cache.
    for (int run = -1; run < runs; ++run) {
      // A returning user keeps one home (with the caches the first run made); a new user has none.
      const QString home =
          scratch.path() + QStringLiteral("/home%1").arg(mode.FirstStart ? run + 1 : 0);
      QDir().mkpath(home);
      // The home is also the runtime folder, which Qt wants private.
      QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      if (!mode.FirstStart) StoreSettings(home);
      const double seconds = TimeOneStart(program, home);
      if (seconds < 0) {
        std::fprintf(stderr, "%s: the program showed no window\n", mode.Name);
        return 2;
      }
      if (run >= 0) figures.push_back(seconds);
    }
    std::sort(figures.begin(), figures.end());
    const double median = figures[figures.size() / 2];
    missed = missed || median > mode.TargetSeconds;
    std::printf(
        "%-12s to window shown: min %.3f s  median %.3f s  max %.3f s  (%d runs, target %.1f s)\n",
        mode.Name, figures.front(), median, figures.back(), runs, mode.TargetSeconds);
  }
  return missed ? 1 : 0;
}
