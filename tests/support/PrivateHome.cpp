#include "support/PrivateHome.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace cq::test {

namespace {

fs::path g_root;

void RemoveHome() {
  std::error_code ignored;
  fs::remove_all(g_root, ignored);
}

}  // namespace

std::string IsolateHome(const fs::path& parent) {
  std::string pattern = (parent / "cq-test-XXXXXX").string();
  const char* root = ::mkdtemp(pattern.data());
  if (root == nullptr) std::abort();
  g_root = root;
  std::atexit(RemoveHome);
  const std::pair<const char*, const char*> dirs[] = {
      {"HOME", ""},
      {"XDG_CONFIG_HOME", ".config"},
      {"XDG_CACHE_HOME", ".cache"},
      {"XDG_DATA_HOME", ".local/share"},
      {"XDG_RUNTIME_DIR", "run"},
      {"TMPDIR", "tmp"},
  };
  for (const auto& [name, sub] : dirs) {
    const fs::path dir = g_root / sub;
    fs::create_directories(dir);
    ::setenv(name, dir.c_str(), 1);
  }
  fs::permissions(g_root / "run", fs::perms::owner_all, fs::perm_options::replace);
  return g_root.string();
}

}  // namespace cq::test
