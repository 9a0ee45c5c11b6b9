// Fault drill: the cache and the download folder on a small disk that fills up. A save that finds
// no room says "Failed to save", a download that finds no room in the cache fails in its row, and
// neither leaves anything half-written; once there is room again, the same downloads are saved.
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <cstring>
#include <memory>

#include "GuiTestMain.h"
#include "InProcessServer.h"
#include "core/sites/registry/ProgramSites.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ResultView.h"
#include "support/FormRig.h"
#include "support/SmallDisk.h"

namespace cq {

namespace {

using test::FilesUnder;
using test::ReadAll;

}  // namespace

class FullDiskTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    disk_ = std::make_unique<test::SmallDisk>((test::TestHome() + "/disk").toStdString(), 2 << 20);
    if (!disk_->Mounted()) QSKIP(disk_->Failure().c_str());
    cache_ = QString::fromStdString(disk_->Folder()) + "/cache";
    downloads_ = QString::fromStdString(disk_->Folder()) + "/Downloads";
    QVERIFY(QDir().mkpath(cache_));
    ::setenv("XDG_CACHE_HOME", cache_.toLocal8Bit().constData(), 1);
    server_ = std::make_unique<samples::TInProcessServer>();
    QVERIFY2(server_->Bound(), "the sample sites need a loopback port");
    // The store exists: no first start.
    QSettings("ZEQ", "Chimequest").setValue("Updates", false);
    const QDir media(QStringLiteral(CQ_SAMPLE_SITES_DATA "/media"));
    for (const QString& name : media.entryList({"*.mp3"}, QDir::Files))
      recordings_ << ReadAll(media.filePath(name));
    QVERIFY(!recordings_.isEmpty());
  }
  void cleanupTestCase() {
    server_.reset();
    disk_.reset();
  }

  void savesOnAFullDiskFailAndLeaveNothingHalfWritten() {
    TFormRig rig(QString(), sites_);
    rig.settings->DownloadSave->setChecked(true);
    rig.settings->SaveDir->setText(downloads_);
    rig.form.show();
    rig.form.SearchTerm->setEditText("moon");
    rig.form.SearchBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 30000);
    std::vector<std::size_t> withMp3;
    const TResultModel& rows = rig.form.Driver().Results();
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (!rows[i].Melody.Links[fmMp3].empty()) withMp3.push_back(i);
    QVERIFY2(withMp3.size() >= 2, "the sample sites offer MP3 files for the term");
    const std::size_t first = withMp3[0];
    const std::size_t second = withMp3[1];

    // Room for the cache's copy, none for the saved one.
    disk_->FillLeaving(4096);
    rig.Download(first, fmMp3);
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 30000);
    QCOMPARE(rig.desktop.notices.size(), 1);
    const QString prefix = "Failed to save " + downloads_ + "/";
    QVERIFY2(rig.desktop.notices[0].startsWith(prefix), qPrintable(rig.desktop.notices[0]));
    QVERIFY(rig.desktop.notices[0].endsWith(".mp3"));
    QVERIFY(rows[first].ErrorText.empty());
    ExpectNothingHalfWritten();
    QCOMPARE(FilesUnder(downloads_), QStringList());

    // No room even for the cache: the download fails in its row, and nothing is saved.
    disk_->FillLeaving(0);
    rig.Download(second, fmMp3);
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 30000);
    QCOMPARE(rig.desktop.notices.size(), 1);
    const std::string error = rows[second].ErrorText.str();
    QVERIFY2(error.find(std::strerror(ENOSPC)) != std::string::npos, error.c_str());
    ExpectNothingHalfWritten();
    QCOMPARE(FilesUnder(downloads_), QStringList());

    // Room again: both are saved whole.
    disk_->Unfill();
    rig.Download(first, fmMp3);
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 30000);
    rig.Download(second, fmMp3);
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 30000);
    QCOMPARE(rig.desktop.notices.size(), 1);
    const QStringList saved = FilesUnder(downloads_);
    QCOMPARE(saved.size(), 2);
    for (const QString& file : saved)
      QVERIFY2(recordings_.contains(ReadAll(file)), qPrintable(file));
    ExpectNothingHalfWritten();
  }

 private:
  // No partial download anywhere on the disk, and every file fetched into the cache is whole.
  void ExpectNothingHalfWritten() {
    for (const QString& file : FilesUnder(cache_)) {
      QVERIFY2(!file.contains("_partial"), qPrintable(file));
      if (file.endsWith(".mp3"))
        QVERIFY2(recordings_.contains(ReadAll(file)), qPrintable(file + " is not whole"));
    }
  }

  const TSiteRegistry sites_ = BuiltInSites();
  std::unique_ptr<test::SmallDisk> disk_;
  std::unique_ptr<samples::TInProcessServer> server_;
  QString cache_;
  QString downloads_;
  QList<QByteArray> recordings_;
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::FullDiskTest)
#include "FullDiskTest.moc"
