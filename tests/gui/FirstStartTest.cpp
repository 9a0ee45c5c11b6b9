#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTextBrowser>

#include "GuiTestMain.h"
#include "ModalDialogs.h"
#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/transfer/Version.h"
#include "gui/common/QtText.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/RegConfig.h"

using namespace cq;

namespace {

const QString kEnglishNotes = "Welcome to Chimequest";
const QString kRussianNotes = QString::fromUtf8("Добро пожаловать в Chimequest");
const QString kEnglishLicence = "Chimequest licence agreement";
const QString kRussianLicence = QString::fromUtf8("Лицензионное соглашение Chimequest");

QByteArray ThreeLanguages() {
  return "[English]\r\nForms.FirstStartForm=Chimequest\r\n"
         "[Russian]\r\nForms.FirstStartForm=" +
         QByteArray::fromStdString(ToCp1251(QString::fromUtf8("Чаймквест"))) +
         "\r\nForms.FirstStartForm.LicensePanel.AcceptBtn=" +
         QByteArray::fromStdString(ToCp1251(QString::fromUtf8("Принимаю"))) +
         "\r\nForms.FirstStartForm.NotesPanel._OkBtn2=X\r\n"
         "[Deutsch]\r\nForms.FirstStartForm=Erster Start\r\n";
}

void ChooseLanguage(QDialog& dialog, int position) {
  auto* group = dialog.findChild<QGroupBox*>("_LangSelect");
  QVERIFY(group != nullptr);
  const auto choices = group->findChildren<QRadioButton*>();
  QVERIFY(position < choices.size());
  choices.at(position)->setChecked(true);
  test::Click(dialog, "_OkBtn");
}

}  // namespace

class FirstStartTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    test::WriteLanguageFile(ThreeLanguages());
    SetCurrentLanguage("");
  }

  // The first start picks the documents by position: 1 is the second language, any other
  // position gets the English ones.
  void firstStartWalksThroughThePanels_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("licence");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accept");
    QTest::newRow("English") << 0 << "English" << kEnglishLicence << kEnglishNotes << "Chimequest"
                             << "Accept";
    QTest::newRow("Russian") << 1 << "Russian" << kRussianLicence << kRussianNotes
                             << QString::fromUtf8("Чаймквест") << QString::fromUtf8("Принимаю");
    QTest::newRow("third language")
        << 2 << "Deutsch" << kEnglishLicence << kEnglishNotes << "Erster Start"
        << "Accept";
  }
  void firstStartWalksThroughThePanels() {
    QFETCH(int, position);
    QFETCH(QString, language);
    QFETCH(QString, licence);
    QFETCH(QString, notes);
    QFETCH(QString, caption);
    QFETCH(QString, accept);
    TFirstStartForm form;
    int chosen = -1;
    form.SetOnLanguageChosen([&](int picked) { chosen = picked; });
    bool walked = false;
    test::OnNextModal([&](QDialog& dialog) {
      ChooseLanguage(dialog, position);
      QVERIFY(form.LangPanel->isHidden());
      QVERIFY(!form.LicensePanel->isHidden());
      QVERIFY(form.License->toPlainText().contains(licence));
      QCOMPARE(form.windowTitle(), caption);
      QCOMPARE(form.AcceptBtn->text(), accept);
      test::Click(dialog, "AcceptBtn");
      QVERIFY(form.LicensePanel->isHidden());
      QVERIFY(form.Notes->toPlainText().contains(notes));
      test::Click(dialog, "_OkBtn2");
      walked = true;
    });
    CheckFirstStart(form);
    QVERIFY(walked);
    QCOMPARE(chosen, position);
    QCOMPARE(FromCp1251(CurrentLanguage()), language);
    QVERIFY(!FirstStartDeclined());
  }

  void noDialogOnceTheStoreExists() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "ZEQ", "Chimequest")
        .setValue("Updates", 1);
    QVERIFY(StoreExists());
    TFirstStartForm form;
    bool shown = false;
    test::OnNextModal([&](QDialog& dialog) {
      shown = true;
      dialog.accept();
    });
    CheckFirstStart(form);
    QCoreApplication::processEvents();
    QVERIFY(!shown);
    QFile::remove(StoreLocation());
  }

  // Owned by the hidden main window as in the program, the dialog still opens in the screen's
  // middle, and it grows. Closing the notes after accepting is their OK.
  void closingTheNotesAfterAcceptingStarts() {
    QWidget mainWindow;
    TFirstStartForm form(&mainWindow);
    test::OnNextModal([&](QDialog& dialog) {
      const QPoint middle = dialog.screen()->availableGeometry().center();
      QVERIFY((dialog.frameGeometry().center() - middle).manhattanLength() < 40);
      dialog.resize(640, 480);
      QCOMPARE(dialog.size(), QSize(640, 480));
      ChooseLanguage(dialog, 0);
      test::Click(dialog, "AcceptBtn");
      dialog.close();
    });
    CheckFirstStart(form);
    QVERIFY(!FirstStartDeclined());
  }

  // Declining, or closing the dialog at any step, ends the start; nothing is stored.
  void decliningEndsTheStart_data() {
    QTest::addColumn<int>("step");
    QTest::newRow("Decline") << 0;
    QTest::newRow("closed on the language panel") << 1;
    QTest::newRow("closed on the licence panel") << 2;
  }
  void decliningEndsTheStart() {
    QFETCH(int, step);
    TFirstStartForm form;
    test::OnNextModal([step](QDialog& dialog) {
      if (step >= 1) {
        if (step == 2) ChooseLanguage(dialog, 0);
        dialog.close();
        return;
      }
      ChooseLanguage(dialog, 0);
      test::Click(dialog, "DeclineBtn");
    });
    QVERIFY_THROWS_EXCEPTION(EAbort, CheckFirstStart(form));
    QVERIFY(FirstStartDeclined());
    QVERIFY(!StoreExists());
  }
};

CQ_GUI_TEST_MAIN(FirstStartTest)
#include "FirstStartTest.moc"
