#include <cstdio>

#include "cli/Command.h"
#include "core/platform/Text.h"
#include "core/transfer/Inet.h"

namespace cq::cli {

int RunFetch(const std::vector<std::string>& args) {
  bool useCache = true;
  std::string url;
  for (const std::string& arg : args) {
    if (arg == "--no-cache") {
      useCache = false;
    } else if (!arg.empty() && arg.front() == '-') {
      return Fail("fetch: unknown option " + arg);
    } else if (url.empty()) {
      url = arg;
    } else {
      return Fail("fetch: one address only");
    }
  }
  if (url.empty()) return Fail("fetch: an address is needed (try --help)");
  const std::string fileName = FetchURL(Utf8ToCp1251(url), useCache);
  std::printf("%s\n", fileName.c_str());
  return 0;
}

}  // namespace cq::cli
