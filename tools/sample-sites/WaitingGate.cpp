#include "WaitingGate.h"

#include <algorithm>
#include <cmath>

namespace cq::samples {

TWaitingGate::TWaitingGate(double share) : share_(std::clamp(share, 0.0, 1.0)) {}

bool TWaitingGate::NextMustWait() {
  std::lock_guard guard(lock_);
  const long long before = downloads_++;
  // True whenever the running count of waits owed moves up by one.
  return std::floor(static_cast<double>(downloads_) * share_ + 1e-9) >
         std::floor(static_cast<double>(before) * share_ + 1e-9);
}

}  // namespace cq::samples
