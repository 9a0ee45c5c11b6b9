#pragma once

#include <string>
#include <vector>

namespace cq::cli {

// One subcommand: its arguments (UTF-8, after the subcommand's name) in, exit status out.
struct Command {
  const char* name;
  const char* summary;
  const char* usage;
  int (*run)(const std::vector<std::string>& args);
};

const std::vector<Command>& Commands();

// Prints "chimequest-cli: message" on stderr and returns exit status 1.
int Fail(const std::string& message);
// True when args hold "--help" or "-h".
bool WantsHelp(const std::vector<std::string>& args);
int PrintUsage(const Command& command);
// Names on stderr the definition files found at start that are not valid, with their problems.
void ReportDefinitionProblems();

}  // namespace cq::cli
