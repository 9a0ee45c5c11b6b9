#include "GuiTestMain.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/config/Translation.h"
#include "gui/common/Fonts.h"

namespace fs = std::filesystem;

namespace cq::test {

namespace {

fs::path g_root;

void RemoveHome() {
  std::error_code ignored;
  fs::remove_all(g_root, ignored);
}

}  // namespace

void IsolateGuiTest() {
  std::string pattern = (fs::temp_directory_path() / "cq-guitest-XXXXXX").string();
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
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InstallFontSubstitutes();
  OpenLanguageFile(TestLanguageFile().toStdString());
}

QString TestHome() {
  return QString::fromStdString(g_root.string());
}

QString TestLanguageFile() {
  return QString::fromStdString((g_root / "Languages.ini").string());
}

void WriteLanguageFile(const QByteArray& content) {
  const std::string path = TestLanguageFile().toStdString();
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.constData(), content.size());
  }
  OpenLanguageFile(path);
}

}  // namespace cq::test
