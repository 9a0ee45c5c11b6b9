#include "cli/Shown.h"

#include <cstdio>

namespace cq::cli {

std::string Shown(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
    char escaped[8];
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7f) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
      // U+0080 to U+009F: terminals take some of them as escape sequences.
      std::snprintf(escaped, sizeof escaped, "\\u%04x", next);
      out += escaped;
      ++i;
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

}  // namespace cq::cli
