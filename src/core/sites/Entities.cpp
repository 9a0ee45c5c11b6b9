#include <algorithm>
#include <string>
#include <string_view>

#include "core/platform/Text.h"
#include "core/sites/IntegerText.h"
#include "core/sites/Parser.h"

namespace cq {

namespace {

// A reference ends at the first ';' within this many characters after its '&'.
constexpr std::size_t kReferenceReach = 1000;

// The replacement of one reference, already folded to small letters ("&lt;", "&#65;").
void AppendReplacement(std::string_view reference, std::string& out) {
  if (reference == "&lt;") {
    out += '<';
  } else if (reference == "&gt;") {
    out += '>';
  } else if (reference == "&amp;") {
    out += '&';
  } else if (reference == "&nbsp;") {
    out += ' ';
  } else if (reference == "&quot;") {
    out += '"';
  } else if (reference.starts_with("&#")) {
    std::int32_t code = 0;
    if (!ReadInteger(reference.substr(2, reference.size() - 3), code)) code = 0;
    out += static_cast<char>(static_cast<std::uint32_t>(code) & 0xFFu);
  } else {
    out += reference;
  }
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // The next ';' at or after the scan position; it only ever moves forward, so a text full of
  // '&' without ';' is still read once.
  std::size_t semicolon = text.find(';');
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t amp = text.find('&', at);
    if (amp == std::string_view::npos) break;
    out.append(text, at, amp - at);
    at = amp;
    if (semicolon != std::string_view::npos && semicolon <= amp) semicolon = text.find(';', amp);
    if (semicolon == std::string_view::npos) break;
    if (semicolon - amp > kReferenceReach) {
      // No '&' this far from the ';' starts a reference: copy up to where one could.
      const std::size_t next = semicolon - kReferenceReach;
      out.append(text, amp, next - amp);
      at = next;
      continue;
    }
    AppendReplacement(LowerLatin(text.substr(amp, semicolon - amp + 1)), out);
    at = semicolon + 1;
  }
  if (at < text.size()) out.append(text, at);
  return out;
}

}  // namespace cq
