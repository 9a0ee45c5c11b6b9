#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path g_root;

void RemoveHome() {
  std::error_code ignored;
  fs::remove_all(g_root, ignored);
}

// Points HOME, the XDG folders and TMPDIR at a fresh folder, so no test touches the user's files.
void IsolateHome() {
  std::string pattern = (fs::temp_directory_path() / "cq-test-XXXXXX").string();
  const char* root = ::mkdtemp(pattern.data());
  if (root == nullptr) std::abort();
  g_root = root;
  std::atexit(RemoveHome);
  const fs::path& home = g_root;
  const std::pair<const char*, const char*> dirs[] = {
      {"HOME", ""},
      {"XDG_CONFIG_HOME", ".config"},
      {"XDG_CACHE_HOME", ".cache"},
      {"XDG_DATA_HOME", ".local/share"},
      {"TMPDIR", "tmp"},
  };
  for (const auto& [name, sub] : dirs) {
    const fs::path dir = home / sub;
    fs::create_directories(dir);
    ::setenv(name, dir.c_str(), 1);
  }
}

}  // namespace

// GCC names the thread sanitizer with a macro, clang as a feature.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CQ_THREAD_SANITIZER
#endif
#endif
#if defined(__SANITIZE_THREAD__) || defined(CQ_THREAD_SANITIZER)
// The loopback test server's library is not built with the sanitizer, so its own locking is
// invisible to it; races reported inside it are not ours.
extern "C" const char* __tsan_default_suppressions() {
  return "race:libcpp-httplib.so\n";
}
#endif

int main(int argc, char** argv) {
  IsolateHome();
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
