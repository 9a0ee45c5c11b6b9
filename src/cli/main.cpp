// The program `chimequest-cli`: the search and the site tools without a window.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/platform/Text.h"
#include "core/sites/registry/ProgramSites.h"
#include "core/transfer/Version.h"

namespace cq::cli {

namespace {

bool IsCommand(const std::string& name) {
  return std::ranges::any_of(Commands(),
                             [&](const Command& command) { return name == command.name; });
}

int RunCommand(const std::function<int()>& run) {
  try {
    SetCurrentLanguage(LanguageList().front());
    return run();
  } catch (const EAbort&) {
    return kFailed;
  } catch (const std::exception& error) {
    // Messages from the core are windows-1251 text.
    return Fail(Cp1251ToUtf8(error.what()));
  }
}

int Run(std::vector<std::string> args, const TSiteRegistry& sites) {
  CLI::App app("Searches the ringtone sites and reads their pages, without a window.",
               "chimequest-cli");
  app.set_version_flag("--version", "chimequest-cli " + VersionText().substr(1));
  app.require_subcommand(1);
  app.get_formatter()->label("SUBCOMMAND", "COMMAND");
  app.footer(
      "chimequest-cli COMMAND --help (or: chimequest-cli help COMMAND) tells more.\n"
      "Exit status: 0 on success, 1 when a site or a fetch failed, 2 on misuse.");
  std::vector<std::pair<const CLI::App*, std::function<int()>>> runners;
  for (const Command& command : Commands()) {
    CLI::App* parser = app.add_subcommand(command.name, command.summary);
    parser->group("Commands");
    parser->footer(command.details);
    runners.emplace_back(parser, command.declare(*parser, sites));
  }
  if (args.empty()) {
    std::fputs(app.help().c_str(), stderr);
    return kMisused;
  }
  // "help COMMAND" is "COMMAND --help".
  if (args.front() == "help") {
    args.erase(args.begin());
    args.emplace_back("--help");
  }
  // A copy: parsing uses up the arguments.
  const std::string first = args.front();
  if (!first.starts_with('-') && !IsCommand(first)) {
    return Misuse("unknown command '" + first + "'");
  }
  try {
    // The parser takes the arguments last first.
    std::reverse(args.begin(), args.end());
    app.parse(args);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
    const std::string where = IsCommand(first) ? first + ": " : "";
    return Misuse(where + error.what());
  }
  for (const auto& [parser, run] : runners) {
    if (parser->parsed()) return RunCommand(run);
  }
  return kMisused;
}

}  // namespace

}  // namespace cq::cli

int main(int argc, char** argv) {
  const cq::TSiteRegistry& sites = cq::KeptUntilExit(cq::ProgramSites());
  int status = cq::cli::Run({argv + 1, argv + argc}, sites);
  // Output that could not be written is a failure too (a full disk, a closed pipe).
  if (std::fflush(stdout) != 0 && status == cq::cli::kSucceeded) {
    status = cq::cli::Fail("cannot write the output");
  }
  return status;
}
