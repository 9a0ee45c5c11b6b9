#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include "core/platform/TerminationWait.h"

namespace cq {

namespace {

sigset_t TerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  return signals;
}

}  // namespace

TTerminationWait::TTerminationWait() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void TTerminationWait::Wait() const {
  const sigset_t signals = TerminationSignals();
  int signal = 0;
  sigwait(&signals, &signal);
}

// Sent to the whole process: every thread keeps it pending until a Wait takes it, so a Wake that
// comes before the Wait is not lost.
void TTerminationWait::Wake() const {
  ::kill(::getpid(), SIGTERM);
}

}  // namespace cq
