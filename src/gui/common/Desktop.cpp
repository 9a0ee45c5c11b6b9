#include "gui/common/Desktop.h"

#include <QAudioDevice>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPushButton>

#include "core/platform/SoundCards.h"
#include "gui/common/QtText.h"
#include "gui/common/Texts.h"

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
  // A slip of Enter must not destroy a file.
  box.setDefaultButton(QMessageBox::No);
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

void TQtDesktop::AskEitherLater(const QString& question, const QString& first,
                                const QString& second, std::function<void(bool)> answered) {
  auto* box =
      new QMessageBox(QMessageBox::Question, Caption, question, QMessageBox::NoButton, owner_);
  ShowPlainText(*box);
  QPushButton* firstButton = box->addButton(first, QMessageBox::AcceptRole);
  box->addButton(second, QMessageBox::DestructiveRole);
  box->setDefaultButton(firstButton);
  box->setEscapeButton(firstButton);
  box->setModal(false);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::buttonClicked, box,
                   [firstButton, answered = std::move(answered)](QAbstractButton* clicked) {
                     answered(clicked == firstButton);
                   });
  box->show();
}

QString TQtDesktop::AskSaveFileName(const QString& title, const QString& filter,
                                    const QString& folder, const QString& name) {
  QFileDialog dialog(owner_, title, folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setSizeGripEnabled(true);
  dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void TQtDesktop::ShowAddress(const QString& address) {
  QMessageBox box(QMessageBox::NoIcon, Caption, address, QMessageBox::Ok, owner_);
  ShowPlainText(box);
  QPushButton* copy = box.addButton(TranslatedText("Messages.CopyAddress", "Copy address"),
                                    QMessageBox::ActionRole);
  copy->setObjectName("CopyAddress");
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
  if (box.clickedButton() == copy) QGuiApplication::clipboard()->setText(address);
}

bool TQtDesktop::OpenFolder(const QString& folder) {
  return QFileInfo(folder).isDir() && QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool TQtDesktop::OpenUrl(const QUrl& url) {
  return IsWebAddress(url) && QDesktopServices::openUrl(url);
}

bool TQtDesktop::HasSoundOutput() {
  // Qt lists the outputs of the sound server; without one the media back end still plays on a
  // card the driver offers.
  return !QMediaDevices::audioOutputs().isEmpty() || SoundCardPresent();
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
