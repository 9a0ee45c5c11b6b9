#include "core/jobs/Jobs.h"

#include <exception>
#include <system_error>
#include <thread>

#include "core/platform/ThreadPriority.h"

namespace cq {

void TFinishSignal::Notify() {
  {
    std::lock_guard guard(lock_);
    ++count_;
  }
  finished_.notify_all();
}

bool TFinishSignal::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock guard(lock_);
  const bool woken = finished_.wait_for(guard, timeout, [this] { return count_ != seen_; });
  seen_ = count_;
  return woken;
}

TJob::TJob(TTask task, std::shared_ptr<TChangedFlag> changed,
           std::shared_ptr<TFinishSignal> finished, TFetchTimeouts timeouts)
    : task_(std::move(task)),
      timeouts_(timeouts),
      changed_(std::move(changed)),
      finished_(std::move(finished)) {}

void TJob::Start(const std::shared_ptr<TJob>& job) {
  job->errorText_.clear();
  job->status_.store(jsInitializing, std::memory_order_relaxed);
  try {
    std::thread([job] {
      LowerCurrentThreadPriority();
      job->Execute();
    }).detach();
  } catch (const std::system_error& error) {
    job->errorText_ = error.what();
    job->Finish();
  }
}

bool TJob::JobProgress(TJobStatus status, double progress) {
  progress_.store(progress, std::memory_order_relaxed);
  status_.store(status, std::memory_order_release);
  if (changed_) changed_->store(true, std::memory_order_relaxed);
  return stop_.load(std::memory_order_relaxed);
}

void TJob::Execute() {
  status_.store(jsInitializing, std::memory_order_release);
  try {
    Run();
  } catch (const std::exception& error) {
    errorText_ = error.what();
    // An exception without a message still has to show as a failure.
    if (errorText_.empty()) errorText_ = "Error";
  } catch (...) {
    errorText_ = "Error";
  }
  Finish();
}

void TJob::Run() {
  const TFetchContext fetch{
      [this](TJobStatus status, double value) { return JobProgress(status, value); }, timeouts_};
  switch (task_.Kind) {
    case taskSearch: {
      if (task_.Site == nullptr) return;
      TMelodyList found;
      task_.Site->Search(task_.Term, found, fetch);
      melodies_ = std::move(found);
      break;
    }
    case taskMelodyPage:
      if (!task_.Melody.Processed && task_.Melody.Site != nullptr) {
        task_.Melody.Site->LoadMelodyPage(task_.Melody, fetch);
      }
      break;
    case taskDownload:
    case taskPlay:
      if (task_.Melody.Site != nullptr) {
        std::string name;
        task_.Melody.Site->FetchFile(task_.Melody, task_.Format, task_.LinkIndex, fetch, name);
        fileName_ = std::move(name);
      }
      break;
    case taskNone:
      break;
  }
}

void TJob::Finish() {
  progress_.store(0.0, std::memory_order_relaxed);
  // Everything above must be visible before the manager sees the job finished.
  status_.store(jsFinished, std::memory_order_release);
  if (changed_) changed_->store(true, std::memory_order_relaxed);
  if (finished_) finished_->Notify();
}

}  // namespace cq
