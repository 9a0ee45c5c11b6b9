#include "core/app/ClickLock.h"

#include <stdexcept>

namespace cq {

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
