#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "core/app/SearchDriver.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace cq {

class TCheckListBox;
class TFirstStartForm;
class TSiteRegistry;
class TUpDown;
class TZeqSpinEdit;

// What the settings dialog asks of the main window.
class TSettingsHost {
 public:
  virtual ~TSettingsHost() = default;
  // Applies the dialog's settings to the program: language, translations, history, filters.
  virtual void ApplySettings() = 0;
  // Fills the search box's drop-down list from the dialog's search history, at once.
  virtual void ShowSearchHistory() = 0;
  // Tells the user something, in a plain message box.
  virtual void Notice(const QString& text) = 0;
};

// The download folder of a new user: the music folder, else the documents folder, plus
// "Chimequest downloads" and a separator.
QString DefaultDownloadFolder(const QString& musicFolder, const QString& documentsFolder);
QString DefaultDownloadFolder();

// The settings dialog, and the program's settings: its controls hold them for the whole run and
// the store mirrors them value by value. Creating it restores the stored settings, runs the first
// start when needed and applies the settings; destroying it stores them and prunes the cache.
class TSettingsForm : public QDialog {
  Q_OBJECT

 public:
  using TFolderPicker =
      std::function<QString(QWidget* owner, const QString& title, const QString& initialFolder)>;
  // Shows a folder in the file manager.
  using TFolderOpener = std::function<void(const QString& folder)>;

  // The site list shows `sites`, which must outlast the dialog.
  TSettingsForm(const TSiteRegistry& sites, TFirstStartForm& firstStart, TSettingsHost& host,
                QWidget* parent = nullptr);
  ~TSettingsForm() override;

  // The Settings command: the store is the undo copy. OK stores and applies the edits, any other
  // close restores what the store holds.
  void Edit();

  // Writes the dialog to the store. A store that cannot be written is told to the user once a
  // run, by where it is: the settings then last only until the program ends.
  void SaveSettings();

  // The entry of the language list at the selected position (position 0 when none is).
  std::string SelectedLanguage() const;

  // The settings the main window works with; the controls below are the dialog's own.
  bool FormatChecked(TMelodyFormat format) const;
  void ToggleFormat(TMelodyFormat format);
  QStringList SearchHistoryLines() const;
  void SetSearchHistoryLines(const QStringList& lines);
  // The history (newest first), its limit, the sites checked and the automatic update check.
  TSearchSettings SearchSettings() const;
  // Names the site list's entries after the sites, in the current language.
  void NameSearchSites();
  bool AskWhereToSave() const;
  QString SaveFolder() const;
  bool JobButtonShown() const;
  void SetJobButtonShown(bool shown);

  // True from the first-start check until it is passed; stays true when it was declined, which
  // keeps the settings from being stored at program end.
  bool FirstStartPending() const { return firstStartPending_; }

  // Replaces the folder picker (QFileDialog::getExistingDirectory by default).
  void SetFolderPicker(TFolderPicker picker) { folderPicker_ = std::move(picker); }
  void SetFolderOpener(TFolderOpener opener) { folderOpener_ = std::move(opener); }

  // The controls, named as in the store and the language file. A control whose object name
  // begins with "_" is a member of the same name without it.
  QGroupBox* const LanguageBox;
  QComboBox* const Language;
  QGroupBox* const DownloadBox;
  QRadioButton* const DownloadAsk;
  QRadioButton* const DownloadSave;
  QLineEdit* const SaveDir;
  QPushButton* const BrowseBtn;
  QGroupBox* const FormatsBox;
  QCheckBox* const FormatWAV;
  QCheckBox* const FormatMIDI;
  QCheckBox* const FormatMMF;
  QCheckBox* const FormatMP3;
  QGroupBox* const CacheControlBox;
  QLabel* const CacheControlHelp;
  QLabel* const KeepFilesInCache;
  TZeqSpinEdit* const CacheDaysEdit;
  TUpDown* const CacheDaysUpDown;
  QLabel* const Days;
  QPushButton* const ClearCacheBtn;
  QGroupBox* const SearchHistoryBox;
  QLabel* const RecordsToKeepLbl;
  TZeqSpinEdit* const SearchRecordsEdit;
  TUpDown* const SearchRecordsUpDown;
  QPushButton* const ClearSearchHistory;
  QGroupBox* const SearchOnSitesBox;
  TCheckListBox* const SearchSites;
  QPushButton* const OpenSitesFolder;
  QGroupBox* const UpdatesBox;
  QCheckBox* const Updates;
  QPlainTextEdit* const SearchHistory;
  QCheckBox* const ShowJobButton;
  QPushButton* const OkBtn;
  QPushButton* const CancelBtn;

 private:
  std::array<QCheckBox*, FormatCount> FormatBoxes() const {
    return {FormatWAV, FormatMIDI, FormatMMF, FormatMP3};
  }
  void BuildLayout();
  void SetDesignValues();
  void FormCreate(TFirstStartForm& firstStart);
  void DownloadAskClick();
  void DownloadSaveClick();
  void BrowseBtnClick();
  void ClearCacheBtnClick();
  void ClearSearchHistoryClick();
  void OpenSitesFolderClick();
  void AddUnusableDefinitions();

  const TSiteRegistry& sites_;
  TSettingsHost& host_;
  bool firstStartPending_ = false;
  bool storeFailureTold_ = false;
  TFolderPicker folderPicker_;
  TFolderOpener folderOpener_;
};

}  // namespace cq
