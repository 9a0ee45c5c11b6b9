// The main window over three sites laid out here, as the program creates it, for the tests of
// the window and of its downloads and plays.
#pragma once

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>
#include <array>
#include <memory>

#include "FakeDesktop.h"
#include "FolderFiles.h"
#include "GuiTestMain.h"
#include "MediaFiles.h"
#include "core/config/Translation.h"
#include "core/jobs/Jobs.h"
#include "core/platform/UserFolders.h"
#include "core/sites/registry/SiteRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/Player.h"
#include "gui/app/ResultView.h"
#include "support/FakeSite.h"

namespace cq {

namespace {

inline test::TFakeSite& SiteA() {
  static test::TFakeSite site("alpha.example");
  return site;
}
inline test::TFakeSite& SiteB() {
  static test::TFakeSite site("beta.example");
  return site;
}
inline test::TFakeSite& SiteC() {
  static test::TFakeSite site("gamma.example");
  return site;
}

// The three sites, as the window lists them.
inline const TSiteRegistry& FormRigSites() {
  static const TSiteRegistry sites = [] {
    TSiteRegistry three;
    three.Add(SiteA());
    three.Add(SiteB());
    three.Add(SiteC());
    return three;
  }();
  return sites;
}

inline QString Home(const QString& name) {
  return test::TestHome() + "/" + name;
}

inline std::array<TMelodyLinkList, FormatCount> LinksOf(TMelodyFormat format, const char* caption,
                                                        const char* url) {
  std::array<TMelodyLinkList, FormatCount> links;
  links[format] = test::Links({{caption, url}});
  return links;
}

// The window with its first-start and settings dialogs, as the program creates them.
struct TFormRig {
  test::TFakeDesktop desktop;
  TMainWindow window;
  TMainForm& form = window.Form();
  TSettingsForm* settings = nullptr;

  explicit TFormRig(const QString& externalPlayer = QString(),
                    const TSiteRegistry& sites = FormRigSites())
      : window(sites, desktop, externalPlayer) {
    window.RestoreSettings();
    settings = &window.Settings();
    form.SetUpdateStarter([] {});  // no update check from tests
  }
  ~TFormRig() { form.Player().Stop(); }

  void Search(const QString& term) {
    form.SearchTerm->setEditText(term);
    form.SearchBtn->click();
  }
  bool Settled() {
    TSearchDriver& driver = form.Driver();
    if (!driver.Manager().Idle()) return false;
    for (std::size_t i = 0; i < driver.Results().size(); ++i) {
      const TResult& row = driver.Results()[i];
      if (row.Kind == rkSite || row.Waiting || row.Job != nullptr) return false;
    }
    return true;
  }
  // Downloads the first file of `format` of row `row`, as its menu's Download does.
  void Download(std::size_t row, TMelodyFormat format) {
    form.PaintBox->BuildFormatMenu(static_cast<long>(row), format);
    form.Driver().MenuDownloadClick(0);
  }
  QStringList Titles() {
    QStringList titles;
    const TResultModel& rows = form.Driver().Results();
    for (std::size_t i = 0; i < rows.size(); ++i)
      titles << QString::fromStdString(rows[i].Melody.Title.str());
    return titles;
  }
  // A finished job of `kind` for the first link of `format` of row `index`, run here.
  std::shared_ptr<TJob> FinishedJob(TTaskKind kind, std::size_t index, TMelodyFormat format) {
    TTask task;
    task.Kind = kind;
    task.Melody = form.Driver().Results()[index].Melody;
    task.OriginKey = ResultKey(form.Driver().Results()[index]);
    task.Format = format;
    auto job = std::make_shared<TJob>(task, std::make_shared<TChangedFlag>(false),
                                      std::make_shared<TFinishSignal>());
    job->Execute();
    return job;
  }
};

// The shipped language file, a store (no first start), and the sites' melodies and files.
inline void LayOutFormRigSites() {
  QFile shipped(QString::fromStdString(ExecutableFolder() + "Languages.ini"));
  if (!shipped.open(QIODevice::ReadOnly)) QFAIL("the build places Languages.ini beside the tests");
  test::WriteLanguageFile(shipped.readAll());
  // The store exists: no first start.
  QSettings("ZEQ", "Chimequest").setValue("Updates", true);
  const QString files = Home("files/");
  SiteA().Shelve("bell", SiteA().Melody("Bell One"),
                 LinksOf(fmMidi, "MIDI", "http://alpha.example/one.php"));
  SiteA().Shelve("bell", SiteA().Melody("Bell Two"),
                 LinksOf(fmWav, "WAV", "http://alpha.example/two.wav"));
  std::array<TMelodyLinkList, FormatCount> both;
  both[fmWav] = test::Links({{"WAV", "http://gamma.example/g.wav"}});
  both[fmMp3] = test::Links(
      {{"64 kbps", "http://gamma.example/g64.mp3"}, {"128 kbps", "http://gamma.example/g128.mp3"}});
  SiteC().Shelve("bell", SiteC().Melody("Gong"), both);
  SiteA().ShelveFile("http://alpha.example/one.php",
                     test::WriteFile(files + "one.php", test::OneNoteMidi()).toStdString());
  SiteA().ShelveFile("http://alpha.example/two.wav",
                     test::WriteFile(files + "two.wav", test::ToneWav()).toStdString());
  const QString mp3 = QStringLiteral(CQ_SOURCE_DIR "/tools/sample-sites/media/chime-1.mp3");
  QVERIFY(QFileInfo::exists(mp3));
  SiteC().ShelveFile("http://gamma.example/g64.mp3", mp3.toStdString());
  SiteC().ShelveFile("http://gamma.example/g.wav",
                     test::WriteFile(files + "g.wav", test::ToneWav(300)).toStdString());
  SiteC().Shelve("mmf", SiteC().Melody("Ring"),
                 LinksOf(fmMmf, "MMF", "http://gamma.example/ring.php"));
  SiteC().ShelveFile("http://gamma.example/ring.php",
                     test::WriteFile(files + "ring.php", "MMMD").toStdString());
  SiteA().Shelve("broken", SiteA().Melody("Broken"),
                 LinksOf(fmWav, "WAV", "http://alpha.example/broken.wav"));
  SiteA().ShelveFile("http://alpha.example/broken.wav",
                     test::WriteFile(files + "broken.wav", QByteArray("RIFF\x10\0\0\0WAVEjunk", 16))
                         .toStdString());
  SiteA().Shelve("list", SiteA().Melody("Playlist"),
                 LinksOf(fmMidi, "MIDI", "http://alpha.example/list.mid"));
  SiteA().ShelveFile(
      "http://alpha.example/list.mid",
      test::WriteFile(files + "list.mid", "[playlist]\nFile1=file:///etc/passwd\n").toStdString());
}

}  // namespace

}  // namespace cq
