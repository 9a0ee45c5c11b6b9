#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "core/transfer/Inet.h"

extern char** environ;

namespace cq {
namespace {

// The built program: started, asked through its printed address, and stopped with a signal.
class ServerProgram {
 public:
  explicit ServerProgram(int stopSignal) : stopSignal_(stopSignal) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const std::string program = CQ_SAMPLE_SITES_PROGRAM;
    char* argv[] = {
        const_cast<char*>(program.c_str()), const_cast<char*>("--port"),  const_cast<char*>("0"),
        const_cast<char*>("--version"),     const_cast<char*>("9.8.7.6"), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output_ = ::fdopen(pipeEnds[0], "r");
  }
  ~ServerProgram() {
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (output_ != nullptr) std::fclose(output_);
  }

  std::string FirstLine() {
    char line[256] = {};
    if (output_ == nullptr || std::fgets(line, sizeof line, output_) == nullptr) return {};
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  // The exit status after the stop signal, or -1 when it did not exit normally.
  int Stop() {
    ::kill(pid_, stopSignal_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool Started() const { return pid_ > 0; }

 private:
  int stopSignal_;
  pid_t pid_ = -1;
  bool waited_ = false;
  std::FILE* output_ = nullptr;
};

TEST(SampleSitesProgram, PrintsItsAddressServesThroughItAndStopsCleanlyOnSignals) {
  for (const int stopSignal : {SIGTERM, SIGINT}) {
    ServerProgram program(stopSignal);
    ASSERT_TRUE(program.Started());
    const std::string address = program.FirstLine();
    ASSERT_EQ(address.rfind("http://127.0.0.1:", 0), 0u) << address;
    ::setenv("http_proxy", address.c_str(), 1);
    EXPECT_EQ(
        ReadFileText(FetchURL("http://update.chimequest.example/chimequest_version.txt", false)),
        "9.8.7.6\r\n0\r\n");
    EXPECT_EQ(program.Stop(), 0) << stopSignal;
  }
}

TEST(SampleSitesProgram, StopsCleanlyWhenSignalledAtOnce) {
  ServerProgram program(SIGTERM);
  ASSERT_TRUE(program.Started());
  ASSERT_FALSE(program.FirstLine().empty());
  EXPECT_EQ(program.Stop(), 0);
}

}  // namespace
}  // namespace cq
