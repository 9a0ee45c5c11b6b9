#include <cstdio>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/platform/Text.h"
#include "core/transfer/Inet.h"

namespace cq::cli {

int RunFetch(const std::vector<std::string>& args) {
  bool useCache = true;
  bool options = true;
  std::string url;
  for (const std::string& arg : args) {
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--no-cache") {
      useCache = false;
    } else if (options && arg.size() > 1 && arg.front() == '-') {
      return Fail("fetch: unknown option " + arg);
    } else if (url.empty()) {
      url = arg;
    } else {
      return Fail("fetch: one address only");
    }
  }
  if (url.empty()) return Fail("fetch: an address is needed (try --help)");
  // The address is windows-1251 inside; the file name comes back in the file system's UTF-8.
  const std::string fileName = FetchURL(Utf8ToCp1251(url), useCache);
  std::printf("%s\n", Shown(fileName).c_str());
  return 0;
}

}  // namespace cq::cli
