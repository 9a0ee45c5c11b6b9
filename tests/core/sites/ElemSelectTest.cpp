#include <gtest/gtest.h>

#include <string>

#include "core/sites/ElemSelect.h"
#include "core/sites/Parser.h"
#include "core/sites/WebAddress.h"

namespace cq {
namespace {

const char kPage[] =
    "<html><body><div class=list><ul>"
    "<li><a href=/a.mid>One</a> <a href=/a.MMF>One m</a></li>"
    "<li><div><a href=\"/b.mid?x=1\" title=\"b c\">Two</a></div></li>"
    "<li><a href=/page/3>Three</a></li>"
    "</ul></div><script>var a = '<a href=/s.mid>x</a>';</script>"
    "<div class=more><a href=/next>Next</a><div><a href=/deep.mid>Deep</a></div></div>"
    "</body></html>";

// The bare words of every element found, joined by '|'; "!" and the error when it will not read.
std::string Found(const TElem& root, const std::string& path) {
  std::vector<TMessage> error;
  const auto compiled = TSelectPath::Compile(path, error);
  if (!compiled) return "!" + EnglishText(error);
  std::string out;
  for (const TElem* elem : compiled->Select(root))
    out += (out.empty() ? "" : "|") + ElemWords(*elem);
  return out;
}

TEST(ElemSelect, StepsAndFilters) {
  const auto document = Parse(kPage);
  struct Case {
    const char* path;
    const char* found;
  };
  const Case cases[] = {
      {"\\HTML\\BODY\\DIV\\UL\\2 LI\\DIV\\A", "Two"},
      {"HTML\\BODY\\DIV\\UL\\* LI\\A", "One|Three"},
      {"HTML\\BODY\\** A", "One|One m|Two|Three|Next|Deep"},
      {"** LI\\** A", "One|One m|Two|Three"},
      {"** DIV\\** A", "One|One m|Two|Three|Next|Deep"},
      {"** A[href$=\".mid\"]", "One|Deep"},
      {"** A[href*=\".MID\"]", "One|Two|Deep"},
      {"** A[href^=\"/page/\"]", "Three"},
      {"** A[title=\"b c\"]", "Two"},
      {"** A[title]", "Two"},
      {"** DIV[class=\"more\"]\\A", "Next"},
      {"** DIV[class=\"more\"]\\2 A", ""},
      {"** *[class=\"more\"]\\* *", "Next|</deep.mid> Deep"},
      {"HTML\\BODY\\DIV\\UL\\3 LI\\2 A[href]", ""},
      {"** UL\\2 LI[class]", ""},
      {"HTML\\BODY\\0 DIV",
       "!bad path 'HTML\\BODY\\0 DIV': a step's count must be a number from "
       "1, * or **: '0'"},
      {"HTML\\BODY\\$2 DIV",
       "!bad path 'HTML\\BODY\\$2 DIV': a step's count must be a number "
       "from 1, * or **: '$2'"},
      {"HTML\\", "!bad path 'HTML\\': a step has no tag name"},
      {"** A[href=x]", "!bad path '** A[href=x]': a filter's value must be in double quotes"},
      {"** A[href~=\"x\"]", "!bad path '** A[href~=\"x\"]': a filter must end with ]"},
      {"", "!an empty path"},
  };
  for (const Case& c : cases) EXPECT_EQ(Found(*document->Root(), c.path), c.found) << c.path;
}

TEST(ElemSelect, ValuesAndAddresses) {
  const auto document = Parse(kPage);
  std::vector<TMessage> error;
  const TElem& list = *FindElem(document->Root(), "HTML\\BODY\\DIV\\UL");
  EXPECT_EQ(TValuePath::Compile("LI\\A@HREF", error)->Read(list), "/a.mid");
  EXPECT_EQ(TValuePath::Compile("2 LI\\** A", error)->Read(list), "Two");
  EXPECT_EQ(TValuePath::Compile("4 LI\\A", error)->Read(list), std::nullopt);
  const TElem& link = *FindElem(&list, "LI\\A");
  EXPECT_EQ(TValuePath::Compile(".", error)->Read(link), "One");
  EXPECT_EQ(TValuePath::Compile(".@href", error)->Read(link), "/a.mid");

  struct Case {
    const char* base;
    const char* href;
    const char* url;  // "" when refused
  };
  const Case cases[] = {
      {"http://h.test/a/b?q=1", "c.mid", "http://h.test/a/c.mid"},
      {"http://h.test/a/b", "/c.mid", "http://h.test/c.mid"},
      {"https://h.test", "c.mid", "https://h.test/c.mid"},
      {"https://h.test/a", "//cdn.test/c.mid", "https://cdn.test/c.mid"},
      {"http://h.test/", "HTTPS://x.test/y", "HTTPS://x.test/y"},
      {"http://h.test/", "javascript:go('/x')", ""},
      {"http://h.test/", "file:///etc/passwd", ""},
      {"http://h.test/", "mailto:a@b.test", ""},
      {"http://h.test/", "a b.mid", ""},
      {"http://h.test/", "http:///x", ""},
      {"file:///tmp/", "x.mid", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveAddress(c.base, c.href).value_or(""), c.url) << c.base << " " << c.href;
  }
}

}  // namespace
}  // namespace cq
