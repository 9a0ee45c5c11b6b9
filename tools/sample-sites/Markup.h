#pragma once

#include <map>
#include <string>
#include <string_view>

namespace cq::samples {

// A page assembled line by line with the CR LF line ends the sites use. Fragments that must sit
// on one line (or carry their own line breaks, as the sites' quirks need) go through Add.
class TPageText {
 public:
  TPageText& Line(std::string_view text);
  TPageText& Add(std::string_view text);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Text for a page or an attribute value: & < > " written as references.
std::string Escape(std::string_view text);

// Query keys and values as sent: '+' is a space, %XX a byte.
using TQuery = std::map<std::string, std::string>;
TQuery ParseQuery(std::string_view query);
std::string PercentDecode(std::string_view text);

// A query value read as a number, or `fallback`.
int QueryNumber(const TQuery& query, const std::string& key, int fallback);
std::string QueryText(const TQuery& query, const std::string& key);

}  // namespace cq::samples

namespace cq::samples {

// The document type, the head with `title` and the windows-1251 declaration, up to </head>.
void HtmlHead(TPageText& page, std::string_view title);

}  // namespace cq::samples
