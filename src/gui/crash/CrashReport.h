#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace cq {

// The failure's part of every report: its message and the call stack, the way the parse error
// dump renders failures too.
std::string RenderFailureReport(std::string_view message, std::string_view stack);

// The calling thread's call stack, innermost first, one frame a line, without this function's
// frame and `skip` more.
std::string CurrentStackText(int skip = 0);

// A whole crash report: a heading, the rendered failure and the technical report.
QString CrashReportText(std::string_view failure);

// Application data + "/Chimequest/", where crash reports are written.
QString CrashReportFolder();

// Writes `report` to a new file in CrashReportFolder(); the file's path, or empty on failure.
QString WriteCrashReport(const QString& report);

// Shows a written report. The default shows a message box on the GUI thread and nothing
// elsewhere; tests put their own.
using TCrashPresenter = std::function<void(const QString& report, const QString& file)>;
void SetCrashPresenter(TCrashPresenter presenter);

// A caught failure rendered for a report: its message and the stack where it is being reported.
std::string RenderException(const std::exception& failure);

// Writes and shows a rendered failure that nothing else handled.
void ReportFailure(std::string_view renderedFailure);

}  // namespace cq
