// The program `chimequest`: one window that searches the ringtone sites.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <cstdlib>
#include <memory>

#include "core/config/Translation.h"
#include "core/platform/UserFolders.h"
#include "core/sites/AllSites.h"
#include "core/sites/Sites.h"
#include "core/transfer/Inet.h"
#include "gui/app/Desktop.h"
#include "gui/app/Fonts.h"
#include "gui/app/MainForm.h"
#include "gui/app/Player.h"
#include "gui/app/ProgramPicture.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/TerminationSignals.h"
#include "gui/config/AboutForm.h"
#include "gui/config/FeedbackForm.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/SettingsForm.h"
#include "gui/crash/CrashReporting.h"
#include "gui/crash/MailSender.h"

int main(int argc, char** argv) {
  // Playback goes through GStreamer (MIDI through its FluidSynth element) unless told otherwise.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);

  cq::RegisterAllSites();
  cq::OpenLanguageFile(cq::DefaultLanguageFilePath());
  const QString externalPlayer = cq::FindExternalPlayer(
      QFile::decodeName(cq::ExecutableFolder().c_str()), cq::ProgramFolders());

  cq::TCrashApplication app(argc, argv);
  cq::TSingleInstance instance;
  if (!instance.Claim()) return 0;

  // Downloads that a killed run left half done.
  cq::RemoveAbandonedPartials();
  cq::ConfigureCrashReporting();
  QApplication::setApplicationName("Chimequest");
  QApplication::setOrganizationName("ZEQ");
  QApplication::setWindowIcon(QIcon(cq::ProgramPicture(48)));
  cq::InstallFontSubstitutes();

  cq::TQtDesktop desktop(nullptr);
  cq::TMainForm mainForm(cq::RegisteredSites(), desktop, externalPlayer);
  desktop.SetOwner(&mainForm);
  instance.SetOnActivate([&mainForm] { mainForm.BringToFront(); });
  cq::TAboutForm about(&mainForm);
  mainForm.SetAboutForm(&about, [&about] { about.exec(); });
  cq::TFirstStartForm firstStart(&mainForm);
  cq::TFeedbackForm feedback(cq::MailSender(), &mainForm);
  mainForm.SetFeedbackForm(&feedback, [&feedback] { feedback.exec(); });
  mainForm.SetFirstStartForm(&firstStart);
  // Creating the settings restores them, runs the first start and applies them to the window.
  auto settings = std::make_unique<cq::TSettingsForm>(firstStart, mainForm, &mainForm);
  mainForm.SetSettingsForm(settings.get());
  if (cq::FirstStartDeclined()) return 0;
  cq::TSettingsForm& store = *settings;
  about.SetHooks({.ShowJobButton = [&store] { return store.ShowJobButton->isChecked(); },
                  .LanguagePosition = [&store] { return store.Language->currentIndex(); },
                  .OpenUrl = {},
                  .PlayMelody = [&mainForm](const QString& file) { mainForm.Player().Play(file); },
                  .ShowNotice = {}});

  cq::QuitOnTerminationSignals([&mainForm] {
    mainForm.close();
    QApplication::quit();
  });
  mainForm.show();
  const int code = QApplication::exec();
  // The settings are stored and the cache pruned before the window goes.
  settings.reset();
  return code;
}
