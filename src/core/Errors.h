#pragma once

#include <stdexcept>
#include <string>

namespace cq {

// The silent abort: an operation that was asked to stop, or a start-up step that ends the
// program quietly. Callers swallow it; it is never shown.
class EAbort : public std::runtime_error {
 public:
  EAbort() : std::runtime_error("Operation aborted") {}
};

}  // namespace cq
