#include "gui/app/MainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "core/config/Translation.h"
#include "core/transfer/Updater.h"
#include "gui/app/Images.h"
#include "gui/app/Player.h"
#include "gui/app/ResultView.h"
#include "gui/app/Transfers.h"
#include "gui/app/UpdateBridge.h"
#include "gui/common/Desktop.h"
#include "gui/common/Fonts.h"
#include "gui/common/Named.h"
#include "gui/common/QtText.h"
#include "gui/common/Texts.h"
#include "gui/config/CheckListBox.h"
#include "gui/config/FileDropPanel.h"
#include "gui/config/Languages.h"
#include "gui/config/RegConfig.h"
#include "gui/config/Translators.h"
#include "gui/config/ZeqControl.h"

namespace cq {

namespace {

// The design size of the client area; the anchored controls keep their distances to its edges.
constexpr int DesignWidth = 393;
constexpr int DesignHeight = 281;

QTimer* NamedTimer(QObject* owner, const char* name, int interval) {
  auto* timer = Named(new QTimer(owner), name);
  timer->setInterval(interval);
  return timer;
}

// White inside; the bevel keeps the window's shades.
void WhiteBackground(QWidget& panel) {
  QPalette palette = panel.palette();
  palette.setColor(QPalette::Window, Qt::white);
  panel.setPalette(palette);
  panel.setAutoFillBackground(true);
}

}  // namespace

TMainForm::TMainForm(std::vector<const TSite*> sites, TDesktop& desktop,
                     const QString& externalPlayer, QWidget* parent)
    : QWidget(parent),
      desktop_(desktop),
      driver_(std::move(sites), *this, [this] { StartUpdateCheck(); }),
      MenuBtn(Named(new QPushButton(this), "MenuBtn")),
      SearchTerm(Named(new QComboBox(this), "SearchTerm")),
      SearchBtn(Named(new QPushButton("Search", this), "SearchBtn")),
      StopBtn(Named(new QPushButton(this), "StopBtn")),
      FramePanel(Named(new QFrame(this), "FramePanel")),
      HostPanel(Named(new TFileDropPanel(FramePanel), "HostPanel")),
      ScrollBar(Named(new QScrollBar(Qt::Vertical, HostPanel), "ScrollBar")),
      PaintBox(new TResultView(
          driver_, *ScrollBar,
          {[this](const std::string& address) { OpenWebAddress(desktop_, address); },
           [this](const QString& address) { desktop_.ShowAddress(address); },
           [this](QMenu& menu, QPoint at) { popupMenu_(menu, at); }},
          HostPanel)),
      SearchCount(Named(new QLabel(this), "_SearchCount")),
      SavedNote(Named(new QLabel(this), "_SavedNote")),
      MainMenu(Named(new QMenu(this), "MainMenu")),
      MenuFilter(Named(new QMenu("&Filter", MainMenu), "MenuFilter")),
      MenuHelp(Named(new QMenu("&Help", MainMenu), "MenuHelp")),
      JobManager(NamedTimer(this, "JobManager", 10)),
      CursorUpdateTimer(NamedTimer(this, "CursorUpdateTimer", 10)),
      DrawTimer(NamedTimer(this, "DrawTimer", 150)),
      player_(new TPlayer(externalPlayer, this)),
      popupMenu_([](QMenu& menu, QPoint at) { menu.exec(at); }) {
  setObjectName("MainForm");
  setWindowTitle("Chimequest");
  UseFormFont(*this);
  setMinimumSize(375, 200);
  resize(DesignWidth, DesignHeight);

  MenuBtn->setIcon(MenuButtonGlyph());
  SearchBtn->setIcon(SearchButtonGlyph());
  StopBtn->setIcon(StopButtonGlyph());
  SearchBtn->setEnabled(false);
  StopBtn->setEnabled(false);
  SearchTerm->setEditable(true);
  SearchTerm->setInsertPolicy(QComboBox::NoInsert);
  SearchTerm->setMaxVisibleItems(20);
  // What was typed stays as typed; the history is in the drop-down list.
  SearchTerm->setCompleter(nullptr);

  FramePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FramePanel->setLineWidth(2);
  WhiteBackground(*FramePanel);
  auto* frameLayout = new QHBoxLayout(FramePanel);
  frameLayout->setContentsMargins(0, 0, 0, 0);
  frameLayout->addWidget(HostPanel);
  HostPanel->setFrameStyle(QFrame::NoFrame);
  WhiteBackground(*HostPanel);
  auto* hostLayout = new QHBoxLayout(HostPanel);
  hostLayout->setContentsMargins(0, 0, 0, 0);
  hostLayout->setSpacing(0);
  hostLayout->addWidget(PaintBox, 1);
  hostLayout->addWidget(ScrollBar);
  ScrollBar->setFixedWidth(16);
  ScrollBar->setFocusPolicy(Qt::NoFocus);
  ScrollBar->hide();

  SavedNote->setTextFormat(Qt::RichText);
  SavedNote->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  SavedNote->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(SavedNote, &QLabel::linkActivated, this, [this] { desktop_.OpenFolder(savedFolder_); });

  BuildMainMenu();
  SetExternalPlayer(externalPlayer);
  player_->SetOnError([this](const QString& text) {
    desktop_.Notice(
        TranslatedText("Messages.CannotPlay", "The melody cannot be played: %1").arg(text));
  });

  setTabOrder(SearchTerm, SearchBtn);
  setTabOrder(SearchBtn, PaintBox);
  setTabOrder(PaintBox, MenuBtn);
  setTabOrder(MenuBtn, StopBtn);
  AddShortcuts();
  TranslateHints();
  for (QObject* control : {static_cast<QObject*>(SearchTerm), static_cast<QObject*>(SearchBtn),
                           static_cast<QObject*>(MenuBtn), static_cast<QObject*>(StopBtn)})
    control->installEventFilter(this);
  SearchTerm->lineEdit()->installEventFilter(this);

  connect(SearchTerm, &QComboBox::editTextChanged, this, [this] { SearchTermChange(); });
  connect(SearchBtn, &QPushButton::clicked, this, [this] {
    if (driver_.Searching())
      CancelSearch();
    else
      SearchBtnClick();
  });
  connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
  connect(MenuBtn, &QPushButton::clicked, this, [this] { MenuBtnClick(); });
  connect(JobManager, &QTimer::timeout, this, [this] { JobManagerTimer(); });
  connect(CursorUpdateTimer, &QTimer::timeout, this, [this] { CursorUpdateTimerTimer(); });
  connect(DrawTimer, &QTimer::timeout, this, [this] { DrawTimerTimer(); });
  LayoutControls();
  // The 10 ms timers run only while there is work: jobs, playback, the first-show layout.
  driver_.SetOnWork([this] {
    JobManager->start();
    DrawTimer->start();
  });
  CursorUpdateTimer->start();
}

TMainForm::~TMainForm() {
  for (QTimer* timer : {JobManager, CursorUpdateTimer, DrawTimer}) timer->stop();
}

// What the icon buttons, the search box and the list are called, to the eye and to screen readers.
void TMainForm::TranslateHints() {
  const QString menu = TranslatedText("Hints.MenuBtn", "Menu");
  MenuBtn->setToolTip(menu);
  MenuBtn->setAccessibleName(menu);
  const QString stop = TranslatedText("Hints.StopBtn", "Stop playback");
  StopBtn->setToolTip(stop);
  StopBtn->setAccessibleName(stop);
  SearchTerm->setAccessibleName(TranslatedText("Hints.SearchTerm", "Search term"));
  PaintBox->setAccessibleName(TranslatedText("Hints.ResultList", "Search results"));
  SearchTerm->lineEdit()->setPlaceholderText(
      TranslatedText("Hints.SearchTermPlaceholder", "At least 3 characters"));
  shownSearch_ = {!driver_.Searching(), 0};
  UpdateSearchState();
}

void TMainForm::UpdateSearchState() {
  const bool searching = driver_.Searching();
  const std::size_t melodies = driver_.MelodyCount();
  SearchBtn->setEnabled(searching || SearchEnabled(ToCp1251(SearchTerm->currentText())));
  if (shownSearch_ == std::pair{searching, melodies}) return;
  shownSearch_ = {searching, melodies};
  SearchBtn->setText(searching ? TranslatedText("Messages.StopSearch", "Stop")
                               : TranslatedText("Forms.MainForm.SearchBtn", "Search"));
  const bool finished = !searching && !driver_.Term().empty();
  SearchCount->setText(
      finished ? TranslatedText("Messages.MelodiesFound", "Melodies found: %1").arg(melodies)
               : QString());
  LayoutControls();
  PaintBox->SetEmptyText(finished && driver_.Results().empty()
                             ? TranslatedText("Messages.NoMelodies",
                                              "No melodies found for \"%1\" (sites searched: %2).")
                                   .arg(FromCp1251(driver_.Term()))
                                   .arg(driver_.SitesSearched())
                             : QString());
}

TSettingsForm* TMainForm::Settings() {
  // While the settings dialog is being created it calls ApplySettings before its creator could
  // tell this window about it; as this window's child it is found all the same.
  if (settings_ == nullptr)
    settings_ = findChild<TSettingsForm*>(QString(), Qt::FindDirectChildrenOnly);
  return settings_;
}

void TMainForm::SetAboutForm(QWidget* form, std::function<void()> show) {
  aboutForm_ = form;
  showAbout_ = std::move(show);
  MenuHelp->findChild<QAction*>("MenuAbout")->setEnabled(static_cast<bool>(showAbout_));
}

void TMainForm::SetFeedbackForm(QWidget* form, std::function<void()> show) {
  feedbackForm_ = form;
  showFeedback_ = std::move(show);
  MenuHelp->findChild<QAction*>("MenuFeedback")->setEnabled(static_cast<bool>(showFeedback_));
}

void TMainForm::SetPopupMenu(std::function<void(QMenu&, QPoint)> popup) {
  popupMenu_ = std::move(popup);
}

void TMainForm::SetExternalPlayer(const QString& path) {
  player_->SetExternalPlayerPath(path);
  PaintBox->SetPlayable(fmMmf, !path.isEmpty());
}

void TMainForm::LayoutControls() {
  const int dx = width() - DesignWidth;
  const int dy = height() - DesignHeight;
  MenuBtn->setGeometry(24, 16, 25, 25);
  SearchTerm->setGeometry(64, 18, 161 + dx, 21);
  SearchBtn->setGeometry(232 + dx, 16, 97, 25);
  StopBtn->setGeometry(344 + dx, 16, 25, 25);
  FramePanel->setGeometry(16, 56, 361 + dx, 209 + dy);
  // The count takes the room its text needs, which differs by language; the saved-file note
  // the rest.
  const int countWidth = std::min(SearchCount->sizeHint().width(), 361 + dx);
  SearchCount->setGeometry(16, 265 + dy, countWidth, 16);
  SavedNote->setGeometry(32 + countWidth, 265 + dy, std::max(0, 345 + dx - countWidth), 16);
}

void TMainForm::resizeEvent(QResizeEvent*) {
  LayoutControls();
  PaintBox->ForgetHitRow();
  PaintBox->UpdateScrollBar();
}

void TMainForm::showEvent(QShowEvent*) {
  if (firstShowDone_) return;
  // Where the window was when it last closed; the design size in the screen's middle only on
  // the very first start.
  placeRestored_ = RestoreWindowPlace(*this);
  if (!placeRestored_) FirstShowLayout();
  // The outer size may not go below 375 x 200, frame included.
  const QSize frame = frameGeometry().size() - size();
  setMinimumSize(375 - frame.width(), 200 - frame.height());
  if (const QScreen* screen = this->screen(); screen != nullptr && !placeRestored_) {
    QRect place = frameGeometry();
    place.moveCenter(screen->availableGeometry().center());
    move(place.topLeft());
  }
}

void TMainForm::FirstShowLayout() {
  resize(DesignWidth, DesignHeight);
  LayoutControls();
}

void TMainForm::BringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

// Settings

void TMainForm::ApplySettings() {
  if (Settings() == nullptr) return;
  const QList<QAction*> filters = MenuFilter->actions();
  std::array<bool, FormatCount> shown{};
  for (const TMelodyFormat format : AllFormats) {
    shown[format] = Settings()->FormatChecked(format);
    filters[format]->setIcon(shown[format] ? FormatMenuIcon(fiFirstFormat + format) : QIcon());
    filters[format]->setChecked(shown[format]);
  }
  PaintBox->SetShownFormats(shown);
  SetCurrentLanguage(Settings()->SelectedLanguage());
  UseQtTranslations(CurrentLanguage());
  Settings()->NameSearchSites();
  SetSearchTermItems(HistoryLines());
  const std::string language = CurrentLanguage();
  // The keys the windows lack reach the language file in one write.
  const TTranslationBurst burst;
  for (QWidget* form :
       {static_cast<QWidget*>(this), static_cast<QWidget*>(Settings()), aboutForm_, feedbackForm_})
    TranslateControls(form, language, "Forms");
  TranslateMenuItems(*MainMenu, language, "MainMenu");
  TranslateHints();
}

void TMainForm::ShowSearchHistory() {
  SetSearchTermItems(HistoryLines());
}

void TMainForm::Notice(const QString& text) {
  desktop_.Notice(text);
}

void TMainForm::SetSearchTermItems(const QStringList& items) {
  const QSignalBlocker quiet(SearchTerm);
  const QString text = SearchTerm->currentText();
  SearchTerm->clear();
  SearchTerm->addItems(items);
  SearchTerm->setEditText(text);
}

QStringList TMainForm::HistoryLines() {
  return Settings() != nullptr ? Settings()->SearchHistoryLines() : QStringList();
}

// Search driver

void TMainForm::SearchTermChange() {
  UpdateSearchState();
}

void TMainForm::SearchBtnClick() {
  if (Settings() == nullptr || !SearchEnabled(ToCp1251(SearchTerm->currentText()))) return;
  TSearchSettings search = Settings()->SearchSettings();
  const std::string term = ToCp1251(SearchTerm->currentText());

  const std::vector<std::string>& history = driver_.SearchBtnClick(term, search);
  QStringList lines;
  for (const std::string& line : history) lines << FromCp1251(line);
  Settings()->SetSearchHistoryLines(lines);
  SetSearchTermItems(lines);
  if (!lines.isEmpty()) {
    const QSignalBlocker quiet(SearchTerm);
    SearchTerm->setEditText(lines.constFirst());
  }
  PaintBox->RefreshResults();
  UpdateSearchState();
  SearchTerm->setFocus();
}

void TMainForm::CancelSearch() {
  if (!driver_.Searching()) return;
  driver_.CancelSearch();
  PaintBox->RefreshResults();
  UpdateSearchState();
}

void TMainForm::StartUpdateCheck() {
  if (startUpdateCheck_) {
    startUpdateCheck_();
    return;
  }
  cq::StartUpdateCheck(std::make_shared<TUpdateBridge>(
      [settings = QPointer<TSettingsForm>(Settings())](bool shown) {
        if (settings != nullptr) settings->SetJobButtonShown(shown);
      },
      desktop_));
}

void TMainForm::StopBtnClick() {
  player_->Stop();
  PaintBox->SetPlayingRow({});
  SearchTerm->setFocus();
}

// Timers

void TMainForm::JobManagerTimer() {
  sitesCollected_ = false;
  driver_.JobManagerTimer();
  if (sitesCollected_) PaintBox->RefreshResults();
  UpdateSearchState();
  if (quitAfterDownloads_) CloseOnceDownloadsEnd();
  if (driver_.Manager().Idle()) JobManager->stop();
}

void TMainForm::RowsCollected(const TJob& job, std::size_t, std::size_t) {
  if (job.Task().Kind == taskSearch) sitesCollected_ = true;
}

void TMainForm::CursorUpdateTimerTimer() {
  StopBtn->setEnabled(player_->Playing());
  if (!player_->Playing()) PaintBox->SetPlayingRow({});
  if (TSettingsForm* settings = Settings(); settings != nullptr && settings->height() != 481)
    settings->resize(settings->width(), 481);
  if (aboutForm_ != nullptr && aboutForm_->size() != QSize(330, 337)) aboutForm_->resize(330, 337);
  if (!firstShowDone_ && isVisible()) {
    if (!placeRestored_) FirstShowLayout();
    firstShowDone_ = true;
  }
  // A modal dialog keeps its size while it is open.
  if (firstShowDone_ && !player_->Playing() && QApplication::activeModalWidget() == nullptr)
    CursorUpdateTimer->stop();
}

void TMainForm::DrawTimerTimer() {
  PaintBox->RefreshResults();
  // One more refresh after the last job, then the list rests.
  if (!JobManager->isActive()) DrawTimer->stop();
}

}  // namespace cq
