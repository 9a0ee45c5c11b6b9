#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <memory>

#include "GuiTestMain.h"
#include "ModalDialogs.h"
#include "core/config/Translation.h"
#include "core/sites/definitions/DefinitionSites.h"
#include "core/transfer/CacheNames.h"
#include "gui/common/QtText.h"
#include "gui/config/CheckListBox.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/RegConfig.h"
#include "gui/config/SettingsForm.h"
#include "gui/config/ZeqControl.h"
#include "support/FakeSite.h"

using namespace cq;
namespace fs = std::filesystem;

namespace {

struct TFakeHost : TSettingsHost {
  int applied = 0;
  int historyShown = 0;
  void ApplySettings() override { ++applied; }
  void ShowSearchHistory() override { ++historyShown; }
  void Notice(const QString& text) override { notices << text; }
  QStringList notices;
};

std::unique_ptr<QSettings> Store() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "ZEQ",
                                     "Chimequest");
}

void RemoveStore() {
  Store()->clear();
  QFile::remove(StoreLocation());
}

// A store that exists, so no first start runs.
void SeedStore(const QString& name, const QVariant& value) {
  Store()->setValue(name, value);
}

const QString kCyrillicSite = FromCp1251("\xC1\xE5\xF2\xE0 \xEC\xE5\xEB\xEE\xE4\xE8\xE8");

fs::path OldCacheFolder(const char* name, int days) {
  const fs::path folder = fs::path(CacheFolder()) / name;
  fs::create_directories(folder);
  std::ofstream(folder / "page.html") << "x";
  fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(24 * days + 1));
  return folder;
}

void AcceptFirstStart() {
  test::OnNextModal([](QDialog& dialog) {
    test::Click(dialog, "_OkBtn");
    test::Click(dialog, "AcceptBtn");
    test::Click(dialog, "_OkBtn2");
  });
}

}  // namespace

class SettingsFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    const fs::path definitions = UserDefinitionFolder();
    fs::create_directories(definitions);
    std::ofstream(definitions / "zed.yaml") << "name: Zed Tunes\nhome: http://zed.test/\nsearch:\n "
                                               " address: http://zed.test/?q={term}\n"
                                               "  rows: '** LI'\n  title: A\n  files: {links: A}\n";
    std::ofstream(definitions / "broken.yaml") << "name: Broken\nhome: http://b.test/\nserch: {}\n";
    sites_.AddDefinitions(DefinitionFolders());
    test::WriteLanguageFile(
        "[English]\r\nStatus.Waiting=Waiting\r\n[Russian]\r\nStatus.Waiting=x\r\n"
        "Definitions.UnknownKey=\xEA\xEB\xFE\xF7 '%1'\r\n");
  }
  void init() {
    RemoveStore();
    fs::remove_all(CacheFolder());
  }

  void firstStartWithNoStoreWritesEveryValueByControlName() {
    TFirstStartForm firstStart;
    TFakeHost host;
    AcceptFirstStart();
    TSettingsForm form(sites_, firstStart, host);
    QVERIFY(!form.FirstStartPending());
    QCOMPARE(host.applied, 1);
    // The first save writes every value of the settings, by the controls' names.
    const auto store = Store();
    QStringList keys = store->allKeys();
    keys.sort();
    QStringList expected = QString(
                               "CacheDaysEdit,DownloadAsk,DownloadSave,FormatMIDI,FormatMMF,"
                               "FormatMP3,FormatWAV,Language,SaveDir,SearchHistory,"
                               "SearchRecordsEdit,SearchSites,SearchSites-Alpha Tones,"
                               "SearchSites-Zed Tunes,SearchSites-Broken,Updates,_ShowJobButton")
                               .split(',');
    expected << "SearchSites-" + kCyrillicSite;
    for (const TDefinitionEntry& entry : sites_.DefinitionEntries()) {
      if (entry.File.FileName.starts_with(ShippedDefinitionFolder()))
        expected << "SearchSites-" + FromCp1251(entry.File.SiteName);
    }
    expected.sort();
    QCOMPARE(keys, expected);
    QCOMPARE(store->value("SearchSites").toString(), QString("I exist"));
  }

  // Definition sites follow the sites; a broken one shows its problems and cannot be checked.
  void definitionSitesAndTheirFolder() {
    SeedStore("Updates", 0);
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm form(sites_, firstStart, host);
    const int sites = static_cast<int>(sites_.Sites().size());
    QCOMPARE(form.SearchSites->EntryCount(), sites + 1);
    QCOMPARE(form.SearchSites->EntryText(sites - 1), QString("Zed Tunes"));
    const QListWidgetItem* broken = form.SearchSites->item(sites);
    QCOMPARE(broken->text(), QString("Broken"));
    QVERIFY(!broken->flags().testFlag(Qt::ItemIsEnabled));
    QVERIFY2(broken->toolTip().contains("broken.yaml:3: unknown key 'serch' in the definition"),
             qPrintable(broken->toolTip()));
    // In the user's language, its arguments kept.
    SetCurrentLanguage("Russian");
    const TSettingsForm russian(sites_, firstStart, host);
    SetCurrentLanguage("English");
    QVERIFY2(russian.SearchSites->item(sites)->toolTip().contains(
                 QString::fromUtf8("broken.yaml:3: ключ 'serch'")),
             qPrintable(russian.SearchSites->item(sites)->toolTip()));
    QString opened;
    form.SetFolderOpener([&](const QString& folder) { opened = folder; });
    form.OpenSitesFolder->click();
    QCOMPARE(opened, QFile::decodeName(UserDefinitionFolder().c_str()));
    QVERIFY(QDir(opened).exists());
  }

  void declinedFirstStartStoresNothingButStillPrunes() {
    const fs::path old = OldCacheFolder("old", 8);
    const fs::path young = OldCacheFolder("young", 2);
    auto firstStart = std::make_unique<TFirstStartForm>();
    TFakeHost host;
    test::OnNextModal([](QDialog& dialog) {
      test::Click(dialog, "_OkBtn");
      test::Click(dialog, "DeclineBtn");
    });
    auto form = std::make_unique<TSettingsForm>(sites_, *firstStart, host);
    QVERIFY(FirstStartDeclined());
    QVERIFY(form->FirstStartPending());
    QCOMPARE(host.applied, 0);
    QVERIFY(!StoreExists());
    form.reset();
    QVERIFY(!StoreExists());
    QVERIFY(!fs::exists(old));
    QVERIFY(fs::exists(young));
  }

  void storedSettingsAreRestoredAtCreation() {
    SeedStore("DownloadSave", 1);
    SeedStore("DownloadAsk", 0);
    SeedStore("SaveDir", "/srv/tones/");
    SeedStore("Language", 1);
    SeedStore("SearchSites", "I exist");
    SeedStore("SearchSites-" + kCyrillicSite, 0);
    SeedStore("SearchHistory", "bells\r\nchimes");
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm form(sites_, firstStart, host);
    QCOMPARE(host.applied, 1);
    // The restored choice runs its click handler: the folder can be edited.
    QVERIFY(form.SaveDir->isEnabled());
    QVERIFY(form.BrowseBtn->isEnabled());
    QCOMPARE(form.SaveDir->text(), QString("/srv/tones/"));
    QCOMPARE(form.SelectedLanguage(), std::string("Russian"));
    QVERIFY(form.SearchSites->Checked(0));
    QVERIFY(!form.SearchSites->Checked(1));
    QCOMPARE(form.SearchHistory->toPlainText(), QString("bells\nchimes"));
  }

  // A language position the list does not have (a section removed from the file) falls back to
  // the first language instead of leaving nothing selected.
  void languageOutsideTheListFallsBackToTheFirst_data() {
    QTest::addColumn<int>("stored");
    QTest::newRow("past the end") << 5;
    QTest::newRow("none selected") << -1;
  }
  void languageOutsideTheListFallsBackToTheFirst() {
    QFETCH(int, stored);
    SeedStore("Language", stored);
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm form(sites_, firstStart, host);
    QCOMPARE(form.Language->currentIndex(), 0);
    QCOMPARE(form.SelectedLanguage(), std::string("English"));
  }

  void cancelRestoresEveryControl() {
    SeedStore("SearchHistory", "bells\r\nchimes");
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm form(sites_, firstStart, host);
    const QString saveDir = form.SaveDir->text();
    test::OnNextModal([&form](QDialog& dialog) {
      form.DownloadSave->click();
      QVERIFY(form.SaveDir->isEnabled());
      form.Language->setCurrentIndex(1);
      form.SearchSites->SetChecked(0, false);
      form.CacheDaysEdit->setText("30");
      form.SearchRecordsEdit->setText("50");
      form.Updates->click();
      form.FormatWAV->setChecked(false);
      form.ClearSearchHistory->click();
      form.SetFolderPicker([](QWidget*, const QString&, const QString&) { return "/elsewhere"; });
      form.BrowseBtn->click();
      QCOMPARE(form.SaveDir->text(), QString("/elsewhere/"));
      test::Click(dialog, "CancelBtn");
    });
    form.Edit();
    QCOMPARE(host.applied, 1);
    QCOMPARE(host.historyShown, 2);  // emptied, then back from the store
    QVERIFY(form.DownloadAsk->isChecked());
    QVERIFY(!form.DownloadSave->isChecked());
    QCOMPARE(form.SaveDir->text(), saveDir);
    QCOMPARE(form.Language->currentIndex(), 0);
    QVERIFY(form.SearchSites->Checked(0));
    QCOMPARE(form.CacheDaysEdit->text(), QString("7"));
    QCOMPARE(form.SearchRecordsUpDown->Position(), 20);
    QVERIFY(form.Updates->isChecked());
    QVERIFY(form.FormatWAV->isChecked());
    QCOMPARE(form.SearchHistory->toPlainText(), QString("bells\nchimes"));
  }

  void okStoresAndApplies() {
    SeedStore("Updates", 1);
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm form(sites_, firstStart, host);
    test::OnNextModal([&form](QDialog& dialog) {
      form.DownloadSave->click();
      form.CacheDaysEdit->setText("30");
      test::Click(dialog, "OkBtn");
    });
    form.Edit();
    QCOMPARE(host.applied, 2);
    QCOMPARE(Store()->value("DownloadSave").toInt(), 1);
    QCOMPARE(Store()->value("CacheDaysEdit").toString(), QString("30"));
  }

  // Settings that cannot be stored are told once a run, by where the store is.
  void unwritableStoreIsToldOnce() {
    const QString folder = QFileInfo(StoreLocation()).absolutePath();
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);  // even for root, no file can be written below a plain file
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    TFirstStartForm firstStart;
    TFakeHost host;
    AcceptFirstStart();
    auto form = std::make_unique<TSettingsForm>(sites_, firstStart, host);
    test::OnNextModal([](QDialog& dialog) { test::Click(dialog, "OkBtn"); });
    form->Edit();
    form.reset();
    QVERIFY(blocker.remove() && QDir().mkpath(folder));
    QCOMPARE(host.notices, QStringList{"Your settings cannot be saved, and changes will be lost "
                                       "when Chimequest ends: " +
                                       StoreLocation()});
  }

  void defaultDownloadFolder_data() {
    QTest::addColumn<QString>("music");
    QTest::addColumn<QString>("documents");
    QTest::addColumn<QString>("expected");
    QTest::newRow("music") << "/home/u/Music"
                           << "/home/u/Documents"
                           << "/home/u/Music/Chimequest downloads/";
    QTest::newRow("music with separator") << "/home/u/Music/"
                                          << ""
                                          << "/home/u/Music/Chimequest downloads/";
    QTest::newRow("no music folder") << ""
                                     << "/home/u/Documents"
                                     << "/home/u/Documents/Chimequest downloads/";
  }
  void defaultDownloadFolder() {
    QFETCH(QString, music);
    QFETCH(QString, documents);
    QFETCH(QString, expected);
    QCOMPARE(DefaultDownloadFolder(music, documents), expected);
  }

  void clearButtonsEmptyCacheAndHistory() {
    SeedStore("SearchHistory", "bells");
    const fs::path young = OldCacheFolder("young", 0);
    const fs::path plain = fs::path(CacheFolder()) / "plain.html";
    std::ofstream(plain) << "x";
    TFirstStartForm firstStart;
    TFakeHost host;
    TSettingsForm form(sites_, firstStart, host);
    form.ClearCacheBtn->click();
    QVERIFY(!fs::exists(young));
    QVERIFY(fs::exists(plain));
    form.ClearSearchHistory->click();
    QCOMPARE(form.SearchHistory->toPlainText(), QString());
    QCOMPARE(host.historyShown, 1);
  }

  void destructionStoresAndPrunesByTheDaysSet() {
    SeedStore("CacheDaysEdit", "3");
    const fs::path old = OldCacheFolder("old", 3);
    const fs::path young = OldCacheFolder("young", 2);
    TFirstStartForm firstStart;
    TFakeHost host;
    {
      TSettingsForm form(sites_, firstStart, host);
      form.SearchHistory->setPlainText("one\ntwo");
    }
    QCOMPARE(Store()->value("SearchHistory").toString(), QString("one\r\ntwo"));
    QVERIFY(!fs::exists(old));
    QVERIFY(fs::exists(young));
  }

 private:
  TSiteRegistry sites_ = test::TwoFakeSites();
};

CQ_GUI_TEST_MAIN(SettingsFormTest)
#include "SettingsFormTest.moc"
