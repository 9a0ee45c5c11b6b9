#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#include "GuiTestMain.h"
#include "ScriptedRandom.h"
#include "core/config/IniFile.h"
#include "core/config/Translation.h"
#include "core/transfer/Version.h"
#include "gui/app/QtText.h"
#include "gui/config/AboutForm.h"
#include "gui/config/FeedbackForm.h"
#include "gui/config/FlagMelody.h"
#include "gui/config/Translators.h"
#include "gui/crash/MailSender.h"

using namespace cq;

namespace {

struct TAboutRig {
  test::TScriptedRandom random;
  TAboutForm form{nullptr, &random};
  QList<QUrl> opened;
  QStringList played;
  QStringList notices;
  bool showJobButton = false;
  int languagePosition = 0;

  TAboutRig() {
    random.FallbackWhole = 0;
    random.Fractions.assign(100000, 0.0);
    form.SetHooks({[this] { return showJobButton; }, [this] { return languagePosition; },
                   [this](const QUrl& url) {
                     opened << url;
                     return true;
                   },
                   [this](const QString& file) { played << file; },
                   [this](QWidget*, const QString& text) { notices << text; }});
  }
};

void Wheel(QWidget& target, int turn) {
  QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, turn), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&target, &event);
}

std::uint32_t Big32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

class AboutFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetCurrentLanguage("English"); }

  void flagPlaysItsMelodyFromATemporaryFile() {
    TAboutRig rig;
    rig.form.show();
    QTest::mouseClick(rig.form.Flag, Qt::LeftButton);
    QTest::mouseClick(rig.form.Flag, Qt::LeftButton);
    QCOMPARE(rig.played.size(), 2);
    QVERIFY(rig.played[0] != rig.played[1]);
    QVERIFY(rig.played[0].endsWith(QStringLiteral(".mid")));
    QVERIFY(rig.played[0].startsWith(qEnvironmentVariable("TMPDIR")));
    QFile file(rig.played[0]);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toStdString(), FlagMelody());
  }

  void flagMelodyIsAStandardMidiFile() {
    const std::string midi = FlagMelody();
    QCOMPARE(midi.substr(0, 4), std::string("MThd"));
    QCOMPARE(Big32(midi, 4), 6u);
    QCOMPARE(midi.substr(8, 4), std::string("\0\0\0\1", 4));  // format 0, one track
    QCOMPARE(midi.substr(14, 4), std::string("MTrk"));
    QCOMPARE(std::size_t{Big32(midi, 18)}, midi.size() - 22);
    QCOMPARE(midi.substr(midi.size() - 3), std::string("\xFF\x2F\x00", 3));
    // Walk the events: every note that starts also stops.
    int sounding = 0, notes = 0;
    std::size_t at = 22;
    while (at < midi.size()) {
      while (static_cast<unsigned char>(midi[at]) & 0x80) ++at;  // delta time
      ++at;
      const auto status = static_cast<unsigned char>(midi[at]);
      if (status == 0xFF) {
        at += 3u + static_cast<unsigned char>(midi[at + 2]);
      } else if (status == 0xC0) {
        at += 2;
      } else {
        QVERIFY(status == 0x90 || status == 0x80);
        if (status == 0x90) ++notes, ++sounding;
        if (status == 0x80) --sounding;
        QVERIFY(sounding == 0 || sounding == 1);
        at += 3;
      }
    }
    QCOMPARE(at, midi.size());
    QCOMPARE(sounding, 0);
    QVERIFY(notes >= 8);
  }

  void noticeButtonFollowsTheSettings() {
    TAboutRig rig;
    rig.form.show();
    QVERIFY(!rig.form.JobBtn->isVisible());
    rig.form.hide();
    rig.showJobButton = true;
    rig.form.show();
    QVERIFY(rig.form.JobBtn->isVisible());
    QTest::mouseClick(rig.form.JobBtn, Qt::LeftButton);
    rig.languagePosition = 1;
    QTest::mouseClick(rig.form.JobBtn, Qt::LeftButton);
    rig.languagePosition = 2;
    QTest::mouseClick(rig.form.JobBtn, Qt::LeftButton);
    QCOMPARE(rig.notices.size(), 3);
    QVERIFY(rig.notices[0].startsWith(QStringLiteral("We are open")));
    QVERIFY(rig.notices[1].startsWith(QString::fromUtf8("Мы открыты")));
    QCOMPARE(rig.notices[2], rig.notices[0]);
  }

  void wheelChangesTheMatrixSpeed_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("turn");
    QTest::addColumn<int>("expected");
    QTest::newRow("up slows") << 50 << 120 << 55;
    QTest::newRow("down speeds up") << 50 << -120 << 45;
    QTest::newRow("down to 1") << 6 << -120 << 1;
    QTest::newRow("5 stays") << 5 << -120 << 5;
    QTest::newRow("1 stays") << 1 << -120 << 1;
    QTest::newRow("up from 1") << 1 << 120 << 6;
  }

  void wheelChangesTheMatrixSpeed() {
    QFETCH(int, interval);
    QFETCH(int, turn);
    QFETCH(int, expected);
    TAboutRig rig;
    rig.form.show();
    rig.form.MatrixTimer->setInterval(interval);
    Wheel(rig.form, turn);
    QCOMPARE(rig.form.MatrixTimer->interval(), expected);
  }

  void effectsRunOnlyWhileVisible() {
    TAboutRig rig;
    QVERIFY(!rig.form.MatrixTimer->isActive());
    rig.form.MatrixTimerTimer();
    rig.form.FireTimerTimer();
    QVERIFY(rig.random.Ranges.empty());
    rig.form.show();
    QVERIFY(rig.form.MatrixTimer->isActive());
    QVERIFY(rig.form.FireTimer->isActive());
    rig.form.MatrixTimerTimer();
    rig.form.FireTimerTimer();
    QVERIFY(!rig.random.Ranges.empty());
    rig.form.hide();
    QVERIFY(!rig.form.MatrixTimer->isActive());
    QVERIFY(!rig.form.FireTimer->isActive());
  }

  void showingRestartsTheEffects() {
    TAboutRig rig;
    rig.form.show();
    QTest::mouseClick(rig.form.MatrixBox, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 3));
    QCOMPARE(rig.form.Matrix().Cell(59, 69), 255);
    rig.form.hide();
    rig.form.show();
    QCOMPARE(rig.form.Matrix().Cell(59, 69), 0);
    // The mask is the overlay's black: the bell's middle, not the corner.
    QVERIFY(rig.form.Matrix().Masked(30, 40));
    QVERIFY(!rig.form.Matrix().Masked(0, 69));
  }

  // Keys reach the dialog from whichever control has the focus.
  void keys() {
    TAboutRig rig;
    rig.form.show();
    rig.form.OkBtn->setFocus();
    QWidget* focus = rig.form.OkBtn;
    const auto built = rig.form.Fire().Palette();
    QTest::keyClick(focus, Qt::Key_PageUp);
    QVERIFY(rig.form.Fire().Palette() != built);
    QTest::keyClick(focus, Qt::Key_PageDown);
    QCOMPARE(rig.form.Fire().Palette(), built);
    QTest::keyClick(focus, Qt::Key_Insert);  // scripted: red and green change places
    QVERIFY(rig.form.Fire().Palette() != built);
    QTest::keyClick(focus, Qt::Key_Home);
    QCOMPARE(rig.form.Fire().Palette(), built);
    QTest::keyClick(focus, Qt::Key_Delete);
    QVERIFY(rig.form.Fire().Palette() != built);
    QTest::keyClick(focus, Qt::Key_Escape);
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.form.result(), int{QDialog::Rejected});
  }

  void translationLeavesUnderscoreNamesAlone() {
    test::WriteLanguageFile(
        "[English]\r\n[Test]\r\n"
        "Forms.AboutForm=About!\r\n"
        "Forms.AboutForm.Role1Lbl=Code:\r\n"
        "Forms.AboutForm.HomePageLbl=Web:\r\n"
        "Forms.AboutForm._VersionLabel=v9\r\n"
        "Forms.AboutForm._Name1=Nobody\r\n"
        "Forms.AboutForm.FlagPanel.Flag=flag\r\n");
    TAboutRig rig;
    TranslateControls(&rig.form, "Test", "Forms");
    QCOMPARE(rig.form.windowTitle(), QStringLiteral("About!"));
    QCOMPARE(rig.form.Role1Lbl->text(), QStringLiteral("Code:"));
    QCOMPARE(rig.form.HomePageLbl->text(), QStringLiteral("Web:"));
    QCOMPARE(rig.form.VersionLabel->text(), QString::fromStdString(VersionText()));
    QCOMPARE(rig.form.Name1->text(), QStringLiteral("Mira Holt"));
    QCOMPARE(rig.form.Flag->Image().size(), QSize(32, 22));
    // Keys the section lacked were added with their English texts.
    QCOMPARE(Translate("Test", "Forms.AboutForm.CountryLbl", ""), std::string("Made in Ruritania"));
    QCOMPARE(Translate("Test", "Forms.AboutForm.JobBtn", ""), std::string("Hire us"));
  }

  // The keys shipped for these two dialogs cover every caption and message they show, in both
  // languages: translating them adds nothing to the file.
  void shippedKeysAreComplete() {
    QFile keys(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../data/Languages.ini"));
    QVERIFY(keys.open(QIODevice::ReadOnly));
    test::WriteLanguageFile(keys.readAll());
    const auto readFile = [] {
      QFile file(test::TestLanguageFile());
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = readFile();
    for (const char* language : {"English", "Russian"}) {
      TAboutRig about;
      TranslateControls(&about.form, language, "Forms");
      TFeedbackForm feedback(MailSender());
      TranslateControls(&feedback, language, "Forms");
      if (std::string_view(language) == "Russian") {
        QCOMPARE(about.form.windowTitle(), QString::fromUtf8("О программе Chimequest"));
        QCOMPARE(feedback.SendBtn->text(), QString::fromUtf8("Отправить"));
      }
    }
    QCOMPARE(readFile(), before);
    TIniFile file(test::TestLanguageFile().toStdString());
    for (const char* name : {"NoName", "NoEmail", "BadEmail", "NoFeedback", "ShortFeedback",
                             "MailError", "MailOK", "MailOther"}) {
      const std::string key = std::string("Messages.Feedback.") + name;
      QVERIFY2(file.Read("Russian", key).has_value(), key.c_str());
      QVERIFY2(file.Read("Russian", key) != file.Read("English", key), key.c_str());
    }
  }
};

CQ_GUI_TEST_MAIN(AboutFormTest)
#include "AboutFormTest.moc"
