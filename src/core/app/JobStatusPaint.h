#pragma once

#include <string>

#include "core/jobs/Jobs.h"

namespace cq {

// What PaintJobStatus draws in a status area `width` pixels wide: a progress bar filled
// `Filled` pixels (downloading, 0.01 < progress <= 1.01), or the status word centred between two
// rules, grey for a waiting row and darker for a running one. Nothing for a finished job.
struct TJobStatusPaint {
  bool Bar = false;
  int Filled = 0;
  std::string Text;  // translated; "Retrying (15)" with the seconds left
  bool Waiting = false;
};
TJobStatusPaint JobStatusPaint(TJobStatus status, double progress, int width);

}  // namespace cq
