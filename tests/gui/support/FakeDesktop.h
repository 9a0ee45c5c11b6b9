#pragma once

#include <QStringList>
#include <QUrl>
#include <deque>

#include "gui/common/Desktop.h"

namespace cq::test {

// Scripted answers; records every question, notice and address.
class TFakeDesktop : public TDesktop {
 public:
  void Notice(const QString& text) override { notices << text; }
  bool AskYesNo(const QString& question) override {
    questions << question;
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void AskYesNoLater(const QString& question, std::function<void(bool)> answered) override {
    answered(AskYesNo(question));
  }
  void AskEitherLater(const QString& question, const QString&, const QString&,
                      std::function<void(bool)> answered) override {
    answered(AskYesNo(question));
  }
  QString AskSaveFileName(const QString& title, const QString& filter, const QString& folder,
                          const QString& name) override {
    saveDialogs << QStringList{title, filter, folder, name};
    return saveAnswer;
  }
  void ShowAddress(const QString& address) override { notices << address; }
  bool OpenFolder(const QString& folder) override {
    opened << folder;
    return true;
  }
  bool OpenUrl(const QUrl& url) override {
    opened << url.toString();
    return true;
  }
  bool HasSoundOutput() override { return soundOutput; }

  QStringList notices;
  QStringList questions;
  std::deque<bool> answers;
  QList<QStringList> saveDialogs;  // title, filter, folder and name of each
  QString saveAnswer;
  QStringList opened;
  bool soundOutput = true;
};

}  // namespace cq::test
