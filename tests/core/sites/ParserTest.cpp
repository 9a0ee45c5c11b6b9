#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/sites/Parser.h"
#include "sites/TreeDump.h"

namespace cq {
namespace {

using test::Dump;
using test::DumpPage;

struct Case {
  const char* what;
  std::string page;
  std::string tree;
};

void ExpectTrees(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(DumpPage(c.page), c.tree) << c.what;
}

TEST(Parser, DocumentLoop) {
  ExpectTrees({
      {"text between top-level elements is dropped", "x<b>y</b>z<i>w</i>", R"(B("y") I("w"))"},
      {"a stray top-level close becomes an element with content", "</div>text<b>x</b>",
       R"(DIV("text" B("x")))"},
      {"tag names are upper-cased and closed in any case", "<Table><TR><td>x</TD></tr></TABLE>",
       R"(TABLE(TR(TD("x"))))"},
      {"unknown names keep every name character", "<my-tag.x>y</MY-TAG.X>", R"(MY-TAG.X("y"))"},
      {"Cyrillic bytes are name characters", "<\xe0\xe1>x</\xe0\xe1>", "\xe0\xe1(\"x\")"},
      {"unclosed elements end at the end of the text", "<div><b>xy", R"(DIV(B("x")))"},
      {"the last character is never read as text", "<div><b>x", "DIV(B)"},
      {"blanks before the end stop the loop", "<br>\r\n \t", "BR"},
  });
}

TEST(Parser, PagesWithoutElementsStillGiveOneEmptyNode) {
  for (const std::string page : {"", "hello", "<"}) {
    const auto document = Parse(page);
    ASSERT_EQ(document->Root()->Children().Count(), 1u) << page;
    EXPECT_EQ(document->Root()->Children()[0]->Name(), "") << page;
    EXPECT_EQ(document->Root()->Name(), "HTML document");
  }
}

TEST(Parser, ImpliedCloses) {
  std::vector<Case> cases;
  for (std::string name : {"P", "LI", "TD", "OPTION", "AREA", "FONT", "TR", "PARAM"}) {
    cases.push_back({"equal names close", "<" + name + ">a<" + name + ">b</" + name + ">",
                     name + "(\"a\") " + name + "(\"b\")"});
  }
  cases.push_back({"other equal names nest", "<div>a<div>b</div>", R"(DIV("a" DIV("b")))"});
  cases.push_back({"only equal names close", "<tr><td>x<tr></tr></td></tr>", "TR(TD(\"x\" TR))"});
  cases.push_back(
      {"a longer name is another name", "<td>a<tdx>b</tdx></td>", R"(TD("a" TDX("b")))"});
  cases.push_back({"the last character is lost here too", "<p>one<p>two", R"(P("one") P("tw"))"});
  cases.push_back({"cells and the row close", "<table><tr><td>a<td>b</tr></table>",
                   R"(TABLE(TR(TD("a") TD("b"))))"});
  ExpectTrees(cases);
}

TEST(Parser, EmptyElementsTakeNoContent) {
  std::vector<Case> cases;
  for (std::string name :
       {"META", "IMG", "LINK", "INPUT", "SPACER", "FRAME", "NOFRAME", "BASEFONT", "HR", "BR"}) {
    cases.push_back({"empty", "<div><" + name + ">x</div>", "DIV(" + name + " \"x\")"});
  }
  cases.push_back({"others take content", "<div><span>x</span></div>", R"(DIV(SPAN("x")))"});
  ExpectTrees(cases);
}

TEST(Parser, SelfClosingForms) {
  ExpectTrees({
      {"br", "<div><br/>a<hr />b</div>", R"(DIV(BR "a" HR "b"))"},
      {"any element", "<p><td/>x</p>", R"(P(TD "x"))"},
      {"a bare attribute ending in a slash", "<p><td nowrap/>x</p>", R"(P(TD[nowrap/] "x"))"},
      {"a link's slash ends its address", "<div><a href=/music/>x</a></div>",
       R"(DIV(A[href=/music/]("x")))"},
      {"a link never closes itself", "<div><a href=x/>y</a></div>", R"(DIV(A[href=x/]("y")))"},
      {"a self-closed script", "<script/>x<b>y</b>", R"(SCRIPT B("y"))"},
  });
}

TEST(Parser, Attributes) {
  ExpectTrees({
      {"spaces around = give bare attributes", "<div><font size = 3 color=\"red\">x</font></div>",
       R"(DIV(FONT[size|3|color=red]("x")))"},
      {"single and double quotes", "<a href='a b' title=\"x'y\">t</a>",
       R"(A[href=a b|title=x'y]("t"))"},
      {"= and / belong to an unquoted value", "<a href=x?a=1&b=2>t</a>",
       R"(A[href=x?a=1&b=2]("t"))"},
      {"a tab before = is passed over", "<a href\t=x>t</a>", R"(A[href=x]("t"))"},
      {"line breaks after = are passed over", "<a href=\n\"x\">t</a>", R"(A[href=x]("t"))"},
      {"a tab ends an unquoted value", "<a href=x\ty>t</a>", R"(A[href=x|y]("t"))"},
      {"quotes hold brackets", "<a title=\"a>b\">x</a>", R"(A[title=a>b]("x"))"},
      {"quotes are not names", "<div><a \"x\" b=1>t</a></div>", R"(DIV(A[x|b=1]("t")))"},
      {"a=> takes its value from the text after the >", "<div><a href=>x</a></div>",
       "DIV(A[href=x|a])"},
      {"an unclosed quote runs to the end", "<a href=\"x>y</a>", "A[href=x>y</a]"},
  });
}

TEST(Parser, TextRules) {
  ExpectTrees({
      {"line indentation goes", "<b>a\n  b</b>", R"(B("ab"))"},
      {"a break after a space adds nothing", "<b>a \r\nb</b>", R"(B("a b"))"},
      {"a break after a word becomes a space", "<b>a\r\nb</b>", R"(B("a b"))"},
      {"a break after > adds nothing", "<b>a>\r\nb</b>", R"(B("a>b"))"},
      {"each carriage return counts", "<b>a\r\r</b>", R"(B("a  "))"},
      {"tabs go", "<b>a\tb</b>", R"(B("ab"))"},
      {"tabs after a line feed go before the break rule", "<b>\n\t\ta\r\n\tb</b>", R"(B("a b"))"},
      {"blanks only add no node", "<b>\r\n\t </b>", "B"},
      {"entities stay raw", "<b>&lt;x&gt;</b>", R"(B("&lt;x&gt;"))"},
      {"a < b starts an element B", "<div>a < b</div>", R"(DIV("a " B[div]))"},
  });
}

TEST(Parser, DeclarationsCommentsAndInstructions) {
  ExpectTrees({
      {"a declaration keeps its case", "<!DOCTYPE html><html></html>", "!DOCTYPE html HTML"},
      {"comment lines", "<div><!--one\r\ntwo--></div>", "DIV(<JS/comment>(one two))"},
      {"comment lines are not trimmed", "<!-- x -->", "<JS/comment>( x )"},
      {"an empty comment", "<!---->", "<JS/comment>"},
      {"an unclosed comment takes the rest", "<div><!--abc", "DIV(<JS/comment>(abc))"},
      {"tags inside a comment are text", "<!--<b>x</b>--><i>y</i>",
       R"(<JS/comment>(<b>x</b>) I("y"))"},
      {"a processing instruction", "<?xml version=\"1.0\"?><wml><card>x</card></wml>",
       R"(<?xml?>(xml version="1.0") WML(CARD("x")))"},
  });
}

TEST(Parser, Scripts) {
  ExpectTrees({
      {"tags inside a script are text", "<script>document.write('<b>x</b>');</script>",
       "SCRIPT(document.write('<b>x</b>');)"},
      {"lines, attributes and a close in any case",
       "<SCRIPT language=js>a\r\nb\r\n</ScRiPt><b>c</b>", R"(SCRIPT[language=js](a b) B("c"))"},
      {"no text, no lines", "<script></script>", "SCRIPT"},
      {"only CR LF cuts", "<script>a\nb\r\rc</script>", "SCRIPT(a\nb\r\rc)"},
      {"an unclosed script takes the rest", "<div><script>x<b>y", "DIV(SCRIPT(x<b>y))"},
  });
}

TEST(Parser, LinesAfterTheFirstKeepAHundredThousandCharacters) {
  const std::string many(150000, 'y');
  const auto cut = Parse("<script>x\r\n" + many + "\r\nz</script>");
  const TElemList& lines = cut->Root()->Children()[0]->Children();
  ASSERT_EQ(lines.Count(), 2u);
  EXPECT_EQ(lines[0]->Name(), "x");
  EXPECT_EQ(lines[1]->Name(), std::string(100000, 'y'));

  // The limit falls right after a line break: nothing remains after it.
  const auto exact = Parse("<script>x\r\n" + std::string(99998, 'y') + "\r\nz</script>");
  const TElemList& exactLines = exact->Root()->Children()[0]->Children();
  ASSERT_EQ(exactLines.Count(), 2u);
  EXPECT_EQ(exactLines[1]->Name(), std::string(99998, 'y'));

  // The first line has no limit.
  const auto first = Parse("<script>" + many + "</script>");
  EXPECT_EQ(first->Root()->Children()[0]->Children()[0]->Name(), many);
}

// Each row of the close-tag table, in its order.
TEST(Parser, CloseTagTable) {
  std::vector<Case> cases = {
      {"1: own close", "<b>x</b>y", R"(B("x"))"},
      {"1: a closed table no longer counts", "<table></table><td>x</table>y", R"(TABLE TD("x"))"},
      {"2: a row close leaves the cell", "<tr><td>a</tr>", R"(TR(TD("a")))"},
      {"3: a table close leaves the row", "<table><tr>a</table>", R"(TABLE(TR("a")))"},
      {"5: a table close leaves a cell inside a table", "<table><tr><td>x</table>",
       R"(TABLE(TR(TD("x"))))"},
      {"5: a table close closes a cell outside tables", "<td>x</table>y</td>", R"(TD("x") TD)"},
      {"6: a cell close outside tables is ignored", "<div>a</td>b</div>", R"(DIV("a" "b"))"},
      {"7: a definition list close leaves its terms", "<dl><dt>a<dd>b</dl>",
       R"(DL(DT("a" DD("b"))))"},
      {"8: a map close leaves the area", "<map><area href=x></map>", "MAP(AREA[href=x])"},
      {"11: a form close inside clears the form", "<form><div>a</form>b<i>c</i>d</div>e</form>",
       R"(FORM(DIV("a" "b" I("c") "d")) FORM)"},
      {"13: a font close inside clears the font", "<font><div>a</font>b</div>c</font>",
       R"(FONT(DIV("a" "b")) FONT)"},
      {"13: a font inside a font is an implied close", "<font><font><div>a</font>b</div>c</font>",
       R"(FONT FONT(DIV("a" "b")) FONT)"},
      {"13: an enclosing font ends when control returns to it",
       "<font><td><font><div>a</font>b</div>c</td>d</font>",
       R"(FONT(TD(FONT(DIV("a" "b")) "c")) FONT)"},
      {"11: every directly enclosing form ends", "<form><form><div>a</form>b</div>c</form>",
       R"(FORM(FORM(DIV("a" "b"))) FORM)"},
      {"15: a span close is ignored", "<div>a</span>b</div>", R"(DIV("a" "b"))"},
      {"16: a doubled cell close is ignored", "<table><tr><td>a</td></td><td>b</td></tr></table>",
       R"(TABLE(TR(TD("a") TD("b"))))"},
      {"17: anything else leaves for the parent", "<div><span>a</div>b</div>",
       R"(DIV(SPAN("a")) DIV)"},
      {"17: a cell close inside a table travels to the top", "<table><div>a</td>b</div></table>",
       R"(TABLE(DIV("a")) TD("b") DIV TABLE)"},
  };
  for (std::string name : {"P", "B", "I", "U", "STRONG", "CENTER"}) {
    cases.push_back({"9: these leave any other close", "<div><" + name + ">x</div>",
                     "DIV(" + name + "(\"x\"))"});
  }
  for (std::string name : {"P", "B", "I", "U", "STRONG", "CENTER", "IMG", "BLOCKQUOTE"}) {
    cases.push_back(
        {"10: these closes are ignored", "<div>a</" + name + ">b</div>", R"(DIV("a" "b"))"});
  }
  ExpectTrees(cases);
}

// Scripted answers for the two diagnostics; every call is recorded.
class ParserDiagnostics : public testing::Test {
 protected:
  struct Call {
    std::string text;
    std::string caption;
  };

  void SetUp() override {
    diagnostics_.Prompt = [this](const std::string& text, const std::string& caption) {
      calls_.push_back({text, caption});
      const bool answer = answers_.empty() || answers_.front();
      if (!answers_.empty()) answers_.erase(answers_.begin());
      return answer;
    };
  }
  std::string Dump(std::string_view page) { return DumpPage(page, &diagnostics_); }

  std::vector<Call> calls_;
  std::vector<bool> answers_;
  TParserDiagnostics diagnostics_;
};

TEST_F(ParserDiagnostics, StayQuietWhileSwitchedOff) {
  diagnostics_.On = false;
  EXPECT_EQ(Dump("<div><span>a</div>b</div><form><form>"), R"(DIV(SPAN("a")) DIV(FORM(FORM)))");
  EXPECT_TRUE(calls_.empty());
}

TEST_F(ParserDiagnostics, UnmatchedCloseOkLeavesTheCloseForTheParent) {
  EXPECT_EQ(Dump("<div><span>a</div>b</div>"), R"(DIV(SPAN("a")) DIV)");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].text, "</SPAN> expected but </DIV> found");
  EXPECT_EQ(calls_[0].caption, "Un-matched tag close");
  EXPECT_TRUE(diagnostics_.On);
}

TEST_F(ParserDiagnostics, UnmatchedCloseCancelLeavesTheRestOfTheTagAsText) {
  answers_ = {false};
  EXPECT_EQ(Dump("<div><span>a</div>b</div>"), R"(DIV(SPAN("a") ">b"))");
  EXPECT_EQ(calls_.size(), 1u);
  EXPECT_FALSE(diagnostics_.On);
}

TEST_F(ParserDiagnostics, EveryUnmatchedCloseOnItsWayUp) {
  EXPECT_EQ(Dump("<table><div>a</td>b</div></table>"), R"(TABLE(DIV("a")) TD("b") DIV TABLE)");
  std::vector<std::string> texts;
  for (const Call& call : calls_) texts.push_back(call.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "</DIV> expected but </TD> found", "</TABLE> expected but </TD> found",
                       "</TD> expected but </DIV> found", "</DIV> expected but </TABLE> found"}));
}

TEST_F(ParserDiagnostics, EmptyCloseName) {
  // The stray "</ >" is read as a start tag that takes the next name: "b".
  EXPECT_EQ(Dump("<div><span>a</ >b</span></div>"), R"(DIV(SPAN("a")) B[span] DIV)");
  ASSERT_FALSE(calls_.empty());
  EXPECT_EQ(calls_[0].text, "</SPAN> expected but </> found");
}

TEST_F(ParserDiagnostics, ImbricatedFormGoesOnEitherWay) {
  for (const bool answer : {true, false}) {
    calls_.clear();
    answers_ = {answer};
    diagnostics_.On = true;
    EXPECT_EQ(Dump("<form><form>a</form></form>"), R"(FORM(FORM("a")))");
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].text, "Imbricated FORM detected");
    EXPECT_EQ(calls_[0].caption, "Imbricated FORM detected");
    EXPECT_EQ(diagnostics_.On, answer);
  }
}

TEST_F(ParserDiagnostics, AFormClosedByItsOwnTagStillCountsAsOpen) {
  EXPECT_EQ(Dump("<form>a</form><form>b</form>"), R"(FORM("a") FORM("b"))");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].text, "Imbricated FORM detected");
}

TEST_F(ParserDiagnostics, DoubledCellCloseIsNotReported) {
  EXPECT_EQ(Dump("<table><tr><td>a</td></td></tr></table>"), R"(TABLE(TR(TD("a"))))");
  EXPECT_TRUE(calls_.empty());
}

}  // namespace
}  // namespace cq
