#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QMessageBox;
class QWidget;

namespace cq {

// The questions, notices, file dialogs and browser the main window uses; tests script them.
class TDesktop {
 public:
  virtual ~TDesktop() = default;
  // A plain message box captioned "Chimequest".
  virtual void Notice(const QString& text) = 0;
  // Yes/No with the question icon, No the default; true for Yes.
  virtual bool AskYesNo(const QString& question) = 0;
  // The same question without waiting for it: no window is blocked, and `answered` is told the
  // choice (true for Yes) once the user has made it.
  virtual void AskYesNoLater(const QString& question, std::function<void(bool)> answered) = 0;
  // Two answers named by the caller, without waiting: `answered` is told true for `first`, which
  // is also the default and what Escape gives.
  virtual void AskEitherLater(const QString& question, const QString& first, const QString& second,
                              std::function<void(bool)> answered) = 0;
  // The save dialog titled `title` with one filter ("MIDI files (*.mid)"), proposing `name` in
  // `folder`; it asks itself before overwriting. Empty when cancelled.
  virtual QString AskSaveFileName(const QString& title, const QString& filter,
                                  const QString& folder, const QString& name) = 0;
  // A link's address as plain text, with an offer to copy it.
  virtual void ShowAddress(const QString& address) = 0;
  // Shows a folder of the user's files in the file manager.
  virtual bool OpenFolder(const QString& folder) = 0;
  // Shows a web page in the user's browser; any other address is refused (false).
  virtual bool OpenUrl(const QUrl& url) = 0;
  // The system has a device to play sound on.
  virtual bool HasSoundOutput() = 0;
};

// Message boxes, QFileDialog and QDesktopServices, owned by `owner`.
class TQtDesktop : public TDesktop {
 public:
  explicit TQtDesktop(QWidget* owner) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void Notice(const QString& text) override;
  bool AskYesNo(const QString& question) override;
  void AskYesNoLater(const QString& question, std::function<void(bool)> answered) override;
  void AskEitherLater(const QString& question, const QString& first, const QString& second,
                      std::function<void(bool)> answered) override;
  QString AskSaveFileName(const QString& title, const QString& filter, const QString& folder,
                          const QString& name) override;
  void ShowAddress(const QString& address) override;
  bool OpenFolder(const QString& folder) override;
  bool OpenUrl(const QUrl& url) override;
  bool HasSoundOutput() override;

 private:
  QWidget* owner_;
};

// Pages hand the program addresses; only web pages are opened, never a local file or a program.
bool IsWebAddress(const QUrl& url);
// A mail address: opened only for the program's own credits and feedback.
bool IsMailAddress(const QUrl& url);
// Shows the box's text as it is, never as rich text: an address in it is no link that a click
// would open, and it can be selected and copied.
void ShowPlainText(QMessageBox& box);
// Opens a windows-1251 address from a site when it is an http or https address; false otherwise.
bool OpenWebAddress(TDesktop& desktop, const std::string& address);

}  // namespace cq
