#include "gui/config/FeedbackForm.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/Translation.h"
#include "gui/common/Desktop.h"
#include "gui/common/Fonts.h"
#include "gui/common/Named.h"
#include "gui/common/QtText.h"
#include "gui/crash/MailSender.h"

namespace cq {

namespace {

const QString Caption = QStringLiteral("Chimequest");
const QString MailSubject = QStringLiteral("Chimequest feedback");
const QString LineBreak = QStringLiteral("\r\n");

QLabel* Label(const char* name, const char* text) {
  return Named(new QLabel(QString::fromUtf8(text)), name);
}

// The memo's line breaks are single characters here; in the mail, and in the length rule, each
// is the two characters CR LF.
QString WithCrLf(const QString& text) {
  QString result = text;
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result.replace(QLatin1Char('\n'), LineBreak);
}

class TSubjectKeeper {
 public:
  explicit TSubjectKeeper(TMailSender& sender) : sender_(sender), kept_(sender.Subject()) {}
  ~TSubjectKeeper() { sender_.SetSubject(kept_); }
  TSubjectKeeper(const TSubjectKeeper&) = delete;
  TSubjectKeeper& operator=(const TSubjectKeeper&) = delete;

 private:
  TMailSender& sender_;
  QString kept_;
};

QString Translated(const char* key, const char* text) {
  return FromCp1251(Translate(CurrentLanguage(), key, text));
}

}  // namespace

TFeedbackPrompts MessageBoxPrompts() {
  return {
      [](QWidget* owner, const QString& text) {
        QMessageBox box(QMessageBox::Information, Caption, text, QMessageBox::Ok, owner);
        ShowPlainText(box);
        box.exec();
      },
      [](const QString& text) {
        QMessageBox box(QMessageBox::Question, Caption, text,
                        QMessageBox::Ok | QMessageBox::Cancel);
        ShowPlainText(box);
        return box.exec() == QMessageBox::Ok;
      },
  };
}

QString FeedbackBody(const QString& name, const QString& email, const QString& message,
                     const QString& report) {
  return QStringLiteral("Name:") + LineBreak + name + LineBreak + LineBreak +
         QStringLiteral("E-mail:") + LineBreak + email + LineBreak + LineBreak +
         QStringLiteral("Message:") + LineBreak + WithCrLf(message) + LineBreak + LineBreak +
         report;
}

TFeedbackForm::TFeedbackForm(TMailSender& sender, QWidget* parent)
    : QDialog(parent),
      TitleLbl(Label("TitleLbl",
                     "Want to report a bug? Request a new feature, perhaps submit a free "
                     "polyphonic web-site? Or just want to say \"Thanks\"? Either way, the authors "
                     "of Chimequest would love to hear from you! Just fill out this form ...")),
      Bevel1(Named(new QFrame, "Bevel1")),
      NameLbl(Label("NameLbl", "Your name, or nick-name:")),
      Name(Named(new QLineEdit, "Name")),
      EmailLbl(Label("EmailLbl",
                     "Your e-mail address, by which the authors can reply to your message:")),
      Email(Named(new QLineEdit, "Email")),
      EmailNoteLbl(
          Label("EmailNoteLbl", "Your e-mail address will be kept strictly confidential.")),
      MessageLbl(Label("MessageLbl", "Your message:")),
      Message(Named(new QPlainTextEdit, "Message")),
      CancelBtn(Named(new QPushButton(QStringLiteral("Cancel")), "CancelBtn")),
      SendBtn(Named(new QPushButton(QStringLiteral("Send")), "SendBtn")),
      sender_(sender),
      prompts_(MessageBoxPrompts()) {
  setObjectName(QStringLiteral("FeedbackForm"));
  setWindowTitle(QStringLiteral("Send feedback"));
  UseFormFont(*this);
  BuildLayout();
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(SendBtn, &QPushButton::clicked, this, &TFeedbackForm::SendBtnClick);
}

void TFeedbackForm::BuildLayout() {
  TitleLbl->setWordWrap(true);
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  EmailLbl->setWordWrap(true);
  Message->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Message->setTabChangesFocus(true);
  SendBtn->setDefault(false);
  SendBtn->setAutoDefault(false);
  CancelBtn->setAutoDefault(false);
  for (QLabel* label : {NameLbl, EmailLbl, MessageLbl}) label->setContentsMargins(0, 6, 0, 0);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CancelBtn);
  buttons->addWidget(SendBtn);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(3);
  for (QWidget* control : std::initializer_list<QWidget*>{TitleLbl, Bevel1, NameLbl, Name, EmailLbl,
                                                          Email, EmailNoteLbl, MessageLbl}) {
    layout->addWidget(control);
  }
  layout->addWidget(Message, 1);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  setMinimumSize(409, 303);
  resize(409, 340);
}

void TFeedbackForm::OpenEmpty() {
  Name->clear();
  Email->clear();
  Message->clear();
  Name->setFocus();
  exec();
}

void TFeedbackForm::Say(const char* key, const char* text) {
  prompts_.Notice(this, Translated(key, text));
}

bool TFeedbackForm::InputAccepted() {
  if (Name->text().isEmpty()) {
    Say("Messages.Feedback.NoName", "Please fill out your name.");
    return false;
  }
  const QString email = Email->text();
  if (!email.isEmpty()) {
    if (!email.contains(QLatin1Char('@')) || !email.contains(QLatin1Char('.'))) {
      Say("Messages.Feedback.BadEmail", "Please enter a valid e-mail address.");
      return false;
    }
  } else if (!prompts_.AskOkCancel(
                 Translated("Messages.Feedback.NoEmail",
                            "If you don't enter an e-mail address, we won't be able to reply."))) {
    return false;
  }
  const QString message = WithCrLf(Message->toPlainText());
  if (message.isEmpty()) {
    Say("Messages.Feedback.NoFeedback", "You didn't enter a message!");
    return false;
  }
  if (message.size() < MinMessageLength) {
    Say("Messages.Feedback.ShortFeedback", "Your message is too short.");
    return false;
  }
  return true;
}

void TFeedbackForm::SendBtnClick() {
  if (!InputAccepted()) return;
  int result = TMailSender::srNotSent;
  {
    // Crash reports sent later keep their own subject, even if sending throws.
    const TSubjectKeeper keeper(sender_);
    sender_.SetSubject(MailSubject);
    result = sender_.Send(
        FeedbackBody(Name->text(), Email->text(), Message->toPlainText(), sender_.Report()));
  }
  switch (result) {
    case TMailSender::srNotSent:
      Say("Messages.Feedback.MailError", "Sorry, there was an error while sending your feedback.");
      break;
    case TMailSender::srSent:
      Say("Messages.Feedback.MailOK", "Your feedback was successfully sent. Thank you!");
      accept();
      break;
    default:
      Say("Messages.Feedback.MailOther",
          "Something strange happened while trying to send the feedback...");
  }
}

}  // namespace cq
