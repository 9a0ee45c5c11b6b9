#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/platform/Text.h"
#include "core/sites/AllSites.h"

namespace cq::cli {

int Fail(const std::string& message) {
  std::fprintf(stderr, "chimequest-cli: %s\n", Shown(message).c_str());
  return 1;
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int PrintUsage(const Command& command) {
  std::printf("Usage: chimequest-cli %s\n\n%s\n", command.usage, command.summary);
  return 0;
}

namespace {

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "Usage: chimequest-cli COMMAND [ARGS...]\n\nCommands:\n");
  for (const Command& command : Commands()) {
    // The first line of the summary; the rest is for the command's own --help.
    const std::string summary = command.summary;
    std::fprintf(out, "  %-8s %s\n", command.name, summary.substr(0, summary.find('\n')).c_str());
  }
  std::fprintf(out,
               "\nchimequest-cli COMMAND --help (or: chimequest-cli help COMMAND) tells more.\n");
}

const Command* Find(const std::string& name) {
  for (const Command& command : Commands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

int Run(const Command& command, const std::vector<std::string>& args) {
  if (WantsHelp(args)) return PrintUsage(command);
  try {
    SetCurrentLanguage(LanguageList().front());
    return command.run(args);
  } catch (const EAbort&) {
    return 1;
  } catch (const std::exception& error) {
    // Messages from the core are windows-1251 text.
    return Fail(Cp1251ToUtf8(error.what()));
  }
}

}  // namespace

}  // namespace cq::cli

int main(int argc, char** argv) {
  using namespace cq::cli;
  cq::RegisterAllSites();
  if (argc < 2) {
    PrintHelp(stderr);
    return 1;
  }
  const std::string name = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  int status;
  if (name == "--help" || name == "-h" || (name == "help" && args.empty())) {
    PrintHelp(stdout);
    status = 0;
  } else if (name == "help") {
    const Command* command = Find(args.front());
    status = command != nullptr ? PrintUsage(*command)
                                : Fail("unknown command '" + args.front() + "' (try --help)");
  } else if (const Command* command = Find(name)) {
    status = Run(*command, args);
  } else {
    status = Fail("unknown command '" + name + "' (try --help)");
  }
  // Output that could not be written is a failure too (a full disk, a closed pipe).
  if (std::fflush(stdout) != 0 && status == 0) status = Fail("cannot write the output");
  return status;
}
