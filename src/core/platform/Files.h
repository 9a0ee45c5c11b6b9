#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace cq {

// What tells one version of a file from the next: a file replaced or rewritten changes it.
struct TFileStamp {
  std::uintmax_t Identity = 0;
  std::uintmax_t Size = 0;
  long long ModifiedNs = -1;
  bool operator==(const TFileStamp&) const = default;
};
std::optional<TFileStamp> StampOf(const std::filesystem::path& path);

// Replaces a file's content by a new file renamed over it, so that readers see the old content
// or the new, never a part. The new file keeps the old one's permissions (a first file is
// readable by all); a file the user may not write is refused.
bool ReplaceFile(const std::filesystem::path& path, std::string_view text);

// Swaps the names of two files in one step; false when the system cannot.
bool ExchangeFiles(const std::filesystem::path& first, const std::filesystem::path& second);

}  // namespace cq
