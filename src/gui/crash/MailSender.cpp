#include "gui/crash/MailSender.h"

#include <QDesktopServices>

#include "gui/common/Desktop.h"
#include "gui/crash/TechnicalReport.h"

namespace cq {

TMailtoSender::TMailtoSender(TUrlOpener opener) {
  SetOpener(std::move(opener));
}

void TMailtoSender::SetOpener(TUrlOpener opener) {
  opener_ = opener ? std::move(opener) : [](const QUrl& url) {
    return IsMailAddress(url) && QDesktopServices::openUrl(url);
  };
}

QString TMailtoSender::Report() const {
  return TechnicalReport();
}

void TMailtoSender::SetSubject(const QString& subject) {
  subject_ = subject.left(MaxSubjectLength);
}

int TMailtoSender::Send(const QString& body) {
  if (recipient_.isEmpty()) return srNotSent;
  return opener_(MailtoUrl(recipient_, subject_, body)) ? srSent : srNotSent;
}

QUrl TMailtoSender::MailtoUrl(const QString& recipient, const QString& subject,
                              const QString& body) {
  QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(recipient, "@");
  encoded += "?subject=" + QUrl::toPercentEncoding(subject);
  encoded += "&body=" + QUrl::toPercentEncoding(body);
  return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

TMailtoSender& MailSender() {
  static TMailtoSender sender;
  return sender;
}

}  // namespace cq
