#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/sites/IntegerText.h"
#include "core/sites/Parser.h"

namespace cq {
namespace {

// A row with cells TD, TH, TD, TD holding 1 to 4, inside the usual page frame.
const char kPage[] =
    "<html><body><table><tr><td>t1</td></tr></table><table><tr><td>t2</td></tr></table>"
    "<table><tr><td>1</td><th>2</th><td>3</td><td>4</td></tr></table></body></html>";

class ElemPath : public testing::Test {
 protected:
  std::string TextAt(std::string_view path) {
    const TElem* elem = FindElem(document_->Root(), path);
    return elem == nullptr ? "<none>" : GetText(elem);
  }

  std::unique_ptr<TDocument> document_ = Parse(kPage);
};

TEST_F(ElemPath, Steps) {
  struct Step {
    const char* path;
    const char* text;
  };
  const Step steps[] = {
      {"\\HTML\\BODY\\3 TABLE\\TR\\2 TD", "3"},
      {"\\HTML\\BODY\\3 TABLE\\TR\\3 TD", "4"},
      {"\\HTML\\BODY\\3 TABLE\\TR\\TH", "2"},
      {"\\HTML\\BODY\\TABLE", "t1"},
      {"\\html\\body\\2 table", "t2"},
      {"\\HTML\\BODY\\+3 TABLE\\TR\\$2 TD", "3"},
      {"\\HTML\\BODY\\3 TABLE\\TR\\4 TD", "<none>"},
      {"\\HTML\\BODY\\3 TABLE\\TR\\0 TD", "<none>"},
      {"\\HTML\\BODY\\FOO BAR", "<none>"},
      {"\\HTML\\BODY\\3 TABLE\\TR\\2 TD X", "<none>"},
      {"\\HTML\\BODY\\3 TABLE\\", "<none>"},
      {"\\HTML\\BODY\\3 TABLE\\TR\\3 ", "<none>"},
      {"\\HTML\\HEAD", "<none>"},
      {"", "<none>"},
  };
  for (const Step& step : steps) EXPECT_EQ(TextAt(step.path), step.text) << step.path;
}

TEST_F(ElemPath, FindChildCountsOnlyThatName) {
  const TElem* row = FindElem(document_->Root(), "HTML\\BODY\\3 TABLE\\TR");
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->Children().Count(), 4u);
  EXPECT_EQ(FindChild(row->Children(), "td", 3), row->Children()[3]);
  EXPECT_EQ(FindChild(row->Children(), "TH", 1), row->Children()[1]);
  EXPECT_EQ(FindChild(row->Children(), "TD", 4), nullptr);
  EXPECT_EQ(FindChild(row->Children(), "TD", 0), nullptr);
  EXPECT_EQ(FindElem(nullptr, "TD"), nullptr);
}

TEST(ElemAttributes, FirstOfThatNameInAnyCase) {
  const auto document = Parse("<a HREF=x href=y title data=a=b>t</a>");
  const TElem* link = document->Root()->Children()[0];
  ASSERT_EQ(link->AttributeCount(), 4u);
  EXPECT_EQ(link->AttributeEntry(0), "HREF=x");
  EXPECT_EQ(link->Attribute("href"), "x");
  EXPECT_EQ(link->Attribute("title"), "");
  EXPECT_EQ(link->Attribute("data"), "a=b");
  EXPECT_EQ(link->Attribute("missing"), "");
}

TEST(GetText, Renderings) {
  struct Rendering {
    const char* page;
    const char* text;
  };
  const Rendering renderings[] = {
      {"<a href=x.mid>x.mid</a>", "x.mid"},
      {"<a href=/x.mid>Song</a>", "</x.mid> Song"},
      {"<a href=\"\">Top</a>", "Top"},
      {"<a href=u><b>x</b></a>", "<u> *x*"},
      {"<div><a href=u></a>v</div>", "<u> v"},
      {"<b>bold</b>", "*bold*"},
      {"<p>a<br>b</p>", "\r\n  a\r\nb"},
      {"<div>a<span>b</span>c</div>", "abc"},
      {"<b>&nbsp;Hello </b>", "* Hello*"},
      {"<b> x&amp;lt;y </b>", "*x&lt;y*"},
      // Line children render by their names as well: "b" is bold.
      {"<!--xy\r\nb-->", "**"},
      // The outer address equals its text once the inner link has its address in front.
      {"<a href=\"<u> v\"><a href=u>v</a></a>", "<u> v"},
      {"<a href=\"<u> w\"><a href=u>v</a></a>", "<<u> w> <u> v"},
  };
  for (const Rendering& rendering : renderings) {
    const auto document = Parse(rendering.page);
    EXPECT_EQ(GetText(document->Root()->Children()[0]), rendering.text) << rendering.page;
  }
  EXPECT_EQ(GetText(nullptr), "");
}

TEST(GetText, FirstChildOfALinkGivesItsBareWords) {
  const auto document = Parse("<a href=/x.mid> Song &quot;1&quot; </a>");
  EXPECT_EQ(GetText(document->Root()->Children()[0]->Children()[0]), "Song \"1\"");
}

TEST(DecodeEntities, References) {
  struct Reference {
    std::string text;
    std::string decoded;
  };
  const Reference references[] = {
      {"&lt;&gt;&amp;&nbsp;&quot;", "<>& \""},
      {"&LT;&Amp;", "<&"},
      {"&#65;&#x41;&#X41;&#0x41;&#$41;", "AAAAA"},
      {"&#321;", "A"},
      {"&#-191;", "A"},
      {"&#abc;", std::string(1, '\0')},
      {"&#99999999999;", std::string(1, '\0')},
      {"&Eacute;", "&eacute;"},
      {"&amp;lt;", "&lt;"},
      {"a & b", "a & b"},
      {"a&B&lt;", "a&b&lt;"},
      {"&" + std::string(999, 'X') + ";", "&" + std::string(999, 'x') + ";"},
      {"&" + std::string(1000, 'X') + ";", "&" + std::string(1000, 'X') + ";"},
      // Only the '&' within reach of the ';' starts a reference.
      {"&&&" + std::string(998, 'X') + ";", "&&&" + std::string(998, 'x') + ";"},
      {"&" + std::string(2000, '&') + ";", std::string(1001, '&') + std::string(1000, '&') + ";"},
      {"&&lt;", "&&lt;"},
  };
  for (const Reference& reference : references) {
    EXPECT_EQ(DecodeEntities(reference.text), reference.decoded) << reference.text;
  }
}

TEST(ReadInteger, Forms) {
  struct Form {
    const char* text;
    bool reads;
    std::int32_t value;
  };
  const Form forms[] = {
      {"3", true, 3},
      {"-5", true, -5},
      {" 7", true, 7},
      {"$1F", true, 31},
      {"x10", true, 16},
      {"0x1f", true, 31},
      {"-$10", true, -16},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"$FFFFFFFF", true, -1},
      {"$100000000", false, 0},
      {"", false, 0},
      {"0x", false, 0},
      {"1 ", false, 0},
      {"12a", false, 0},
  };
  for (const Form& form : forms) {
    std::int32_t value = 12345;
    EXPECT_EQ(ReadInteger(form.text, value), form.reads) << form.text;
    if (form.reads) {
      EXPECT_EQ(value, form.value) << form.text;
    }
  }
}

}  // namespace
}  // namespace cq
