#include "core/platform/UserFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

namespace cq {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string HomeFolder() {
  return Env("HOME");
}

// An XDG base folder: the variable when it holds an absolute path, else HOME + fallback.
std::string XdgBase(const char* variable, const char* underHome) {
  std::string value = Env(variable);
  if (!value.empty() && value.front() == '/') return value;
  const std::string home = HomeFolder();
  return home.empty() ? "" : home + underHome;
}

// A user folder from user-dirs.dirs, such as XDG_MUSIC_DIR="$HOME/Music".
std::string XdgUserDir(std::string_view key) {
  std::ifstream file(XdgBase("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(key, 0) != 0 || line.size() <= key.size() + 1 || line[key.size()] != '=') {
      continue;
    }
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = HomeFolder() + value.substr(5);
    // A user folder set to HOME itself means the folder is switched off.
    if (value.empty() || value == HomeFolder() || value == HomeFolder() + "/") return "";
    return value;
  }
  return "";
}

std::string ExistingOrEmpty(const std::string& path) {
  return !path.empty() && ::access(path.c_str(), F_OK) == 0 ? path : "";
}

}  // namespace

std::string GetSpecialFolder(TSpecialFolder folder, const std::string& fallback) {
  std::string path;
  switch (folder) {
    case sfPersonal:
      path = XdgUserDir("XDG_DOCUMENTS_DIR");
      if (path.empty()) path = ExistingOrEmpty(HomeFolder() + "/Documents");
      break;
    case sfMyMusic:
      path = XdgUserDir("XDG_MUSIC_DIR");
      if (path.empty()) path = ExistingOrEmpty(HomeFolder() + "/Music");
      break;
    case sfAppData:
      path = XdgBase("XDG_DATA_HOME", "/.local/share");
      break;
    case sfProgramFiles:
      path = "/opt";
      break;
  }
  return path.empty() ? fallback : path;
}

std::string UserCacheFolder() {
  return XdgBase("XDG_CACHE_HOME", "/.cache");
}

std::string UserConfigFolder() {
  return XdgBase("XDG_CONFIG_HOME", "/.config");
}

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return "./";
  std::string path(buffer.data(), static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace cq
