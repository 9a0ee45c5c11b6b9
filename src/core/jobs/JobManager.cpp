#include "core/jobs/JobManager.h"

namespace cq {

TJobFactory JobFactory(TFetchTimeouts timeouts) {
  return [timeouts](TTask task, std::shared_ptr<TChangedFlag> changed,
                    std::shared_ptr<TFinishSignal> finished) {
    return std::make_shared<TJob>(std::move(task), std::move(changed), std::move(finished),
                                  timeouts);
  };
}

TJobManager::TJobManager(TJobTarget& target, TTaskQueue& tasks,
                         std::shared_ptr<TChangedFlag> changed, TJobFactory makeJob)
    : target_(target), tasks_(tasks), changed_(std::move(changed)), makeJob_(std::move(makeJob)) {}

TJobManager::~TJobManager() {
  AbandonJobs();
}

std::size_t TJobManager::BusySlots() const {
  std::size_t busy = 0;
  for (const auto& job : slots_) busy += job ? 1U : 0U;
  return busy;
}

void TJobManager::AbandonJobs() {
  for (auto& job : slots_) {
    if (job) job->RequestStop();
    job.reset();
  }
}

void TJobManager::JobManagerStep() {
  for (std::size_t slot = 0; slot < JobSlotCount; ++slot) CollectFinished(slot);
  for (std::size_t slot = 0; slot < JobSlotCount; ++slot) StartNext(slot);
}

void TJobManager::CollectFinished(std::size_t slot) {
  if (!slots_[slot] || !slots_[slot]->Finished()) return;
  changed_->store(true, std::memory_order_relaxed);
  // Out of the slot first: a completion may open a dialog whose loop reaches other code, and
  // the job must not be collected twice. The row lookup is by the job's own row, so a job is
  // never left in its slot for want of a row.
  const std::shared_ptr<TJob> job = std::move(slots_[slot]);
  target_.CollectJob(*job);
}

void TJobManager::StartNext(std::size_t slot) {
  if (slots_[slot] || tasks_.empty()) return;
  TTask task = std::move(tasks_.front());
  tasks_.pop_front();
  if (task.Kind == taskNone) return;
  std::shared_ptr<TJob> job = makeJob_(std::move(task), changed_, finished_);
  // A task whose row is gone starts nothing and leaves the queue without a word.
  if (!target_.BindJob(*job)) return;
  slots_[slot] = job;
  changed_->store(true, std::memory_order_relaxed);
  TJob::Start(job);
}

}  // namespace cq
