#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "core/sites/Sites.h"
#include "core/status/JobStatus.h"
#include "core/transfer/FetchContext.h"

namespace cq {

enum TTaskKind : std::uint8_t {
  taskNone = 0,  // cancelled; dropped when it reaches the head of the queue
  taskSearch = 1,
  taskMelodyPage = 2,
  taskDownload = 3,
  taskPlay = 4,
};

// The identity of a result row, given by the result model and never reused in a run. Tasks and
// jobs are bound to rows by it, so rows with equal keys are served like any other.
using TRowId = std::uint64_t;
inline constexpr TRowId NoRow = 0;

// One unit of work; a plain value, copied into the job that runs it.
struct TTask {
  TTaskKind Kind = taskNone;
  std::string OriginKey;  // ResultKey of the row the task works for
  TRowId OriginRow = NoRow;
  const TSite* Site = nullptr;   // taskSearch
  std::string Term;              // taskSearch
  TMelody Melody;                // taskMelodyPage, taskDownload, taskPlay
  TMelodyFormat Format = fmWav;  // taskDownload, taskPlay
  std::int32_t LinkIndex = 0;    // taskDownload, taskPlay
};

// The queue; index 0 is the head. Main thread only.
using TTaskQueue = std::deque<TTask>;

inline constexpr std::size_t JobSlotCount = 5;

// "Something the result view shows has changed": set by jobs, the manager and the search driver,
// cleared by the view's refresh. Shared with job threads, so it outlives whoever made it.
using TChangedFlag = std::atomic<bool>;

// Lets the manager's owner sleep until a job finishes, instead of a whole step interval.
class TFinishSignal {
 public:
  void Notify();
  // Waits until a job has finished since the last call, or until the timeout; true when one did.
  bool Wait(std::chrono::milliseconds timeout);

 private:
  std::mutex lock_;
  std::condition_variable finished_;
  std::uint64_t count_ = 0;
  std::uint64_t seen_ = 0;
};

// One site operation on a thread of its own.
//
// Lifetime: the job is held by shared_ptr, one reference in its slot and one in its thread. A
// job the manager forgets (a new search, or the manager's end) is freed by its own thread when
// the work ends, so nobody ever waits for a job and no thread touches a freed one. What a thread
// touches besides its job is held the same way (the changed flag, the finish signal) or lives for
// the whole run (the sites: a program keeps its registry until exit; a test's fake site must
// outlive the jobs that use it, which the test counts through the job manager's job factory).
//
// Threads: the job thread writes the results, then publishes jsFinished with a release store;
// the main thread reads the results only after an acquire load has seen jsFinished. The task and
// the time limits are written before the thread starts and read-only until then.
class TJob {
 public:
  // Every fetch of the job keeps to `timeouts`, which its owner chose.
  TJob(TTask task, std::shared_ptr<TChangedFlag> changed, std::shared_ptr<TFinishSignal> finished,
       TFetchTimeouts timeouts = {});
  TJob(const TJob&) = delete;
  TJob& operator=(const TJob&) = delete;

  // Starts the job on a detached thread at idle priority. A thread that cannot be created
  // finishes the job at once with the system's message.
  static void Start(const std::shared_ptr<TJob>& job);
  // Asks the job to stop; the work sees it at its next progress report.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }

  // Any thread, any time (painting).
  TJobStatus Status() const { return status_.load(std::memory_order_acquire); }
  double Progress() const { return progress_.load(std::memory_order_relaxed); }
  bool Finished() const { return Status() == jsFinished; }

  // The job's own copy of the task; after jsFinished a melody page task's melody holds the page.
  const TTask& Task() const { return task_; }
  // Only once Finished() has been seen.
  const std::string& ErrorText() const { return errorText_; }
  const TMelodyList& Melodies() const { return melodies_; }
  const std::string& FileName() const { return fileName_; }

  // The progress callback handed to the site operations: stores status and progress, marks the
  // results changed, and answers the stop request. The only place a job looks at it.
  bool JobProgress(TJobStatus status, double progress);

  // The thread body; public so tests can run a job on their own thread.
  void Execute();

 private:
  void Run();
  void Finish();

  TTask task_;
  TFetchTimeouts timeouts_;
  std::atomic<TJobStatus> status_{jsWaiting};
  std::atomic<double> progress_{0.0};
  std::atomic<bool> stop_{false};
  std::string errorText_;
  TMelodyList melodies_;
  std::string fileName_;
  std::shared_ptr<TChangedFlag> changed_;
  std::shared_ptr<TFinishSignal> finished_;
};

}  // namespace cq
