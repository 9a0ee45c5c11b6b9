// The poly catalogue: centred tables, one result per row; the melody page names each format after
// a fixed lead-in and closes one of its layout rows twice.
#include <array>

#include "SiteContext.h"
#include "core/platform/Text.h"
#include "core/sites/SiteHosts.h"

namespace cq::samples {

namespace {

const std::string kBase(hosts::PolyCatalog);

struct TOffer {
  TFileKind Kind;
  const char* Extension;
  const char* Name;
};

constexpr std::array<TOffer, 4> kOffers = {{
    {fkMidi, "mid", "MIDI"},
    {fkMmf, "mmf", "MMF"},
    {fkMp3, "mp3", "MP3"},
    {fkWav, "wav", "WAV"},
}};

// Up to the cell that holds the page's own content. `doubledRow` closes the logo row twice.
void Top(TPageText& page, const std::string& title, bool doubledRow) {
  HtmlHead(page, title);
  page.Line(R"(<body bgcolor="#F0F0FF">)")
      .Line(R"(<table width="100%" border=0 cellpadding=0 cellspacing=0>)")
      .Line("<tr><td>")
      .Line("<center>")
      .Line(R"(<table width=760 border=0>)")
      .Add(R"(<tr><td colspan=2><a href=")" + kBase +
           R"(/"><img src="/img/polycat.gif" border=0 alt="Поли-каталог"></a></td></tr>)")
      .Line(doubledRow ? "\r\n</tr>" : "")
      .Line(
          R"(<tr><td colspan=2><form action="/search/index.shtml">Поиск: <input name=request><input type=hidden name=type value=poly><input type=hidden name=where value=all></form></td></tr>)")
      .Line(R"(<tr><td width=150 valign=top><a href="/new/">Новинки</a></td><td valign=top>)")
      .Line("<center>")
      .Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td>");
}

void Bottom(TPageText& page) {
  page.Line("</td></tr>")
      .Line("</table>")
      .Line("</center>")
      .Line("</td></tr>")
      .Line("</table>")
      .Line("</center>")
      .Line("</td></tr>")
      .Line("</table>")
      .Line("</body>")
      .Line("</html>");
}

TReply SearchPage(const TSiteContext& context, const TRequest& request) {
  const std::string term = QueryText(request.Query, "request");
  const std::vector<const TTune*> found = context.Catalogue.Search(siPolyCatalog, term);
  TPageText page;
  Top(page, "Поли-каталог: поиск", false);
  page.Line("<b>Полифонические мелодии по запросу «" + Escape(Cp1251ToUtf8(term)) +
            "»: " + std::to_string(found.size()) + "</b>")
      .Line("<div>")
      .Line(R"(<table width="100%" border=0>)");
  for (std::size_t i = 0; i < found.size(); ++i) {
    page.Line("<tr><td>" + std::to_string(i + 1) + ".</td><td><a href=\"" + kBase + "/poly/" +
              std::to_string(found[i]->Id) + ".shtml\">" + Escape(found[i]->FullTitle()) +
              "</a></td></tr>");
  }
  page.Line("</table>").Line("</div>");
  Bottom(page);
  return HtmlPage(page.Text());
}

TReply MelodyPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(siPolyCatalog)) return NotFound();
  TPageText page;
  Top(page, tune->FullTitle(), true);
  page.Line("<div>")
      .Line("<center>")
      .Line("<table border=0 cellpadding=4>")
      .Line("<tr><td>")
      .Line("<b>" + Escape(tune->FullTitle()) + "</b><br>");
  for (const TOffer& offer : kOffers) {
    if (!tune->Has(offer.Kind)) continue;
    page.Line("<a href=\"" + kBase + "/download/" + std::to_string(id) + "." + offer.Extension +
              "\">Скачать мелодию в формате " + offer.Name + "</a><br>");
  }
  // No lead-in: the program passes over this one.
  page.Line("<a href=\"" + kBase + "/send/" + std::to_string(id) +
            "\">Отправить мелодию на телефон (MIDI)</a><br>")
      .Line("</td></tr>")
      .Line("</table>")
      .Line("</center>")
      .Line("</div>");
  Bottom(page);
  return HtmlPage(page.Text());
}

TReply HomePage() {
  TPageText page;
  Top(page, "Поли-каталог", false);
  page.Line("<p>Полифонические мелодии для любых телефонов.</p>");
  Bottom(page);
  return HtmlPage(page.Text());
}

}  // namespace

TReply ServePolyCatalog(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/search/index.shtml") return SearchPage(context, request);
  if (request.Path == "/") return HomePage();
  if (const int id = NumberIn(request.Path, "/poly/", ".shtml")) return MelodyPage(context, id);
  for (const TOffer& offer : kOffers) {
    if (const int id = NumberIn(request.Path, "/download/", std::string(".") + offer.Extension)) {
      return TuneFile(context, siPolyCatalog, id, offer.Kind);
    }
  }
  return NotFound();
}

}  // namespace cq::samples
