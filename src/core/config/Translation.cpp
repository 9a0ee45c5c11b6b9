#include "core/config/Translation.h"

#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "core/config/IniFile.h"
#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"

namespace cq {

namespace {

// The one piece of state that job threads share with the main thread; guarded by its lock.
struct LanguageState {
  std::mutex lock;
  std::unique_ptr<TIniFile> file;
  std::vector<std::string> languages;
  std::string current;
  int openBursts = 0;
  // Missing keys found during a burst, and where each stands (section and key without case).
  std::vector<TIniEntry> pending;
  std::unordered_map<std::string, std::size_t> pendingIndex;

  void OpenLocked(const std::string& path) {
    FlushLocked();
    file = std::make_unique<TIniFile>(path);
    languages = file->SectionNames();
    if (languages.empty()) languages.push_back("English");
  }

  TIniFile& FileLocked() {
    if (!file) OpenLocked(DefaultLanguageFilePath());
    return *file;
  }

  std::optional<std::string> LookUpLocked(std::string_view language, std::string_view key) {
    const auto waiting = pendingIndex.find(PendingKey(language, key));
    if (waiting != pendingIndex.end()) return pending[waiting->second].Text;
    return FileLocked().Read(language, key);
  }

  void AddLocked(std::string_view language, std::string_view key, std::string_view text) {
    if (openBursts == 0) {
      // A failed write is no concern of the caller's: the default still shows.
      FileLocked().Write(language, key, text);
      return;
    }
    pendingIndex.emplace(PendingKey(language, key), pending.size());
    pending.push_back({std::string(language), std::string(key), std::string(text)});
  }

  void FlushLocked() {
    if (pending.empty() || !file) return;
    try {
      file->Write(pending);
    } catch (const std::exception&) {
    }
    pending.clear();
    pendingIndex.clear();
  }

 private:
  static std::string PendingKey(std::string_view language, std::string_view key) {
    return LowerLatin(language) + "]" + LowerLatin(key);
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
    if (auto text = state.LookUpLocked(language, key)) return *text;
    if (!defaultText.empty()) state.AddLocked(language, key, defaultText);
  } catch (const std::exception&) {
  }
  return std::string(defaultText);
}

std::string Translate(std::string_view key, std::string_view defaultText) {
  return Translate(CurrentLanguage(), key, defaultText);
}

TTranslationBurst::TTranslationBurst() {
  LanguageState& state = State();
  std::lock_guard guard(state.lock);
  ++state.openBursts;
}

TTranslationBurst::~TTranslationBurst() {
  LanguageState& state = State();
  std::lock_guard guard(state.lock);
  if (--state.openBursts == 0) state.FlushLocked();
}

}  // namespace cq
