#include "support/Tinyproxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace cq::test {

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Binds a loopback socket to a free port; answers the socket and sets `port`.
int BindFreePort(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const sockaddr_in address = Loopback(port);
  const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string Tinyproxy::Program() {
  for (const char* candidate : {"/usr/bin/tinyproxy", "/usr/sbin/tinyproxy"}) {
    if (::access(candidate, X_OK) == 0) return candidate;
  }
  return {};
}

Tinyproxy::Tinyproxy(int upstreamPort, const std::vector<std::string>& denied) {
  std::string pattern = (fs::temp_directory_path() / "tinyproxy-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    failure_ = "cannot make a folder for tinyproxy";
    return;
  }
  folder_ = pattern;
  // Another process may take the free port before tinyproxy binds it: try a few.
  for (int attempt = 0; attempt < 5 && !Running(); ++attempt) {
    if (!Start(upstreamPort, denied)) Stop();
  }
}

Tinyproxy::~Tinyproxy() {
  Stop();
  std::error_code ignored;
  if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

void Tinyproxy::BecomeProxy() const {
  ::setenv("http_proxy", Address().c_str(), 1);
  ::setenv("HTTP_PROXY", Address().c_str(), 1);
  ::unsetenv("no_proxy");
  ::unsetenv("NO_PROXY");
}

bool Tinyproxy::Start(int upstreamPort, const std::vector<std::string>& denied) {
  const std::string program = Program();
  if (program.empty()) {
    failure_ = "tinyproxy is not installed (scripts/install-deps installs it)";
    return false;
  }
  const int probe = BindFreePort(port_);
  if (probe < 0) {
    failure_ = "no free loopback port";
    return false;
  }
  ::close(probe);
  const fs::path folder(folder_);
  const fs::path filter = folder / "filter";
  {
    std::ofstream out(filter);
    for (std::string host : denied) {
      std::string quoted;
      for (char c : host) quoted += c == '.' ? std::string("\\.") : std::string(1, c);
      out << '^' << quoted << "$\n";
    }
  }
  const fs::path config = folder / "tinyproxy.conf";
  {
    std::ofstream out(config);
    out << "Port " << port_ << "\n"
        << "Listen 127.0.0.1\n"
        << "Timeout 30\n"
        << "MaxClients 64\n"
        << "Allow 127.0.0.1\n"
        << "LogLevel Info\n"
        << "DisableViaHeader Yes\n"
        << "Upstream http 127.0.0.1:" << upstreamPort << "\n";
    if (!denied.empty()) out << "Filter \"" << filter.string() << "\"\nFilterDefaultDeny No\n";
  }
  const std::string log = (folder / "tinyproxy.log").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const std::string configText = config.string();
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("-d"),
                  const_cast<char*>("-c"), const_cast<char*>(configText.c_str()), nullptr};
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    failure_ = "cannot start tinyproxy";
    return false;
  }
  pid_ = pid;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < limit) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      failure_ = "tinyproxy ended at start:\n" + ReadAll(log);
      return false;
    }
    if (Accepts(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  failure_ = "tinyproxy did not listen:\n" + ReadAll(log);
  return false;
}

void Tinyproxy::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > limit) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
}

RefusingPort::RefusingPort() {
  fd_ = BindFreePort(port_);
}

RefusingPort::~RefusingPort() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace cq::test
