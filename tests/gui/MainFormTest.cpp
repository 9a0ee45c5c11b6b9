// The main window over test sites: search, history, keys, saves and plays, the external player.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "GuiTestMain.h"
#include "core/config/Translation.h"
#include "core/jobs/Jobs.h"
#include "core/platform/UserFolders.h"
#include "gui/app/MainWindow.h"
#include "gui/app/Player.h"
#include "gui/app/ResultView.h"
#include "gui/common/QtText.h"
#include "gui/config/CheckListBox.h"
#include "support/FakeDesktop.h"
#include "support/FakeSite.h"
#include "support/FolderFiles.h"
#include "support/MediaFiles.h"
#include "support/ModalDialogs.h"

namespace cq {

namespace {

test::TFakeSite& SiteA() {
  static test::TFakeSite site("alpha.example");
  return site;
}
test::TFakeSite& SiteB() {
  static test::TFakeSite site("beta.example");
  return site;
}
test::TFakeSite& SiteC() {
  static test::TFakeSite site("gamma.example");
  return site;
}

QString Home(const QString& name) {
  return test::TestHome() + "/" + name;
}

std::array<TMelodyLinkList, FormatCount> LinksOf(TMelodyFormat format, const char* caption,
                                                 const char* url) {
  std::array<TMelodyLinkList, FormatCount> links;
  links[format] = test::Links({{caption, url}});
  return links;
}

// The entries of `menu` without a mnemonic, or with one an entry above them has.
QStringList WithoutOwnMnemonic(const QMenu& menu) {
  QStringList entries, taken{""};
  for (const QAction* action : menu.actions())
    if (const QString key = QKeySequence::mnemonic(action->text()).toString();
        !action->isSeparator() && taken.contains(key))
      entries << action->text();
    else
      taken << key;
  return entries;
}

// The window with its first-start and settings dialogs, as the program creates them.
struct TFormRig {
  test::TFakeDesktop desktop;
  TMainWindow window;
  TMainForm& form = window.Form();
  TSettingsForm* settings = nullptr;

  explicit TFormRig(const QString& externalPlayer = QString()) : window(desktop, externalPlayer) {
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
    task.Format = format;
    auto job = std::make_shared<TJob>(task, std::make_shared<TChangedFlag>(false),
                                      std::make_shared<TFinishSignal>());
    job->Execute();
    return job;
  }
};

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QFile shipped(QString::fromStdString(ExecutableFolder() + "Languages.ini"));
    QVERIFY2(shipped.open(QIODevice::ReadOnly), "the build places Languages.ini beside the tests");
    test::WriteLanguageFile(shipped.readAll());
    // The store exists: no first start.
    QSettings("ZEQ", "Chimequest").setValue("Updates", true);
    RegisterSite(SiteA());
    RegisterSite(SiteB());
    RegisterSite(SiteC());
    const QString files = Home("files/");
    SiteA().Shelve("bell", SiteA().Melody("Bell One"),
                   LinksOf(fmMidi, "MIDI", "http://alpha.example/one.php"));
    SiteA().Shelve("bell", SiteA().Melody("Bell Two"),
                   LinksOf(fmWav, "WAV", "http://alpha.example/two.wav"));
    std::array<TMelodyLinkList, FormatCount> both;
    both[fmWav] = test::Links({{"WAV", "http://gamma.example/g.wav"}});
    both[fmMp3] = test::Links({{"64 kbps", "http://gamma.example/g64.mp3"},
                               {"128 kbps", "http://gamma.example/g128.mp3"}});
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
    SiteA().Shelve("list", SiteA().Melody("Playlist"),
                   LinksOf(fmMidi, "MIDI", "http://alpha.example/list.mid"));
    SiteA().ShelveFile("http://alpha.example/list.mid",
                       test::WriteFile(files + "list.mid", "[playlist]\nFile1=file:///etc/passwd\n")
                           .toStdString());
  }

  void settingsTranslateTheWindowFromTheShippedFile() {
    TFormRig rig;
    const QByteArray before = test::ReadAll(test::TestLanguageFile());
    const auto russian = [](const char* key) { return FromCp1251(Translate("Russian", key, "")); };
    const auto menusAndQtSpeak = [&rig](const char* yes) {
      rig.form.PaintBox->BuildFormatMenu(0, fmMidi);
      rig.form.PaintBox->SelectAndShow(2);  // WAV and MP3
      QVERIFY(rig.form.PaintBox->OpenRowMenu() && !rig.form.PaintBox->RowMenu().isEmpty());
      for (const QMenu* menu : {rig.form.MainMenu, rig.form.MenuFilter, rig.form.MenuHelp,
                                &rig.form.PaintBox->FormatMenu(), &rig.form.PaintBox->RowMenu()})
        QCOMPARE(WithoutOwnMnemonic(*menu), QStringList());
      QCOMPARE(QDialogButtonBox(QDialogButtonBox::Yes).buttons()[0]->text(), QString(yes));
    };
    rig.form.SetPopupMenu([](QMenu&, QPoint) {});
    rig.settings->Language->setCurrentIndex(1);
    rig.form.ApplySettings();
    QCOMPARE(CurrentLanguage(), std::string("Russian"));
    QCOMPARE(rig.form.SearchBtn->text(), russian("Forms.MainForm.SearchBtn"));
    QCOMPARE(rig.form.MenuHelp->title(), russian("MainMenu..MenuHelp"));
    // The format menu speaks the language too; nothing was missing from the file.
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.PaintBox->BuildFormatMenu(0, fmMidi);
    QCOMPARE(rig.form.PaintBox->FormatMenu().actions().at(0)->text(),
             russian("FormatMenu.Download"));
    menusAndQtSpeak("&Да");
    QCOMPARE(test::ReadAll(test::TestLanguageFile()), before);
    rig.settings->Language->setCurrentIndex(0);
    rig.form.ApplySettings();
    QCOMPARE(rig.form.SearchBtn->text(), QString("Search"));
    menusAndQtSpeak("&Yes");
  }

  void searchShowsCheckedSitesThenTheirMelodies() {
    TFormRig rig;
    rig.settings->SearchSites->SetChecked(1, true);
    rig.Search("bell");
    // At once: one waiting site row per checked site.
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    // The empty site's row is gone; the others gave their melodies in order.
    QCOMPARE(rig.Titles(), (QStringList{"Bell One", "Bell Two", "Gong"}));
    // An unchecked site is not searched.
    rig.settings->SearchSites->SetChecked(0, false);
    rig.Search("bell");
    QCOMPARE(rig.form.Driver().Results().size(), rig.form.Driver().SitesSearched());
    rig.settings->SearchSites->SetChecked(0, true);
  }

  void keysReachTheViewFromTheSearchBox() {
    TFormRig rig;
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    QLineEdit* edit = rig.form.SearchTerm->lineEdit();
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(rig.form.Driver().SelectedRow(), 0L);
    // With a modifier the key is the search box's own (it moves through the history).
    QTest::keyClick(edit, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(rig.form.Driver().SelectedRow(), 0L);
    QTest::keyClick(rig.form.SearchBtn, Qt::Key_Down);
    QCOMPARE(rig.form.Driver().SelectedRow(), 1L);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(rig.form.Driver().SelectedRow(), 0L);
    // Enter searches again: the rows start over.
    rig.form.SearchTerm->setEditText("bell");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(rig.form.Driver().Results()[0].Kind, rkSite);
  }

  // Clearing the history, then Cancel: the drop-down shows the stored history again.
  void cancelledClearingKeepsTheDropDown() {
    TFormRig rig;
    rig.Search("chime");
    const auto items = [&rig] {
      QStringList texts;
      for (int i = 0; i < rig.form.SearchTerm->count(); ++i)
        texts << rig.form.SearchTerm->itemText(i);
      return texts;
    };
    const QStringList before = items();
    QCOMPARE(before.value(0), QString("chime"));
    test::OnNextModal([](QDialog& dialog) {
      test::Click(dialog, "ClearSearchHistory");
      test::Click(dialog, "CancelBtn");
    });
    rig.form.MenuSettingsClick();
    QCOMPARE(items(), before);
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
  }

  // An unchecked format hides its buttons and the rows offering nothing else; the choice is kept.
  void formatFilterHidesFormatsAndRows() {
    TFormRig rig;
    QVERIFY(rig.form.MenuFilter->menuAction()->isVisible() &&
            rig.settings->findChild<QWidget*>("FormatsBox")->isVisibleTo(rig.settings));
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    TResultView& view = *rig.form.PaintBox;
    QAction* wav = rig.form.MenuFilter->actions().at(fmWav);
    wav->trigger();
    QCOMPARE(view.RowHeight(1), 0);  // WAV only
    QCOMPARE(view.RowFormats(2), QString("MP3"));
    QVERIFY(!QSettings("ZEQ", "Chimequest").value("FormatWAV").toBool());
    view.SelectAndShow(0);
    QTest::keyClick(&view, Qt::Key_Down);  // over the hidden row
    QCOMPARE(rig.form.Driver().SelectedRow(), 2L);
    wav->trigger();  // all formats again for the tests that follow
  }

  void keyboardAloneSavesTheFirstFile() {
    TFormRig rig;
    const QString folder = Home("Keyboard");
    rig.settings->DownloadSave->setChecked(true);
    rig.settings->SaveDir->setText(folder);
    rig.form.show();
    QApplication::setActiveWindow(&rig.form);
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));
    QLineEdit* edit = rig.form.SearchTerm->lineEdit();
    QTest::keyClicks(edit, "bell");
    // Tab order: search box, Search, the list, the menu button (Stop is disabled).
    QList<QWidget*> tabs;
    for (int i = 0; i < 3; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      tabs << QApplication::focusWidget();
    }
    QCOMPARE(tabs, (QList<QWidget*>{rig.form.SearchBtn, rig.form.PaintBox, rig.form.MenuBtn}));
    rig.form.SearchTerm->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(rig.form.Driver().Results()[0].Kind == rkMelody, 10000);
    QTest::keyClick(edit, Qt::Key_Down);
    // Enter on the first entry of every menu that opens, until Download.
    QTimer enter;
    connect(&enter, &QTimer::timeout, [] {
      if (QWidget* popup = QApplication::activePopupWidget())
        QTest::keyClick(popup, Qt::Key_Return);
    });
    enter.start(50);
    QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
    const QString saved = folder + "/alpha.example - Bell One (MIDI).mid";
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(saved), 10000);
    QCOMPARE(test::ReadAll(saved), test::OneNoteMidi());
    // In the list, End and Home jump; the shortcuts reach the dialogs and close the window.
    rig.form.PaintBox->setFocus();
    QTest::keyClick(rig.form.PaintBox, Qt::Key_End);
    QCOMPARE(rig.form.Driver().SelectedRow(), 2L);
    QTest::keyClick(rig.form.PaintBox, Qt::Key_Home);
    QCOMPARE(rig.form.Driver().SelectedRow(), 0L);
    for (const auto& [keys, dialog] : {std::pair{QKeySequence("Ctrl+,"), "SettingsForm"},
                                       {QKeySequence("F1"), "FirstStartForm"}}) {
      QString opened;
      test::OnNextModal([&opened](QDialog& shown) { opened = shown.objectName(); });
      QApplication::setActiveWindow(&rig.form);
      QTest::keySequence(&rig.form, keys);
      QCOMPARE(opened, QString(dialog));
    }
    QApplication::setActiveWindow(&rig.form);
    QTest::keySequence(&rig.form, QKeySequence("Ctrl+Q"));
    QVERIFY(!rig.form.isVisible());
  }

  void escapeStopsASearchAndTheListSaysWhatWasFound() {
    TFormRig rig;
    rig.form.show();
    QApplication::setActiveWindow(&rig.form);
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));
    rig.Search("bell");
    QCOMPARE(rig.form.SearchBtn->text(), QString("Stop"));
    QTest::keyClick(rig.form.SearchTerm->lineEdit(), Qt::Key_Escape);
    // The tasks are gone, the site rows stay and none waits.
    QVERIFY(rig.form.Driver().Tasks().empty());
    QCOMPARE(rig.form.Driver().Results().size(), rig.form.Driver().SitesSearched());
    QVERIFY(!rig.form.Driver().Results()[0].Waiting);
    QCOMPARE(rig.form.SearchBtn->text(), QString("Search"));
    rig.Search("nothing");
    QTRY_VERIFY_WITH_TIMEOUT(rig.form.Driver().Results().empty() && rig.Settled(), 10000);
    QCOMPARE(rig.form.SearchCount->text(), QString("Melodies found: 0"));
    const QImage view = rig.form.PaintBox->grab().toImage();
    QImage white(view.size(), view.format());
    white.fill(Qt::white);
    QVERIFY(view != white);
    QCOMPARE(rig.form.PaintBox->accessibleDescription(),
             QString("No melodies found for \"nothing\" (sites searched: %1).")
                 .arg(rig.form.Driver().SitesSearched()));
    rig.Search("bell");
    QTRY_COMPARE_WITH_TIMEOUT(rig.form.SearchCount->text(), QString("Melodies found: 3"), 10000);
    // Idle, no timer wakes the program.
    QTRY_VERIFY(!rig.form.JobManager->isActive() && !rig.form.DrawTimer->isActive() &&
                !rig.form.CursorUpdateTimer->isActive());
    // Typing never completes from the history; the empty box says what it needs.
    rig.form.SearchTerm->clearEditText();
    QVERIFY(!rig.form.SearchTerm->lineEdit()->placeholderText().isEmpty());
    QTest::keyClicks(rig.form.SearchTerm->lineEdit(), "be");
    QCOMPARE(rig.form.SearchTerm->currentText(), QString("be"));
  }

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
    QCOMPARE(rig.desktop.questions[0], QString("File already exists. Overwrite?"));
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

  void saveAsksForTheName() {
    TFormRig rig;
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.settings->DownloadAsk->setChecked(true);
    const QString chosen = Home("chosen/two.wav");
    QDir().mkpath(Home("chosen"));
    rig.desktop.saveAnswer = chosen;
    rig.form.PaintBox->BuildFormatMenu(1, fmWav);
    rig.form.Driver().MenuDownloadClick(0);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(chosen) && rig.Settled(), 10000);
    QCOMPARE(rig.desktop.saveFilters, QStringList{"*.wav files|*.wav"});
    QCOMPARE(rig.desktop.saveNames, QStringList{"alpha.example - Bell Two (WAV).wav"});
    QCOMPARE(test::ReadAll(chosen), test::ToneWav());
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
    QTRY_VERIFY_WITH_TIMEOUT(seen.contains(QMediaPlayer::EndOfMedia), 20000);
    QTRY_VERIFY(!rig.form.StopBtn->isEnabled());
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

  void mmfWithoutPlayerIsRefused() {
    TFormRig rig;
    rig.Search("mmf");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.PaintBox->BuildFormatMenu(0, fmMmf);
    QCOMPARE(rig.form.PaintBox->FormatMenu().actions().size(), 2);
    rig.form.PlayCompleted(*rig.FinishedJob(taskPlay, 0, fmMmf));
    QCOMPARE(rig.desktop.notices, QStringList{"I can't play MMF files!!!"});
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
    rig.form.PlayCompleted(*rig.FinishedJob(taskPlay, 1, fmWav));
    QTRY_VERIFY(rig.form.StopBtn->isEnabled());
    rig.form.close();
    QVERIFY(!rig.form.Player().Playing());
  }
};

}  // namespace cq

int main(int argc, char** argv) {
  // As the program plays: through GStreamer.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
  return cq::test::RunGuiTest<cq::MainFormTest>(argc, argv);
}
#include "MainFormTest.moc"
