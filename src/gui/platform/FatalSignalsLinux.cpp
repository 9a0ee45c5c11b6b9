#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include "gui/platform/FatalSignals.h"

namespace cq {

namespace {

constexpr int FatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Everything the signal handler writes is prepared here, since it may not allocate.
char g_path[4096];
char g_heading[256];
std::size_t g_headingLength = 0;
char g_trailer[8192];
std::size_t g_trailerLength = 0;

std::size_t CopyBounded(char* target, std::size_t capacity, const QByteArray& source) {
  const std::size_t length = std::min(static_cast<std::size_t>(source.size()), capacity);
  std::memcpy(target, source.constData(), length);
  return length;
}

void WriteAll(int fd, const char* text, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, text, length);
    if (written <= 0) return;
    text += written;
    length -= static_cast<std::size_t>(written);
  }
}

void WriteNumber(int fd, int value) {
  char digits[12];
  std::size_t n = 0;
  do {
    digits[sizeof digits - 1 - n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < sizeof digits);
  WriteAll(fd, digits + sizeof digits - n, n);
}

void OnFatalSignal(int signal) {
  const int fd = ::open(g_path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd >= 0) {
    WriteAll(fd, g_heading, g_headingLength);
    WriteNumber(fd, signal);
    static const char stack[] = "\r\n\r\nCall stack:\r\n";
    WriteAll(fd, stack, sizeof stack - 1);
    void* frames[64];
    ::backtrace_symbols_fd(frames, ::backtrace(frames, 64), fd);
    WriteAll(fd, "\r\n", 2);
    WriteAll(fd, g_trailer, g_trailerLength);
    ::close(fd);
  }
  // SA_RESETHAND put the default action back: the signal now ends the program as it would have.
  ::raise(signal);
}

}  // namespace

void ReportFatalSignals(const TFatalSignalReport& report) {
  CopyBounded(g_path, sizeof g_path - 1, report.Path);
  g_headingLength = CopyBounded(g_heading, sizeof g_heading, report.Heading);
  g_trailerLength = CopyBounded(g_trailer, sizeof g_trailer, report.Trailer);
  // The first backtrace loads the unwinder, which must not happen inside the handler.
  void* frame[1];
  ::backtrace(frame, 1);
  // A stack overflow leaves no stack for the handler: give it its own.
  static char alternateStack[64 * 1024];
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  ::sigaltstack(&stack, nullptr);
  struct sigaction action {};
  action.sa_handler = OnFatalSignal;
  action.sa_flags = static_cast<int>(SA_RESETHAND | SA_ONSTACK);
  sigemptyset(&action.sa_mask);
  for (int signal : FatalSignals) ::sigaction(signal, &action, nullptr);
}

void ForgetAbortSignal() {
  std::signal(SIGABRT, SIG_DFL);
}

}  // namespace cq
