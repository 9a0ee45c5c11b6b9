#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/ClickLock.h"
#include "core/app/ResultModel.h"
#include "core/jobs/JobManager.h"

namespace cq {

// The settings a search reads, as the settings dialog holds them.
struct TSearchSettings {
  std::vector<std::string> History;  // newest first
  int HistoryLimit = 20;
  std::vector<bool> SearchSites;  // by position in the site list; missing entries are unchecked
  bool Updates = true;            // check for updates automatically
};

inline constexpr std::size_t MinSearchTermLength = 3;

// Whether the Search button is enabled for this term.
bool SearchEnabled(std::string_view term);

// Puts `term` at the top of the history: equal lines go first (upper-casing only the Latin
// letters), then the list is cut to `limit` lines.
void RecordSearchTerm(std::vector<std::string>& history, const std::string& term, int limit);

// The main window's rules without its widgets: the search, the job manager's tick, the
// selection, the click on a row and the format menu's requests. Main thread only.
class TSearchDriver {
 public:
  // `sites` is the site list in settings order; `startUpdateCheck` starts the update checker;
  // `makeJob` makes the job for each task started, and so sets the time limits of its fetches.
  TSearchDriver(std::vector<const TSite*> sites, TJobSink& sink,
                std::function<void()> startUpdateCheck, TJobFactory makeJob = JobFactory());

  // Told whenever work is queued, so that whoever runs the job manager's ticks starts them.
  void SetOnWork(std::function<void()> onWork) { onWork_ = std::move(onWork); }

  TResultModel& Results() { return results_; }
  const TResultModel& Results() const { return results_; }
  TTaskQueue& Tasks() { return tasks_; }
  TJobManager& Manager() { return manager_; }
  TResultJobRules& Rules() { return rules_; }
  TClickLock& ClickLock() { return clickLock_; }
  const TKeyMirror& KeyMirror() const { return mirror_; }

  // The Search button: records the term in settings.History, drops every queued task, abandons
  // every running job, and puts a site row and a search task for each checked site; the view
  // then refreshes at once. Answers the history, which the search box's list shows.
  const std::vector<std::string>& SearchBtnClick(const std::string& term,
                                                 TSearchSettings& settings);
  // A search or the reading of its melody pages is queued or running.
  bool Searching() const;
  // Stops the search as a new one would (queued tasks dropped, running jobs abandoned) but
  // keeps the rows, none of them waiting any more; a page not read yet is read when clicked.
  void CancelSearch();
  // The last search's term and how many sites it asked.
  const std::string& Term() const { return term_; }
  std::size_t SitesSearched() const { return sitesSearched_; }
  std::size_t MelodyCount() const;

  // Starts the update checker on the first call only.
  void StartUpdateCheckOnce();
  bool UpdateCheckStarted() const { return updateCheckStarted_; }

  // The JobManager timer's tick; false when the click lock made it skip.
  bool JobManagerTimer() { return cq::JobManagerTimer(clickLock_, manager_); }
  // The model half of the view's refresh: when the rows changed, brings the key mirror up to
  // date, clears the flag and answers true (the view then repaints).
  bool RefreshResults();

  const std::string& SelectedKey() const { return selectedKey_; }
  // Selects row `index` by its key; -1 clears the selection.
  void SelectRow(long index);
  // The selected row: the last row whose key is the selected key, or -1.
  long SelectedRow() const;
  // A press on row `index` of the view: selects it and raises its page task through the mirror.
  void ClickRow(long index);

  void OpenFormatMenu(std::size_t index, TMelodyFormat format);
  const TFormatMenuContext& FormatMenu() const { return formatMenu_; }
  void MenuDownloadClick(int linkIndex);
  void MenuPlayClick(int linkIndex);

 private:
  std::vector<const TSite*> sites_;
  std::function<void()> startUpdateCheck_;
  std::function<void()> onWork_;
  TResultModel results_;
  TTaskQueue tasks_;
  TResultJobRules rules_;
  TJobManager manager_;  // after the rows and the queue: its end abandons its jobs first
  TClickLock clickLock_;
  TKeyMirror mirror_;
  std::string selectedKey_;
  TFormatMenuContext formatMenu_;
  void Work() const {
    if (onWork_) onWork_();
  }
  bool updateCheckStarted_ = false;
  std::string term_;
  std::size_t sitesSearched_ = 0;
};

}  // namespace cq
