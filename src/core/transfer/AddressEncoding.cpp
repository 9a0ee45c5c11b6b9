#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char byte) {
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

}  // namespace

std::string EncodeQuery(std::string_view term) {
  std::string out;
  out.reserve(term.size() * 3);
  for (char c : term) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || byte == '-' || byte == '_') {
      out += c;
    } else if (byte == ' ') {
      out += '+';
    } else {
      AppendEscaped(out, byte);
    }
  }
  return out;
}

std::string WireAddress(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
      out += c;
    } else {
      AppendEscaped(out, byte);
    }
  }
  return out;
}

}  // namespace cq
