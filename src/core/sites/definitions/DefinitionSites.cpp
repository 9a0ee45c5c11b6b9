#include "core/sites/definitions/DefinitionSites.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

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

// The key a site is known and sorted by: its name without regard to Latin letter case, or, for
// a file whose site name could not be read, the file's name, made unique by its whole path.
std::string KeyOf(const TDefinitionFile& file) {
  if (!file.SiteName.empty()) return UpperLatin(file.SiteName);
  return UpperLatin(Utf8ToCp1251(fs::path(file.FileName).filename().string())) + '\0' +
         file.FileName;
}

}  // namespace

std::string ShippedDefinitionFolder() {
  return ExecutableFolder() + "Sites/";
}

std::string UserDefinitionFolder() {
  const std::string data = GetSpecialFolder(sfAppData, "");
  return data.empty() ? "" : data + "/Chimequest/Sites/";
}

std::vector<std::string> DefinitionFolders() {
  std::vector<std::string> folders{ShippedDefinitionFolder()};
  if (!UserDefinitionFolder().empty()) folders.push_back(UserDefinitionFolder());
  return folders;
}

std::vector<TDefinitionEntry> LoadDefinitions(const std::vector<std::string>& folders,
                                              const std::vector<const TSite*>& taken) {
  std::set<std::string> builtIn;
  for (const TSite* site : taken) builtIn.insert(UpperLatin(site->GetName()));
  // By key: a later folder's file replaces an earlier folder's, never one of its own folder.
  std::map<std::string, TDefinitionFile> chosen;
  for (const std::string& folder : folders) {
    std::map<std::string, TDefinitionFile> own;
    for (const std::string& name : DefinitionFilesIn(folder)) {
      TDefinitionFile file = LoadDefinitionFile(name);
      std::string key = KeyOf(file);
      const auto twin = own.find(key);
      if (!file.SiteName.empty() && builtIn.contains(key)) {
        file.Problems.push_back(BuiltInNameProblem(file.SiteName));
      } else if (twin != own.end()) {
        file.Problems.push_back(
            WholeFileProblem("Twin", "'%1' defines the same site", {twin->second.FileName}));
        // Kept apart from its twin: both stay listed, the later one with its problem.
        key += '\0' + file.FileName;
      }
      if (!file.Problems.empty()) file.Definition.reset();
      own.emplace(std::move(key), std::move(file));
    }
    for (auto& [key, file] : own) chosen.insert_or_assign(key, std::move(file));
  }
  std::vector<TDefinitionEntry> entries;
  entries.reserve(chosen.size());
  for (auto& [key, file] : chosen) {
    TDefinitionEntry& entry = entries.emplace_back();
    if (file.Definition) {
      entry.Site = std::make_unique<const TDefinitionSite>(*file.Definition, file.FileName);
    }
    entry.File = std::move(file);
  }
  return entries;
}

}  // namespace cq
