// The MIDI archive: three table rows per melody, ten melodies a page with a page list, links that
// call a script with the song's path, and a file server that is often too busy at first.
#include <algorithm>

#include "SiteContext.h"
#include "core/platform/Text.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"

namespace cq::samples {

namespace {

const std::string kBase(hosts::MidiArchive);
constexpr std::size_t kPerPage = 10;

std::string SearchAddress(const std::string& term, std::size_t page) {
  return kBase + "/find_midi.php?find=" + EncodeQuery(term) + "&page=" + std::to_string(page);
}

void Top(TPageText& page, const std::string& title) {
  HtmlHead(page, title);
  page.Line(R"(<body bgcolor="#000040" text="#FFFFFF" link="#FFFF00">)");
  // Banner, menu, news and counters come before the content table.
  page.Line(
          R"(<table width="100%"><tr><td><img src="/img/midiarchive.gif" alt="MIDI-архив"></td></tr></table>)")
      .Line(
          R"(<table width="100%"><tr><td><a href="/">Главная</a> | <a href="/top.php">Популярное</a></td></tr></table>)")
      .Line(R"(<table width="100%"><tr><td><font size=1>Новости архива</font></td></tr></table>)")
      .Line(
          R"(<table width="100%"><tr><td><img src="/img/counter.gif" width=88 height=31></td></tr></table>)");
}

void PageList(TPageText& page, const std::string& term, std::size_t current, std::size_t pages) {
  page.Add("<div align=center><p><b>Страницы:");
  for (std::size_t n = 1; n <= pages; ++n) {
    if (n == current) {
      page.Add(" <u>" + std::to_string(n) + "</u>");
    } else {
      page.Add(" <a href=\"" + SearchAddress(term, n) + "\">" + std::to_string(n) + "</a>");
    }
  }
  if (current < pages) {
    page.Add(" <a href=\"" + SearchAddress(term, current + 1) + "\">&gt;&gt;</a>");
  } else {
    page.Add(" &nbsp;");
  }
  page.Line("</b></p></div>");
}

TReply SearchPage(const TSiteContext& context, const TRequest& request) {
  const std::string term = QueryText(request.Query, "find");
  const std::size_t current =
      static_cast<std::size_t>(std::max(1, QueryNumber(request.Query, "page", 1)));
  const std::vector<const TTune*> found = context.Catalogue.Search(siMidiArchive, term);
  const std::size_t pages = (found.size() + kPerPage - 1) / kPerPage;
  TPageText page;
  Top(page, "MIDI-архив: поиск");
  page.Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td>")
      .Line(R"(<table><tr><td><form action="/find_midi.php">Найти: <input name=find value=")" +
            Escape(Cp1251ToUtf8(term)) + R"("></form></td></tr></table>)")
      .Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td>Результаты поиска: " + std::to_string(found.size()) + "</td></tr>")
      .Line("<tr><td>")
      .Line("<p>")
      .Line(R"(<table width="100%" border=0 cellspacing=0>)")
      .Line("<tr><td colspan=2><b>Название</b></td></tr>")
      .Line("<tr><td colspan=2><font size=1>Исполнитель</font></td></tr>")
      .Line(R"(<tr><td colspan=2><hr size=1></td></tr>)");
  for (std::size_t i = (current - 1) * kPerPage; i < found.size() && i < current * kPerPage; ++i) {
    const TTune& tune = *found[i];
    const std::string song = "/song/" + std::to_string(tune.Id) + "/";
    const std::size_t size = context.Media.File(tune.Id, fkMidi).size();
    page.Line("<tr><td>" + std::to_string(i + 1) + ".</td><td><a href=\"" + kBase + song +
              "\"><img src=\"/img/note.gif\" border=0></a> <a href=\"javascript:song('" + song +
              "')\"><b>" + Escape(tune.Title) + "</b></a></td></tr>")
        .Line("<tr><td><a href=\"/artist.php?name=" + std::to_string(tune.Id) + "\"><font size=1>" +
              Escape(tune.Performer) + "</font></a></td></tr>");
    // Some songs have no size on record: the second font is left empty.
    const std::string sizeText = tune.Id % 5 == 0 ? "" : std::to_string(size) + " байт";
    page.Line("<tr><td><font size=1>Размер:</font> <font size=1>" + sizeText + "</font></td></tr>");
  }
  page.Line("</table>").Line("</p>");
  if (pages > 1) PageList(page, term, current, pages);
  page.Line("</td></tr>")
      .Line("</table>")
      .Line("</td></tr>")
      .Line("</table>")
      .Line("</body>")
      .Line("</html>");
  return HtmlPage(page.Text());
}

TReply SongPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(siMidiArchive)) return NotFound();
  TPageText page;
  Top(page, tune->FullTitle());
  page.Line("<p>" + Escape(tune->FullTitle()) + "</p>")
      .Line("<p><a href=\"" + kBase + "/song/" + std::to_string(id) +
            "/midiget.php?getsong=" + std::to_string(id) + "\">Скачать MIDI</a></p>")
      .Line("</body>")
      .Line("</html>");
  return HtmlPage(page.Text());
}

TReply WaitingPage() {
  TPageText page;
  HtmlHead(page, "MIDI-архив: подождите");
  page.Line(R"(<body><meta http-equiv="refresh" content="5">)")
      .Line("Сервер файлов занят.<br><br>Повторите запрос через несколько секунд.")
      .Line("</body>")
      .Line("</html>");
  return HtmlPage(page.Text());
}

TReply HomePage() {
  TPageText page;
  Top(page, "MIDI-архив");
  page.Line("<p>Архив MIDI-файлов.</p>").Line("</body>").Line("</html>");
  return HtmlPage(page.Text());
}

}  // namespace

TReply ServeMidiArchive(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/find_midi.php") return SearchPage(context, request);
  if (request.Path == "/") return HomePage();
  const int id = NumberIn(request.Path, "/song/", "/midiget.php");
  if (id != 0) {
    if (id != QueryNumber(request.Query, "getsong", 0)) return NotFound();
    const TTune* tune = context.Catalogue.Find(id);
    if (tune == nullptr || !tune->On(siMidiArchive)) return NotFound();
    if (context.Waiting.NextMustWait()) return WaitingPage();
    return TuneFile(context, siMidiArchive, id, fkMidi);
  }
  if (const int song = NumberIn(request.Path, "/song/", "/")) return SongPage(context, song);
  return NotFound();
}

}  // namespace cq::samples
