#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>

#include "core/jobs/Jobs.h"

namespace cq {

// What the manager asks of the rows it works for (the result model answers).
class TJobTarget {
 public:
  virtual ~TJobTarget() = default;
  // A job is taking its task: binds it to the task's row. False when that row is gone; the task
  // is then dropped and no job starts.
  virtual bool BindJob(const TJob& job) = 0;
  // A finished job's outcome, applied before the job is freed.
  virtual void CollectJob(const TJob& job) = 0;
};

// Makes the job that runs a task; tests hand the manager one that counts its jobs.
using TJobFactory = std::function<std::shared_ptr<TJob>(
    TTask task, std::shared_ptr<TChangedFlag> changed, std::shared_ptr<TFinishSignal> finished)>;
// Makes plain jobs whose fetches keep to `timeouts`: the owner's choice travels with each job.
TJobFactory JobFactory(TFetchTimeouts timeouts = {});

// The main-thread half of the job system: the queue, the five slots and the step that moves
// work between them. Everything here runs on the main thread.
class TJobManager {
 public:
  // `tasks` is the queue it serves (its owner outlives it); `changed` is the result model's flag,
  // which every job gets too; `makeJob` makes the job for each task it starts.
  TJobManager(TJobTarget& target, TTaskQueue& tasks, std::shared_ptr<TChangedFlag> changed,
              TJobFactory makeJob = JobFactory());
  // Asks every running job to stop and forgets it; never waits (see TJob for who frees them).
  ~TJobManager();
  TJobManager(const TJobManager&) = delete;
  TJobManager& operator=(const TJobManager&) = delete;

  TTaskQueue& Tasks() { return tasks_; }
  const TTaskQueue& Tasks() const { return tasks_; }
  const TJob* Slot(std::size_t index) const { return slots_[index].get(); }
  std::size_t BusySlots() const;
  // Nothing queued and no job in a slot.
  bool Idle() const { return tasks_.empty() && BusySlots() == 0; }

  // One step: collects every finished job, then starts queued tasks in free slots, both passes
  // in slot order.
  void JobManagerStep();

  // A new search: every queued task goes, every running job is asked to stop and forgotten.
  void DropTasks() { tasks_.clear(); }
  void AbandonJobs();

  // Sleeps until a job finishes or the timeout passes (a step may then come early).
  bool WaitForFinish(std::chrono::milliseconds timeout) { return finished_->Wait(timeout); }

 private:
  void CollectFinished(std::size_t slot);
  void StartNext(std::size_t slot);

  TJobTarget& target_;
  TTaskQueue& tasks_;
  std::array<std::shared_ptr<TJob>, JobSlotCount> slots_;
  std::shared_ptr<TChangedFlag> changed_;
  TJobFactory makeJob_;
  std::shared_ptr<TFinishSignal> finished_ = std::make_shared<TFinishSignal>();
};

}  // namespace cq
