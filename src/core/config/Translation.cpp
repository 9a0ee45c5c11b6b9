#include "core/config/Translation.h"

#include <exception>
#include <memory>
#include <mutex>

#include "core/config/IniFile.h"
#include "core/platform/UserFolders.h"

namespace cq {

namespace {

// The one piece of state that job threads share with the main thread; guarded by its lock.
struct LanguageState {
  std::mutex lock;
  std::unique_ptr<TIniFile> file;
  std::vector<std::string> languages;
  std::string current;

  void OpenLocked(const std::string& path) {
    file = std::make_unique<TIniFile>(path);
    languages = file->SectionNames();
    if (languages.empty()) languages.push_back("English");
  }

  TIniFile& FileLocked() {
    if (!file) OpenLocked(DefaultLanguageFilePath());
    return *file;
  }
};

// Never destroyed: job threads may still translate while the program ends.
LanguageState& State() {
  static LanguageState& state = *new LanguageState;
  return state;
}

}  // namespace

std::string DefaultLanguageFilePath() {
  return ExecutableFolder() + "Languages.ini";
}

void OpenLanguageFile(const std::string& path) {
  LanguageState& state = State();
  std::lock_guard guard(state.lock);
  state.OpenLocked(path);
}

std::vector<std::string> LanguageList() {
  LanguageState& state = State();
  std::lock_guard guard(state.lock);
  state.FileLocked();
  return state.languages;
}

std::string CurrentLanguage() {
  LanguageState& state = State();
  std::lock_guard guard(state.lock);
  return state.current;
}

void SetCurrentLanguage(const std::string& language) {
  LanguageState& state = State();
  std::lock_guard guard(state.lock);
  state.current = language;
}

std::string Translate(std::string_view language, std::string_view key,
                      std::string_view defaultText) {
  LanguageState& state = State();
  // No language chosen yet: nothing to look up and no section to write into.
  if (language.empty()) return std::string(defaultText);
  try {
    std::lock_guard guard(state.lock);
    TIniFile& file = state.FileLocked();
    if (auto text = file.Read(language, key)) return *text;
    // A failed write is no concern of the caller's: the default still shows.
    if (!defaultText.empty()) file.Write(language, key, defaultText);
  } catch (const std::exception&) {
  }
  return std::string(defaultText);
}

std::string Translate(std::string_view key, std::string_view defaultText) {
  return Translate(CurrentLanguage(), key, defaultText);
}

}  // namespace cq
