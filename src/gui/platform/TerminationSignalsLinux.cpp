#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "gui/platform/TerminationSignals.h"

namespace cq {

namespace {

constexpr int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler's only safe way out: one byte into a socket the event loop watches.
int g_wakeFd = -1;

void OnTerminationSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(g_wakeFd, &byte, 1);
  errno = saved;
}

}  // namespace

void QuitOnTerminationSignals(std::function<void()> quit) {
  int fds[2];
  if (g_wakeFd >= 0 ||
      ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
    return;
  g_wakeFd = fds[0];
  auto* notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                   [notifier, fd = fds[1], quit = std::move(quit)] {
                     char byte;
                     while (::read(fd, &byte, 1) > 0) {
                     }
                     notifier->setEnabled(false);
                     quit();
                   });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  // Once asked, a second request must not wait for the first: the default action again.
  action.sa_flags = static_cast<int>(SA_RESTART | SA_RESETHAND);
  for (const int signal : TerminationSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace cq
