// Reads any bytes as the language file, then writes into it the way translation does: a key the
// file already has, a new key, a new section. Every write that is accepted must read back as
// written and leave every other entry as it was, in this reader and in a fresh one; the
// translation table must list the same languages and answer from the same file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzHome.h"
#include "core/config/IniFile.h"
#include "core/config/Translation.h"
#include "core/platform/Text.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNames = 16;
constexpr std::string_view kText = "Fuzzed text";

fs::path g_file;

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// What comes before '=' on the first lines: the keys the file may hold.
std::vector<std::string> CandidateKeys(std::string_view file) {
  std::vector<std::string> keys;
  while (!file.empty() && keys.size() < kMaxNames) {
    const std::size_t end = file.find('\n');
    const std::string_view line = file.substr(0, end);
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) keys.emplace_back(Trim(line.substr(0, equals)));
    if (end == std::string_view::npos) break;
    file.remove_prefix(end + 1);
  }
  keys.emplace_back("Fuzz.New");
  return keys;
}

// Every answer of the file for these sections and keys.
using TAnswers = std::vector<std::optional<std::string>>;

TAnswers Answers(cq::TIniFile& ini, const std::vector<std::string>& sections,
                 const std::vector<std::string>& keys) {
  TAnswers answers;
  for (const std::string& section : sections) {
    for (const std::string& key : keys) answers.push_back(ini.Read(section, key));
  }
  return answers;
}

// Writes one entry; when accepted, it reads back and nothing else changed.
void CheckWrite(const std::string& section, const std::string& key,
                std::vector<std::string>& sections, const std::vector<std::string>& keys) {
  cq::TIniFile ini(g_file);
  const TAnswers before = Answers(ini, sections, keys);
  if (!ini.Write(section, key, kText)) return;
  Require(ini.Read(section, key) == kText);
  bool listed = false;
  for (const std::string& name : sections)
    listed = listed || cq::EqualsIgnoringLatinCase(name, section);
  if (!listed) sections.push_back(section);

  cq::TIniFile fresh(g_file);
  const TAnswers after = Answers(ini, sections, keys);
  Require(Answers(fresh, sections, keys) == after);
  std::size_t i = 0;
  for (const std::string& s : sections) {
    for (const std::string& k : keys) {
      const bool written = cq::EqualsIgnoringLatinCase(s, section) &&
                           cq::EqualsIgnoringLatinCase(Trim(k), Trim(key));
      if (i < before.size()) Require(written ? after[i] == kText : after[i] == before[i]);
      ++i;
    }
  }
  Require(fresh.SectionNames() == ini.SectionNames());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_file = cq::fuzz::IsolateHome() / "Languages.ini";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  // A new file each time: the reader must not take it for the one it saw before.
  fs::remove(g_file);
  std::ofstream(g_file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(size));

  cq::TIniFile ini(g_file);
  std::vector<std::string> sections = ini.SectionNames();
  if (sections.size() > kMaxNames) sections.resize(kMaxNames);
  const std::vector<std::string> keys = CandidateKeys(content);

  cq::OpenLanguageFile(g_file.string());
  const std::vector<std::string> languages = cq::LanguageList();
  Require(sections.empty() ? languages == std::vector<std::string>{"English"}
                           : std::equal(sections.begin(), sections.end(), languages.begin()));
  const std::string language = sections.empty() ? "English" : sections.front();
  // The default is written in when it can be; either way the answer is what the file now holds.
  const std::string translated = cq::Translate(language, "Fuzz.Translated", "Default");
  Require(translated == cq::TIniFile(g_file).Read(language, "Fuzz.Translated").value_or("Default"));

  CheckWrite(language, keys.front(), sections, keys);
  CheckWrite(language, "Fuzz.New", sections, keys);
  CheckWrite("Fuzz section", "Fuzz.New", sections, keys);
  return 0;
}
