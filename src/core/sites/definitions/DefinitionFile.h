#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/Message.h"
#include "core/sites/definitions/Definition.h"

namespace cq {

// What is wrong with a definition, and where: Line counts from 1; 0 means the whole file.
struct TDefinitionProblem {
  int Line = 0;
  std::vector<TMessage> Text;  // arguments in UTF-8
};

// One definition file as read: the definition when it is valid, else its problems.
struct TDefinitionFile {
  std::string FileName;  // as given, UTF-8
  std::optional<TDefinition> Definition;
  std::vector<TDefinitionProblem> Problems;
  std::string SiteName;  // windows-1251; as far as it could be read, else empty
};

// Larger files are refused unread.
inline constexpr std::size_t MaxDefinitionSize = 256 * 1024;

// Reads a definition (YAML, UTF-8) from `text`; never throws for what the text holds.
TDefinitionFile ReadDefinition(std::string_view text, const std::string& fileName);
// Reads the file; one that cannot be read is a problem of line 0.
TDefinitionFile LoadDefinitionFile(const std::string& fileName);

// A problem of the whole file, its key under "Definitions." in the language file.
TDefinitionProblem WholeFileProblem(const char* key, const char* english,
                                    std::vector<std::string> args = {});
// The definition names a site the program has built in (`siteName` in windows-1251).
TDefinitionProblem BuiltInNameProblem(const std::string& siteName);

// "FILE:LINE: problem", or "FILE: problem" for the whole file, in English.
std::string ProblemLine(const std::string& fileName, const TDefinitionProblem& problem);

}  // namespace cq
