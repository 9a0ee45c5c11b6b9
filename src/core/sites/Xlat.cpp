#include "core/sites/Xlat.h"

namespace cq {

namespace {

constexpr unsigned char kSmallYo = 184;
constexpr unsigned char kFirstLetter = 192;  // А, U+0410
constexpr unsigned char kYoLead = 0xD1;
constexpr unsigned char kYoTrail = 0x91;

// U+0410..U+043F are D0 90..D0 BF; U+0440..U+044F are D1 80..D1 8F.
void AppendLetter(std::string& out, unsigned char letter) {
  const unsigned code = 0x410u + (letter - kFirstLetter);
  out += static_cast<char>(0xC0u | (code >> 6));
  out += static_cast<char>(0x80u | (code & 0x3Fu));
}

// The windows-1251 letter whose UTF-8 form is `lead trail`, or 0 when it is none of the 65.
unsigned char LetterOf(unsigned char lead, unsigned char trail) {
  if (lead == kYoLead && trail == kYoTrail) return kSmallYo;
  if (lead == 0xD0 && trail >= 0x90 && trail <= 0xBF) {
    return static_cast<unsigned char>(kFirstLetter + (trail - 0x90));
  }
  if (lead == 0xD1 && trail >= 0x80 && trail <= 0x8F) {
    return static_cast<unsigned char>(kFirstLetter + 0x30 + (trail - 0x80));
  }
  return 0;
}

}  // namespace

std::string XlatEncode(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (const char c : cp1251) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= kFirstLetter) {
      AppendLetter(out, byte);
    } else if (byte == kSmallYo) {
      out += static_cast<char>(kYoLead);
      out += static_cast<char>(kYoTrail);
    } else {
      out += c;
    }
  }
  return out;
}

std::string XlatDecode(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (i + 1 < utf8.size()) {
      const unsigned char letter =
          LetterOf(static_cast<unsigned char>(utf8[i]), static_cast<unsigned char>(utf8[i + 1]));
      if (letter != 0) {
        out += static_cast<char>(letter);
        i += 2;
        continue;
      }
    }
    out += utf8[i];
    ++i;
  }
  return out;
}

}  // namespace cq
