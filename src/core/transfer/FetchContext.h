#pragma once

#include <chrono>
#include <cstdint>

#include "core/status/Progress.h"

namespace cq {

// Time limits of a fetch: connecting, a transfer that delivers no byte, and one slower than
// SlowSpeed bytes a second over a whole SlowWindow. The defaults are the program's.
struct TFetchTimeouts {
  std::chrono::milliseconds Connect{30000};
  std::chrono::milliseconds Stall{60000};
  std::uint64_t SlowSpeed{100};
  std::chrono::milliseconds SlowWindow{60000};
};

// What a caller hands down to every fetch a site operation makes: where progress goes (and
// whence a stop request comes) and the time limits. Owned by the caller, so that two callers in
// one process fetch under limits of their own.
struct TFetchContext {
  TProgressCallback Progress;
  TFetchTimeouts Timeouts{};
};

}  // namespace cq
