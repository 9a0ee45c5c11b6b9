#include "core/platform/Text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace cq {

namespace {

char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Bytes a character takes in UTF-8, judged by its lead byte (1 for a stray byte).
std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

std::string Convert(std::string_view text, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert");
  const bool fromUtf8 = EqualsIgnoringLatinCase(from, "UTF-8");
  std::string out(text.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  std::size_t used = 0;
  while (inLeft > 0) {
    // Room for at least one more character or the '?' that replaces it.
    if (out.size() - used < 8) out.resize(out.size() * 2);
    char* dst = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t result = iconv(cd, &in, &inLeft, &dst, &outLeft);
    used = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // An invalid or unconvertible character: one '?' for all of its bytes, then go on.
    std::size_t skip = fromUtf8 ? Utf8Length(static_cast<unsigned char>(*in)) : 1;
    for (std::size_t i = 1; i < skip && i < inLeft; ++i) {
      if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) skip = i;
    }
    if (skip > inLeft) skip = inLeft;
    out[used++] = '?';
    in += skip;
    inLeft -= skip;
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

}  // namespace

std::string UpperLatin(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), UpperChar);
  return out;
}

std::string LowerLatin(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), LowerChar);
  return out;
}

bool EqualsIgnoringLatinCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperChar(x) == UpperChar(y);
         });
}

namespace {

// Both encodings agree on ASCII, which needs no converter (opening one is costly).
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return Convert(text, "UTF-8", "CP1251");
}

std::string Utf8ToCp1251(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return Convert(text, "CP1251", "UTF-8");
}

std::string ConvertText(std::string_view text, const std::string& to, const std::string& from) {
  return Convert(text, to.c_str(), from.c_str());
}

bool EncodingKnown(const std::string& name) {
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

}  // namespace cq
