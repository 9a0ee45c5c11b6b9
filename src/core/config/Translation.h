#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cq {

// The language file: one section per language, keys looked up by dotted names ("Status.Waiting")
// with the English text as default. Keys missing from a language are written into it.
// Every function here may be called from any thread.

// Opens the language file; at start-up the program opens ExecutableFolder() + "Languages.ini".
// Reads the language list once.
void OpenLanguageFile(const std::string& path);
std::string DefaultLanguageFilePath();

// Section names in file order; just "English" when the file has none.
std::vector<std::string> LanguageList();

std::string CurrentLanguage();
void SetCurrentLanguage(const std::string& language);

// The text of `key` in `language`; when the language lacks it, `defaultText`, which is then
// written into the file (unless empty; see TTranslationBurst for when). Never fails.
std::string Translate(std::string_view language, std::string_view key,
                      std::string_view defaultText);
// The same in the current language.
std::string Translate(std::string_view key, std::string_view defaultText);

// A lookup burst (a translate-all pass over a window or a menu): keys found missing while one is
// open, on any thread, are written together in one write of the file when the last open burst
// ends. Outside a burst a missing key is written at once. Bursts may nest.
class TTranslationBurst {
 public:
  TTranslationBurst();
  ~TTranslationBurst();
  TTranslationBurst(const TTranslationBurst&) = delete;
  TTranslationBurst& operator=(const TTranslationBurst&) = delete;
};

}  // namespace cq
