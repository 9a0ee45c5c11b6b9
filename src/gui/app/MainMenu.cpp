// The main window's menu, its shortcuts and the keys it passes to the result view.
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "gui/app/Images.h"
#include "gui/app/MainForm.h"
#include "gui/app/ResultView.h"
#include "gui/app/RowTraits.h"
#include "gui/config/FirstStartForm.h"

namespace cq {

namespace {

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

}  // namespace

void TMainForm::BuildMainMenu() {
  MenuFilter->setIcon(MainMenuIcon(TMainMenuIcon::Filter));
  static constexpr const char* FilterNames[] = {"FilterWAV", "FilterMIDI", "FilterMMF",
                                                "FilterMP3"};
  for (const TMelodyFormat format : AllFormats) {
    QAction* item = NamedAction(*MenuFilter, FilterNames[format], FormatMenuCaptions[format]);
    item->setData(static_cast<int>(format));
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, format] { MenuFilterClick(format); });
  }
  // The filter mirrors the settings' format boxes: a format unchecked leaves the list.
  MainMenu->addMenu(MenuFilter);
  NamedSeparator(*MainMenu, "N1");
  QAction* settings = NamedAction(*MainMenu, "MenuSettings", "&Settings");
  settings->setIcon(MainMenuIcon(TMainMenuIcon::Settings));
  connect(settings, &QAction::triggered, this, [this] { MenuSettingsClick(); });
  NamedSeparator(*MainMenu, "N2");
  MenuHelp->setIcon(MainMenuIcon(TMainMenuIcon::Help));
  MainMenu->addMenu(MenuHelp);
  QAction* notes = NamedAction(*MenuHelp, "MenuNotes", "Show &notes");
  notes->setIcon(MainMenuIcon(TMainMenuIcon::Notes));
  connect(notes, &QAction::triggered, this, [this] { MenuNotesClick(); });
  QAction* license = NamedAction(*MenuHelp, "MenuLicense", "Show &license agreement");
  connect(license, &QAction::triggered, this, [this] { MenuLicenseClick(); });
  NamedSeparator(*MenuHelp, "N3");
  QAction* feedback = NamedAction(*MenuHelp, "MenuFeedback", "Send &feedback...");
  feedback->setIcon(MainMenuIcon(TMainMenuIcon::Feedback));
  feedback->setEnabled(false);
  connect(feedback, &QAction::triggered, this, [this] { MenuFeedbackClick(); });
  NamedSeparator(*MenuHelp, "N4");
  QAction* about = NamedAction(*MenuHelp, "MenuAbout", "&About Chimequest");
  about->setIcon(MainMenuIcon(TMainMenuIcon::About));
  about->setEnabled(false);
  connect(about, &QAction::triggered, this, [this] { MenuAboutClick(); });
}

void TMainForm::AddShortcuts() {
  const auto add = [this](QKeySequence keys, const std::function<void()>& action) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  add(QKeySequence(Qt::CTRL | Qt::Key_Comma), [this] { MenuSettingsClick(); });
  add(QKeySequence(Qt::Key_F1), [this] { MenuNotesClick(); });
  add(QKeySequence(Qt::Key_Escape), [this] { CancelSearch(); });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (IsRowMenuKey(*key) && PaintBox->OpenRowMenu()) return true;
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (enter && (watched == SearchTerm || watched == SearchTerm->lineEdit())) {
    // The search button is the window's default button; Enter always searches anew.
    SearchBtnClick();
    return true;
  }
  return GenericKeyDown(key->key(), key->modifiers()) || QWidget::eventFilter(watched, event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (IsRowMenuKey(*event) && PaintBox->OpenRowMenu()) return;
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
  if (tag < 0 || tag >= static_cast<int>(FormatCount)) return;
  Settings()->ToggleFormat(static_cast<TMelodyFormat>(tag));
  Settings()->SaveSettings();
  ApplySettings();
}

void TMainForm::MenuSettingsClick() {
  CursorUpdateTimer->start();
  if (Settings() != nullptr) Settings()->Edit();
}

void TMainForm::MenuNotesClick() {
  CursorUpdateTimer->start();
  if (firstStart_ != nullptr) firstStart_->ShowNotes();
}

void TMainForm::MenuLicenseClick() {
  CursorUpdateTimer->start();
  if (firstStart_ != nullptr) firstStart_->ShowLicense();
}

void TMainForm::MenuFeedbackClick() {
  CursorUpdateTimer->start();
  if (showFeedback_) showFeedback_();
}

void TMainForm::MenuAboutClick() {
  CursorUpdateTimer->start();
  if (showAbout_) showAbout_();
}

}  // namespace cq
