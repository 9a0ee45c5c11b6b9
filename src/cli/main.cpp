#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "core/config/Translation.h"
#include "core/platform/Text.h"
#include "core/sites/AllSites.h"

namespace cq::cli {

int Fail(const std::string& message) {
  std::fprintf(stderr, "chimequest-cli: %s\n", message.c_str());
  return 1;
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int PrintUsage(const Command& command) {
  std::printf("Usage: chimequest-cli %s\n\n%s\n", command.usage, command.summary);
  return 0;
}

namespace {

int PrintHelp() {
  std::printf("Usage: chimequest-cli COMMAND [ARGS...]\n\nCommands:\n");
  for (const Command& command : Commands()) {
    std::printf("  %-8s %s\n", command.name, command.summary);
  }
  std::printf("\nchimequest-cli COMMAND --help tells more.\n");
  return 0;
}

}  // namespace

}  // namespace cq::cli

int main(int argc, char** argv) {
  using namespace cq::cli;
  cq::RegisterAllSites();
  if (argc < 2) {
    PrintHelp();
    return 1;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return PrintHelp();
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& command : Commands()) {
    if (name != command.name) continue;
    if (WantsHelp(args)) return PrintUsage(command);
    try {
      cq::SetCurrentLanguage(cq::LanguageList().front());
      return command.run(args);
    } catch (const std::exception& error) {
      // Messages from the core are windows-1251 text.
      return Fail(cq::Cp1251ToUtf8(error.what()));
    }
  }
  return Fail("unknown command '" + name + "' (try --help)");
}
