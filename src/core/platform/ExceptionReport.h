#pragma once

#include <exception>
#include <string>

namespace cq {

// A readable report of a failure: its type, its message, the call stack where it was raised (when
// it recorded one, see ETracedError) or else where it is being reported, and the failures nested
// in it. The parse error dump and crash reporting both render failures with it.
std::string ExceptionReport(const std::exception& failure);

}  // namespace cq
