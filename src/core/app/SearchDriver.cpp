#include "core/app/SearchDriver.h"

#include "core/platform/Text.h"

namespace cq {

bool SearchEnabled(std::string_view term) {
  return term.size() >= MinSearchTermLength;
}

void RecordSearchTerm(std::vector<std::string>& history, const std::string& term, int limit) {
  const std::string upper = UpperLatin(term);
  std::erase_if(history, [&upper](const std::string& line) { return UpperLatin(line) == upper; });
  history.insert(history.begin(), term);
  const auto keep = static_cast<std::size_t>(limit < 0 ? 0 : limit);
  if (history.size() > keep) history.resize(keep);
}

TSearchDriver::TSearchDriver(std::vector<const TSite*> sites, TJobSink& sink,
                             std::function<void()> startUpdateCheck, TJobFactory makeJob)
    : sites_(std::move(sites)),
      startUpdateCheck_(std::move(startUpdateCheck)),
      rules_(results_, tasks_, sink),
      manager_(rules_, tasks_, results_.ChangedFlag(), std::move(makeJob)) {}

const std::vector<std::string>& TSearchDriver::SearchBtnClick(const std::string& term,
                                                              TSearchSettings& settings) {
  RecordSearchTerm(settings.History, term, settings.HistoryLimit);
  manager_.DropTasks();
  manager_.AbandonJobs();
  results_.Clear();
  term_ = term;
  sitesSearched_ = 0;
  for (std::size_t i = 0; i < sites_.size(); ++i) {
    if (i >= settings.SearchSites.size() || !settings.SearchSites[i]) continue;
    TResult row;
    row.Kind = rkSite;
    row.Site = sites_[i];
    row.Waiting = true;
    TTask task;
    task.Kind = taskSearch;
    task.OriginKey = ResultKey(row);
    task.OriginRow = results_.Append(std::move(row));
    task.Site = sites_[i];
    task.Term = term;
    tasks_.push_back(std::move(task));
    ++sitesSearched_;
  }
  results_.MarkChanged();
  Work();
  if (settings.Updates) StartUpdateCheckOnce();
  return settings.History;
}

bool TSearchDriver::Searching() const {
  const auto searchWork = [](TTaskKind kind) {
    return kind == taskSearch || kind == taskMelodyPage;
  };
  for (const TTask& task : tasks_)
    if (searchWork(task.Kind)) return true;
  for (std::size_t slot = 0; slot < JobSlotCount; ++slot)
    if (const TJob* job = manager_.Slot(slot); job != nullptr && searchWork(job->Task().Kind))
      return true;
  return false;
}

void TSearchDriver::CancelSearch() {
  manager_.DropTasks();
  manager_.AbandonJobs();
  for (std::size_t i = 0; i < results_.size(); ++i) {
    results_.Row(i).Waiting = false;
    results_.Row(i).Job = nullptr;
  }
  results_.MarkChanged();
}

std::size_t TSearchDriver::MelodyCount() const {
  std::size_t count = 0;
  for (std::size_t i = 0; i < results_.size(); ++i)
    if (results_[i].Kind == rkMelody) ++count;
  return count;
}

void TSearchDriver::StartUpdateCheckOnce() {
  if (updateCheckStarted_) return;
  updateCheckStarted_ = true;
  if (startUpdateCheck_) startUpdateCheck_();
}

bool TSearchDriver::RefreshResults() {
  if (!results_.TakeChanged()) return false;
  mirror_.Refresh(results_);
  return true;
}

void TSearchDriver::SelectRow(long index) {
  const bool valid = index >= 0 && static_cast<std::size_t>(index) < results_.size();
  selectedKey_ = valid ? ResultKey(results_[static_cast<std::size_t>(index)]) : std::string();
}

long TSearchDriver::SelectedRow() const {
  return selectedKey_.empty() ? -1 : results_.FindLastByKey(selectedKey_);
}

void TSearchDriver::ClickRow(long index) {
  SelectRow(index);
  if (index < 0) return;
  ResultListClick(results_, tasks_, mirror_.Select(index));
  Work();
}

void TSearchDriver::OpenFormatMenu(std::size_t index, TMelodyFormat format) {
  formatMenu_.Format = format;
  formatMenu_.Key = ResultKey(results_[index]);
  formatMenu_.Row = results_.IdAt(index);
  formatMenu_.Melody = results_[index].Melody;
}

void TSearchDriver::MenuDownloadClick(int linkIndex) {
  RequestTransfer(results_, tasks_, formatMenu_, taskDownload, linkIndex);
  Work();
}

void TSearchDriver::MenuPlayClick(int linkIndex) {
  RequestTransfer(results_, tasks_, formatMenu_, taskPlay, linkIndex);
  Work();
}

}  // namespace cq
