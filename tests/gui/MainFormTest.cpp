// The main window over sites laid out in the test: search and history, keys, the filter, the
// languages.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "gui/app/ResultView.h"
#include "gui/common/QtText.h"
#include "gui/config/CheckListBox.h"
#include "support/FormRig.h"
#include "support/ModalDialogs.h"

namespace cq {

namespace {

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

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { LayOutFormRigSites(); }

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
    // The count shows whole however long its words are (languages differ; large fonts).
    QFont large = rig.form.SearchCount->font();
    large.setPointSize(24);
    rig.form.SearchCount->setFont(large);
    rig.Search("bell");
    QTRY_COMPARE_WITH_TIMEOUT(rig.form.SearchCount->text(), QString("Melodies found: 3"), 10000);
    QVERIFY(rig.form.SearchCount->width() >= rig.form.SearchCount->sizeHint().width());
    // Idle, no timer wakes the program.
    QTRY_VERIFY(!rig.form.JobManager->isActive() && !rig.form.DrawTimer->isActive() &&
                !rig.form.CursorUpdateTimer->isActive());
    // Typing never completes from the history; the empty box says what it needs.
    rig.form.SearchTerm->clearEditText();
    QVERIFY(!rig.form.SearchTerm->lineEdit()->placeholderText().isEmpty());
    QTest::keyClicks(rig.form.SearchTerm->lineEdit(), "be");
    QCOMPARE(rig.form.SearchTerm->currentText(), QString("be"));
  }
};

}  // namespace cq

int main(int argc, char** argv) {
  // As the program plays: through GStreamer.
  ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
  return cq::test::RunGuiTest<cq::MainFormTest>(argc, argv);
}
#include "MainFormTest.moc"
