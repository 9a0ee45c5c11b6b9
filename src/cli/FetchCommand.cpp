#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/platform/Text.h"
#include "core/transfer/Fetch.h"

namespace cq::cli {

std::function<int()> DeclareFetch(CLI::App& command, const TSiteRegistry&) {
  struct Options {
    bool noCache = false;
    std::string url;
  };
  auto options = std::make_shared<Options>();
  command.add_flag("--no-cache", options->noCache, "download anew even when a copy is cached");
  command.add_option("URL", options->url, "the address (http or https)")->required();
  return [options] {
    // The address is windows-1251 inside; the file name comes back in the file system's UTF-8.
    const std::string fileName = FetchURL(Utf8ToCp1251(options->url), !options->noCache);
    std::printf("%s\n", Shown(fileName).c_str());
    return kSucceeded;
  };
}

}  // namespace cq::cli
