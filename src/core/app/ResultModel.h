#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/jobs/JobManager.h"
#include "core/jobs/Jobs.h"
#include "core/sites/ShortString.h"
#include "core/sites/Sites.h"

namespace cq {

enum TResultKind : std::uint8_t { rkSite = 0, rkMelody = 1 };

// One row of the list; a plain value.
struct TResult {
  TResultKind Kind = rkSite;
  const TSite* Site = nullptr;  // site rows; a melody row reaches its site through its melody
  TMelody Melody;
  const TJob* Job = nullptr;  // the job working for the row, owned by its slot
  bool Waiting = false;       // a task for the row is queued and no job has taken it yet
  ShortString ErrorText;      // the last failed job's message
};

// Site row: the site's name. Melody row: site name - title - page address.
std::string ResultKey(const TResult& row);

// The rows in screen order, each with an identity of its own (TRowId) that tasks and jobs are
// bound to. Ids live beside the rows, so finding a row by id never touches the rows themselves.
// Main thread only, except the changed flag.
class TResultModel {
 public:
  TResultModel();

  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }
  const TResult& operator[](std::size_t index) const { return rows_[index]; }
  TResult& Row(std::size_t index) { return rows_[index]; }
  TRowId IdAt(std::size_t index) const { return ids_[index]; }

  TRowId Append(TResult row);
  // Replaces row `index` by `rows`, the first of them taking its place; answers their ids.
  std::vector<TRowId> Replace(std::size_t index, std::vector<TResult> rows);
  void Clear();

  // The row with that identity, or -1.
  long Find(TRowId id) const;
  // The last row whose key is `key`, or -1. Computes every row's key: not for timer paths.
  long FindLastByKey(const std::string& key) const;

  // ResultsChanged; shared with the job threads, which set it on every progress report.
  const std::shared_ptr<TChangedFlag>& ChangedFlag() const { return changed_; }
  void MarkChanged() { changed_->store(true, std::memory_order_relaxed); }
  // Reads and clears the flag (the view's refresh).
  bool TakeChanged() { return changed_->exchange(false, std::memory_order_relaxed); }

 private:
  std::vector<TResult> rows_;
  std::vector<TRowId> ids_;
  TRowId nextId_ = NoRow + 1;
  std::shared_ptr<TChangedFlag> changed_ = std::make_shared<TChangedFlag>(false);
};

// The index of the row `job` works for, or -1. Jobs are bound to rows by the row's identity, so a
// job whose row shares its key with another row is still found.
long FindResultByJob(const TResultModel& results, const TJob& job);

// Completions of finished transfers, carried out on the main thread by the program.
class TJobSink {
 public:
  virtual ~TJobSink() = default;
  // A download or play job finished without error; its FileName() is the cache file.
  virtual void SaveCompleted(const TJob& job) = 0;
  virtual void PlayCompleted(const TJob& job) = 0;
  // A search, page or failed job changed rows [first, first + count) (count 0: a search that
  // found nothing removed its row). For observers such as the command line; the program's view
  // follows the changed flag instead.
  virtual void RowsCollected(const TJob& job, std::size_t first, std::size_t count);
};

// The row life rules the job manager carries out: binding a job to its row when it takes the
// task, and applying a finished job's outcome to that row.
class TResultJobRules : public TJobTarget {
 public:
  TResultJobRules(TResultModel& results, TTaskQueue& tasks, TJobSink& sink)
      : results_(results), tasks_(tasks), sink_(sink) {}

  // Off: a finished search queues no melody-page tasks (a search that does not read pages).
  void SetLoadPages(bool on) { loadPages_ = on; }

  bool BindJob(const TJob& job) override;
  void CollectJob(const TJob& job) override;

 private:
  void InsertMelodies(std::size_t index, const TJob& job);

  TResultModel& results_;
  TTaskQueue& tasks_;
  TJobSink& sink_;
  bool loadPages_ = true;
};

// The hidden list that mirrors the row keys as of the last refresh; a click passes its row
// index through it, and an index it does not hold yet selects nothing.
class TKeyMirror {
 public:
  void Refresh(const TResultModel& results);
  // The mirror's selected index after selecting `index`: -1 when it holds no such item.
  long Select(long index) const;
  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
};

// Set when a format menu opens on a row, read by its actions.
struct TFormatMenuContext {
  TMelodyFormat Format = fmWav;
  std::string Key;
  TRowId Row = NoRow;
  TMelody Melody;
};

// Raises the clicked melody's page task to the head of the queue: the row must be a melody row
// whose page is neither read nor being read; its queued tasks are cancelled and a new page task
// goes first. `mirrorIndex` is the mirror's selected index (-1: nothing).
void ResultListClick(TResultModel& results, TTaskQueue& tasks, long mirrorIndex);

// Download and play requests from the format menu: the row waits and the task goes first.
void RequestTransfer(TResultModel& results, TTaskQueue& tasks, const TFormatMenuContext& menu,
                     TTaskKind kind, int linkIndex);

}  // namespace cq
