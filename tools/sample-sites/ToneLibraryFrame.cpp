#include "ToneLibraryFrame.h"

#include "core/sites/SiteHosts.h"

namespace cq::samples {

void ToneLibraryTop(TPageText& page, const std::string& title) {
  const std::string base(hosts::ToneLibrary);
  HtmlHead(page, title);
  page.Line("<body>")
      .Line(R"(<table width="100%"><tr><td><a href=")" + base +
            R"(/"><img src="/pic/top.gif" border=0 alt="Библиотека тонов"></a></td></tr></table>)")
      .Line(
          R"(<table width="100%"><tr><td><form action="/search.php">Поиск: <input name=q><input type=hidden name=act value=search></form></td></tr></table>)")
      .Line(R"(<table width="100%" border=0>)")
      .Add(
          R"(<tr><td width=150 valign=top><a href="/">Главная</a><br><a href="/?act=temp">Временные файлы</a></td><td width=1>)")
      .Add("\r\n</td>\r\n<td>\r\n");
}

void ToneLibraryBottom(TPageText& page) {
  page.Line("</td></tr>").Line("</table>").Line("</body>").Line("</html>");
}

}  // namespace cq::samples
