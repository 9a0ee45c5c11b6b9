#include <gmock/gmock.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/platform/ExceptionReport.h"
#include "core/platform/StackTrace.h"

namespace cq {
namespace {

using testing::HasSubstr;

[[gnu::noinline]] void FindResultTableOrFail() {
  throw ETracedError("badhtml");
}

[[gnu::noinline]] void ReadMelodyPageWrapped() {
  try {
    FindResultTableOrFail();
  } catch (const std::exception&) {
    std::throw_with_nested(std::runtime_error("Error while parsing page."));
  }
}

std::string ReportOf(void (*raise)()) {
  try {
    raise();
  } catch (const std::exception& failure) {
    return ExceptionReport(failure);
  }
  return {};
}

TEST(ExceptionReport, FollowsNestedFailuresDownToTheFirstCause) {
  const std::string report = ReportOf(ReadMelodyPageWrapped);
  const std::size_t outer = report.find("Message: Error while parsing page.");
  const std::size_t cause = report.find("Caused by:");
  const std::size_t inner = report.find("Message: badhtml");
  ASSERT_NE(outer, std::string::npos);
  ASSERT_NE(cause, std::string::npos);
  ASSERT_NE(inner, std::string::npos);
  EXPECT_LT(outer, cause);
  EXPECT_LT(cause, inner);
  EXPECT_THAT(report.substr(inner), HasSubstr("FindResultTableOrFail"));
}

}  // namespace
}  // namespace cq
