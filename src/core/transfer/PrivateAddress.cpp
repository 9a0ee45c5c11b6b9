#include "core/transfer/PrivateAddress.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace cq {

namespace {

using TIpv4 = std::array<std::uint8_t, 4>;
using TIpv6 = std::array<std::uint8_t, 16>;

std::optional<TIpv4> ParseIpv4(std::string_view text) {
  TIpv4 address{};
  for (std::size_t part = 0; part < address.size(); ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
    unsigned value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && digits < 3 && text[digits] >= '0' && text[digits] <= '9')
      value = value * 10 + static_cast<unsigned>(text[digits++] - '0');
    if (digits == 0 || value > 255) return std::nullopt;
    address[part] = static_cast<std::uint8_t>(value);
    text.remove_prefix(digits);
  }
  if (!text.empty()) return std::nullopt;
  return address;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Colon-separated groups of up to four hexadecimal digits, the last of which may be an IPv4
// address; appends their bytes.
bool ParseGroups(std::string_view text, std::vector<std::uint8_t>& bytes) {
  while (!text.empty()) {
    const std::size_t colon = text.find(':');
    const std::string_view group = text.substr(0, colon);
    if (colon == std::string_view::npos && group.find('.') != std::string_view::npos) {
      const auto ipv4 = ParseIpv4(group);
      if (!ipv4) return false;
      bytes.insert(bytes.end(), ipv4->begin(), ipv4->end());
      return true;
    }
    if (group.empty() || group.size() > 4) return false;
    unsigned value = 0;
    for (char c : group) {
      const int digit = HexDigit(c);
      if (digit < 0) return false;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    if (colon == std::string_view::npos) return true;
    text.remove_prefix(colon + 1);
    if (text.empty()) return false;
  }
  return true;
}

std::optional<TIpv6> ParseIpv6(std::string_view text) {
  std::vector<std::uint8_t> head;
  std::vector<std::uint8_t> tail;
  const std::size_t gap = text.find("::");
  if (gap == std::string_view::npos) {
    if (!ParseGroups(text, head) || head.size() != 16) return std::nullopt;
  } else if (!ParseGroups(text.substr(0, gap), head) || !ParseGroups(text.substr(gap + 2), tail) ||
             head.size() + tail.size() > 14) {
    return std::nullopt;
  }
  TIpv6 address{};
  std::copy(head.begin(), head.end(), address.begin());
  std::copy(tail.begin(), tail.end(), address.end() - static_cast<std::ptrdiff_t>(tail.size()));
  return address;
}

bool IsPrivateIpv4(const TIpv4& a) {
  return a[0] == 0 || a[0] == 10 || a[0] == 127 || (a[0] == 169 && a[1] == 254) ||
         (a[0] == 172 && (a[1] & 0xF0) == 16) || (a[0] == 192 && a[1] == 168);
}

bool IsPrivateIpv6(const TIpv6& a) {
  const auto zeros = [&a](std::size_t count) {
    return std::all_of(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(count),
                       [](std::uint8_t byte) { return byte == 0; });
  };
  // "::", "::1" and the IPv4-compatible and IPv4-mapped forms are as private as their IPv4 part.
  if (zeros(12) || (zeros(10) && a[10] == 0xFF && a[11] == 0xFF))
    return IsPrivateIpv4({a[12], a[13], a[14], a[15]});
  const bool linkOrSiteLocal = a[0] == 0xFE && (a[1] & 0x80) == 0x80;
  const bool uniqueLocal = (a[0] & 0xFE) == 0xFC;
  return linkOrSiteLocal || uniqueLocal;
}

bool IsLocalhostName(std::string_view host) {
  if (!host.empty() && host.back() == '.') host.remove_suffix(1);
  std::string lower(host);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  constexpr std::string_view kName = "localhost";
  return lower == kName ||
         (lower.size() > kName.size() &&
          lower.compare(lower.size() - kName.size() - 1, std::string::npos, ".localhost") == 0);
}

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

}  // namespace

bool IsPrivateHost(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    host = host.substr(0, host.find('%'));  // a zone
    const auto ipv6 = ParseIpv6(host);
    return !ipv6 || IsPrivateIpv6(*ipv6);
  }
  if (const auto ipv4 = ParseIpv4(host)) return IsPrivateIpv4(*ipv4);
  return IsLocalhostName(host);
}

bool IsRefusedAddress(const std::string& url, const std::string& base) {
  // Read by libcurl's own parser, which reads numeric hosts ("127.1", "0x7f.0.0.1", "2130706433")
  // as the transfer will.
  std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
  if (!parsed) return true;
  constexpr unsigned kFlags = CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME;
  if (!base.empty() && curl_url_set(parsed.get(), CURLUPART_URL, base.c_str(), kFlags) != CURLUE_OK)
    return true;
  if (curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), kFlags) != CURLUE_OK) return true;
  char* host = nullptr;
  if (curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) return true;
  const bool refused = IsPrivateHost(host);
  curl_free(host);
  return refused;
}

}  // namespace cq
