#pragma once

#include <QDialog>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace cq {

class TMailSender;

// How the feedback dialog speaks to the user; tests script the answers.
struct TFeedbackPrompts {
  // A plain message with an OK button.
  std::function<void(QWidget* owner, const QString& text)> Notice;
  // The question with OK (true) and Cancel, captioned "Chimequest", owned by no window.
  std::function<bool(const QString& text)> AskOkCancel;
};

// Message boxes captioned "Chimequest".
TFeedbackPrompts MessageBoxPrompts();

// The feedback mail's body, line breaks as CR LF; the fields are taken as typed.
QString FeedbackBody(const QString& name, const QString& email, const QString& message,
                     const QString& report);

// Lets the user write to the makers; the mail goes through a TMailSender.
class TFeedbackForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int MinMessageLength = 20;

  explicit TFeedbackForm(TMailSender& sender, QWidget* parent = nullptr);

  void SetPrompts(TFeedbackPrompts prompts) { prompts_ = std::move(prompts); }

  // The Send feedback command: the form opens empty and returns when it is closed. Showing it
  // again otherwise (restored from being minimised) keeps what was typed.
  void OpenEmpty();

  // The checks, in order, then the sending; the first failing check ends the click.
  void SendBtnClick();

  QLabel* const TitleLbl;
  QFrame* const Bevel1;
  QLabel* const NameLbl;
  QLineEdit* const Name;
  QLabel* const EmailLbl;
  QLineEdit* const Email;
  QLabel* const EmailNoteLbl;
  QLabel* const MessageLbl;
  QPlainTextEdit* const Message;
  QPushButton* const CancelBtn;
  QPushButton* const SendBtn;

 private:
  void BuildLayout();
  bool InputAccepted();
  void Say(const char* key, const char* text);

  TMailSender& sender_;
  TFeedbackPrompts prompts_;
};

}  // namespace cq
