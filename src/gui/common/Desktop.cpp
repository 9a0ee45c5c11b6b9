#include "gui/common/Desktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/common/QtText.h"

namespace cq {

namespace {
const QString Caption = QStringLiteral("Chimequest");
}

void TQtDesktop::Notice(const QString& text) {
  // A plain message: no icon, one OK button.
  QMessageBox box(QMessageBox::NoIcon, Caption, text, QMessageBox::Ok, owner_);
  ShowPlainText(box);
  box.exec();
}

bool TQtDesktop::AskYesNo(const QString& question) {
  QMessageBox box(QMessageBox::Question, Caption, question, QMessageBox::Yes | QMessageBox::No,
                  owner_);
  ShowPlainText(box);
  return box.exec() == QMessageBox::Yes;
}

void TQtDesktop::AskYesNoLater(const QString& question, std::function<void(bool)> answered) {
  auto* box = new QMessageBox(QMessageBox::Question, Caption, question,
                              QMessageBox::Yes | QMessageBox::No, owner_);
  ShowPlainText(*box);
  box->setModal(false);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::finished, box, [answered = std::move(answered)](int result) {
    answered(result == QMessageBox::Yes);
  });
  box->show();
}

QString TQtDesktop::AskSaveFileName(const QString& filter, const QString& folder,
                                    const QString& name) {
  // "description|pattern" as the program writes it; Qt wants "description (pattern)".
  QString qtFilter = filter;
  const qsizetype bar = filter.indexOf('|');
  if (bar >= 0) qtFilter = filter.left(bar) + " (" + filter.mid(bar + 1) + ")";
  QFileDialog dialog(owner_, Caption, folder, qtFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setSizeGripEnabled(true);
  dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

bool TQtDesktop::OpenUrl(const QUrl& url) {
  return IsWebAddress(url) && QDesktopServices::openUrl(url);
}

bool IsWebAddress(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return url.isValid() && (scheme == "http" || scheme == "https") && !url.host().isEmpty();
}

bool IsMailAddress(const QUrl& url) {
  return url.isValid() && url.scheme().toLower() == "mailto" && !url.path().isEmpty();
}

void ShowPlainText(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

bool OpenWebAddress(TDesktop& desktop, const std::string& address) {
  const QUrl url(FromCp1251(address).trimmed(), QUrl::TolerantMode);
  if (!IsWebAddress(url)) return false;
  return desktop.OpenUrl(url);
}

}  // namespace cq
