#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include "GuiTestMain.h"
#include "core/config/IniFile.h"
#include "core/config/Translation.h"
#include "core/platform/UserFolders.h"
#include "gui/common/QtText.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/SettingsForm.h"
#include "gui/config/Translators.h"
#include "support/FakeSite.h"
#include "support/FolderFiles.h"

using namespace cq;

namespace {

struct TFakeHost : TSettingsHost {
  void ApplySettings() override {}
  void ShowSearchHistory() override {}
  void Notice(const QString&) override {}
};

// The keys each section holds, in file order.
QMap<QString, QStringList> SectionKeys(const QByteArray& content) {
  QMap<QString, QStringList> keys;
  QString section;
  for (const QByteArray& raw : content.split('\n')) {
    const QString line = FromCp1251(raw.trimmed().toStdString());
    if (line.startsWith('[')) {
      section = line.mid(1, line.size() - 2);
    } else if (line.contains('=')) {
      keys[section] << line.section('=', 0, 0);
    }
  }
  return keys;
}

QStringList Captions(QWidget& form) {
  QStringList captions{form.windowTitle()};
  for (auto* label : form.findChildren<QLabel*>()) captions << label->text().trimmed();
  for (auto* button : form.findChildren<QAbstractButton*>()) captions << button->text();
  for (auto* box : form.findChildren<QGroupBox*>()) captions << box->title();
  return captions;
}

}  // namespace

class LanguagesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QFile shipped(QString::fromStdString(ExecutableFolder() + "Languages.ini"));
    QVERIFY2(shipped.open(QIODevice::ReadOnly), "the build places Languages.ini beside the tests");
    test::WriteLanguageFile(shipped.readAll());
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "ZEQ", "Chimequest")
        .setValue("Updates", 1);
  }

  void shipsEnglishAndACompleteRussianSection() {
    QCOMPARE(LanguageList(), (std::vector<std::string>{"English", "Russian"}));
    const auto keys = SectionKeys(test::ReadAll(test::TestLanguageFile()));
    QCOMPARE(keys.keys(), QStringList({"English", "Russian"}));
    const QStringList english = keys["English"];
    QCOMPARE(keys["Russian"], english);
    QCOMPARE(english.size(), QSet<QString>(english.begin(), english.end()).size());
    // windows-1251, as the program reads it.
    QCOMPARE(FromCp1251(Translate("Russian", "Forms.SettingsForm", "")),
             QString::fromUtf8("Настройки"));
  }

  // Walking the dialogs in either language finds every key: nothing is added to the file.
  // English gives back the design captions. (The main window: MainFormTest.)
  void dialogsFindEveryKey_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "English";
    QTest::newRow("Russian") << "Russian";
  }
  void dialogsFindEveryKey() {
    QFETCH(QString, language);
    const std::string name = ToCp1251(language);
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm settings(sites_, firstStart, host);
    // Each language under its own name.
    QCOMPARE(settings.Language->itemText(1), QString::fromUtf8("Русский"));
    const QStringList settingsDesign = Captions(settings);
    const QStringList firstStartDesign = Captions(firstStart);
    const QByteArray before = test::ReadAll(test::TestLanguageFile());
    TranslateControls(&settings, name, "Forms");
    TranslateControls(&firstStart, name, "Forms");
    QCOMPARE(test::ReadAll(test::TestLanguageFile()), before);
    if (language == "English") {
      QCOMPARE(Captions(settings), settingsDesign);
      QCOMPARE(Captions(firstStart), firstStartDesign);
    } else {
      QCOMPARE(settings.windowTitle(), QString::fromUtf8("Настройки"));
      QCOMPARE(firstStart.AcceptBtn->text(), QString::fromUtf8("Принимаю"));
    }
  }

 private:
  const TSiteRegistry sites_ = test::TwoFakeSites();
};

CQ_GUI_TEST_MAIN(LanguagesTest)
#include "LanguagesTest.moc"
