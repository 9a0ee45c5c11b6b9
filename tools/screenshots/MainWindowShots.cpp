// Usage: chimequest-mainwindow-screenshots [--sample-sites] OUTPUT_FOLDER
// The main window during a search and after it, over sites made up here: one answers at once,
// one downloads slowly, one waits to retry, one fails. With --sample-sites, the real seven sites
// through the sample sites server in this process, after a whole search. Works in a scratch HOME.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "InProcessServer.h"
#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/platform/UserFolders.h"
#include "core/sites/registry/ProgramSites.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ResultView.h"
#include "gui/common/Desktop.h"
#include "gui/common/Fonts.h"

namespace {

using namespace std::chrono_literals;

enum class TPace { Quick, Slow, Retrying, Failing };

// A made-up site: every search finds the same few melodies, at its own pace.
class TShownSite : public cq::TSite {
 public:
  TShownSite(std::string name, TPace pace, std::vector<std::string> titles)
      : name_(std::move(name)), pace_(pace), titles_(std::move(titles)) {}
  std::string GetName() const override { return name_; }
  std::string GetHomePage() const override { return "http://" + name_ + "/"; }

  void Search(const std::string&, cq::TMelodyList& melodies,
              const cq::TFetchContext& fetch) const override {
    switch (pace_) {
      case TPace::Quick:
        break;
      case TPace::Slow:
        for (int step = 1; step <= 60; ++step)
          Report(fetch.Progress, cq::jsDownloading, step / 60.0, 50ms);
        break;
      case TPace::Retrying:
        for (int left = 15; left > 0; --left) Report(fetch.Progress, cq::jsRetrying, left, 200ms);
        break;
      case TPace::Failing:
        Report(fetch.Progress, cq::jsConnecting, 0, 300ms);
        throw std::runtime_error("Cannot retreive page from the Internet.");
    }
    melodies.clear();
    for (const std::string& title : titles_) {
      cq::TMelody melody;
      melody.Title = title;
      melody.PageURL = "http://" + name_ + "/" + title;
      melody.Site = this;
      melodies.push_back(melody);
    }
  }
  void LoadMelodyPage(cq::TMelody& melody, const cq::TFetchContext& fetch) const override {
    Report(fetch.Progress, cq::jsConnecting, 0, 400ms);
    const std::size_t seed = melody.Title.str().size();
    melody.Links[cq::fmMidi] = {{"MIDI", "http://x/a.mid"}};
    if (seed % 2 == 0) melody.Links[cq::fmWav] = {{"WAV", "http://x/a.wav"}};
    if (seed % 3 != 0) melody.Links[cq::fmMp3] = {{"MP3", "http://x/a.mp3"}};
    if (seed % 4 == 1) melody.Links[cq::fmMmf] = {{"MMF", "http://x/a.mmf"}};
    melody.Processed = true;
  }

 private:
  static void Report(const cq::TProgressCallback& progress, cq::TJobStatus status, double value,
                     std::chrono::milliseconds pause) {
    if (progress(status, value)) throw cq::EAbort();
    std::this_thread::sleep_for(pause);
  }

  std::string name_;
  TPace pace_;
  std::vector<std::string> titles_;
};

void UseScratchHome(const QString& home) {
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
    const QString folder = home + "/" + name;
    QDir().mkpath(folder);
    ::setenv(name, QFile::encodeName(folder).constData(), 1);
  }
  ::setenv("HOME", QFile::encodeName(home).constData(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

void RunFor(std::chrono::milliseconds span) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < span.count()) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(5ms);
  }
}

bool Save(QWidget& window, const QString& folder, const QString& name) {
  const QString path = folder + "/" + name + ".png";
  if (!window.grab().save(path)) {
    QTextStream(stderr) << "cannot write " << path << "\n";
    return false;
  }
  QTextStream(stdout) << path << "\n";
  return true;
}

// Every row a ready melody and no job left.
bool Settled(cq::TSearchDriver& driver) {
  if (!driver.Manager().Idle()) return false;
  for (std::size_t i = 0; i < driver.Results().size(); ++i) {
    const cq::TResult& row = driver.Results()[i];
    if (row.Kind != cq::rkMelody || !row.Melody.Processed || row.Waiting || row.Job != nullptr)
      return false;
  }
  return true;
}

// A whole search of the sample sites, then the window as it stands.
bool ShootSampleSites(cq::TMainForm& form, const QString& output, const QString& language) {
  // After the first-show layout, which sets the size it designs for.
  RunFor(100ms);
  form.resize(640, 520);
  form.SearchTerm->setEditText("love");
  form.SearchBtn->click();
  QElapsedTimer timer;
  timer.start();
  while (!Settled(form.Driver()) && timer.elapsed() < 60000) RunFor(50ms);
  if (!Settled(form.Driver())) QTextStream(stderr) << "the search did not settle in a minute\n";
  form.Driver().SelectRow(2);
  form.PaintBox->update();
  RunFor(200ms);
  // main-sample-sites, then -russian for a language other than English, then @2x at twice the size.
  QString name = "main-sample-sites";
  if (language != "English") name += "-" + language.toLower();
  if (form.devicePixelRatio() > 1.5) name += "@2x";
  return Save(form, output, name);
}

}  // namespace

int main(int argc, char** argv) {
  bool sampleSites = false;
  QString language = "English";
  int next = 1;
  for (; next + 1 < argc; ++next) {
    const QString option = QString::fromLocal8Bit(argv[next]);
    if (option == "--sample-sites") {
      sampleSites = true;
    } else if (option == "--language" && next + 2 < argc) {
      language = QString::fromLocal8Bit(argv[++next]);
    } else {
      break;
    }
  }
  if (next != argc - 1) {
    QTextStream(stderr) << "usage: chimequest-mainwindow-screenshots [--sample-sites] [--language "
                           "NAME] OUTPUT_FOLDER\n(QT_SCALE_FACTOR=2 for a 2x picture)\n";
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[argc - 1])).absolutePath();
  QTemporaryDir scratch;
  UseScratchHome(scratch.path());
  const QString copy = scratch.filePath("Languages.ini");
  QFile::copy(QString::fromStdString(cq::ExecutableFolder() + "Languages.ini"), copy);
  cq::OpenLanguageFile(copy.toStdString());

  std::unique_ptr<cq::samples::TInProcessServer> server;
  if (sampleSites) {
    server = std::make_unique<cq::samples::TInProcessServer>();
    if (!server->Bound()) {
      QTextStream(stderr) << "cannot start the sample sites\n";
      return 1;
    }
  }
  QApplication app(argc, argv);
  cq::InstallFontSubstitutes();
  static const TShownSite sites[] = {
      {"melody-archive.example", TPace::Quick, {"Moonlight Sonata", "Bell Carol", "Jingle"}},
      {"poly-catalogue.example", TPace::Slow, {"Bell Tower", "Evening Bells"}},
      {"midi-archive.example", TPace::Retrying, {"Bells of Saint Mary"}},
      {"tone-uploads.example", TPace::Failing, {}},
      {"tone-library.example", TPace::Quick, {"Wedding Bells", "Sleigh Bells Ring", "Bell"}}};
  cq::TSiteRegistry registry;
  if (sampleSites) {
    registry = cq::BuiltInSites();
  } else {
    for (const TShownSite& site : sites) registry.Add(site);
  }
  const cq::TSiteRegistry& shown = cq::KeptUntilExit(std::move(registry));
  QDir().mkpath(output);
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, "ZEQ", "Chimequest");
  store.setValue("Updates", 0);
  const std::vector<std::string> languages = cq::LanguageList();
  const auto position = std::find(languages.begin(), languages.end(), language.toStdString());
  store.setValue("Language",
                 static_cast<int>(position == languages.end() ? 0 : position - languages.begin()));
  store.sync();

  cq::TQtDesktop desktop(nullptr);
  auto window = std::make_unique<cq::TMainWindow>(shown, desktop, QString());
  cq::TMainForm& form = window->Form();
  desktop.SetOwner(&form);
  window->RestoreSettings();
  form.SetUpdateStarter([] {});
  form.show();
  if (sampleSites) {
    const bool shot = ShootSampleSites(form, output, language);
    window.reset();
    return shot ? 0 : 1;
  }
  RunFor(100ms);
  form.resize(520, 420);
  bool ok = Save(form, output, "main-empty");

  form.SearchTerm->setEditText("bell");
  form.SearchBtn->click();
  RunFor(30ms);
  ok = Save(form, output, "main-search-started") && ok;
  RunFor(1200ms);
  ok = Save(form, output, "main-searching") && ok;
  RunFor(4500ms);
  form.Driver().SelectRow(1);
  form.PaintBox->update();
  RunFor(200ms);
  ok = Save(form, output, "main-ready") && ok;
  window.reset();
  return ok ? 0 : 1;
}
