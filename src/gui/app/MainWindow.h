#pragma once
// The main window with its first-start and settings dialogs, wired the one way the program, the
// tools and the tests all need.
#include <QString>
#include <memory>

#include "gui/app/MainForm.h"
#include "gui/config/FirstStartForm.h"
#include "gui/config/SettingsForm.h"

namespace cq {

class TDesktop;
class TSiteRegistry;

class TMainWindow {
 public:
  // `sites` must outlast the window and every job it starts.
  TMainWindow(const TSiteRegistry& sites, TDesktop& desktop, const QString& externalPlayer);
  // The settings are stored and the cache pruned before the window goes.
  ~TMainWindow();
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

  // Restores the settings, runs the first start when the store is empty, and applies them to
  // the window; the other dialogs the settings reach must be attached before.
  void RestoreSettings();

  TMainForm& Form() { return form_; }
  TFirstStartForm& FirstStart() { return firstStart_; }
  TSettingsForm& Settings() { return *settings_; }

 private:
  const TSiteRegistry& sites_;
  TMainForm form_;
  TFirstStartForm firstStart_;
  std::unique_ptr<TSettingsForm> settings_;
};

}  // namespace cq
