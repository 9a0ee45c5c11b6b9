// The main window's downloads and plays: where files go, questions before overwriting and
// before quitting, the playing row, the external player, and plays that cannot start.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "gui/app/ResultView.h"
#include "support/FormRig.h"
#include "support/ModalDialogs.h"

namespace cq {

class MainTransfersTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { LayOutFormRigSites(); }

  void saveToFixedFolderAsksBeforeOverwriting() {
    TFormRig rig;
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    const QString folder = Home("Downloads/Tones");
    rig.settings->DownloadSave->setChecked(true);
    rig.settings->SaveDir->setText(folder);
    // The fetched file ends in ".php": the saved name takes the format's extension.
    const QString target = folder + "/alpha.example - Bell One (MIDI).mid";
    QVERIFY(!test::WriteFile(target, "old").isEmpty());
    rig.form.PaintBox->BuildFormatMenu(0, fmMidi);
    rig.form.Driver().MenuDownloadClick(0);
    QTRY_VERIFY_WITH_TIMEOUT(rig.desktop.questions.size() == 1 && rig.Settled(), 10000);
    QCOMPARE(rig.desktop.questions[0],
             QFileInfo(target).fileName() + "\n\nFile already exists. Overwrite?");
    QCOMPARE(test::ReadAll(target), QByteArray("old"));
    QVERIFY(rig.desktop.notices.isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(target).fileName()});
    QCOMPARE(rig.form.Driver().Manager().BusySlots(), std::size_t(0));
    // Yes: the file is replaced.
    rig.desktop.answers = {true};
    rig.form.Driver().MenuDownloadClick(0);
    QTRY_VERIFY_WITH_TIMEOUT(rig.desktop.questions.size() == 2 && rig.Settled(), 10000);
    QCOMPARE(test::ReadAll(target), test::OneNoteMidi());
  }

  void saveAsksForTheNameAndConfirmsTheFile() {
    TFormRig rig;
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.settings->DownloadAsk->setChecked(true);
    const QString folder = Home("Missing/Tones");
    rig.settings->SaveDir->setText(folder);
    const QString chosen = Home("chosen/two.wav");
    QDir().mkpath(Home("chosen"));
    rig.desktop.saveAnswer = chosen;
    rig.form.PaintBox->BuildFormatMenu(1, fmWav);
    rig.form.Driver().MenuDownloadClick(0);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(chosen) && rig.Settled(), 10000);
    // The dialog opens, titled, in the download folder it created, with a filter one can read.
    QCOMPARE(rig.desktop.saveDialogs,
             (QList<QStringList>{{"Save melody", "WAV files (*.wav)", folder,
                                  "alpha.example - Bell Two (WAV).wav"}}));
    QVERIFY(QDir(folder).exists());
    QCOMPARE(test::ReadAll(chosen), test::ToneWav());
    // The window confirms the file by its name and opens its folder on request.
    QVERIFY2(rig.form.SavedNote->text().contains("Saved: two.wav"),
             qPrintable(rig.form.SavedNote->text()));
    emit rig.form.SavedNote->linkActivated("folder");
    QCOMPARE(rig.desktop.opened, QStringList{Home("chosen")});
  }

  // Closing while a download runs asks; waiting saves it before the window goes.
  void closingDuringDownloadsAsks_data() {
    QTest::addColumn<bool>("wait");
    QTest::newRow("wait") << true;
    QTest::newRow("quit now") << false;
  }
  void closingDuringDownloadsAsks() {
    QFETCH(bool, wait);
    TFormRig rig;
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    const QString folder = Home(wait ? "Waited" : "Quit");
    rig.settings->DownloadSave->setChecked(true);
    rig.settings->SaveDir->setText(folder);
    rig.form.show();
    rig.form.PaintBox->BuildFormatMenu(0, fmMidi);
    rig.form.Driver().MenuDownloadClick(0);
    // Quitting now must not wait: the download stays queued.
    if (!wait) rig.form.JobManager->stop();
    rig.desktop.answers = {wait};
    rig.form.close();
    QCOMPARE(rig.desktop.questions,
             QStringList{"Downloads are still running. Wait for them to finish, or quit now?"});
    QTRY_VERIFY_WITH_TIMEOUT(!rig.form.isVisible(), 10000);
    QCOMPARE(QFileInfo::exists(folder + "/alpha.example - Bell One (MIDI).mid"), wait);
  }

  void playReachesTheEnd_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("format");
    QTest::newRow("wav") << 1 << int(fmWav);
    QTest::newRow("midi") << 0 << int(fmMidi);
    QTest::newRow("mp3") << 2 << int(fmMp3);
  }
  void playReachesTheEnd() {
    QFETCH(int, row);
    QFETCH(int, format);
    // Outlives the window, whose end stops the player and reports once more.
    QList<QMediaPlayer::MediaStatus> seen;
    TFormRig rig;
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    const auto job = rig.FinishedJob(taskPlay, static_cast<std::size_t>(row),
                                     static_cast<TMelodyFormat>(format));
    QVERIFY2(job->ErrorText().empty(), job->ErrorText().c_str());
    QMediaPlayer& media = rig.form.Player().MediaPlayer();
    connect(&media, &QMediaPlayer::mediaStatusChanged, this,
            [&seen](QMediaPlayer::MediaStatus status) { seen << status; });
    rig.form.PlayCompleted(*job);
    QVERIFY(rig.form.Player().Playing());
    QVERIFY(rig.form.PaintBox->RowName(row).endsWith(", playing"));
    QTRY_VERIFY_WITH_TIMEOUT(seen.contains(QMediaPlayer::EndOfMedia), 20000);
    QTRY_VERIFY(!rig.form.StopBtn->isEnabled());
    QVERIFY(!rig.form.PaintBox->RowName(row).endsWith(", playing"));
    QVERIFY2(rig.desktop.notices.isEmpty(), qPrintable(rig.desktop.notices.join("; ")));
    // A ".php" file plays as a copy with the format's extension beside it.
    if (format == fmMidi) QCOMPARE(media.source().toLocalFile(), Home("files/one.mid"));
  }

  void externalPlayerRunsWithItsFullPath() {
    const QString programs = Home("programs");
    const QString player = programs + "/PSM4/psmplay-se.exe";
    const QString out = Home("player-args.txt");
    test::WriteFile(player,
                    ("#!/bin/sh\necho \"$0|$1\" > '" + out + "'\nexec sleep 30\n").toUtf8());
    QFile::setPermissions(player, QFile::permissions(player) | QFile::ExeOwner);
    QDir().mkpath(Home("own"));
    QCOMPARE(FindExternalPlayer(Home("own"), {Home("nowhere"), programs}), player);

    TFormRig rig(player);
    rig.Search("mmf");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.PaintBox->BuildFormatMenu(0, fmMmf);
    QCOMPARE(rig.form.PaintBox->FormatMenu().actions().size(), 3);  // Play is offered
    const auto job = rig.FinishedJob(taskPlay, 0, fmMmf);
    rig.form.PlayCompleted(*job);
    QVERIFY2(rig.desktop.notices.isEmpty(), qPrintable(rig.desktop.notices.join("; ")));
    QTRY_COMPARE(test::ReadAll(out).trimmed(), (player + "|" + Home("files/ring.mmf")).toUtf8());
    QTRY_VERIFY(rig.form.StopBtn->isEnabled());
    QProcess* process = rig.form.Player().ExternalPlayerProcess();
    QVERIFY(process != nullptr);
    QCOMPARE(process->state(), QProcess::Running);
    rig.form.StopBtn->click();
    QCOMPARE(rig.form.Player().ExternalPlayerProcess(), nullptr);
    QTRY_VERIFY(!rig.form.StopBtn->isEnabled());
  }

  void playFailureSaysWhy_data() {
    QTest::addColumn<QString>("term");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("player");
    QTest::addColumn<bool>("sound");      // the system has a sound device
    QTest::addColumn<QString>("notice");  // its start; the back end's own words may follow
    QTest::newRow("no MMF player")
        << "mmf" << int(fmMmf) << QString() << true << "I can't play MMF files!!!";
    QTest::newRow("player gone since")
        << "mmf" << int(fmMmf) << Home("gone/psmplay.exe") << true
        << "The melody cannot be played: the player " + Home("gone/psmplay.exe") + " is missing.";
    QTest::newRow("unreadable file")
        << "broken" << int(fmWav) << QString() << true << "The melody cannot be played: ";
    QTest::newRow("no sound device")
        << "bell" << int(fmMidi) << QString() << false
        << "The melody cannot be played: there is no sound device to play it on.";
  }
  void playFailureSaysWhy() {
    QFETCH(QString, term);
    QFETCH(int, format);
    QFETCH(QString, player);
    QFETCH(bool, sound);
    QFETCH(QString, notice);
    TFormRig rig(player);
    rig.desktop.soundOutput = sound;
    rig.Search(term);
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.PlayCompleted(*rig.FinishedJob(taskPlay, 0, static_cast<TMelodyFormat>(format)));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.desktop.notices.isEmpty(), 10000);
    QTest::qWait(200);
    QVERIFY2(rig.desktop.notices.size() == 1, qPrintable(rig.desktop.notices.join("|")));
    QVERIFY2(rig.desktop.notices[0].startsWith(notice), qPrintable(rig.desktop.notices.join("|")));
    QTRY_VERIFY(!rig.form.PaintBox->RowName(0).endsWith(", playing"));
  }

  // A playlist served as a melody never reaches the media back end, which would follow it.
  void fileThatIsNoMelodyIsNotPlayed() {
    TFormRig rig;
    rig.Search("list");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.PlayCompleted(*rig.FinishedJob(taskPlay, 0, fmMidi));
    QCOMPARE(rig.desktop.notices,
             QStringList{"This file is not a melody in the format it claims; it was not played."});
    QVERIFY(rig.form.Player().MediaPlayer().source().isEmpty());
  }

  void closingWhilePlayingStops() {
    TFormRig rig;
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.show();
    const QImage idle = rig.form.PaintBox->grab().toImage();
    rig.form.PlayCompleted(*rig.FinishedJob(taskPlay, 1, fmWav));
    QTRY_VERIFY(rig.form.StopBtn->isEnabled());
    // The playing row is marked where the eye sees it too.
    QVERIFY(rig.form.PaintBox->grab().toImage() != idle);
    rig.form.close();
    QVERIFY(!rig.form.Player().Playing());
  }
};

}  // namespace cq

int main(int argc, char** argv) {
  // As the program plays: through GStreamer.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
  return cq::test::RunGuiTest<cq::MainTransfersTest>(argc, argv);
}
#include "MainTransfersTest.moc"
