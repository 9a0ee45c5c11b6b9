#pragma once

#include <functional>

#include "core/status/JobStatus.h"

namespace cq {

// Reports a status and its progress; answers true when the job has been asked to stop.
using TProgressCallback = std::function<bool(TJobStatus status, double progress)>;

}  // namespace cq
