#pragma once

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace cq {
class TSiteRegistry;
}

namespace cq::cli {

// Exit statuses, the same for every command.
constexpr int kSucceeded = 0;
constexpr int kFailed = 1;   // a site, a page or a fetch failed
constexpr int kMisused = 2;  // an unknown command or option, a missing or bad argument

// One command. `declare` adds the command's options and arguments to its own parser (which
// already knows --help and "--") and answers what runs the command once the line is parsed; that
// may use `sites`, which outlive it.
// A new command is a declare function in a file of its own and a line in Commands().
struct Command {
  const char* name;
  const char* summary;  // one line, for the list of commands
  const char* details;  // the rest of the command's own --help, or ""
  std::function<int()> (*declare)(CLI::App& command, const TSiteRegistry& sites);
};

const std::vector<Command>& Commands();

// Print "chimequest-cli: message" on stderr and answer the exit status.
int Fail(const std::string& message);
int Misuse(const std::string& message);

}  // namespace cq::cli
