#pragma once

#include <string>

namespace cq::samples {

// What one request gets back.
struct TReply {
  int Status = 200;
  std::string ContentType;
  std::string Body;
};

// An HTML page written in UTF-8 and sent in windows-1251, as the HTML sites send theirs.
TReply HtmlPage(const std::string& utf8);
// An HTML page written and sent in UTF-8, as present-day sites send theirs.
TReply Utf8HtmlPage(std::string utf8);
// A WML deck, sent in UTF-8.
TReply WmlDeck(std::string utf8);
TReply NotFound();

}  // namespace cq::samples
