#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cq::samples {

inline constexpr int DefaultPort = 8431;

struct TOptions {
  int Port = DefaultPort;  // 0: any free port
  int LatencyMs = 0;
  double WaitingShare = 0.2;
  std::string Version;  // empty: the program's own version
  std::string DataFolder;
  bool Help = false;
};

// Reads the command line (without the program name); on a bad option `error` tells why.
std::optional<TOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

const char* UsageText();

}  // namespace cq::samples
