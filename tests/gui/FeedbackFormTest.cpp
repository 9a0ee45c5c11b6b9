#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <deque>

#include "GuiTestMain.h"
#include "ModalDialogs.h"
#include "core/config/Translation.h"
#include "gui/config/FeedbackForm.h"
#include "gui/crash/MailSender.h"

using namespace cq;

namespace {

const QString Twenty = QStringLiteral("12345678901234567890");

class TFakeSender final : public TMailSender {
 public:
  QString ReportText = QStringLiteral("REPORT\r\n");
  QString subject = QStringLiteral("Crash report");
  std::deque<int> Results;
  QStringList Bodies;
  QStringList SubjectsAtSend;
  int Reports = 0;

  QString Report() const override {
    ++const_cast<TFakeSender*>(this)->Reports;
    return ReportText;
  }
  QString Subject() const override { return subject; }
  void SetSubject(const QString& text) override { subject = text.left(MaxSubjectLength); }
  int Send(const QString& body) override {
    Bodies << body;
    SubjectsAtSend << subject;
    if (Results.empty()) return srSent;
    const int result = Results.front();
    Results.pop_front();
    return result;
  }
};

// The dialog with scripted message boxes: notices are recorded, questions answered in turn.
struct TFeedbackRig {
  TFakeSender sender;
  TFeedbackForm form{sender};
  QStringList notices;
  std::deque<bool> answers;
  QStringList questions;

  TFeedbackRig() {
    form.SetPrompts({[this](QWidget*, const QString& text) { notices << text; },
                     [this](const QString& text) {
                       questions << text;
                       const bool answer = !answers.empty() && answers.front();
                       if (!answers.empty()) answers.pop_front();
                       return answer;
                     }});
    form.show();
  }

  void Type(const QString& name, const QString& email, const QString& message) {
    form.Name->setText(name);
    form.Email->setText(email);
    form.Message->setPlainText(message);
  }
};

const QString NoName = QStringLiteral("Please fill out your name.");
const QString BadEmail = QStringLiteral("Please enter a valid e-mail address.");
const QString NoEmail =
    QStringLiteral("If you don't enter an e-mail address, we won't be able to reply.");
const QString NoFeedback = QStringLiteral("You didn't enter a message!");
const QString ShortFeedback = QStringLiteral("Your message is too short.");
const QString MailOK = QStringLiteral("Your feedback was successfully sent. Thank you!");
const QString MailError = QStringLiteral("Sorry, there was an error while sending your feedback.");
const QString MailOther =
    QStringLiteral("Something strange happened while trying to send the feedback...");

}  // namespace

class FeedbackFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetCurrentLanguage("English"); }

  void checks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("notices");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("sent");

    const QString a = QStringLiteral("Ann");
    const QString mail = QStringLiteral("ann@host.example");
    QTest::newRow("no name") << "" << mail << Twenty << true << QStringList{NoName} << false
                             << false;
    QTest::newRow("name of spaces counts")
        << "   " << mail << Twenty << true << QStringList{MailOK} << false << true;
    QTest::newRow("at sign without point")
        << a << "ann@host" << Twenty << true << QStringList{BadEmail} << false << false;
    QTest::newRow("point without at sign")
        << a << "ann.host" << Twenty << true << QStringList{BadEmail} << false << false;
    QTest::newRow("empty address, Cancel")
        << a << "" << Twenty << false << QStringList{} << true << false;
    QTest::newRow("empty address, OK")
        << a << "" << Twenty << true << QStringList{MailOK} << true << true;
    QTest::newRow("empty message")
        << a << mail << "" << true << QStringList{NoFeedback} << false << false;
    QTest::newRow("19 characters")
        << a << mail << Twenty.left(19) << true << QStringList{ShortFeedback} << false << false;
    QTest::newRow("20 characters")
        << a << mail << Twenty << true << QStringList{MailOK} << false << true;
    QTest::newRow("line break counts twice")
        << a << mail << "012345678\n012345678" << true << QStringList{MailOK} << false << true;
  }

  void checks() {
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(QString, message);
    QFETCH(bool, answer);
    QFETCH(QStringList, notices);
    QFETCH(bool, asked);
    QFETCH(bool, sent);
    TFeedbackRig rig;
    rig.answers = {answer};
    rig.Type(name, email, message);
    QTest::mouseClick(rig.form.SendBtn, Qt::LeftButton);
    QCOMPARE(rig.notices, notices);
    QCOMPARE(rig.questions, asked ? QStringList{NoEmail} : QStringList{});
    QCOMPARE(rig.sender.Bodies.size(), sent ? 1 : 0);
    QCOMPARE(rig.form.isVisible(), !sent);
    if (!sent) {
      // A refused click leaves every field as typed.
      QCOMPARE(rig.form.Name->text(), name);
      QCOMPARE(rig.form.Email->text(), email);
      QCOMPARE(rig.form.Message->toPlainText(), message);
    }
  }

  // Restored from being minimised, the form keeps what was typed; the menu opens it empty.
  void onlyTheMenuEmptiesTheFields() {
    TFeedbackRig rig;
    rig.Type(QStringLiteral("Ann"), QStringLiteral("a@b.c"), Twenty);
    rig.form.showMinimized();
    rig.form.showNormal();
    QCOMPARE(rig.form.Name->text() + rig.form.Email->text() + rig.form.Message->toPlainText(),
             QStringLiteral("Anna@b.c") + Twenty);
    rig.form.hide();
    QString shown = QStringLiteral("not opened");
    test::OnNextModal([&rig, &shown](QDialog&) {
      shown = rig.form.Name->text() + rig.form.Email->text() + rig.form.Message->toPlainText();
    });
    rig.form.OpenEmpty();
    QCOMPARE(shown, QString());
  }

  void sentMailCarriesTheFieldsAndTheReport() {
    TFeedbackRig rig;
    rig.answers = {true};
    rig.Type(QStringLiteral("Ann"), QString(), QStringLiteral("first line\nsecond line"));
    rig.form.SendBtnClick();
    QCOMPARE(rig.sender.Reports, 1);
    QCOMPARE(rig.sender.Bodies,
             QStringList{QStringLiteral("Name:\r\nAnn\r\n\r\nE-mail:\r\n\r\n\r\nMessage:\r\n"
                                        "first line\r\nsecond line\r\n\r\nREPORT\r\n")});
  }

  void subjectRestoredWhateverTheResult_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("closes");
    QTest::newRow("not sent") << 0 << MailError << false;
    QTest::newRow("sent") << 1 << MailOK << true;
    QTest::newRow("neither") << 2 << MailOther << false;
  }

  void subjectRestoredWhateverTheResult() {
    QFETCH(int, result);
    QFETCH(QString, notice);
    QFETCH(bool, closes);
    TFeedbackRig rig;
    rig.sender.Results = {result};
    rig.Type(QStringLiteral("Ann"), QStringLiteral("a@b.c"), Twenty);
    rig.form.SendBtnClick();
    QCOMPARE(rig.sender.SubjectsAtSend, QStringList{QStringLiteral("Chimequest feedback")});
    QCOMPARE(rig.sender.Subject(), QStringLiteral("Crash report"));
    QCOMPARE(rig.notices, QStringList{notice});
    QCOMPARE(rig.form.isVisible(), !closes);
    QCOMPARE(rig.form.result(), closes ? int{QDialog::Accepted} : int{QDialog::Rejected});
  }

  void messagesComeFromTheLanguageFile() {
    test::WriteLanguageFile(
        QByteArray("[English]\r\n[Russian]\r\nMessages.Feedback.NoName=") +
        QByteArray::fromStdString(std::string("\xC2\xE0\xF8\xE5 \xE8\xEC\xFF")) + "\r\n");
    SetCurrentLanguage("Russian");
    TFeedbackRig rig;
    rig.form.SendBtnClick();
    QCOMPARE(rig.notices, QStringList{QString::fromUtf8("Ваше имя")});
    // A message the section lacks shows its English text and is added to the section.
    rig.Type(QStringLiteral("Ann"), QStringLiteral("bad"), Twenty);
    rig.form.SendBtnClick();
    QCOMPARE(rig.notices.last(), BadEmail);
    QCOMPARE(Translate("Russian", "Messages.Feedback.BadEmail", ""),
             std::string("Please enter a valid e-mail address."));
  }

  void mailtoAddress() {
    const QUrl url = TMailtoSender::MailtoUrl(QStringLiteral("support@chimequest.example"),
                                              QStringLiteral("Chimequest feedback"),
                                              QString::fromUtf8("a b\r\nä&=?#%+"));
    QCOMPARE(url.toEncoded(),
             QByteArray("mailto:support@chimequest.example?subject=Chimequest%20feedback&body=a%20b"
                        "%0D%0A%C3%A4%26%3D%3F%23%25%2B"));
  }
};

CQ_GUI_TEST_MAIN(FeedbackFormTest)
#include "FeedbackFormTest.moc"
