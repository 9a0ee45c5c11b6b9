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
  QString AskSaveFileName(const QString& filter, const QString&, const QString& name) override {
    saveFilters << filter;
    saveNames << name;
    return saveAnswer;
  }
  bool OpenUrl(const QUrl& url) override {
    opened << url.toString();
    return true;
  }

  QStringList notices;
  QStringList questions;
  std::deque<bool> answers;
  QStringList saveFilters;
  QStringList saveNames;
  QString saveAnswer;
  QStringList opened;
};

}  // namespace cq::test
