#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "GuiTestMain.h"
#include "core/config/IniFile.h"
#include "gui/app/QtText.h"
#include "gui/config/Translators.h"

using namespace cq;

namespace {

std::optional<QString> FileEntry(const char* section, const char* key) {
  TIniFile file(test::TestLanguageFile().toStdString());
  const auto text = file.Read(section, key);
  if (!text) return std::nullopt;
  return FromCp1251(*text);
}

QByteArray Cp1251(const char* utf8) {
  return QByteArray::fromStdString(ToCp1251(QString::fromUtf8(utf8)));
}

// A dialog shaped like the settings dialog: a group box behind an unnamed helper widget and
// layouts.
struct TSampleDialog {
  QDialog dialog;
  QWidget* helper = new QWidget(&dialog);
  QGroupBox* box = new QGroupBox("When downloading...", helper);
  QRadioButton* ask = new QRadioButton("Ask me", box);
  QLabel* label = new QLabel("Keep files in cache", &dialog);
  QPushButton* button = new QPushButton("OK", &dialog);

  TSampleDialog() {
    dialog.setObjectName("SettingsForm");
    dialog.setWindowTitle("Settings");
    box->setObjectName("DownloadBox");
    ask->setObjectName("DownloadAsk");
    label->setObjectName("KeepFilesInCache");
    button->setObjectName("OkBtn");
    auto* outer = new QVBoxLayout(&dialog);
    outer->addWidget(helper);
    auto* inner = new QVBoxLayout(helper);
    inner->addWidget(box);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(ask);
  }
};

// The main menu: a nameless root with a submenu, separators and items.
struct TSampleMenu {
  QMenu menu;
  QMenu* help = new QMenu("Help", &menu);
  QAction* settings = new QAction("Settings", &menu);
  QAction* notes = new QAction("Show notes", help);

  TSampleMenu() {
    menu.setObjectName("MainMenu");
    help->setObjectName("MenuHelp");
    settings->setObjectName("MenuSettings");
    notes->setObjectName("MenuNotes");
    menu.addAction(settings);
    menu.addSeparator()->setObjectName("N2");
    menu.addMenu(help);
    help->addAction(notes);
  }
};

}  // namespace

class TranslatorsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { test::WriteLanguageFile(QByteArray()); }

  void missingKeysAreWrittenWithTheCurrentCaption() {
    TSampleDialog sample;
    TranslateControls(&sample.dialog, "English", "Forms");
    QCOMPARE(FileEntry("English", "Forms.SettingsForm"), QString("Settings"));
    QCOMPARE(FileEntry("English", "Forms.SettingsForm.DownloadBox.DownloadAsk"), QString("Ask me"));
    QCOMPARE(FileEntry("English", "Forms.SettingsForm.KeepFilesInCache"),
             QString("Keep files in cache"));
    // The unnamed helper between dialog and group box has no key of its own.
    QVERIFY(!FileEntry("English", "Forms.SettingsForm.").has_value());
  }

  void aLanguageSwitchWritesTheOldTextsAsDefaults() {
    test::WriteLanguageFile("[Russian]\r\nForms.SettingsForm.OkBtn=" + Cp1251("Да") +
                            "\r\n[Deutsch]\r\nForms.SettingsForm=Einstellungen\r\n");
    TSampleDialog sample;
    TranslateControls(&sample.dialog, "Russian", "Forms");
    QCOMPARE(sample.button->text(), QString::fromUtf8("Да"));
    QCOMPARE(sample.dialog.windowTitle(), QString("Settings"));
    QCOMPARE(FileEntry("Russian", "Forms.SettingsForm"), QString("Settings"));
    TranslateControls(&sample.dialog, "Deutsch", "Forms");
    QCOMPARE(sample.dialog.windowTitle(), QString("Einstellungen"));
    QCOMPARE(sample.button->text(), QString::fromUtf8("Да"));
    QCOMPARE(FileEntry("Deutsch", "Forms.SettingsForm.OkBtn"), QString::fromUtf8("Да"));
  }

  void menuKeysCarryTwoPointsAfterTheRoot() {
    test::WriteLanguageFile("[Russian]\r\nMainMenu..MenuHelp.MenuNotes=" + Cp1251("Заметки") +
                            "\r\nMainMenu.MenuSettings=" + Cp1251("Неверно") +
                            "\r\nMainMenu..MenuHelp=" + Cp1251("Справка") + "\r\n");
    TSampleMenu sample;
    TranslateMenuItems(sample.menu, "Russian", "MainMenu");
    QCOMPARE(sample.notes->text(), QString::fromUtf8("Заметки"));
    QCOMPARE(sample.help->title(), QString::fromUtf8("Справка"));
    // One point instead of two has no effect; the right key is written with the English text.
    QCOMPARE(sample.settings->text(), QString("Settings"));
    QCOMPARE(FileEntry("Russian", "MainMenu..MenuSettings"), QString("Settings"));
    QCOMPARE(FileEntry("Russian", "MainMenu..N2"), QString("-"));
    QVERIFY(sample.menu.actions().at(1)->isSeparator());
    // The root has neither name nor caption: nothing is written for it.
    QVERIFY(!FileEntry("Russian", "MainMenu.").has_value());
  }
};

CQ_GUI_TEST_MAIN(TranslatorsTest)
#include "TranslatorsTest.moc"
