// The request catalogue: one melody per result row, formats as links on the melody page with
// the file addresses repeated as underlined text.
#include <array>

#include "SiteContext.h"
#include "core/platform/Text.h"
#include "core/sites/SiteHosts.h"

namespace cq::samples {

namespace {

const std::string kBase(hosts::RequestCatalog);

struct TOffer {
  TFileKind Kind;
  const char* Extension;
  const char* Caption;
};

constexpr std::array<TOffer, 4> kOffers = {{
    {fkMidi, "mid", "Полифония MIDI"},
    {fkMmf, "mmf", "SMAF MMF"},
    {fkMp3, "mp3", "Реалтон MP3"},
    {fkWav, "wav", "Реалтон WAV"},
}};

std::string FileAddress(const TTune& tune, const TOffer& offer) {
  return kBase + "/files/" + std::to_string(tune.Id) + "." + offer.Extension;
}

// The site writes an advertisement loader whose inner close tag ends the script early, and closes
// the search form's row twice.
void PageTop(TPageText& page, const std::string& title, const std::string& term) {
  HtmlHead(page, title);
  page.Line(R"(<body bgcolor="#FFFFFF" text="#000000">)")
      .Line(R"(<script language="JavaScript">)")
      .Line("document.write('<script src=\"" + kBase +
            "/banner.js?r=' + Math.random() + '\"></script>');")
      .Line("</script>")
      .Line(R"(<table width="100%" border=0 cellspacing=0 cellpadding=0>)")
      .Line(R"(<tr><td><a href=")" + kBase +
            R"(/"><img src="/img/logo.gif" alt="Каталог заявок" border=0></a></td></tr>)")
      .Line("</table>")
      .Line(
          R"(<table width="100%" border=0><tr><td><a href="/">Главная</a> | <a href="/new/">Новинки</a> | <a href="/top/">Лучшие</a></td></tr></table>)")
      .Line(R"(<table width="100%" border=0>)")
      .Line("<tr>")
      .Line(
          R"(<td width=160 valign=top><a href="/new/">Новинки</a><br><a href="/top/">Лучшие</a><br></td>)")
      .Line("<td valign=top>")
      .Line(R"(<table width="100%" border=0 cellspacing=0>)")
      .Add(
          R"(<tr><td colspan=2><form action="/search/index.shtml" method=get>Поиск: <input type=text name=request value=")" +
          Escape(term) +
          R"("><input type=hidden name=where value=all><input type=submit value="Найти"></form></td></tr>)")
      .Line("\r\n</tr>")
      .Line("<tr><td colspan=2><b>" + Escape(title) + "</b></td></tr>");
}

void PageBottom(TPageText& page) {
  page.Line("</table>")
      .Line("</td>")
      .Line("</tr>")
      .Line("</table>")
      .Line(
          R"(<table width="100%"><tr><td align=center><small>Каталог заявок, 2003-2005</small></td></tr></table>)")
      .Line("</body>")
      .Line("</html>");
}

TReply SearchPage(const TSiteContext& context, const TRequest& request) {
  const std::string term = QueryText(request.Query, "request");
  const std::vector<const TTune*> found = context.Catalogue.Search(siRequestCatalog, term);
  TPageText page;
  PageTop(page, "Результаты поиска: найдено " + std::to_string(found.size()), Cp1251ToUtf8(term));
  page.Line(
      R"(<tr><td width=20>&nbsp;</td><td><div align=left><table width="100%" border=0 cellspacing=1>)");
  for (std::size_t i = 0; i < found.size(); ++i) {
    const TTune& tune = *found[i];
    page.Line("<tr><td width=30>" + std::to_string(i + 1) + ".</td><td><p><a href=\"" + kBase +
              "/melody/" + std::to_string(tune.Id) + ".shtml\">" + Escape(tune.FullTitle()) +
              "</a></p></td></tr>");
  }
  page.Line("</table></div></td></tr>");
  PageBottom(page);
  return HtmlPage(page.Text());
}

TReply MelodyPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(siRequestCatalog)) return NotFound();
  TPageText page;
  PageTop(page, tune->FullTitle(), "");
  page.Line("<tr><td width=20>&nbsp;</td><td valign=top>")
      .Line("<table><tr><td><h1>" + Escape(tune->Title) + "</h1></td></tr></table>")
      .Line("<p>Исполнитель: " + Escape(tune->Performer) + "<br>Заявка №" + std::to_string(id) +
            "</p>")
      .Line(R"(<table width="100%"><tr><td><div align=center><table border=1 cellpadding=3>)")
      .Line("<tr><td colspan=2>Форматы</td></tr>")
      .Add("<tr><td>Скачать:</td><td>");
  std::string addresses;
  for (const TOffer& offer : kOffers) {
    if (!tune->Has(offer.Kind)) continue;
    const std::string address = FileAddress(*tune, offer);
    const std::size_t size = context.Media.File(id, offer.Kind).size();
    page.Add("<a href=\"" + address + "\">" + offer.Caption + "</a> (" +
             std::to_string((size + 1023) / 1024) + " Кб)<br>");
    addresses += "<u>" + address + "</u><br>";
  }
  page.Line("Все файлы проверены</td></tr>")
      .Line("</table></div></td></tr></table>")
      .Line("<p>Прямые ссылки:<br>" + addresses + "</p>")
      .Line("</td></tr>");
  PageBottom(page);
  return HtmlPage(page.Text());
}

TReply HomePage() {
  TPageText page;
  PageTop(page, "Каталог заявок", "");
  page.Line("<tr><td colspan=2>Мелодии для телефонов по заявкам слушателей.</td></tr>");
  PageBottom(page);
  return HtmlPage(page.Text());
}

}  // namespace

TReply ServeRequestCatalog(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/search/index.shtml") return SearchPage(context, request);
  if (request.Path == "/" || request.Path == "/index.shtml") return HomePage();
  if (const int id = NumberIn(request.Path, "/melody/", ".shtml")) return MelodyPage(context, id);
  for (const TOffer& offer : kOffers) {
    if (const int id = NumberIn(request.Path, "/files/", std::string(".") + offer.Extension)) {
      return TuneFile(context, siRequestCatalog, id, offer.Kind);
    }
  }
  return NotFound();
}

}  // namespace cq::samples
