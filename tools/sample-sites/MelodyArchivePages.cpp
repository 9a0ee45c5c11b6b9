// The melody archive: searched on one host, melody pages and files on another. The melody page
// splits its download links and its file addresses over several cells, which the program joins.
#include <array>

#include "SiteContext.h"
#include "core/platform/Text.h"
#include "core/sites/SiteHosts.h"

namespace cq::samples {

namespace {

const std::string kSearchBase(hosts::MelodyArchiveSearch);
const std::string kFilesBase(hosts::MelodyArchiveFiles);

struct TOffer {
  TFileKind Kind;
  const char* Extension;
  const char* Label;  // what follows "Загрузить файл " in the link
  const char* Short;  // for the result list
};

constexpr std::array<TOffer, 4> kOffers = {{
    {fkMidi, "mid", "MIDI (полифония)", "MIDI"},
    {fkMmf, "mmf", "MMF (SMAF)", "MMF"},
    {fkWav, "wav", "WAV", "WAV"},
    {fkMp3, "mp3", "MP3", "MP3"},
}};

std::string FileAddress(const TTune& tune, const TOffer& offer) {
  return kFilesBase + "/mel/" + std::to_string(tune.Id) + "/" + std::to_string(tune.Id) + "." +
         offer.Extension;
}

void Top(TPageText& page, const std::string& title) {
  HtmlHead(page, title);
  page.Line("<body>").Line(
      R"(<table width="100%"><tr><td><a href=")" + kSearchBase +
      R"(/"><img src="/i/logo.gif" border=0 alt="Архив мелодий"></a></td></tr></table>)");
}

TReply SearchPage(const TSiteContext& context, const TRequest& request) {
  const std::string term = QueryText(request.Query, "mmsearch");
  const std::vector<const TTune*> found = context.Catalogue.Search(siMelodyArchive, term);
  TPageText page;
  Top(page, "Архив мелодий: поиск");
  page.Line(
          R"(<table width="100%"><tr><td><a href="/">Главная</a> | <a href="/1/top.php">Популярное</a></td></tr></table>)")
      .Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td>")
      .Line(R"(<table width="100%" border=0>)")
      .Line(
          R"(<tr><td width=150 valign=top><a href="/1/new.php">Новое</a><br></td><td valign=top>)")
      .Line(R"(<div align=center><table width="95%" border=0>)")
      .Line("<tr><td>");
  if (found.empty()) {
    page.Line("<h2>По запросу «" + Escape(Cp1251ToUtf8(term)) + "» ничего не найдено</h2>");
  } else {
    page.Line("<h2>Найдено мелодий: " + std::to_string(found.size()) +
              " (MIDI, MMF, WAV, MP3)</h2>")
        .Line(R"(<table width="100%" border=0 cellspacing=2>)")
        .Line("<tr><td>№</td><td>Форматы</td><td><b>Исполнитель</b> - Название</td></tr>");
    for (std::size_t i = 0; i < found.size(); ++i) {
      const TTune& tune = *found[i];
      std::string formats;
      for (const TOffer& offer : kOffers) {
        if (tune.Has(offer.Kind)) formats += std::string(formats.empty() ? "" : ", ") + offer.Short;
      }
      page.Line("<tr><td>" + std::to_string(i + 1) + "</td><td>" + formats + "</td><td><b>" +
                Escape(tune.Performer) + "</b> - <a href=\"" + kFilesBase + "/melody/" +
                std::to_string(tune.Id) + ".html\">" + Escape(tune.Title) + "</a></td></tr>");
    }
    page.Line("</table>");
  }
  page.Line("</td></tr></table></div>")
      .Line("</td></tr></table>")
      .Line("</td></tr></table>")
      .Line("</body>")
      .Line("</html>");
  return HtmlPage(page.Text());
}

// Every link sits in a cell of its own after "</td><td> ", and every address after the first in a
// cell of its own after "</td>\r\n<td>\r\n".
TReply MelodyPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(siMelodyArchive)) return NotFound();
  TPageText page;
  Top(page, tune->FullTitle());
  page.Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td>")
      .Line(R"(<table width="100%" border=0>)")
      .Line(R"(<tr><td width=150 valign=top><a href=")" + kSearchBase +
            R"(/">Поиск</a><br></td><td valign=top>)")
      .Line(R"(<table><tr><td><a href=")" + kSearchBase +
            R"(/">Архив</a> &gt; Мелодия</td></tr></table>)")
      .Line("<table><tr><td><h1>" + Escape(tune->Title) + "</h1></td></tr></table>")
      .Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td>Исполнитель:</td> <td>" + Escape(tune->Performer) + "</td></tr>")
      .Line("<tr><td>Название:</td> <td>" + Escape(tune->Title) + "</td></tr>")
      .Line("<tr><td>Номер:</td> <td>" + std::to_string(id) + "</td></tr>")
      .Line("<tr><td>Длительность:</td> <td>0:" + std::to_string(10 + id % 50) + "</td></tr>")
      .Line("<tr><td>Добавлено:</td> <td>200" + std::to_string(2 + id % 4) + "</td></tr>")
      .Add("<tr><td>Скачать:</td> ");
  std::string addresses;
  bool first = true;
  for (const TOffer& offer : kOffers) {
    if (!tune->Has(offer.Kind)) continue;
    const std::string address = FileAddress(*tune, offer);
    page.Add(std::string(first ? "<td>" : "</td><td>") + " <a href=\"" + address +
             "\">Загрузить файл " + offer.Label + "</a>");
    addresses += std::string(first ? "" : "</td>\r\n<td>\r\n") + "<u>" + address + "</u><br>\r\n";
    first = false;
  }
  // Neither a format nor a space after the fixed lead-in: the program passes over it.
  page.Line("</td><td> <a href=\"" + kFilesBase + "/zip/" + std::to_string(id) +
            ".zip\">Загрузить файлы архивом</a></td></tr>")
      .Line("<tr><td colspan=2>&nbsp;</td></tr>")
      .Add("<tr><td>Прямые ссылки:</td> <td>\r\n<u>" + kFilesBase + "/</u><br>\r\n")
      .Add(addresses)
      .Line("</td>\r\n</tr>")
      .Line("</table>")
      .Line("</td></tr></table>")
      .Line("</td></tr></table>")
      .Line("</body>")
      .Line("</html>");
  return HtmlPage(page.Text());
}

TReply HomePage(const std::string& caption) {
  TPageText page;
  Top(page, caption);
  page.Line("<p>Мелодии в форматах MIDI, MMF, WAV, MP3.</p>").Line("</body>").Line("</html>");
  return HtmlPage(page.Text());
}

}  // namespace

TReply ServeMelodyArchiveSearch(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/1/search.php") return SearchPage(context, request);
  if (request.Path == "/") return HomePage("Архив мелодий");
  return NotFound();
}

TReply ServeMelodyArchiveFiles(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/") return HomePage("Архив мелодий: файлы");
  if (const int id = NumberIn(request.Path, "/melody/", ".html")) return MelodyPage(context, id);
  // "/mel/N/N.ext"
  const int folder = NumberIn(request.Path.substr(0, request.Path.rfind('/') + 1), "/mel/", "/");
  for (const TOffer& offer : kOffers) {
    const int id = NumberIn(request.Path, "/mel/" + std::to_string(folder) + "/",
                            std::string(".") + offer.Extension);
    if (folder != 0 && id == folder) return TuneFile(context, siMelodyArchive, id, offer.Kind);
  }
  return NotFound();
}

}  // namespace cq::samples
