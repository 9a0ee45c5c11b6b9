// Usage: chimequest-screenshots OUTPUT_FOLDER
// Works in a scratch HOME with a copy of the language file, so no settings or files of the user
// are read or changed.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>
#include <string>

#include "AboutFeedbackShots.h"
#include "core/config/Translation.h"
#include "core/platform/UserFolders.h"
#include "core/sites/SiteHosts.h"
#include "core/sites/Sites.h"
#include "core/sites/registry/SiteRegistry.h"
#include "gui/common/Fonts.h"
#include "gui/common/QtText.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/SettingsForm.h"
#include "gui/config/Translators.h"

namespace {

// Stands in for a scraper: the settings only show the site's name.
class TShownSite : public cq::TSite {
 public:
  explicit TShownSite(std::string_view host) : name_(host.substr(host.find("//") + 2)) {}
  std::string GetName() const override { return name_; }
  std::string GetHomePage() const override { return "http://" + name_ + "/"; }
  void Search(const std::string&, cq::TMelodyList&, const cq::TFetchContext&) const override {}
  void LoadMelodyPage(cq::TMelody&, const cq::TFetchContext&) const override {}

 private:
  std::string name_;
};

struct TNoHost : cq::TSettingsHost {
  void ApplySettings() override {}
  void ShowSearchHistory() override {}
  void Notice(const QString&) override {}
};

void UseScratchHome(const QString& home) {
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
    const QString folder = home + "/" + name;
    QDir().mkpath(folder);
    ::setenv(name, QFile::encodeName(folder).constData(), 1);
  }
  ::setenv("HOME", QFile::encodeName(home).constData(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

bool Save(QWidget& widget, const QString& folder, const QString& name) {
  widget.show();
  QApplication::processEvents();
  const QString path = folder + "/" + name + ".png";
  if (!widget.grab().save(path)) {
    QTextStream(stderr) << "cannot write " << path << "\n";
    return false;
  }
  QTextStream(stdout) << path << "\n";
  return true;
}

QString Slug(const std::string& language) {
  return cq::FromCp1251(language).toLower();
}

bool ShootSettings(const cq::TSiteRegistry& sites, const std::string& language, int position,
                   const QString& folder) {
  cq::TFirstStartForm firstStart;
  TNoHost host;
  cq::TSettingsForm settings(sites, firstStart, host);
  settings.Language->setCurrentIndex(position);
  settings.DownloadSave->click();
  cq::TranslateControls(&settings, language, "Forms");
  return Save(settings, folder, "settings-" + Slug(language));
}

bool ShootFirstStart(const std::string& language, int position, const QString& folder) {
  cq::TFirstStartForm form;
  bool saved = Save(form, folder, "firststart-language-" + Slug(language));
  form.LangSelect->findChildren<QRadioButton*>().at(position)->setChecked(true);
  form.OkBtn->click();
  saved = Save(form, folder, "firststart-licence-" + Slug(language)) && saved;
  form.AcceptBtn->click();
  return Save(form, folder, "firststart-notes-" + Slug(language)) && saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    QTextStream(stderr) << "usage: chimequest-screenshots OUTPUT_FOLDER\n";
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QTemporaryDir scratch;
  UseScratchHome(scratch.path());
  const std::string shipped = cq::ExecutableFolder() + "Languages.ini";
  const QString copy = scratch.filePath("Languages.ini");
  QFile::copy(QString::fromStdString(shipped), copy);
  cq::OpenLanguageFile(copy.toStdString());

  QApplication app(argc, argv);
  cq::InstallFontSubstitutes();
  static const TShownSite sites[] = {
      TShownSite(cq::hosts::RequestCatalog), TShownSite(cq::hosts::MelodyArchiveSearch),
      TShownSite(cq::hosts::WapClub),        TShownSite(cq::hosts::PolyCatalog),
      TShownSite(cq::hosts::ToneLibrary),    TShownSite(cq::hosts::MidiArchive)};
  cq::TSiteRegistry registry;
  for (const TShownSite& site : sites) registry.Add(site);
  QDir().mkpath(output);
  // An existing store: the settings dialog then opens without a first start.
  QSettings(QSettings::NativeFormat, QSettings::UserScope, "ZEQ", "Chimequest")
      .setValue("Updates", 1);

  bool ok = true;
  const std::vector<std::string> languages = cq::LanguageList();
  for (std::size_t i = 0; i < languages.size(); ++i) {
    cq::SetCurrentLanguage(languages[i]);
    ok = ShootSettings(registry, languages[i], static_cast<int>(i), output) && ok;
    ok = ShootFirstStart(languages[i], static_cast<int>(i), output) && ok;
    ok = cq::ShootAboutAndFeedback(output, languages[i].c_str()) && ok;
  }
  return ok ? 0 : 1;
}
