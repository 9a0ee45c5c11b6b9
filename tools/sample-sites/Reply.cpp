#include "Reply.h"

#include "core/platform/Text.h"

namespace cq::samples {

TReply HtmlPage(const std::string& utf8) {
  return {200, "text/html; charset=windows-1251", Utf8ToCp1251(utf8)};
}

TReply Utf8HtmlPage(std::string utf8) {
  return {200, "text/html; charset=utf-8", std::move(utf8)};
}

TReply WmlDeck(std::string utf8) {
  return {200, "text/vnd.wap.wml; charset=utf-8", std::move(utf8)};
}

TReply NotFound() {
  return {404, "text/html; charset=windows-1251",
          "<html><body><h1>404 Not Found</h1></body></html>\r\n"};
}

}  // namespace cq::samples
