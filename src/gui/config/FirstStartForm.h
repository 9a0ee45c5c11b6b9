#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QTextBrowser;

namespace cq {

// The documents the program carries, each in English and in the second language.
enum class TDocument { License, Notes };
QString DocumentHtml(TDocument document, bool secondLanguage);

// Greets a first start: the language, then the licence agreement (Accept or Decline), then the
// notes. Later it shows the notes or the licence from the Help menu with an OK button only.
class TFirstStartForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFirstStartForm(QWidget* parent = nullptr);

  // Told the position of the language the user confirms, so the settings store it.
  void SetOnLanguageChosen(std::function<void(int position)> handler) {
    onLanguageChosen_ = std::move(handler);
  }

  void ShowNotes();
  void ShowLicense();

  // The three panels, one visible at a time, and what they hold. A control whose object name
  // begins with "_" (never translated) is a member of the same name without it.
  QWidget* const LangPanel;
  QLabel* const Label1;
  QGroupBox* const LangSelect;
  QPushButton* const OkBtn;
  QWidget* const LicensePanel;
  QTextBrowser* const License;
  QPushButton* const AcceptBtn;
  QPushButton* const DeclineBtn;
  QWidget* const NotesPanel;
  QTextBrowser* const Notes;
  QPushButton* const OkBtn2;
  QLabel* const ChimequestLabel;
  QLabel* const VersionLabel;

 private:
  void BuildLayout();
  void FormCreate();
  void OkBtnClick();
  void AcceptBtnClick();
  int SelectedLanguagePosition() const;
  void ShowDocumentPanel(TDocument document);

  QButtonGroup* languages_;
  std::function<void(int)> onLanguageChosen_;
};

// Runs the first-start dialog unless the settings store shows that the program has run before.
// Declining (or closing the dialog before the licence is accepted) ends the program:
// FirstStartDeclined() turns true and the silent abort EAbort is thrown for the start-up to
// swallow. The dialog opens in the middle of the screen.
void CheckFirstStart(TFirstStartForm& dialog);

// True once a first start was declined: the main window must not be shown, the program ends.
bool FirstStartDeclined();

}  // namespace cq
