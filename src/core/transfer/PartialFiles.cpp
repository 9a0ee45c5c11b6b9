#include "core/transfer/PartialFiles.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/platform/FileLock.h"
#include "core/platform/Files.h"
#include "core/transfer/CacheNames.h"

namespace fs = std::filesystem;

namespace cq {

namespace {

constexpr std::string_view kPartialMark = "_partial";

std::string Hex4() {
  thread_local std::mt19937 random{std::random_device{}()};
  char text[5];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(random() & 0xFFFF));
  return text;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "_partial" and then groups of hex digits joined by single dashes, the first not empty.
bool IsPartialName(std::string_view name) {
  const std::size_t mark = name.rfind(kPartialMark);
  if (mark == std::string_view::npos) return false;
  const std::string_view tail = name.substr(mark + kPartialMark.size());
  if (tail.empty() || tail.back() == '-') return false;
  char previous = '-';
  for (const char c : tail) {
    if (!(IsHexDigit(c) || (c == '-' && previous != '-'))) return false;
    previous = c;
  }
  return IsHexDigit(tail.front());
}

}  // namespace

std::string PartialFileName(std::string_view cacheFile) {
  static std::atomic<unsigned> counter{0};
  return std::string(cacheFile) + std::string(kPartialMark) + Hex4() + Hex4() + "-" +
         std::to_string(counter.fetch_add(1, std::memory_order_relaxed)) + "-" + Hex4();
}

std::string InstallPartial(const std::string& partial, const std::string& cacheFile) {
  // Swapping the two names and then removing the older copy keeps the name present throughout,
  // like rename(), but spares ext4 the flush it makes when a file is renamed over another.
  if (ExchangeFiles(partial, cacheFile)) {
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    return cacheFile;
  }
  std::error_code error;
  fs::rename(partial, cacheFile, error);
  if (!error) return cacheFile;
  std::string target = cacheFile;
  if (fs::exists(cacheFile, error) && !fs::remove_all(cacheFile, error)) {
    const std::string aside = cacheFile + "_locked" + Hex4();
    fs::rename(cacheFile, aside, error);
    if (error) target = cacheFile + "_origwontrename" + Hex4();
  }
  fs::rename(partial, target, error);
  if (error) {
    const int code = error.value();
    fs::remove(partial, error);
    throw std::system_error(code, std::generic_category(), "Cannot store " + target);
  }
  return target;
}

int RemoveAbandonedPartials() {
  int removed = 0;
  std::error_code error;
  // Cache folders are one level deep; their files are the pages and their transient copies.
  for (const auto& folder : fs::directory_iterator(CacheFolder(), error)) {
    std::error_code ignored;
    if (!folder.is_directory(ignored)) continue;
    for (const auto& file : fs::directory_iterator(folder.path(), ignored)) {
      if (!IsPartialName(file.path().filename().string())) continue;
      // Removed under the lock its writer would hold: a live download is never taken.
      const TFileLock lock = TFileLock::Try(file.path());
      if (lock.Held() && fs::remove(file.path(), ignored)) ++removed;
    }
  }
  return removed;
}

}  // namespace cq
