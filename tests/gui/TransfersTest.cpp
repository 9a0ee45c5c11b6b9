// Saved names, copies into place, playable copies and the search for the external player.
#include <QDir>
#include <QFile>
#include <QTest>

#include "GuiTestMain.h"
#include "gui/app/Player.h"
#include "gui/app/Transfers.h"
#include "support/FakeSite.h"
#include "support/FolderFiles.h"

namespace cq {

namespace {

test::TFakeSite& Site() {
  static test::TFakeSite site("tones.example");
  return site;
}

TMelody Tune(const std::string& title, const std::string& caption) {
  TMelody melody = Site().Melody(title);
  melody.Links[fmMidi] = {{caption, "http://tones.example/x"}};
  return melody;
}

QString Scratch(const QString& name) {
  const QString folder = test::TestHome() + "/scratch";
  QDir().mkpath(folder);
  return folder + "/" + name;
}

}  // namespace

class TransfersTest : public QObject {
  Q_OBJECT

 private slots:
  void saveNameDropsTheEightCharacters_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Bell"
                           << ".mid"
                           << "tones.example - Bell (Poly).mid";
    QTest::newRow("colon and question mark") << "Who: me?"
                                             << ".mid"
                                             << "tones.example - Who me (Poly).mid";
    QTest::newRow("all eight") << "a\"/:<>?\\|b"
                               << ".mid"
                               << "tones.example - ab (Poly).mid";
    QTest::newRow("php") << "Bell"
                         << ".php"
                         << "tones.example - Bell (Poly).mid";
    QTest::newRow("none") << "Bell"
                          << ""
                          << "tones.example - Bell (Poly).mid";
    QTest::newRow("case counts") << "Bell"
                                 << ".PHP"
                                 << "tones.example - Bell (Poly).PHP";
  }
  void saveNameDropsTheEightCharacters() {
    QFETCH(QString, title);
    QFETCH(QString, extension);
    QFETCH(QString, name);
    const TMelody melody = Tune(title.toStdString(), "Poly");
    QCOMPARE(QString::fromStdString(MakeSaveName(melody, fmMidi, 0, extension.toStdString())),
             name);
    QCOMPARE(SaveFileName(melody, fmMidi, 0, extension), name);
  }

  void fileSystemNameIsUtf8WithoutControls() {
    // "Звонок" in windows-1251, with a tab and a NUL inside.
    const TMelody melody = Tune(std::string("\xC7\xE2\xEE\xED\xEE\xEA\t\x01!", 9), "Poly");
    const QString name = SaveFileName(melody, fmMidi, 0, ".mid");
    QCOMPARE(name, QString::fromUtf8("tones.example - Звонок! (Poly).mid"));
    QCOMPARE(QFile::encodeName(name), name.toUtf8());
  }

  void longNameIsShortenedInTheTitle() {
    const TMelody melody = Tune(std::string(250, 'x'), "128 kbps");
    const QString name = SaveFileName(melody, fmMidi, 0, ".mid");
    QCOMPARE(name.toUtf8().size(), 255);
    QVERIFY(name.startsWith("tones.example - xxx"));
    QVERIFY(name.endsWith("x (128 kbps).mid"));
    // Cyrillic letters take two bytes each: the cut never splits one.
    const TMelody cyrillic = Tune(std::string(200, '\xC7'), "Poly");
    const QByteArray bytes = SaveFileName(cyrillic, fmMidi, 0, ".mid").toUtf8();
    QVERIFY(bytes.size() <= 255);
    QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes);
    QVERIFY(bytes.endsWith(" (Poly).mid"));
    // The name is really taken by the file system.
    QFile file(Scratch(name));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
  }

  void extensionIsTheLastPointAfterTheSeparator_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("extension");
    QTest::newRow("two points") << "/c/a.b.php"
                                << ".php";
    QTest::newRow("none") << "/c/a"
                          << "";
    QTest::newRow("point in folder") << "/c.d/a"
                                     << "";
  }
  void extensionIsTheLastPointAfterTheSeparator() {
    QFETCH(QString, file);
    QFETCH(QString, extension);
    QCOMPARE(FileExtension(file), extension);
  }

  void copyReplacesTheTargetWhole() {
    const QString source = test::WriteFile(Scratch("new.bin"), QByteArray(200000, 'n'));
    const QString target = test::WriteFile(Scratch("target.bin"), "old");
    QVERIFY(CopyIntoPlace(source, target));
    QCOMPARE(test::ReadAll(target), QByteArray(200000, 'n'));
  }

  void failedCopyKeepsTheOldFile() {
    const QString target = test::WriteFile(Scratch("keep.bin"), "old");
    const QStringList before = QDir(Scratch("")).entryList(QDir::Files | QDir::Hidden);
    // A source that cannot be opened, and one that fails while it is read.
    QVERIFY(!CopyIntoPlace(Scratch("missing.bin"), target));
    QVERIFY(!CopyIntoPlace("/proc/self/mem", target));
    QCOMPARE(test::ReadAll(target), QByteArray("old"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(Scratch("")).entryList(QDir::Files | QDir::Hidden), before);
    // A target in a folder that does not exist.
    QVERIFY(!CopyIntoPlace(target, Scratch("no/such/folder/file.bin")));
  }

  void externalPlayerIsSoughtInOrder() {
    const QString own = Scratch("own");
    const QString programs = Scratch("programs");
    QDir().mkpath(own);
    QCOMPARE(FindExternalPlayer(own, {programs}), QString());
    const QString psm = test::WriteFile(programs + "/PSM/psmplay.exe", "x");
    QCOMPARE(FindExternalPlayer(own, {programs}), psm);
    // The pattern matches whatever the case, as the installer may have written it.
    const QString psm5 = test::WriteFile(programs + "/PSM5/PSMPLAY.EXE", "x");
    QCOMPARE(FindExternalPlayer(own, {programs}), psm5);
    // A folder listed first is searched first; the program's own folder before all.
    const QString other = test::WriteFile(Scratch("opt/PSM/psmplay.exe"), "x");
    QCOMPARE(FindExternalPlayer(own, {Scratch("opt"), programs}), other);
    const QString mine = test::WriteFile(own + "/psmplay-local.exe", "x");
    QCOMPARE(FindExternalPlayer(own, {programs}), mine);
  }
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::TransfersTest)
#include "TransfersTest.moc"
