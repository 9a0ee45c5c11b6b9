#pragma once

#include <QByteArray>

namespace cq {

// What is written when the program dies of a fatal signal (a fault no handler may recover from):
// `Heading`, the signal's number, the call stack, then `Trailer`, into the file `Path`. Prepared
// beforehand, since a signal handler may not allocate.
struct TFatalSignalReport {
  QByteArray Path;
  QByteArray Heading;
  QByteArray Trailer;
};

// Called once at start-up. The program still ends as the signal would have ended it.
void ReportFatalSignals(const TFatalSignalReport& report);

// The signal of an abort that follows a failure already reported: it writes no second report.
void ForgetAbortSignal();

}  // namespace cq
