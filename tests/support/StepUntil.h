#pragma once

#include <chrono>
#include <functional>

#include "core/jobs/JobManager.h"

namespace cq::test {

// Runs job manager steps, sleeping between them until a job finishes (10 ms at most), until
// `done` holds; false when it does not within a generous limit.
inline bool StepUntil(TJobManager& manager, const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (true) {
    manager.JobManagerStep();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > limit) return false;
    manager.WaitForFinish(std::chrono::milliseconds(10));
  }
}

}  // namespace cq::test
