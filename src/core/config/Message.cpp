#include "core/config/Message.h"

namespace cq {

std::string FillIn(std::string_view form, const std::vector<std::string>& args) {
  std::string text;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const std::size_t number =
        i + 1 < form.size() ? static_cast<std::size_t>(form[i + 1] - '0') : 0;
    if (form[i] == '%' && number >= 1 && number <= 9 && number <= args.size()) {
      text += args[number - 1];
      ++i;
    } else {
      text += form[i];
    }
  }
  return text;
}

std::string EnglishText(const std::vector<TMessage>& messages) {
  std::string text;
  for (const TMessage& message : messages) {
    if (!text.empty()) text += ": ";
    text += FillIn(message.English, message.Args);
  }
  return text;
}

}  // namespace cq
