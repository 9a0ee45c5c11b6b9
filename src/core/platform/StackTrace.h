#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace cq {

// A call stack taken at one moment: only the return addresses, so capturing is cheap; names and
// source places are looked up when it is rendered.
class TStackTrace {
 public:
  // The calling thread's stack without Capture's own frame and the `skip` frames above it.
  static TStackTrace Capture(std::size_t skip = 0);

  bool empty() const { return frames_.empty(); }
  std::size_t size() const { return frames_.size(); }
  // One line per frame, innermost first: "#n function at file:line".
  std::string Render() const;

 private:
  std::vector<const void*> frames_;
};

// A failure that records the stack where it is raised, so a report can show where a page walk or
// anything else went wrong. Throw it (or a subclass) where the fault is found.
class ETracedError : public std::runtime_error {
 public:
  explicit ETracedError(const std::string& message);

  const TStackTrace& Stack() const { return stack_; }

 private:
  TStackTrace stack_;
};

}  // namespace cq
