#include "Options.h"

#include <charconv>
#include <string_view>

namespace cq::samples {

namespace {

template <class T>
bool ReadNumber(const std::string& text, T& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Four decimal parts of one to five digits, separated by points.
bool IsVersion(std::string_view text) {
  int parts = 0;
  std::size_t digits = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      if (++digits > 5) return false;
    } else if (c == '.' && digits > 0 && parts < 3) {
      ++parts;
      digits = 0;
    } else {
      return false;
    }
  }
  return parts == 3 && digits > 0;
}

}  // namespace

std::optional<TOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  TOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--help" || name == "-h") {
      options.Help = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument " + name;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    bool good = true;
    if (name == "--port") {
      good = ReadNumber(value, options.Port) && options.Port >= 0 && options.Port <= 65535;
    } else if (name == "--latency") {
      good = ReadNumber(value, options.LatencyMs) && options.LatencyMs >= 0;
    } else if (name == "--waiting-share") {
      good = ReadNumber(value, options.WaitingShare) && options.WaitingShare >= 0 &&
             options.WaitingShare <= 1;
    } else if (name == "--version") {
      good = IsVersion(value);
      options.Version = value;
    } else if (name == "--data") {
      options.DataFolder = value;
    } else {
      error = "unknown option " + name;
      return std::nullopt;
    }
    if (!good) {
      error = "bad value for " + name + ": " + value;
      return std::nullopt;
    }
  }
  return options;
}

const char* UsageText() {
  return "Usage: chimequest-sample-sites [options]\n"
         "Plays the eight ringtone sites and the update server on 127.0.0.1; point http_proxy at\n"
         "the address it prints first.\n"
         "  --port N            port to listen on (default 8431; 0 picks a free one)\n"
         "  --latency MS        delay before every answer (default 0)\n"
         "  --waiting-share P   share of MIDI archive downloads that get its waiting page,\n"
         "                      0 to 1 (default 0.2)\n"
         "  --version X.Y.Z.W   version in the update server's version file\n"
         "                      (default: this build's own)\n"
         "  --data DIR          folder with catalogue.tsv and media/ (default: beside the "
         "program)\n";
}

}  // namespace cq::samples
