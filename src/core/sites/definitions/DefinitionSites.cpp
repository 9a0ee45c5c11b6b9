#include "core/sites/definitions/DefinitionSites.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"

namespace cq {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> DefinitionFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string extension = LowerLatin(it->path().extension().string());
    if ((extension == ".yaml" || extension == ".yml") && !it->is_directory(error)) {
      files.push_back(it->path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The key a site is known and sorted by: its name without regard to Latin letter case, or the
// file's name for a file whose site name could not be read.
std::string KeyOf(const TDefinitionFile& file) {
  if (!file.SiteName.empty()) return UpperLatin(file.SiteName);
  return UpperLatin(Utf8ToCp1251(fs::path(file.FileName).filename().string()));
}

std::vector<TDefinitionEntry>& Entries() {
  // Never destroyed: the sites serve job threads until the very end of the program.
  static std::vector<TDefinitionEntry>& entries = *new std::vector<TDefinitionEntry>;
  return entries;
}

}  // namespace

std::string ShippedDefinitionFolder() {
  return ExecutableFolder() + "Sites/";
}

std::string UserDefinitionFolder() {
  const std::string data = GetSpecialFolder(sfAppData, "");
  return data.empty() ? "" : data + "/Chimequest/Sites/";
}

std::vector<TDefinitionEntry> LoadDefinitions(const std::vector<std::string>& folders,
                                              const std::vector<const TSite*>& taken) {
  std::vector<TDefinitionFile> chosen;
  for (const std::string& folder : folders) {
    std::vector<TDefinitionFile> own;
    for (const std::string& name : DefinitionFilesIn(folder)) {
      TDefinitionFile file = LoadDefinitionFile(name);
      const bool builtIn = std::any_of(taken.begin(), taken.end(), [&](const TSite* site) {
        return !file.SiteName.empty() && EqualsIgnoringLatinCase(site->GetName(), file.SiteName);
      });
      const auto twin = std::find_if(own.begin(), own.end(), [&](const TDefinitionFile& other) {
        return !file.SiteName.empty() && KeyOf(other) == KeyOf(file);
      });
      if (builtIn) {
        file.Problems.push_back(
            {0, "a built-in site is called '" + Cp1251ToUtf8(file.SiteName) + "'"});
      } else if (twin != own.end()) {
        file.Problems.push_back({0, "'" + twin->FileName + "' defines the same site"});
      }
      if (!file.Problems.empty()) file.Definition.reset();
      own.push_back(std::move(file));
    }
    // A later folder's file replaces an earlier folder's, never one of its own folder.
    std::erase_if(chosen, [&](const TDefinitionFile& earlier) {
      return std::any_of(own.begin(), own.end(), [&](const TDefinitionFile& file) {
        return !file.SiteName.empty() && KeyOf(earlier) == KeyOf(file);
      });
    });
    for (TDefinitionFile& file : own) chosen.push_back(std::move(file));
  }
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const auto& a, const auto& b) { return KeyOf(a) < KeyOf(b); });
  std::vector<TDefinitionEntry> entries;
  for (TDefinitionFile& file : chosen) {
    TDefinitionEntry& entry = entries.emplace_back();
    if (file.Definition) {
      entry.Site = std::make_unique<const TDefinitionSite>(*file.Definition, file.FileName);
    }
    entry.File = std::move(file);
  }
  return entries;
}

void RegisterDefinitionSites() {
  static std::once_flag once;
  std::call_once(once, [] {
    std::vector<std::string> folders{ShippedDefinitionFolder()};
    if (!UserDefinitionFolder().empty()) folders.push_back(UserDefinitionFolder());
    Entries() = LoadDefinitions(folders, RegisteredSites());
    for (const TDefinitionEntry& entry : Entries()) {
      if (entry.Site) RegisterSite(*entry.Site);
    }
  });
}

const std::vector<TDefinitionEntry>& DefinitionEntries() {
  return Entries();
}

}  // namespace cq
