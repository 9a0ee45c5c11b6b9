// The program `chimequest`: one window that searches the ringtone sites.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <cstdlib>
#include <memory>

#include "core/config/Translation.h"
#include "core/platform/SpecialFolders.h"
#include "core/sites/Sites.h"
#include "gui/app/Desktop.h"
#include "gui/app/Fonts.h"
#include "gui/app/MainForm.h"
#include "gui/app/Player.h"
#include "gui/app/ProgramPicture.h"
#include "gui/app/SingleInstance.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/SettingsForm.h"

namespace {

// The one place where the site scrapers register themselves, in their fixed order.
void RegisterSites() {}

}  // namespace

int main(int argc, char** argv) {
  // Playback goes through GStreamer (MIDI through its FluidSynth element) unless told otherwise.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);

  RegisterSites();
  cq::OpenLanguageFile(cq::DefaultLanguageFilePath());
  const QString externalPlayer = cq::FindExternalPlayer(
      QFile::decodeName(cq::ExecutableFolder().c_str()), cq::ProgramFolders());

  QApplication app(argc, argv);
  cq::TSingleInstance instance;
  if (!instance.Claim()) return 0;

  // Crash reporting is configured here.
  QApplication::setApplicationName("Chimequest");
  QApplication::setOrganizationName("ZEQ");
  QApplication::setWindowIcon(QIcon(cq::ProgramPicture(48)));
  cq::InstallFontSubstitutes();

  cq::TQtDesktop desktop(nullptr);
  cq::TMainForm mainForm(cq::RegisteredSites(), desktop, externalPlayer);
  desktop.SetOwner(&mainForm);
  instance.SetOnActivate([&mainForm] { mainForm.BringToFront(); });
  // The About and feedback dialogs are created here and handed to mainForm.SetAboutForm and
  // mainForm.SetFeedbackForm.
  cq::TFirstStartForm firstStart(&mainForm);
  mainForm.SetFirstStartForm(&firstStart);
  // Creating the settings restores them, runs the first start and applies them to the window.
  auto settings = std::make_unique<cq::TSettingsForm>(firstStart, mainForm, &mainForm);
  mainForm.SetSettingsForm(settings.get());
  if (cq::FirstStartDeclined()) return 0;

  mainForm.show();
  const int code = QApplication::exec();
  // The settings are stored and the cache pruned before the window goes.
  settings.reset();
  return code;
}
