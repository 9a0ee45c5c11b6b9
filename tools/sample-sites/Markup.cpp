#include "Markup.h"

#include <charconv>

namespace cq::samples {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

TPageText& TPageText::Line(std::string_view text) {
  text_ += text;
  text_ += "\r\n";
  return *this;
}

TPageText& TPageText::Add(std::string_view text) {
  text_ += text;
  return *this;
}

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

TQuery ParseQuery(std::string_view query) {
  TQuery result;
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    const std::size_t equals = pair.find('=');
    if (!pair.empty()) {
      result[PercentDecode(pair.substr(0, equals))] =
          equals == std::string_view::npos ? "" : PercentDecode(pair.substr(equals + 1));
    }
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return result;
}

int QueryNumber(const TQuery& query, const std::string& key, int fallback) {
  const std::string text = QueryText(query, key);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

std::string QueryText(const TQuery& query, const std::string& key) {
  const auto found = query.find(key);
  return found == query.end() ? std::string() : found->second;
}

}  // namespace cq::samples

namespace cq::samples {

void HtmlHead(TPageText& page, std::string_view title) {
  page.Line(R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)")
      .Line("<html>")
      .Line("<head>")
      .Line("<title>" + Escape(title) + "</title>")
      .Line(R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1251">)")
      .Line("</head>");
}

}  // namespace cq::samples
