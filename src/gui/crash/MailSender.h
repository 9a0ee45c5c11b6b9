#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace cq {

// What the feedback dialog and crash reports hand their mail to.
class TMailSender {
 public:
  static constexpr int MaxSubjectLength = 50;
  enum TSendResult { srNotSent = 0, srSent = 1 };

  virtual ~TMailSender() = default;
  // The technical report about the program and the computer.
  virtual QString Report() const = 0;
  virtual QString Subject() const = 0;
  // Kept to its first MaxSubjectLength characters.
  virtual void SetSubject(const QString& subject) = 0;
  // srSent, srNotSent, or any other value for an outcome that is neither.
  virtual int Send(const QString& body) = 0;
};

// Hands the mail to the user's mail program through a mailto: address. The mail is "sent" once
// the mail program has taken it: the user still presses its Send.
class TMailtoSender final : public TMailSender {
 public:
  using TUrlOpener = std::function<bool(const QUrl&)>;

  // The default opener is the desktop's (QDesktopServices::openUrl).
  explicit TMailtoSender(TUrlOpener opener = {});

  void SetRecipient(const QString& recipient) { recipient_ = recipient; }
  QString Recipient() const { return recipient_; }
  void SetOpener(TUrlOpener opener);

  QString Report() const override;
  QString Subject() const override { return subject_; }
  void SetSubject(const QString& subject) override;
  int Send(const QString& body) override;

  // "mailto:" + recipient + "?subject=" + subject + "&body=" + body, the two texts
  // percent-encoded as UTF-8 (line breaks as %0D%0A).
  static QUrl MailtoUrl(const QString& recipient, const QString& subject, const QString& body);

 private:
  TUrlOpener opener_;
  QString recipient_;
  QString subject_;
};

// The program's one mail sender, set up by ConfigureCrashReporting.
TMailtoSender& MailSender();

}  // namespace cq
