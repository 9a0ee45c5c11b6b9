#include <gmock/gmock.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/platform/ExceptionReport.h"
#include "core/platform/StackTrace.h"

namespace cq {
namespace {

using testing::HasSubstr;
using testing::Not;

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

TEST(ExceptionReport, ShowsClassMessageAndTheStackWhereATracedErrorWasRaised) {
  const std::string report = ReportOf(FindResultTableOrFail);
  EXPECT_THAT(report, HasSubstr("Exception class: cq::ETracedError"));
  EXPECT_THAT(report, HasSubstr("Message: badhtml"));
  EXPECT_THAT(report, HasSubstr("Call stack where it was raised:"));
  EXPECT_THAT(report, HasSubstr("FindResultTableOrFail"));
  EXPECT_THAT(report, Not(HasSubstr("where it was reported")));
}

TEST(ExceptionReport, FallsBackToTheReportingStackForAnUntracedError) {
  const std::string report = ReportOf([] { throw std::out_of_range("no row 4"); });
  EXPECT_THAT(report, HasSubstr("Exception class: std::out_of_range"));
  EXPECT_THAT(report, HasSubstr("Message: no row 4"));
  EXPECT_THAT(report, HasSubstr("where it was reported"));
  EXPECT_THAT(report, HasSubstr("FallsBackToTheReportingStackForAnUntracedError_Test::TestBody"));
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

TEST(StackTrace, CaptureLeavesOutItsOwnFrameAndRendersOneLinePerFrame) {
  const TStackTrace trace = TStackTrace::Capture();
  ASSERT_FALSE(trace.empty());
  const std::string text = trace.Render();
  EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), trace.size());
  EXPECT_THAT(text.substr(0, text.find('\n')), HasSubstr("CaptureLeavesOutItsOwnFrame"));
  EXPECT_THAT(text, Not(HasSubstr("TStackTrace::Capture")));
}

}  // namespace
}  // namespace cq
