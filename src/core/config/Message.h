#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cq {

// A text shown in the user's language: its key in the language file, its English form with %1,
// %2 … standing for the arguments, and those. Without a key it is shown as it is.
struct TMessage {
  std::string Key;
  std::string English;
  std::vector<std::string> Args;
};

// `form` with %1 … %9 replaced by the arguments, in one pass (an argument's own %2 stays).
std::string FillIn(std::string_view form, const std::vector<std::string>& args);

// The messages in English, joined by ": ", each one refining the one before it.
std::string EnglishText(const std::vector<TMessage>& messages);

}  // namespace cq
