#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/platform/UserFolders.h"
#include "core/transfer/Inet.h"
#include "support/HttpServer.h"

extern char** environ;

namespace cq::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs the built tool (it lies beside this test) with our environment: the proxy and the
// test's own HOME and XDG folders.
Outcome RunCli(const std::vector<std::string>& args) {
  const fs::path folder = fs::temp_directory_path();
  const std::string outName = folder / "cli.out";
  const std::string errName = folder / "cli.err";
  std::vector<std::string> argv = {ExecutableFolder() + "chimequest-cli"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, pointers[0], &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  Outcome outcome;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << pointers[0];
    return outcome;
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = Slurp(outName);
  outcome.err = Slurp(errName);
  return outcome;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { server.BecomeProxy(); }
  HttpServer server;
};

TEST_F(CliTest, FetchPrintsTheCacheFileAndUsesTheCacheNextTime) {
  server.Serve("tones.example", "/ring.mid", "MThd tune", "audio/midi");
  const std::string url = "http://tones.example/ring.mid";

  const Outcome first = RunCli({"fetch", url});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, CacheFileName(url) + "\n");
  EXPECT_THAT(first.err, IsEmpty());
  EXPECT_EQ(ReadFileText(CacheFileName(url)), "MThd tune");

  EXPECT_EQ(RunCli({"fetch", url}).out, first.out);
  EXPECT_EQ(server.Hits("tones.example", "/ring.mid"), 1);
  server.Serve("tones.example", "/ring.mid", "MThd new tune", "audio/midi");
  EXPECT_EQ(RunCli({"fetch", "--no-cache", url}).status, 0);
  EXPECT_EQ(server.Hits("tones.example", "/ring.mid"), 2);
  EXPECT_EQ(ReadFileText(CacheFileName(url)), "MThd new tune");
}

TEST_F(CliTest, AddressesAndFileNamesAreUtf8OutsideAndWindows1251Inside) {
  // "мелодия" in windows-1251 on the wire, in UTF-8 on the command line and in the file name.
  server.Serve("tones.example", "/%EC%E5%EB%EE%E4%E8%FF.mid", "cyrillic");
  const Outcome outcome =
      RunCli({"fetch",
              "http://tones.example/\xD0\xBC\xD0\xB5\xD0\xBB\xD0\xBE\xD0\xB4\xD0\xB8\xD1\x8F.mid"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out,
            CacheFileName("http://tones.example/\xEC\xE5\xEB\xEE\xE4\xE8\xFF.mid") + "\n");
  EXPECT_THAT(outcome.out,
              HasSubstr("/\xD0\xBC\xD0\xB5\xD0\xBB\xD0\xBE\xD0\xB4\xD0\xB8\xD1\x8F.mid\n"));
}

TEST_F(CliTest, ErrorsGoToStandardErrorWithStatusOne) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{}, "Usage: chimequest-cli COMMAND"},
      {{"nonsense"}, "chimequest-cli: unknown command 'nonsense'"},
      {{"\x1b]0;x\a"}, "chimequest-cli: unknown command '\\x1b]0;x\\x07'"},
      {{"fetch"}, "chimequest-cli: fetch: an address is needed"},
      {{"fetch", "--fast", "http://tones.example/a"},
       "chimequest-cli: fetch: unknown option --fast"},
      {{"fetch", "http://a.example/", "http://b.example/"},
       "chimequest-cli: fetch: one address only"},
      {{"fetch", "http://tones.example/missing.html"},
       "chimequest-cli: Cannot open URL http://tones.example/missing.html\n"},
  };
  for (const Case& test : cases) {
    const Outcome outcome = RunCli(test.args);
    const std::string label = test.args.empty() ? "(none)" : test.args.front();
    EXPECT_EQ(outcome.status, 1) << label;
    EXPECT_THAT(outcome.err, StartsWith(test.message)) << label;
    EXPECT_THAT(outcome.out, IsEmpty()) << label;
  }
}

}  // namespace
}  // namespace cq::test
