#include "FuzzHome.h"

#include <cstdlib>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace cq::fuzz {

namespace {

fs::path g_home;

void RemoveHome() {
  std::error_code ignored;
  fs::remove_all(g_home, ignored);
}

}  // namespace

fs::path IsolateHome() {
  std::error_code error;
  const fs::path parent =
      fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (parent / "cq-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  g_home = pattern;
  std::atexit(RemoveHome);
  const std::pair<const char*, const char*> dirs[] = {
      {"HOME", ""},
      {"XDG_CONFIG_HOME", ".config"},
      {"XDG_CACHE_HOME", ".cache"},
      {"XDG_DATA_HOME", ".local/share"},
      {"TMPDIR", "tmp"},
  };
  for (const auto& [name, sub] : dirs) {
    const fs::path dir = g_home / sub;
    fs::create_directories(dir);
    ::setenv(name, dir.c_str(), 1);
  }
  return g_home;
}

}  // namespace cq::fuzz
