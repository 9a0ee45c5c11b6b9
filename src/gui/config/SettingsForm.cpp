#include "gui/config/SettingsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/platform/Text.h"
#include "core/sites/Sites.h"
#include "core/sites/definitions/DefinitionSites.h"
#include "core/sites/registry/SiteRegistry.h"
#include "gui/common/Fonts.h"
#include "gui/common/Named.h"
#include "gui/common/QtText.h"
#include "gui/config/CacheCleaner.h"
#include "gui/config/CheckListBox.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/Languages.h"
#include "gui/config/RegConfig.h"
#include "gui/config/ZeqControl.h"

namespace cq {

namespace fs = std::filesystem;

namespace {

// "FILE:LINE: problem" in the user's language, each part of the problem translated on its own.
QString TranslatedProblem(const std::string& fileName, const TDefinitionProblem& problem) {
  QString text = QString::fromStdString(fileName);
  if (problem.Line > 0) text += ':' + QString::number(problem.Line);
  for (const TMessage& part : problem.Text) {
    const std::string form =
        part.Key.empty() ? part.English : Cp1251ToUtf8(Translate(part.Key, part.English));
    text += ": " + QString::fromStdString(FillIn(form, part.Args));
  }
  return text;
}

QString WithSeparator(const QString& folder) {
  const QString native = QDir::toNativeSeparators(folder);
  return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

QString PickFolder(QWidget* owner, const QString& title, const QString& initialFolder) {
  return QFileDialog::getExistingDirectory(owner, title, initialFolder, QFileDialog::ShowDirsOnly);
}

// An edit with its up-down beside it; the up-down places itself, the layout keeps room for it.
void AddSpinEdit(QHBoxLayout& row, TZeqSpinEdit& edit, TUpDown& upDown) {
  edit.setFixedWidth(30);
  row.addWidget(&edit);
  row.addSpacing(upDown.width() + 1);
}

void OpenFolder(const QString& folder) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace

QString DefaultDownloadFolder(const QString& musicFolder, const QString& documentsFolder) {
  QString base = !musicFolder.isEmpty() ? musicFolder : documentsFolder;
  if (base.isEmpty()) base = QDir::homePath();
  return WithSeparator(base) + "Chimequest downloads" + QDir::separator();
}

QString DefaultDownloadFolder() {
  return DefaultDownloadFolder(QStandardPaths::writableLocation(QStandardPaths::MusicLocation),
                               QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

TSettingsForm::TSettingsForm(const TSiteRegistry& sites, TFirstStartForm& firstStart,
                             TSettingsHost& host, QWidget* parent)
    : QDialog(parent),
      LanguageBox(Named(new QGroupBox("Language", this), "LanguageBox")),
      Language(Named(new QComboBox(LanguageBox), "Language")),
      DownloadBox(Named(new QGroupBox("When downloading...", this), "DownloadBox")),
      DownloadAsk(Named(new QRadioButton("Ask me where to save the file every time", DownloadBox),
                        "DownloadAsk")),
      DownloadSave(Named(new QRadioButton("Download all files to:", DownloadBox), "DownloadSave")),
      SaveDir(Named(new QLineEdit(DownloadBox), "SaveDir")),
      BrowseBtn(Named(new QPushButton("Browse...", DownloadBox), "BrowseBtn")),
      FormatsBox(Named(new QGroupBox("Search for these music formats:", this), "FormatsBox")),
      FormatWAV(Named(new QCheckBox("WAV", FormatsBox), "FormatWAV")),
      FormatMIDI(Named(new QCheckBox("MIDI", FormatsBox), "FormatMIDI")),
      FormatMMF(Named(new QCheckBox("MMF", FormatsBox), "FormatMMF")),
      FormatMP3(Named(new QCheckBox("MP3", FormatsBox), "FormatMP3")),
      CacheControlBox(Named(new QGroupBox("Cache control", this), "CacheControlBox")),
      CacheControlHelp(Named(new QLabel("For better performance, Chimequest caches downloaded "
                                        "files (search results, etc.) on your hard drive. ",
                                        CacheControlBox),
                             "CacheControlHelp")),
      KeepFilesInCache(
          Named(new QLabel("Keep files in cache", CacheControlBox), "KeepFilesInCache")),
      CacheDaysEdit(Named(new TZeqSpinEdit(CacheControlBox), "CacheDaysEdit")),
      CacheDaysUpDown(Named(new TUpDown(CacheControlBox), "CacheDaysUpDown")),
      Days(Named(new QLabel("days", CacheControlBox), "Days")),
      ClearCacheBtn(Named(new QPushButton("Clear the cache", CacheControlBox), "ClearCacheBtn")),
      SearchHistoryBox(Named(new QGroupBox("Search history", this), "SearchHistoryBox")),
      RecordsToKeepLbl(Named(new QLabel("Records to keep:", SearchHistoryBox), "RecordsToKeepLbl")),
      SearchRecordsEdit(Named(new TZeqSpinEdit(SearchHistoryBox), "SearchRecordsEdit")),
      SearchRecordsUpDown(Named(new TUpDown(SearchHistoryBox), "SearchRecordsUpDown")),
      ClearSearchHistory(Named(new QPushButton("Clear the search history", SearchHistoryBox),
                               "ClearSearchHistory")),
      SearchOnSitesBox(
          Named(new QGroupBox("Search on these web-sites:", this), "SearchOnSitesBox")),
      SearchSites(Named(new TCheckListBox(SearchOnSitesBox), "SearchSites")),
      OpenSitesFolder(
          Named(new QPushButton("Open the folder of my site definitions", SearchOnSitesBox),
                "OpenSitesFolder")),
      UpdatesBox(Named(new QGroupBox("Updates:", this), "UpdatesBox")),
      Updates(Named(new QCheckBox("Automatically check for updates", UpdatesBox), "Updates")),
      SearchHistory(Named(new QPlainTextEdit(this), "SearchHistory")),
      ShowJobButton(Named(new QCheckBox(this), "_ShowJobButton")),
      OkBtn(Named(new QPushButton("OK", this), "OkBtn")),
      CancelBtn(Named(new QPushButton("Cancel", this), "CancelBtn")),
      sites_(sites),
      host_(host),
      folderPicker_(PickFolder),
      folderOpener_(OpenFolder) {
  setObjectName("SettingsForm");
  setWindowTitle("Settings");
  UseFormFont(*this);
  SetDesignValues();
  BuildLayout();
  connect(DownloadAsk, &QRadioButton::clicked, this, [this] { DownloadAskClick(); });
  connect(DownloadSave, &QRadioButton::clicked, this, [this] { DownloadSaveClick(); });
  connect(BrowseBtn, &QPushButton::clicked, this, [this] { BrowseBtnClick(); });
  connect(ClearCacheBtn, &QPushButton::clicked, this, [this] { ClearCacheBtnClick(); });
  connect(ClearSearchHistory, &QPushButton::clicked, this, [this] { ClearSearchHistoryClick(); });
  connect(OpenSitesFolder, &QPushButton::clicked, this, [this] { OpenSitesFolderClick(); });
  // A long folder shows from its start, as the field is read-only.
  connect(SaveDir, &QLineEdit::textChanged, this, [this] { SaveDir->setCursorPosition(0); });
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate(firstStart);
}

void TSettingsForm::SetDesignValues() {
  DownloadAsk->setChecked(true);
  SaveDir->setReadOnly(true);
  SaveDir->setEnabled(false);
  BrowseBtn->setEnabled(false);
  for (QCheckBox* format : {FormatWAV, FormatMIDI, FormatMMF, FormatMP3}) format->setChecked(true);
  CacheControlHelp->setWordWrap(true);
  CacheDaysUpDown->SetRange(0, 99);
  CacheDaysUpDown->SetPosition(7);
  CacheDaysEdit->setText("7");
  CacheDaysEdit->SetTypingLimit(2);
  CacheDaysEdit->SetUpDown(CacheDaysUpDown);
  SearchRecordsUpDown->SetRange(5, 99);
  SearchRecordsUpDown->SetPosition(20);
  SearchRecordsEdit->setText("20");
  SearchRecordsEdit->SetTypingLimit(2);
  SearchRecordsEdit->SetUpDown(SearchRecordsUpDown);
  Updates->setChecked(true);
  SearchHistory->hide();
  ShowJobButton->hide();
  OkBtn->setDefault(true);
}

void TSettingsForm::BuildLayout() {
  auto* languageLayout = new QVBoxLayout(LanguageBox);
  languageLayout->addWidget(Language);

  auto* downloadLayout = new QVBoxLayout(DownloadBox);
  downloadLayout->addWidget(DownloadAsk);
  downloadLayout->addWidget(DownloadSave);
  auto* folderRow = new QHBoxLayout;
  folderRow->addSpacing(18);
  folderRow->addWidget(SaveDir, 1);
  folderRow->addWidget(BrowseBtn);
  downloadLayout->addLayout(folderRow);

  auto* formatsLayout = new QHBoxLayout(FormatsBox);
  for (QCheckBox* format : {FormatWAV, FormatMIDI, FormatMMF, FormatMP3}) {
    formatsLayout->addWidget(format);
  }

  auto* cacheLayout = new QVBoxLayout(CacheControlBox);
  cacheLayout->addWidget(CacheControlHelp);
  auto* daysRow = new QHBoxLayout;
  daysRow->addWidget(KeepFilesInCache);
  AddSpinEdit(*daysRow, *CacheDaysEdit, *CacheDaysUpDown);
  daysRow->addWidget(Days);
  daysRow->addStretch();
  cacheLayout->addLayout(daysRow);
  auto* clearCacheRow = new QHBoxLayout;
  clearCacheRow->addWidget(ClearCacheBtn);
  clearCacheRow->addStretch();
  cacheLayout->addLayout(clearCacheRow);

  auto* historyLayout = new QVBoxLayout(SearchHistoryBox);
  auto* recordsRow = new QHBoxLayout;
  recordsRow->addWidget(RecordsToKeepLbl);
  AddSpinEdit(*recordsRow, *SearchRecordsEdit, *SearchRecordsUpDown);
  recordsRow->addStretch();
  historyLayout->addLayout(recordsRow);
  auto* clearHistoryRow = new QHBoxLayout;
  clearHistoryRow->addWidget(ClearSearchHistory);
  clearHistoryRow->addStretch();
  historyLayout->addLayout(clearHistoryRow);

  auto* sitesLayout = new QVBoxLayout(SearchOnSitesBox);
  sitesLayout->addWidget(SearchSites);
  sitesLayout->addWidget(OpenSitesFolder);
  auto* updatesLayout = new QVBoxLayout(UpdatesBox);
  updatesLayout->addWidget(Updates);

  auto* left = new QVBoxLayout;
  left->addWidget(LanguageBox);
  left->addWidget(DownloadBox);
  left->addWidget(CacheControlBox);
  left->addWidget(SearchHistoryBox);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(SearchOnSitesBox, 1);
  right->addWidget(FormatsBox);
  right->addWidget(UpdatesBox);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  auto* form = new QVBoxLayout(this);
  form->addLayout(columns, 1);
  form->addLayout(buttons);
  resize(560, 481);
}

void TSettingsForm::FormCreate(TFirstStartForm& firstStart) {
  for (const std::string& language : LanguageList()) Language->addItem(LanguageOwnName(language));
  Language->setCurrentIndex(0);
  for (const TSite* site : sites_.Sites()) SearchSites->AddEntry(FromCp1251(site->GetName()), true);
  AddUnusableDefinitions();
  LoadControlState(*this, false);
  // A position the store may hold but the language list no longer has.
  if (Language->currentIndex() < 0) Language->setCurrentIndex(0);
  if (SaveDir->text().isEmpty()) SaveDir->setText(DefaultDownloadFolder());
  firstStart.SetOnLanguageChosen([this](int position) { Language->setCurrentIndex(position); });
  try {
    firstStartPending_ = true;
    CheckFirstStart(firstStart);
    firstStartPending_ = false;
    SaveSettings();
    host_.ApplySettings();
  } catch (const EAbort&) {
    // Declined: nothing is stored or applied, and the program ends.
  }
}

TSettingsForm::~TSettingsForm() {
  if (!firstStartPending_) SaveSettings();
  CleanCache(CacheDaysUpDown->Position());
}

void TSettingsForm::SaveSettings() {
  if (SaveControlState(*this, false) || storeFailureTold_) return;
  storeFailureTold_ = true;
  host_.Notice(FromCp1251(Translate("Messages.SettingsNotSaved",
                                    "Your settings cannot be saved, and changes will be lost "
                                    "when Chimequest ends:")) +
               " " + StoreLocation());
}

void TSettingsForm::Edit() {
  SaveSettings();
  if (exec() == QDialog::Accepted) {
    SaveSettings();
    host_.ApplySettings();
  } else {
    LoadControlState(*this, false);
    // A history cleared and then cancelled is back in the drop-down too.
    host_.ShowSearchHistory();
  }
}

std::string TSettingsForm::SelectedLanguage() const {
  const std::vector<std::string> languages = LanguageList();
  const int position = Language->currentIndex();
  const bool inList = position >= 0 && static_cast<std::size_t>(position) < languages.size();
  return languages.at(inList ? static_cast<std::size_t>(position) : 0);
}

void TSettingsForm::DownloadAskClick() {
  SaveDir->setEnabled(false);
  BrowseBtn->setEnabled(false);
}

void TSettingsForm::DownloadSaveClick() {
  SaveDir->setEnabled(true);
  BrowseBtn->setEnabled(true);
}

void TSettingsForm::BrowseBtnClick() {
  const QString current = SaveDir->text();
  const QString initial = !current.isEmpty() && QDir(current).exists() ? current : QString();
  const QString chosen = folderPicker_(this, DownloadSave->text(), initial);
  if (!chosen.isEmpty()) SaveDir->setText(WithSeparator(chosen));
}

void TSettingsForm::ClearCacheBtnClick() {
  CleanCache(0);
}

// After the sites, so that a site's position in the list stays its position in the registry;
// their stored checks stay as they were, for when the file is mended.
void TSettingsForm::AddUnusableDefinitions() {
  for (const TDefinitionEntry& entry : sites_.DefinitionEntries()) {
    if (entry.Site) continue;
    const std::string name = entry.File.SiteName.empty()
                                 ? fs::path(entry.File.FileName).filename().string()
                                 : Cp1251ToUtf8(entry.File.SiteName);
    QStringList problems;
    for (const TDefinitionProblem& problem : entry.File.Problems) {
      problems << TranslatedProblem(entry.File.FileName, problem);
    }
    SearchSites->AddEntry(QString::fromStdString(name), false);
    QListWidgetItem* item = SearchSites->item(SearchSites->EntryCount() - 1);
    item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    item->setToolTip(problems.join('\n'));
  }
}

void TSettingsForm::OpenSitesFolderClick() {
  const QString folder = QFile::decodeName(UserDefinitionFolder().c_str());
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  folderOpener_(folder);
}

void TSettingsForm::ClearSearchHistoryClick() {
  SearchHistory->clear();
  host_.ShowSearchHistory();
}

// What the main window reads and writes

bool TSettingsForm::FormatChecked(TMelodyFormat format) const {
  return FormatBoxes()[format]->isChecked();
}

void TSettingsForm::ToggleFormat(TMelodyFormat format) {
  FormatBoxes()[format]->toggle();
}

QStringList TSettingsForm::SearchHistoryLines() const {
  const QString text = SearchHistory->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

void TSettingsForm::SetSearchHistoryLines(const QStringList& lines) {
  SearchHistory->setPlainText(lines.join('\n'));
}

TSearchSettings TSettingsForm::SearchSettings() const {
  TSearchSettings search;
  for (const QString& line : SearchHistoryLines()) search.History.push_back(ToCp1251(line));
  search.HistoryLimit = SearchRecordsUpDown->Position();
  for (int i = 0; i < SearchSites->EntryCount(); ++i)
    search.SearchSites.push_back(SearchSites->Checked(i));
  search.Updates = Updates->isChecked();
  return search;
}

void TSettingsForm::NameSearchSites() {
  const std::vector<const TSite*>& sites = sites_.Sites();
  const auto count = std::min(sites.size(), static_cast<std::size_t>(SearchSites->EntryCount()));
  for (std::size_t i = 0; i < count; ++i)
    SearchSites->SetEntryText(static_cast<int>(i), FromCp1251(sites[i]->GetName()));
}

bool TSettingsForm::AskWhereToSave() const {
  return DownloadAsk->isChecked();
}

QString TSettingsForm::SaveFolder() const {
  return SaveDir->text();
}

bool TSettingsForm::JobButtonShown() const {
  return ShowJobButton->isChecked();
}

void TSettingsForm::SetJobButtonShown(bool shown) {
  ShowJobButton->setChecked(shown);
}

}  // namespace cq
