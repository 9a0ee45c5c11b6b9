#pragma once

#include <string>
#include <string_view>

namespace cq {

// The whole file, bytes unchanged. A missing or empty file is an error.
std::string ReadFileText(const std::string& fileName);
// Creates or truncates the file and writes `text` as its whole content.
void WriteFileText(std::string_view text, const std::string& fileName);

}  // namespace cq
