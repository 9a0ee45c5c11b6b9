#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Command.h"
#include "core/platform/UserFolders.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/FileText.h"
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

// Runs a program with our environment: the proxy and the test's own HOME and XDG folders.
Outcome RunProgram(const std::string& program, const std::vector<std::string>& args) {
  const fs::path folder = fs::temp_directory_path();
  const std::string outName = folder / "cli.out";
  const std::string errName = folder / "cli.err";
  std::vector<std::string> argv = {program};
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

// The built tool lies beside this test.
Outcome RunCli(const std::vector<std::string>& args) {
  return RunProgram(ExecutableFolder() + "chimequest-cli", args);
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

TEST_F(CliTest, CommandLineConventions) {
  server.Serve("tones.example", "/ring.mid", "MThd tune", "audio/midi");
  const std::string cli = ExecutableFolder() + "chimequest-cli";
  struct Case {
    std::string program;
    std::vector<std::string> args;
    int status;
    std::string out;  // what stdout holds, or "" when it stays empty
    std::string err;  // what stderr holds, or "" when it stays empty
  };
  std::vector<Case> cases = {
      {cli, {"--version"}, 0, "chimequest-cli " CQ_PROJECT_VERSION "\n", ""},
      {cli, {"--help"}, 0, "Usage: chimequest-cli [OPTIONS] COMMAND", ""},
      {cli, {"help", "path"}, 0, "Usage: chimequest-cli path [OPTIONS] FILE PATH", ""},
      {cli, {"fetch", "--", "--no-cache"}, 1, "", "Cannot open URL --no-cache"},
      {cli, {"fetch", "http://tones.example/missing.html"}, 1, "", "Cannot open URL"},
      {cli, {}, 2, "", "Usage: chimequest-cli"},
      {cli, {"nonsense"}, 2, "", "chimequest-cli: unknown command 'nonsense'"},
      {cli, {"\x1b]0;x\a"}, 2, "", "unknown command '\\x1b]0;x\\x07'"},
      {cli, {"fetch"}, 2, "", "chimequest-cli: fetch: URL is required"},
      {cli, {"fetch", "--fast", "http://tones.example/ring.mid"}, 2, "", "--fast"},
      {cli, {"fetch", "http://a.example/", "http://b.example/"}, 2, "", "b.example"},
      {cli, {"path", "page.html", "HTML", "--attr"}, 2, "", "--attr"},
      {cli, {"sites", "extra"}, 2, "", "extra"},
      {cli, {"search", "ab"}, 2, "", "at least 3 characters"},
      {cli, {"search", "--site", "Nowhere", "bells"}, 2, "", "no site is called 'Nowhere'"},
      {cli, {"melody", "Nowhere", "http://tones.example/"}, 2, "", "'Nowhere'"},
      {cli, {"check"}, 2, "", "chimequest-cli: check: FILE is required"},
      {cli, {"check", "missing.yaml", "bells", "more"}, 2, "", "more"},
      {cli, {"search", "--definition", "missing.yaml", "bells"}, 2, "", "missing.yaml"},
  };
  for (const cli::Command& command : cli::Commands()) {
    cases.push_back({cli,
                     {command.name, "--help"},
                     0,
                     std::string("Usage: chimequest-cli ") + command.name,
                     ""});
  }
#ifdef CQ_GUI_PROGRAM
  const std::string gui = CQ_GUI_PROGRAM;
  cases.push_back({gui, {"--version"}, 0, "chimequest " CQ_PROJECT_VERSION "\n", ""});
  cases.push_back({gui, {"--help"}, 0, "--version", ""});
  cases.push_back({gui, {"--bogus"}, 2, "", "chimequest: Unknown option 'bogus'"});
  cases.push_back({gui, {"--", "--version"}, 2, "", "no arguments are taken"});
#endif
  for (const Case& test : cases) {
    const Outcome outcome = RunProgram(test.program, test.args);
    std::string label = fs::path(test.program).filename().string();
    for (const std::string& arg : test.args) label += " " + arg;
    EXPECT_EQ(outcome.status, test.status) << label << "\n" << outcome.err;
    for (const auto& [text, expected] :
         {std::pair(outcome.out, test.out), {outcome.err, test.err}}) {
      if (expected.empty())
        EXPECT_THAT(text, IsEmpty()) << label;
      else
        EXPECT_THAT(text, HasSubstr(expected)) << label;
    }
  }
}

}  // namespace
}  // namespace cq::test
