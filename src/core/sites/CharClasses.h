#pragma once

#include <array>
#include <cstdint>

namespace cq {

// The parser's character classes: what each byte may be part of.
enum : std::uint8_t {
  kName = 1,       // tag and attribute names start with these
  kAttrName = 2,   // the rest of an attribute name
  kValue = 4,      // an unquoted value
  kValueSkip = 8,  // passed over between '=' and the value
  kBlank = 16,     // skipped between top-level elements
  kNameStop = 32,  // ends the gap after an attribute name: space, '=', '>'
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    std::uint8_t k = 0;
    const bool name = c == '#' || c == '-' || c == '.' || (c >= '0' && c <= '9') ||
                      (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || c >= 128;
    if (name) k |= kName;
    const bool quoteOrBracket = c == ' ' || c == '"' || c == '\'' || c == '<' || c == '>';
    if (c >= 23 && !quoteOrBracket && c != '=') k |= kAttrName;
    if (c >= 23 && !quoteOrBracket) k |= kValue;
    if (c == ' ' || c == '=' || c == '<' || c == '>' || c < 23) k |= kValueSkip;
    if (c == '\t' || c == '\n' || c == '\r' || c == ' ') k |= kBlank;
    if (c == ' ' || c == '=' || c == '>') k |= kNameStop;
    classes[static_cast<std::size_t>(c)] = k;
  }
  return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

constexpr char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace cq
