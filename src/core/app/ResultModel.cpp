#include "core/app/ResultModel.h"

#include <algorithm>
#include <iterator>

namespace cq {

std::string ResultKey(const TResult& row) {
  if (row.Kind == rkSite) return row.Site != nullptr ? row.Site->GetName() : std::string();
  std::string key = row.Melody.Site != nullptr ? row.Melody.Site->GetName() : std::string();
  key += " - ";
  key += row.Melody.Title.view();
  key += " - ";
  key += row.Melody.PageURL.view();
  return key;
}

TResultModel::TResultModel() = default;

TRowId TResultModel::Append(TResult row) {
  rows_.push_back(std::move(row));
  ids_.push_back(nextId_);
  return nextId_++;
}

std::vector<TRowId> TResultModel::Replace(std::size_t index, std::vector<TResult> rows) {
  std::vector<TRowId> ids(rows.size());
  for (TRowId& id : ids) id = nextId_++;
  const auto at = static_cast<std::ptrdiff_t>(index);
  rows_.erase(rows_.begin() + at);
  ids_.erase(ids_.begin() + at);
  rows_.insert(rows_.begin() + at, std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  ids_.insert(ids_.begin() + at, ids.begin(), ids.end());
  return ids;
}

void TResultModel::Clear() {
  rows_.clear();
  ids_.clear();
}

long TResultModel::Find(TRowId id) const {
  // The ids lie packed beside the rows: this scan never touches a row, let alone its key.
  for (std::size_t i = ids_.size(); i-- > 0;) {
    if (ids_[i] == id) return static_cast<long>(i);
  }
  return -1;
}

long TResultModel::FindLastByKey(const std::string& key) const {
  for (std::size_t i = rows_.size(); i-- > 0;) {
    if (ResultKey(rows_[i]) == key) return static_cast<long>(i);
  }
  return -1;
}

long FindResultByJob(const TResultModel& results, const TJob& job) {
  return results.Find(job.Task().OriginRow);
}

void TJobSink::RowsCollected(const TJob&, std::size_t, std::size_t) {}

bool TResultJobRules::BindJob(const TJob& job) {
  const long index = results_.Find(job.Task().OriginRow);
  if (index < 0) return false;
  TResult& row = results_.Row(static_cast<std::size_t>(index));
  row.Job = &job;
  row.Waiting = false;
  results_.MarkChanged();
  return true;
}

void TResultJobRules::CollectJob(const TJob& job) {
  results_.MarkChanged();
  const long found = FindResultByJob(results_, job);
  if (found < 0) return;
  const auto index = static_cast<std::size_t>(found);
  TResult& row = results_.Row(index);
  // Another request for the same row may have started later and now owns it.
  if (row.Job == &job) row.Job = nullptr;
  if (!job.ErrorText().empty()) {
    row.ErrorText = job.ErrorText();
    sink_.RowsCollected(job, index, 1);
    return;
  }
  // A later success clears the error an earlier attempt left on the row.
  row.ErrorText = "";
  switch (job.Task().Kind) {
    case taskSearch:
      InsertMelodies(index, job);
      break;
    case taskMelodyPage:
      row.Melody = job.Task().Melody;
      sink_.RowsCollected(job, index, 1);
      break;
    case taskDownload:
      sink_.SaveCompleted(job);
      break;
    case taskPlay:
      sink_.PlayCompleted(job);
      break;
    case taskNone:
      break;
  }
}

void TResultJobRules::InsertMelodies(std::size_t index, const TJob& job) {
  const TMelodyList& melodies = job.Melodies();
  std::vector<TResult> rows(melodies.size());
  for (std::size_t i = 0; i < melodies.size(); ++i) {
    rows[i].Kind = rkMelody;
    rows[i].Melody = melodies[i];
    rows[i].Waiting = loadPages_ && !melodies[i].Processed;
  }
  const std::vector<TRowId> ids = results_.Replace(index, std::move(rows));
  if (loadPages_) {
    for (std::size_t i = 0; i < melodies.size(); ++i) {
      if (melodies[i].Processed) continue;
      TTask task;
      task.Kind = taskMelodyPage;
      task.OriginKey = ResultKey(results_[index + i]);
      task.OriginRow = ids[i];
      task.Melody = melodies[i];
      tasks_.push_back(std::move(task));
    }
  }
  sink_.RowsCollected(job, index, melodies.size());
}

void TKeyMirror::Refresh(const TResultModel& results) {
  if (items_.size() < results.size()) items_.resize(results.size());
  for (std::size_t i = 0; i < results.size(); ++i) items_[i] = ResultKey(results[i]);
}

long TKeyMirror::Select(long index) const {
  return index >= 0 && static_cast<std::size_t>(index) < items_.size() ? index : -1;
}

void ResultListClick(TResultModel& results, TTaskQueue& tasks, long mirrorIndex) {
  // The mirror may hold left-over items beyond the rows.
  if (mirrorIndex < 0 || static_cast<std::size_t>(mirrorIndex) >= results.size()) return;
  const auto index = static_cast<std::size_t>(mirrorIndex);
  TResult& row = results.Row(index);
  if (row.Kind == rkSite || row.Melody.Processed || row.Job != nullptr) return;
  const TRowId id = results.IdAt(index);
  for (TTask& task : tasks) {
    if (task.OriginRow == id) task.Kind = taskNone;
  }
  TTask task;
  task.Kind = taskMelodyPage;
  task.OriginKey = ResultKey(row);
  task.OriginRow = id;
  task.Melody = row.Melody;
  tasks.push_front(std::move(task));
  row.Waiting = true;
  results.MarkChanged();
}

void RequestTransfer(TResultModel& results, TTaskQueue& tasks, const TFormatMenuContext& menu,
                     TTaskKind kind, int linkIndex) {
  const long index = results.Find(menu.Row);
  if (index >= 0) {
    results.Row(static_cast<std::size_t>(index)).Waiting = true;
    results.MarkChanged();
  }
  TTask task;
  task.Kind = kind;
  task.OriginKey = menu.Key;
  task.OriginRow = menu.Row;
  task.Melody = menu.Melody;
  task.Format = menu.Format;
  task.LinkIndex = linkIndex;
  tasks.push_front(std::move(task));
}

}  // namespace cq
