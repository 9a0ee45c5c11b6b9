// The program `chimequest`: one window that searches the ringtone sites.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "core/config/Translation.h"
#include "core/platform/UserFolders.h"
#include "core/sites/registry/ProgramSites.h"
#include "core/transfer/PartialFiles.h"
#include "core/transfer/Version.h"
#include "gui/app/MainWindow.h"
#include "gui/app/Player.h"
#include "gui/app/SingleInstance.h"
#include "gui/common/Desktop.h"
#include "gui/common/Fonts.h"
#include "gui/common/ProgramPicture.h"
#include "gui/config/AboutForm.h"
#include "gui/config/FeedbackForm.h"
#include "gui/config/FirstStartForm.h"
#include "gui/crash/CrashReporting.h"
#include "gui/crash/MailSender.h"
#include "gui/platform/TerminationSignals.h"

namespace {

// --help and --version answer and end the program, before any window or display is needed; any
// other option or an argument is misuse. Answers the exit status when the program ends here.
std::optional<int> HandleCommandLine(int argc, char** argv) {
  const QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Searches the ringtone sites for melodies, in one window.");
  // Not addHelpOption(): its --help-all offers Qt's own options, which are not taken here.
  const QCommandLineOption help({"h", "help"}, "Displays this help.");
  parser.addOption(help);
  const QCommandLineOption version = parser.addVersionOption();
  if (!parser.parse(QCoreApplication::arguments())) {
    std::fprintf(stderr, "chimequest: %s (try --help)\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("chimequest %s\n", cq::VersionText().substr(1).c_str());
    return 0;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "chimequest: no arguments are taken (try --help)\n");
    return 2;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = HandleCommandLine(argc, argv)) return *status;
  // Playback goes through GStreamer (MIDI through its FluidSynth element) unless told otherwise.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);

  const cq::TSiteRegistry& sites = cq::KeptUntilExit(cq::ProgramSites());
  cq::OpenLanguageFile(cq::DefaultLanguageFilePath());

  cq::TCrashApplication app(argc, argv);
  cq::TSingleInstance instance;
  if (!instance.Claim()) return 0;

  // Downloads that a killed run left half done.
  cq::RemoveAbandonedPartials();
  cq::ConfigureCrashReporting();
  QApplication::setApplicationName("Chimequest");
  QApplication::setOrganizationName("ZEQ");
  QApplication::setWindowIcon(cq::ProgramIcon());
  // Lets the desktop match the windows to the installed entry and its icon.
  QApplication::setDesktopFileName("chimequest");
  cq::InstallFontSubstitutes();

  cq::TQtDesktop desktop(nullptr);
  cq::TMainWindow window(sites, desktop, QString());
  cq::TMainForm& mainForm = window.Form();
  desktop.SetOwner(&mainForm);
  instance.SetOnActivate([&mainForm] { mainForm.BringToFront(); });
  cq::TAboutForm about(&mainForm);
  mainForm.SetAboutForm(&about, [&about] { about.OpenFresh(); });
  cq::TFeedbackForm feedback(cq::MailSender(), &mainForm);
  mainForm.SetFeedbackForm(&feedback, [&feedback] { feedback.OpenEmpty(); });
  window.RestoreSettings();
  if (cq::FirstStartDeclined()) return 0;
  cq::TSettingsForm& store = window.Settings();
  about.SetHooks({.ShowJobButton = [&store] { return store.JobButtonShown(); },
                  .LanguagePosition = [&store] { return store.Language->currentIndex(); },
                  .OpenUrl = {},
                  .PlayMelody = [&mainForm](const QString& file) { mainForm.Player().Play(file); },
                  .ShowNotice = {}});

  cq::QuitOnTerminationSignals([&mainForm] {
    mainForm.CloseWithoutAsking();
    QApplication::quit();
  });
  mainForm.show();
  // Searching the program folders would delay the window: it happens once the window shows.
  QTimer::singleShot(0, &mainForm, [&mainForm] {
    mainForm.SetExternalPlayer(cq::FindExternalPlayer(
        QFile::decodeName(cq::ExecutableFolder().c_str()), cq::ProgramFolders()));
  });
  return QApplication::exec();
}
