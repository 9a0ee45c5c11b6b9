#include <gtest/gtest.h>

#include <string>

#include "core/sites/Parser.h"
#include "sites/TreeDump.h"

namespace cq {
namespace {

constexpr std::size_t kDepth = 1000000;

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// A million unclosed elements: built, walked and freed without deep recursion.
TEST(ParserDepth, MillionUnclosedElements) {
  auto document = Parse(Repeat("<div>", kDepth) + "xy");
  const TElem* elem = document->Root();
  std::size_t depth = 0;
  while (elem->Children().Count() != 0 && elem->Children()[0]->Name() == "DIV") {
    ASSERT_EQ(elem->Children().Count(), 1u);
    elem = elem->Children()[0];
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
  ASSERT_EQ(elem->Children().Count(), 1u);
  EXPECT_EQ(elem->Children()[0]->Name(), "\"x\"");

  std::string path = Repeat("DIV\\", kDepth);
  path.pop_back();
  EXPECT_EQ(FindElem(document->Root(), path), elem);
  EXPECT_EQ(FindElem(document->Root(), path + "\\DIV"), nullptr);
  EXPECT_EQ(GetText(document->Root()), "x");
  document.reset();
}

TEST(ParserDepth, TextOfDeepMarkup) {
  const auto bold = Parse(Repeat("<b>", kDepth) + "xy");
  EXPECT_EQ(GetText(bold->Root()), std::string(kDepth, '*') + "x" + std::string(kDepth, '*'));

  const auto links = Parse(Repeat("<a href=u>", kDepth) + "vw");
  EXPECT_EQ(GetText(links->Root()), Repeat("<u> ", kDepth) + "v");
}

TEST(ParserDepth, StrayCloseTravelsThroughAMillionElements) {
  const auto document = Parse(Repeat("<div>", kDepth) + "</x><b>y</b>z");
  const TElemList& top = document->Root()->Children();
  ASSERT_EQ(top.Count(), 2u);
  EXPECT_EQ(top[0]->Name(), "DIV");
  EXPECT_EQ(test::Dump(top[1]), R"(X(B("y")))");
}

TEST(ParserDepth, LongCloseNameThroughManyElements) {
  const std::string name(100000, 'q');
  const auto document = Parse(Repeat("<div>", 100000) + "</" + name + ">");
  const TElemList& top = document->Root()->Children();
  ASSERT_EQ(top.Count(), 2u);
  EXPECT_EQ(top[1]->Name(), std::string(100000, 'Q'));
}

}  // namespace
}  // namespace cq
