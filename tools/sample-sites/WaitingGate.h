#pragma once

#include <mutex>

namespace cq::samples {

// Decides which downloads of the MIDI archive meet its waiting page: an exact share of them,
// spread evenly (with 0.25 every fourth download waits), so runs can be repeated.
class TWaitingGate {
 public:
  explicit TWaitingGate(double share);
  bool NextMustWait();

 private:
  double share_;
  std::mutex lock_;
  long long downloads_ = 0;
};

}  // namespace cq::samples
