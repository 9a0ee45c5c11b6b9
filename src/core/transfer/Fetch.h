#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "core/transfer/FetchContext.h"

namespace cq {

// What one fetch may take, chosen by its caller: a longer body, or a fetch that lasts longer,
// fails. Bodies are bounded so that an endless answer fills neither memory nor the disk.
struct TFetchLimits {
  std::uint64_t MaxBytes;
  std::chrono::milliseconds Total;
};
inline constexpr TFetchLimits PageLimits{16u << 20, std::chrono::minutes(5)};
inline constexpr TFetchLimits FileLimits{64u << 20, std::chrono::minutes(15)};

// Downloads `url` into its cache file and returns that file's name; with `useCache` a cached copy
// is returned without any network access. Keeps to `fetch.Timeouts` and reports jsConnecting,
// jsDownloading (fraction received) and jsProcessing through `fetch.Progress`, which may ask to
// stop (then EAbort is thrown). A status other than 2xx, an empty body or one beyond `limits`, a
// broken or short transfer and a time-out throw std::runtime_error ("Cannot open URL ...");
// nothing partial or empty is ever left in the cache and an older copy stays. Redirects are
// followed, at most 10. An address on the user's own machine or network, given or redirected
// to, is refused in the same way before it is reached.
std::string FetchURL(const std::string& url, bool useCache, const TFetchContext& fetch = {},
                     const TFetchLimits& limits = PageLimits);

}  // namespace cq
