#include "core/app/JobStatusPaint.h"

#include <cmath>

#include "core/config/Translation.h"

namespace cq {

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

}  // namespace cq
