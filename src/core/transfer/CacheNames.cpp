#include "core/transfer/CacheNames.h"

#include <filesystem>

#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"
#include "core/transfer/Md5.h"

namespace fs = std::filesystem;

namespace cq {

namespace {

// Leaves room for the suffixes of partial and set-aside files within a file name's 255 bytes.
constexpr std::size_t kMaxSegment = 200;

bool HasHighBytes(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// A segment the file system takes: UTF-8 like every file name, no NUL, not "." or "..", and
// short enough for the suffixes that may follow it.
std::string SafeSegment(std::string segment) {
  if (HasHighBytes(segment)) segment = Cp1251ToUtf8(segment);
  for (char& c : segment) {
    if (c == '\0') c = '_';
  }
  if (segment == "." || segment == "..") return "default.html";
  if (segment.size() <= kMaxSegment) return segment;
  std::string extension;
  const std::size_t point = segment.rfind('.');
  if (point != std::string::npos && segment.size() - point <= 16) extension = segment.substr(point);
  return MD5String(segment) + extension;
}

std::string SegmentOf(std::string_view url) {
  std::string_view path = url.substr(0, url.find('?'));
  const std::size_t cut = path.find_last_of("\\/:");
  std::string segment(cut == std::string_view::npos ? path : path.substr(cut + 1));
  if (segment.empty()) return "default.html";
  if (segment.find('.') == std::string::npos) segment += ".html";
  return SafeSegment(std::move(segment));
}

}  // namespace

std::string CacheFolder() {
  std::string root = UserCacheFolder();
  if (root.empty()) root = fs::temp_directory_path().string();
  if (root.back() != '/') root += '/';
  return root + "Chimequest/Cache/";
}

std::string CacheFileName(std::string_view url) {
  return CacheFolder() + MD5String(url) + "/" + SegmentOf(url);
}

}  // namespace cq
