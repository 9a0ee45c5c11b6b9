#include "core/jobs/JobManager.h"

#include <cmath>
#include <stdexcept>

#include "core/config/Translation.h"

namespace cq {

TJobManager::TJobManager(TJobTarget& target, TTaskQueue& tasks,
                         std::shared_ptr<TChangedFlag> changed)
    : target_(target), tasks_(tasks), changed_(std::move(changed)) {}

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
  auto job = std::make_shared<TJob>(std::move(task), changed_, finished_);
  // A task whose row is gone starts nothing and leaves the queue without a word.
  if (!target_.BindJob(*job)) return;
  slots_[slot] = job;
  changed_->store(true, std::memory_order_relaxed);
  TJob::Start(job);
}

TJobStatusPaint JobStatusPaint(TJobStatus status, double progress, int width) {
  TJobStatusPaint paint;
  // Rounding to nearest, ties to even.
  if (status == jsDownloading && progress > 0.01 && progress <= 1.01) {
    paint.Bar = true;
    paint.Filled = static_cast<int>(std::nearbyint(width * progress));
    return paint;
  }
  paint.Waiting = status == jsWaiting;
  switch (status) {
    case jsWaiting:
      paint.Text = Translate("Status.Waiting", "Waiting");
      break;
    case jsInitializing:
      paint.Text = Translate("Status.Initializing", "Initializing");
      break;
    case jsConnecting:
      paint.Text = Translate("Status.Connecting", "Connecting");
      break;
    case jsDownloading:
      paint.Text = Translate("Status.Downloading", "Downloading");
      break;
    case jsProcessing:
      paint.Text = Translate("Status.Processing", "Processing");
      break;
    case jsRetrying:
      paint.Text = Translate("Status.Retrying", "Retrying") + " (" +
                   std::to_string(static_cast<long long>(std::nearbyint(progress))) + ")";
      break;
    case jsFinished:
      break;
  }
  return paint;
}

void TClickLock::Take() {
  if (held_) throw std::logic_error("!!!");
  held_ = true;
}

void TClickLock::Release() {
  if (!held_) throw std::logic_error("!!!!!");
  held_ = false;
}

bool RunLocked(TClickLock& lock, const std::function<void()>& action) {
  if (lock.Held()) return false;
  lock.Take();
  try {
    action();
  } catch (...) {
    lock.Release();
    throw;
  }
  lock.Release();
  return true;
}

bool JobManagerTimer(TClickLock& lock, TJobManager& manager) {
  return RunLocked(lock, [&manager] { manager.JobManagerStep(); });
}

}  // namespace cq
