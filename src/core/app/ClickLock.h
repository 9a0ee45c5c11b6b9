#pragma once

#include <functional>

#include "core/jobs/JobManager.h"

namespace cq {

// Keeps a job manager step and the handling of a click on the result view from running inside
// each other while a menu or dialog runs its own message loop. Main thread only.
class TClickLock {
 public:
  bool Held() const { return held_; }
  // Consistency checks: every caller tests Held() first.
  void Take();     // throws "!!!" when held
  void Release();  // throws "!!!!!" when not held

 private:
  bool held_ = false;
};

// Runs `action` under the lock; does nothing and answers false when the lock is held. The lock is
// released whatever `action` does.
bool RunLocked(TClickLock& lock, const std::function<void()>& action);

// The JobManager timer's tick: a step, skipped while the lock is held.
bool JobManagerTimer(TClickLock& lock, TJobManager& manager);

}  // namespace cq
