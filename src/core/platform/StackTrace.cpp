#include "core/platform/StackTrace.h"

#include <boost/stacktrace.hpp>
#include <cstdio>

namespace cq {

namespace {

constexpr std::size_t kMaxFrames = 64;

std::string RenderFrame(std::size_t index, const void* address) {
  const boost::stacktrace::frame frame(address);
  char number[32];
  std::snprintf(number, sizeof number, "#%-3zu ", index);
  std::string line = number;
  const std::string name = frame.name();
  if (name.empty()) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%p", address);
    line += hex;
  } else {
    line += name;
  }
  const std::string file = frame.source_file();
  if (!file.empty()) line += " at " + file + ":" + std::to_string(frame.source_line());
  return line;
}

}  // namespace

// Kept out of line so that the frame it leaves out is always its own.
[[gnu::noinline]] TStackTrace TStackTrace::Capture(std::size_t skip) {
  TStackTrace trace;
  const boost::stacktrace::stacktrace stack(skip + 1, kMaxFrames);
  trace.frames_.reserve(stack.size());
  for (const boost::stacktrace::frame& frame : stack) trace.frames_.push_back(frame.address());
  return trace;
}

std::string TStackTrace::Render() const {
  std::string text;
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    text += RenderFrame(i, frames_[i]);
    text += '\n';
  }
  return text;
}

ETracedError::ETracedError(const std::string& message)
    : std::runtime_error(message), stack_(TStackTrace::Capture(1)) {}

}  // namespace cq
