#pragma once

#include <cstdint>

namespace cq {

// What a job is doing; also what a site operation reports through its progress callback.
enum TJobStatus : std::uint8_t {
  jsWaiting = 0,
  jsInitializing = 1,
  jsConnecting = 2,
  jsDownloading = 3,
  jsProcessing = 4,
  jsRetrying = 5,
  jsFinished = 6,
};

}  // namespace cq
