#include "core/platform/ExceptionReport.h"

#include <boost/core/demangle.hpp>
#include <typeinfo>

#include "core/platform/StackTrace.h"

namespace cq {

namespace {

const ETracedError* Traced(const std::exception& failure) {
  const auto* traced = dynamic_cast<const ETracedError*>(&failure);
  return traced != nullptr && !traced->Stack().empty() ? traced : nullptr;
}

std::string Describe(const std::exception& failure) {
  std::string text = "Exception class: " + boost::core::demangle(typeid(failure).name()) + "\n";
  text += "Message: " + std::string(failure.what()) + "\n";
  if (const ETracedError* traced = Traced(failure)) {
    text += "Call stack where it was raised:\n" + traced->Stack().Render();
  }
  return text;
}

// Appends the failures nested in `failure`, outermost first.
void DescribeNested(const std::exception& failure, std::string& text) {
  try {
    std::rethrow_if_nested(failure);
  } catch (const std::exception& inner) {
    text += "\nCaused by:\n" + Describe(inner);
    DescribeNested(inner, text);
  } catch (...) {
    text += "\nCaused by a failure that is not a std::exception.\n";
  }
}

}  // namespace

std::string ExceptionReport(const std::exception& failure) {
  std::string text = Describe(failure);
  if (Traced(failure) == nullptr) {
    // Not where it went wrong, but the way the failure was caught still narrows it down.
    text += "Call stack where it was reported (none was recorded where it was raised):\n" +
            TStackTrace::Capture(1).Render();
  }
  DescribeNested(failure, text);
  return text;
}

}  // namespace cq
