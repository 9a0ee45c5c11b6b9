#include "gui/app/MainForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <stdexcept>

#include "core/config/Translation.h"
#include "core/transfer/Updater.h"
#include "gui/app/Desktop.h"
#include "gui/app/Fonts.h"
#include "gui/app/Images.h"
#include "gui/app/Named.h"
#include "gui/app/Player.h"
#include "gui/app/QtText.h"
#include "gui/app/ResultView.h"
#include "gui/app/Transfers.h"
#include "gui/config/CheckListBox.h"
#include "gui/config/FileDropPanel.h"
#include "gui/config/FirstStartForm.h"
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

QAction* NamedAction(QMenu& menu, const char* name, const QString& caption) {
  QAction* action = menu.addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

QAction* NamedSeparator(QMenu& menu, const char* name) {
  QAction* separator = menu.addSeparator();
  separator->setObjectName(QString::fromLatin1(name));
  return separator;
}

// White inside; the bevel keeps the window's shades.
void WhiteBackground(QWidget& panel) {
  QPalette palette = panel.palette();
  palette.setColor(QPalette::Window, Qt::white);
  panel.setPalette(palette);
  panel.setAutoFillBackground(true);
}

// Tells the main window what the update checker found, on the main thread.
class TUpdateBridge : public TUpdateSink {
 public:
  TUpdateBridge(QCheckBox* showJobButton, TDesktop& desktop)
      : showJobButton_(showJobButton), desktop_(desktop) {}

  void SetShowJobButton(bool on) override {
    QMetaObject::invokeMethod(
        qApp,
        [button = showJobButton_, on] {
          if (QCheckBox* box = button.data(); box != nullptr) box->setChecked(on);
        },
        Qt::QueuedConnection);
  }
  void OfferNewVersion(const std::string& question, const std::string& homePage) override {
    QMetaObject::invokeMethod(
        qApp,
        [&desktop = desktop_, question, homePage] {
          if (desktop.AskYesNo(FromCp1251(question))) OpenWebAddress(desktop, homePage);
        },
        Qt::QueuedConnection);
  }

 private:
  QPointer<QCheckBox> showJobButton_;
  TDesktop& desktop_;
};

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
           [this](const QString& text) { desktop_.Notice(text); },
           [this](QMenu& menu, QPoint at) { popupMenu_(menu, at); }},
          HostPanel)),
      MainMenu(Named(new QMenu(this), "MainMenu")),
      MenuFilter(Named(new QMenu("Filter", MainMenu), "MenuFilter")),
      MenuHelp(Named(new QMenu("Help", MainMenu), "MenuHelp")),
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

  BuildMainMenu();
  PaintBox->SetPlayable(fmMmf, !externalPlayer.isEmpty());
  player_->SetOnError([this](const QString& text) { desktop_.Notice(text); });

  setTabOrder(SearchTerm, SearchBtn);
  setTabOrder(SearchBtn, MenuBtn);
  setTabOrder(MenuBtn, StopBtn);
  for (QObject* control : {static_cast<QObject*>(SearchTerm), static_cast<QObject*>(SearchBtn),
                           static_cast<QObject*>(MenuBtn), static_cast<QObject*>(StopBtn)})
    control->installEventFilter(this);
  SearchTerm->lineEdit()->installEventFilter(this);

  connect(SearchTerm, &QComboBox::editTextChanged, this, [this] { SearchTermChange(); });
  connect(SearchBtn, &QPushButton::clicked, this, [this] { SearchBtnClick(); });
  connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
  connect(MenuBtn, &QPushButton::clicked, this, [this] { MenuBtnClick(); });
  connect(JobManager, &QTimer::timeout, this, [this] { JobManagerTimer(); });
  connect(CursorUpdateTimer, &QTimer::timeout, this, [this] { CursorUpdateTimerTimer(); });
  connect(DrawTimer, &QTimer::timeout, this, [this] { DrawTimerTimer(); });
  LayoutControls();
  for (QTimer* timer : {JobManager, CursorUpdateTimer, DrawTimer}) timer->start();
}

TMainForm::~TMainForm() {
  for (QTimer* timer : {JobManager, CursorUpdateTimer, DrawTimer}) timer->stop();
}

void TMainForm::BuildMainMenu() {
  MenuFilter->setIcon(MainMenuIcon(TMainMenuIcon::Filter));
  static constexpr const char* FilterNames[] = {"FilterWAV", "FilterMIDI", "FilterMMF",
                                                "FilterMP3"};
  for (const TMelodyFormat format : AllFormats) {
    QAction* item =
        NamedAction(*MenuFilter, FilterNames[format],
                    QString::fromLatin1(FormatNames[format].data(),
                                        static_cast<qsizetype>(FormatNames[format].size())));
    item->setData(static_cast<int>(format));
    connect(item, &QAction::triggered, this, [this, format] { MenuFilterClick(format); });
  }
  // The filter and its separator are never shown; they only mirror the format settings.
  MainMenu->addMenu(MenuFilter)->setVisible(false);
  NamedSeparator(*MainMenu, "N1")->setVisible(false);
  QAction* settings = NamedAction(*MainMenu, "MenuSettings", "Settings");
  settings->setIcon(MainMenuIcon(TMainMenuIcon::Settings));
  connect(settings, &QAction::triggered, this, [this] { MenuSettingsClick(); });
  NamedSeparator(*MainMenu, "N2");
  MenuHelp->setIcon(MainMenuIcon(TMainMenuIcon::Help));
  MainMenu->addMenu(MenuHelp);
  QAction* notes = NamedAction(*MenuHelp, "MenuNotes", "Show notes");
  notes->setIcon(MainMenuIcon(TMainMenuIcon::Notes));
  connect(notes, &QAction::triggered, this, [this] { MenuNotesClick(); });
  QAction* license = NamedAction(*MenuHelp, "MenuLicense", "Show license agreement");
  connect(license, &QAction::triggered, this, [this] { MenuLicenseClick(); });
  NamedSeparator(*MenuHelp, "N3");
  QAction* feedback = NamedAction(*MenuHelp, "MenuFeedback", "Send feedback...");
  feedback->setIcon(MainMenuIcon(TMainMenuIcon::Feedback));
  feedback->setEnabled(false);
  connect(feedback, &QAction::triggered, this, [this] { MenuFeedbackClick(); });
  NamedSeparator(*MenuHelp, "N4");
  QAction* about = NamedAction(*MenuHelp, "MenuAbout", "About Chimequest");
  about->setIcon(MainMenuIcon(TMainMenuIcon::About));
  about->setEnabled(false);
  connect(about, &QAction::triggered, this, [this] { MenuAboutClick(); });
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

void TMainForm::LayoutControls() {
  const int dx = width() - DesignWidth;
  const int dy = height() - DesignHeight;
  MenuBtn->setGeometry(24, 16, 25, 25);
  SearchTerm->setGeometry(64, 18, 161 + dx, 21);
  SearchBtn->setGeometry(232 + dx, 16, 97, 25);
  StopBtn->setGeometry(344 + dx, 16, 25, 25);
  FramePanel->setGeometry(16, 56, 361 + dx, 209 + dy);
}

void TMainForm::resizeEvent(QResizeEvent*) {
  LayoutControls();
  PaintBox->ForgetHitRow();
  PaintBox->UpdateScrollBar();
}

void TMainForm::showEvent(QShowEvent*) {
  if (firstShowDone_) return;
  FirstShowLayout();
  // The outer size may not go below 375 x 200, frame included.
  const QSize frame = frameGeometry().size() - size();
  setMinimumSize(375 - frame.width(), 200 - frame.height());
  if (const QScreen* screen = this->screen()) {
    QRect place = frameGeometry();
    place.moveCenter(screen->availableGeometry().center());
    move(place.topLeft());
  }
}

void TMainForm::FirstShowLayout() {
  resize(DesignWidth, DesignHeight);
  LayoutControls();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (StopBtn->isEnabled() || player_->Playing()) StopBtnClick();
  event->accept();
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
  const QCheckBox* formats[] = {Settings()->FormatWAV, Settings()->FormatMIDI,
                                Settings()->FormatMMF, Settings()->FormatMP3};
  const QList<QAction*> filters = MenuFilter->actions();
  for (const TMelodyFormat format : AllFormats)
    filters[format]->setIcon(formats[format]->isChecked() ? FormatMenuIcon(fiFirstFormat + format)
                                                          : QIcon());
  SetCurrentLanguage(Settings()->SelectedLanguage());
  const std::vector<const TSite*>& sites = RegisteredSites();
  for (std::size_t i = 0;
       i < sites.size() && static_cast<int>(i) < Settings()->SearchSites->EntryCount(); ++i)
    Settings()->SearchSites->SetEntryText(static_cast<int>(i), FromCp1251(sites[i]->GetName()));
  SetSearchTermItems(HistoryLines());
  const std::string language = CurrentLanguage();
  // The keys the windows lack reach the language file in one write.
  const TTranslationBurst burst;
  for (QWidget* form :
       {static_cast<QWidget*>(this), static_cast<QWidget*>(Settings()), aboutForm_, feedbackForm_})
    TranslateControls(form, language, "Forms");
  TranslateMenuItems(*MainMenu, language, "MainMenu");
}

void TMainForm::ClearSearchTermList() {
  SetSearchTermItems({});
}

void TMainForm::SetSearchTermItems(const QStringList& items) {
  const QSignalBlocker quiet(SearchTerm);
  const QString text = SearchTerm->currentText();
  SearchTerm->clear();
  SearchTerm->addItems(items);
  SearchTerm->setEditText(text);
}

QStringList TMainForm::HistoryLines() {
  if (Settings() == nullptr) return {};
  const QString text = Settings()->SearchHistory->toPlainText();
  if (text.isEmpty()) return {};
  return text.split('\n');
}

// Search driver

void TMainForm::SearchTermChange() {
  SearchBtn->setEnabled(SearchEnabled(ToCp1251(SearchTerm->currentText())));
}

void TMainForm::SearchBtnClick() {
  if (Settings() == nullptr || !SearchBtn->isEnabled()) return;
  TSearchSettings search;
  for (const QString& line : HistoryLines()) search.History.push_back(ToCp1251(line));
  search.HistoryLimit = Settings()->SearchRecordsUpDown->Position();
  for (int i = 0; i < Settings()->SearchSites->EntryCount(); ++i)
    search.SearchSites.push_back(Settings()->SearchSites->Checked(i));
  search.Updates = Settings()->Updates->isChecked();
  const std::string term = ToCp1251(SearchTerm->currentText());

  const std::vector<std::string>& history = driver_.SearchBtnClick(term, search);
  QStringList lines;
  for (const std::string& line : history) lines << FromCp1251(line);
  Settings()->SearchHistory->setPlainText(lines.join('\n'));
  SetSearchTermItems(lines);
  if (!lines.isEmpty()) {
    const QSignalBlocker quiet(SearchTerm);
    SearchTerm->setEditText(lines.constFirst());
  }
  PaintBox->RefreshResults();
  SearchTerm->setFocus();
}

void TMainForm::StartUpdateCheck() {
  if (startUpdateCheck_) {
    startUpdateCheck_();
    return;
  }
  cq::StartUpdateCheck(std::make_shared<TUpdateBridge>(
      Settings() != nullptr ? Settings()->ShowJobButton : nullptr, desktop_));
}

void TMainForm::StopBtnClick() {
  player_->Stop();
  SearchTerm->setFocus();
}

// Timers

void TMainForm::JobManagerTimer() {
  sitesCollected_ = false;
  driver_.JobManagerTimer();
  if (sitesCollected_) PaintBox->RefreshResults();
}

void TMainForm::RowsCollected(const TJob& job, std::size_t, std::size_t) {
  if (job.Task().Kind == taskSearch) sitesCollected_ = true;
}

void TMainForm::CursorUpdateTimerTimer() {
  StopBtn->setEnabled(player_->Playing());
  if (TSettingsForm* settings = Settings(); settings != nullptr && settings->height() != 481)
    settings->resize(settings->width(), 481);
  if (aboutForm_ != nullptr && aboutForm_->size() != QSize(330, 337)) aboutForm_->resize(330, 337);
  if (!firstShowDone_ && isVisible()) {
    FirstShowLayout();
    firstShowDone_ = true;
  }
}

void TMainForm::DrawTimerTimer() {
  PaintBox->RefreshResults();
}

// Completions of finished transfers

void TMainForm::SaveCompleted(const TJob& job) {
  if (Settings() == nullptr) return;
  SaveDownload(job, {Settings()->DownloadAsk->isChecked(), Settings()->SaveDir->text()}, desktop_);
}

void TMainForm::PlayCompleted(const TJob& job) {
  try {
    if (StopBtn->isEnabled() || player_->Playing()) StopBtnClick();
    const TTask& task = job.Task();
    const QString file =
        PlayableFile(QFile::decodeName(QByteArray::fromStdString(job.FileName())), task.Format);
    if (task.Format == fmMmf) {
      if (player_->ExternalPlayerPath().isEmpty())
        throw std::runtime_error("I can't play MMF files!!!");
      player_->RunExternalPlayer(file);
      // The player may take the front; the list stays where the user works.
      QTimer::singleShot(300, this, [this] { BringToFront(); });
    } else {
      player_->Play(file);
    }
    StopBtn->setEnabled(player_->Playing());
  } catch (const std::exception& error) {
    desktop_.Notice(QString::fromUtf8(error.what()));
  }
}

// Keys and menus

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (enter && (watched == SearchTerm || watched == SearchTerm->lineEdit())) {
    // The search button is the window's default button.
    if (SearchBtn->isEnabled()) SearchBtnClick();
    return true;
  }
  return GenericKeyDown(key->key(), key->modifiers()) || QWidget::eventFilter(watched, event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (!GenericKeyDown(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

bool TMainForm::GenericKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return false;
  const bool listDropped = SearchTerm->view() != nullptr && SearchTerm->view()->isVisible();
  return PaintBox->KeyDown(key, listDropped);
}

void TMainForm::MenuBtnClick() {
  SearchTerm->setFocus();
  popupMenu_(*MainMenu, MenuBtn->mapToGlobal(QPoint(0, MenuBtn->height())));
}

void TMainForm::MenuFilterClick(int tag) {
  if (Settings() == nullptr) return;
  QCheckBox* formats[] = {Settings()->FormatWAV, Settings()->FormatMIDI, Settings()->FormatMMF,
                          Settings()->FormatMP3};
  if (tag < 0 || tag >= static_cast<int>(FormatCount)) return;
  formats[tag]->toggle();
  SaveControlState(*Settings(), false);
  ApplySettings();
}

void TMainForm::MenuSettingsClick() {
  if (Settings() != nullptr) Settings()->Edit();
}

void TMainForm::MenuNotesClick() {
  if (firstStart_ != nullptr) firstStart_->ShowNotes();
}

void TMainForm::MenuLicenseClick() {
  if (firstStart_ != nullptr) firstStart_->ShowLicense();
}

void TMainForm::MenuFeedbackClick() {
  if (showFeedback_) showFeedback_();
}

void TMainForm::MenuAboutClick() {
  if (showAbout_) showAbout_();
}

}  // namespace cq
