#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/app/SearchDriver.h"
#include "gui/config/SettingsForm.h"

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTimer;

namespace cq {

class TDesktop;
class TFileDropPanel;
class TFirstStartForm;
class TPlayer;
class TResultView;

// The main window: the search box with its buttons above the result view. Its three timers run
// the job manager, follow playback and refresh the view. Main thread only.
class TMainForm : public QWidget, public TSettingsHost, public TJobSink {
  Q_OBJECT

  // First: the components below are built on them.
  TDesktop& desktop_;
  TSearchDriver driver_;

 public:
  // `sites` in settings order; `externalPlayer` is the MMF player found at start-up (or empty).
  TMainForm(std::vector<const TSite*> sites, TDesktop& desktop, const QString& externalPlayer,
            QWidget* parent = nullptr);
  ~TMainForm() override;

  // The other windows, created after this one (in start-up order).
  void SetFirstStartForm(TFirstStartForm* form) { firstStart_ = form; }
  // The settings dialog is this window's child (it applies the settings while it is created).
  void SetSettingsForm(TSettingsForm* form) { settings_ = form; }
  TSettingsForm* Settings();
  // The About and feedback dialogs: translated with the others, shown from the Help menu. Until
  // a handler is set, its menu item is disabled.
  void SetAboutForm(QWidget* form, std::function<void()> show);
  void SetFeedbackForm(QWidget* form, std::function<void()> show);
  // Starts the update checker (the first search while automatic checks are on).
  void SetUpdateStarter(std::function<void()> start) { startUpdateCheck_ = std::move(start); }
  // Shows pop-up menus; QMenu::exec unless a test replaces it.
  void SetPopupMenu(std::function<void(QMenu&, QPoint)> popup);
  // The MMF player, sought once the window shows (empty: MMF is not played).
  void SetExternalPlayer(const QString& path);

  // TSettingsHost
  void ApplySettings() override;
  void ShowSearchHistory() override;
  void Notice(const QString& text) override;

  // TJobSink: a finished download is saved, a finished play request plays.
  void SaveCompleted(const TJob& job) override;
  void PlayCompleted(const TJob& job) override;
  // A site's melodies are shown by the step that brings them, not at the next draw.
  void RowsCollected(const TJob& job, std::size_t first, std::size_t count) override;

  void SearchTermChange();
  void SearchBtnClick();
  void StopBtnClick();
  // Escape, or the Search button while it reads "Stop": the running search stops.
  void CancelSearch();
  void MenuBtnClick();
  void MenuFilterClick(int tag);
  void MenuSettingsClick();
  void MenuNotesClick();
  void MenuLicenseClick();
  void MenuFeedbackClick();
  void MenuAboutClick();
  // The keys of the result view, from the search box, the buttons and the window. Answers true
  // when the key is consumed.
  bool GenericKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // Closes even while downloads run (the system ends the program).
  void CloseWithoutAsking();
  // Brings the window to the front (a second start asked for it).
  void BringToFront();

  // The timers' ticks.
  void JobManagerTimer();
  void CursorUpdateTimerTimer();
  void DrawTimerTimer();

  TSearchDriver& Driver() { return driver_; }
  TPlayer& Player() { return *player_; }
  bool FirstShowDone() const { return firstShowDone_; }

  // The components, named as in the language file.
  QPushButton* const MenuBtn;
  QComboBox* const SearchTerm;
  QPushButton* const SearchBtn;
  QPushButton* const StopBtn;
  QFrame* const FramePanel;
  TFileDropPanel* const HostPanel;
  QScrollBar* const ScrollBar;
  TResultView* const PaintBox;
  QLabel* const SearchCount;  // what the last search found, under the list
  QLabel* const SavedNote;    // the file saved last, with a link to its folder
  QMenu* const MainMenu;
  QMenu* const MenuFilter;
  QMenu* const MenuHelp;
  QTimer* const JobManager;
  QTimer* const CursorUpdateTimer;
  QTimer* const DrawTimer;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMainMenu();
  void AddShortcuts();
  void TranslateHints();
  void UpdateSearchState();
  void LayoutControls();
  void FirstShowLayout();
  void SetSearchTermItems(const QStringList& items);
  QStringList HistoryLines();
  void StartUpdateCheck();
  void ShowSaved(const QString& file);
  // Downloads queued or running.
  std::size_t DownloadCount();
  void CloseOnceDownloadsEnd();

  TPlayer* player_;
  TFirstStartForm* firstStart_ = nullptr;
  QPointer<TSettingsForm> settings_;
  QWidget* aboutForm_ = nullptr;
  QWidget* feedbackForm_ = nullptr;
  std::function<void()> showAbout_;
  std::function<void()> showFeedback_;
  std::function<void()> startUpdateCheck_;
  std::function<void(QMenu&, QPoint)> popupMenu_;
  bool firstShowDone_ = false;
  bool placeRestored_ = false;  // the window came up where it was last closed
  bool sitesCollected_ = false;
  QString savedFolder_;
  bool askingToQuit_ = false;
  bool quitAfterDownloads_ = false;
  bool quitNow_ = false;
  // What UpdateSearchState last showed: running, and the melodies counted.
  std::pair<bool, std::size_t> shownSearch_{false, 0};
};

}  // namespace cq
