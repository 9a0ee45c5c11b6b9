#include <gtest/gtest.h>

#include "core/sites/ChildCursor.h"
#include "core/sites/Scraping.h"

namespace cq {
namespace {

// Rows of cells and headers, some rows without a link, and one cell in small letters.
const char kPage[] =
    "<html><body><table>"
    "<tr><td>1</td><td><a href=1>one</a></td></tr><th>h</th>"
    "<tr><td>2</td><td>none</td></tr>"
    "<tr><td>3</td><td><a href=3>three</a></td></tr>"
    "<tr><td>4</td><td><a href=4>four</a><td><a href=4b>more</a></td></tr>"
    "</table></body></html>";

// The cursor and the numbered paths find what FindChild and FindElem find, node for node, in
// any order of numbers: rising, repeated, falling, out of range.
TEST(NthPaths, FindWhatTheWholePathFinds) {
  const auto document = Parse(kPage);
  const TElem& root = *document->Root();
  const TElem* table = FindElem(&root, "HTML\\BODY\\TABLE");
  ASSERT_NE(table, nullptr);
  const char* const names[] = {"TR", "tr", "TH", "P"};
  const char* const tails[] = {"", "2 TD\\A", "2 td", "3 TD\\A", "TD\\", "FOO BAR"};
  const int numbers[] = {1, 2, 2, 3, 5, 4, 1, 0, -1, 3, 4, 6};
  for (const char* name : names) {
    TChildCursor cursor(table->Children(), name);
    for (const char* prefix : {"HTML\\BODY\\TABLE\\", "\\HTML\\BODY\\2 TABLE\\"}) {
      for (const char* tail : tails) {
        TNthPaths paths(root, prefix, name);
        for (const int n : numbers) {
          const std::string path =
              NthPath(prefix, n, std::string(" ") + name + (*tail != 0 ? "\\" : "") + tail);
          EXPECT_EQ(paths.Find(n, tail), FindElem(&root, path)) << path;
          if (*tail == 0) {
            EXPECT_EQ(cursor.At(n), FindChild(table->Children(), name, n)) << path;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace cq
