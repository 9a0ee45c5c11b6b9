#include "gui/config/CacheCleaner.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/transfer/CacheNames.h"

namespace fs = std::filesystem;

namespace cq {

namespace {

bool Hidden(const fs::path& entry) {
  return entry.filename().string().starts_with('.');
}

bool RealFolder(const fs::path& entry) {
  std::error_code error;
  return fs::is_directory(fs::symlink_status(entry, error));
}

// Whole days between the two times, whichever comes first.
long long AgeInDays(fs::file_time_type now, fs::file_time_type written) {
  const auto difference = now > written ? now - written : written - now;
  return std::chrono::floor<std::chrono::days>(difference).count();
}

std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    entries.push_back(it->path());
  }
  return entries;
}

// Deletes the files (and links, never what they point to) of one cached address, then the folder
// itself, which stays when anything is left in it.
void RemoveCacheFolder(const fs::path& folder) {
  std::error_code ignored;
  for (const fs::path& entry : Entries(folder)) {
    if (Hidden(entry) || RealFolder(entry)) continue;
    fs::remove(entry, ignored);
  }
  fs::remove(folder, ignored);
}

}  // namespace

void CleanCache(int maxAgeDays) {
  const fs::path root(CacheFolder());
  const auto now = fs::file_time_type::clock::now();
  for (const fs::path& entry : Entries(root)) {
    if (Hidden(entry) || !RealFolder(entry)) continue;
    std::error_code error;
    const auto written = fs::last_write_time(entry, error);
    if (error || AgeInDays(now, written) < maxAgeDays) continue;
    RemoveCacheFolder(entry);
  }
}

}  // namespace cq
